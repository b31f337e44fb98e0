// The game's window on an X11 display: found by its process (_NET_WM_PID) or by title among the
// top-level windows, activated
// through the window manager when there is one, typed into with XTest and closed with
// WM_DELETE_WINDOW.
#include "ui/platform/game_windows.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#ifdef KESTROVA_HAS_X11
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cstring>
#include <vector>
#endif

namespace kestrova::ui {

#ifdef KESTROVA_HAS_X11

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// A window may vanish between two calls: its errors are ignored while we work.
class QuietErrors {
public:
    explicit QuietErrors(Display* dpy) : dpy_(dpy), previous_(XSetErrorHandler(IgnoreXErrors)) {}
    ~QuietErrors() {
        XSync(dpy_, False);
        XSetErrorHandler(previous_);
    }

private:
    Display* dpy_;
    XErrorHandler previous_;
};

class X11GameWindows : public DesktopGameWindows {
public:
    explicit X11GameWindows(Display* dpy) : dpy_(dpy) {}
    ~X11GameWindows() override { XCloseDisplay(dpy_); }

    bool CanDrive() const override { return true; }

    GameWindow FindWindow(const QString& title) override {
        QuietErrors quiet(dpy_);
        for (::Window w : TopLevelWindows())
            if (QString::fromUtf8(Title(w)).compare(title, Qt::CaseInsensitive) == 0)
                return w;
        return 0;
    }

    GameWindow FindWindowOfProcess(qint64 pid) override {
        QuietErrors quiet(dpy_);
        for (::Window w : TopLevelWindows())
            if (ProcessOf(w) == pid)
                return w;
        return 0;
    }

    void Activate(GameWindow window) override {
        QuietErrors quiet(dpy_);
        const ::Window w = static_cast<::Window>(window);
        activated_ = w;
        XRaiseWindow(dpy_, w);
        if (HasWindowManager()) {
            // Source 2: a pager acting for the user, which focus-stealing rules let through.
            XEvent ev{};
            ev.xclient.type = ClientMessage;
            ev.xclient.window = w;
            ev.xclient.message_type = InternAtom("_NET_ACTIVE_WINDOW");
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = 2;
            ev.xclient.data.l[1] = CurrentTime;
            XSendEvent(dpy_, DefaultRootWindow(dpy_), False,
                       SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        } else {
            XSetInputFocus(dpy_, w, RevertToParent, CurrentTime);
        }
        XFlush(dpy_);
    }

    void SendKeys(const QList<ScanKey>& keys) override {
        QuietErrors quiet(dpy_);
        // Without a window manager any program may have taken the focus during the wait: the
        // keys go to the game only if it has it right now.
        if (activated_ != 0 && !HasWindowManager())
            XSetInputFocus(dpy_, activated_, RevertToParent, CurrentTime);
        for (const ScanKey& key : keys) {
            const KeyCode code = KeycodeFor(key.scanCode);
            if (code != 0)
                XTestFakeKeyEvent(dpy_, code, key.press ? True : False, CurrentTime);
        }
        XFlush(dpy_);
    }

    void RequestClose(GameWindow window) override {
        QuietErrors quiet(dpy_);
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = static_cast<::Window>(window);
        ev.xclient.message_type = InternAtom("WM_PROTOCOLS");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(InternAtom("WM_DELETE_WINDOW"));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy_, ev.xclient.window, False, NoEventMask, &ev);
        XFlush(dpy_);
    }

private:
    ::Atom InternAtom(const char* name) { return XInternAtom(dpy_, name, False); }

    std::vector<::Window> WindowProperty(::Window w, const char* name) {
        std::vector<::Window> result;
        ::Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, w, InternAtom(name), 0, 1 << 16, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            data && type == XA_WINDOW && format == 32) {
            const auto* windows = reinterpret_cast<const unsigned long*>(data);
            result.assign(windows, windows + count);
        }
        if (data)
            XFree(data);
        return result;
    }

    bool HasWindowManager() {
        const std::vector<::Window> check =
            WindowProperty(DefaultRootWindow(dpy_), "_NET_SUPPORTING_WM_CHECK");
        return !check.empty() && check[0] != 0;
    }

