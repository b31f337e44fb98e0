#include "ui/platform/game_windows.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace kestrova::ui {

bool DesktopGameWindows::SetClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

void DesktopGameWindows::Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

namespace {

class DesktopWithoutDriving : public DesktopGameWindows {
public:
    bool CanDrive() const override { return false; }
    GameWindow FindWindow(const QString&) override { return 0; }
    void Activate(GameWindow) override {}
    void SendKeys(const QList<ScanKey>&) override {}
    void RequestClose(GameWindow) override {}
};

} // namespace

std::unique_ptr<GameWindowSystem> MakeX11GameWindows(); // null without an X11 display

std::unique_ptr<GameWindowSystem> MakeGameWindowSystem() {
    if (auto x11 = MakeX11GameWindows())
        return x11;
    return std::make_unique<DesktopWithoutDriving>();
}

} // namespace kestrova::ui