    // The window manager's list of clients; without one, the mapped children of the root (and
    // their children, for a manager that frames windows without keeping the list).
    std::vector<::Window> TopLevelWindows() {
        const ::Window root = DefaultRootWindow(dpy_);
        std::vector<::Window> clients = WindowProperty(root, "_NET_CLIENT_LIST");
        if (!clients.empty())
            return clients;
        std::vector<::Window> found;
        for (::Window w : Children(root)) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(dpy_, w, &attributes) || attributes.map_state != IsViewable)
                continue;
            found.push_back(w);
            for (::Window inner : Children(w))
                found.push_back(inner);
        }
        return found;
    }

    std::vector<::Window> Children(::Window w) {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        std::vector<::Window> result;
        if (XQueryTree(dpy_, w, &root, &parent, &children, &count) && children)
            result.assign(children, children + count);
        if (children)
            XFree(children);
        return result;
    }

    qint64 ProcessOf(::Window w) {
        ::Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        qint64 pid = 0;
        if (XGetWindowProperty(dpy_, w, InternAtom("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32 && count == 1)
            pid = static_cast<qint64>(*reinterpret_cast<const unsigned long*>(data));
        if (data)
            XFree(data);
        return pid;
    }

    // _NET_WM_NAME in UTF-8, else WM_NAME in whatever encoding it was set.
    QByteArray Title(::Window w) {
        ::Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        QByteArray title;
        if (XGetWindowProperty(dpy_, w, InternAtom("_NET_WM_NAME"), 0, 1024, False,
                               InternAtom("UTF8_STRING"), &type, &format, &count, &after,
                               &data) == Success &&
            data && format == 8)
            title = QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(count));
        if (data)
            XFree(data);
        if (!title.isEmpty())
            return title;
        XTextProperty text{};
        if (XGetWMName(dpy_, w, &text) && text.value) {
            char** list = nullptr;
            int n = 0;
            if (Xutf8TextPropertyToTextList(dpy_, &text, &list, &n) >= Success && list && n > 0)
                title = QByteArray(list[0]);
            if (list)
                XFreeStringList(list);
            XFree(text.value);
        }
        return title;
    }

    // The key at the scan code's place on this keyboard (the console key is the one left of
    // the 1 whatever it types); V follows the layout, since the paste shortcut does.
    KeyCode KeycodeFor(uint16_t scanCode) {
        const char* place = nullptr;
        KeySym sym = NoSymbol;
        switch (scanCode) {
        case kScanConsole:
            place = "TLDE";
            sym = XK_grave;
            break;
        case kScanBackspace:
            place = "BKSP";
            sym = XK_BackSpace;
            break;
        case kScanLeftCtrl:
            place = "LCTL";
            sym = XK_Control_L;
            break;
        case kScanV:
            if (const KeyCode v = XKeysymToKeycode(dpy_, XK_v))
                return v;
            place = "AB04";
            break;
        case kScanEnter:
            place = "RTRN";
            sym = XK_Return;
            break;
        default:
            break;
        }
        if (place)
            if (const KeyCode code = KeycodeByName(place))
                return code;
        if (sym != NoSymbol)
            if (const KeyCode code = XKeysymToKeycode(dpy_, sym))
                return code;
        // evdev numbering: the PC scan code plus 8.
        return static_cast<KeyCode>(scanCode + 8);
    }

    KeyCode KeycodeByName(const char* name) {
        XkbDescPtr xkb = XkbGetMap(dpy_, 0, XkbUseCoreKbd);
        if (!xkb)
            return 0;
        KeyCode found = 0;
        if (XkbGetNames(dpy_, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
            for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
                if (std::strncmp(xkb->names->keys[code].name, name, XkbKeyNameLength) == 0) {
                    found = static_cast<KeyCode>(code);
                    break;
                }
            }
        }
        XkbFreeKeyboard(xkb, 0, True);
        return found;
    }

    Display* dpy_;
    ::Window activated_ = 0;
};

} // namespace

std::unique_ptr<GameWindowSystem> MakeX11GameWindows() {
    // Only an X11 display (XWayland included) lets the editor reach another program's window.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        XCloseDisplay(dpy);
        return nullptr;
    }
    return std::make_unique<X11GameWindows>(dpy);
}

#else

std::unique_ptr<GameWindowSystem> MakeX11GameWindows() {
    return nullptr;
}

#endif

} // namespace kestrova::ui
