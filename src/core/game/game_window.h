#pragma once
// Driving the running game: found by the process the editor started or by its window title,
// brought to the front, the command put on
// the clipboard and typed into the console by a fixed key sequence, closed by a close request.
// The window system is behind GameWindowSystem; the editor gives the X11 one where there is an
// X11 display and a null one elsewhere.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace kestrova {

class Dialogs;
class GameState;

using GameWindow = uint64_t; // 0: none

// One key action by hardware scan code (PC set 1).
struct ScanKey {
    uint16_t scanCode;
    bool press;
};

inline constexpr uint16_t kScanConsole = 0x29; // left of the digit row
inline constexpr uint16_t kScanBackspace = 0x0E;
inline constexpr uint16_t kScanLeftCtrl = 0x1D;
inline constexpr uint16_t kScanV = 0x2F;
inline constexpr uint16_t kScanEnter = 0x1C;

// Console key, Backspace (removes what the console key may have typed), Ctrl+V, Enter, console
// key again to close the console.
QList<ScanKey> ConsoleKeySequence();

class GameWindowSystem {
public:
    virtual ~GameWindowSystem() = default;
    // False where windows of other programs cannot be reached at all.
    virtual bool CanDrive() const = 0;
    // The top-level window whose title is this text, ignoring case, else 0.
    virtual GameWindow FindWindow(const QString& title) = 0;
    // The top-level window the process owns (_NET_WM_PID), else 0.
    virtual GameWindow FindWindowOfProcess(qint64 pid) {
        (void)pid;
        return 0;
    }
    virtual void Activate(GameWindow window) = 0;
    virtual bool SetClipboardText(const QString& text) = 0;
    // Waits without blocking the editor's events.
    virtual void Wait(int milliseconds) = 0;
    virtual void SendKeys(const QList<ScanKey>& keys) = 0;
    virtual void RequestClose(GameWindow window) = 0;
    // Starts a program on its own; false when it could not be started. pid: its process id.
    virtual bool StartDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder, qint64* pid = nullptr);
};

// Where nothing can be driven: no window is ever found; programs still start.
class NullGameWindowSystem : public GameWindowSystem {
public:
    bool CanDrive() const override { return false; }
    GameWindow FindWindow(const QString&) override { return 0; }
    void Activate(GameWindow) override {}
    bool SetClipboardText(const QString&) override { return false; }
    void Wait(int) override {}
    void SendKeys(const QList<ScanKey>&) override {}
    void RequestClose(GameWindow) override {}
};

inline constexpr int kConsoleWaitMs = 200;

// The titles tried for the current game: its engines' titles, then the one the user typed.
QStringList GameWindowTitles(const GameState& state);
// The current game's window: the one of the process the editor started, whatever its title;
// else the first of GameWindowTitles found.
GameWindow FindGameWindow(GameWindowSystem& system, const GameState& state);

// Types the command into the console of the game window (0: find it first). True when the game
// window was found. Without a window, the message (default: the game is not loaded) is shown
// when showMessage is set.
bool SendConsoleCommand(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
                        const QString& command, GameWindow window, bool showMessage,
                        QString message, const QString& title);

// The start button's outcome.
enum class GameLoadResult {
    Typed,       // the game was running: the commands went to its console
    Started,     // the game was started with the commands on its command line
    StartFailed, // the executable could not be started
    FolderAsked, // the folder was not valid: the user was asked for it instead
    Refused,     // a name would have become a command: the user was told, nothing was sent
};

struct GameLoadRequest {
    QString script; // the chosen start-up script, empty for "<none>"
    QString demo;
};

GameLoadResult GameLoad(GameWindowSystem& system, GameState& state, Dialogs& dialogs,
                        const GameLoadRequest& request);
// Asks the running game to close; false when it is not running. Where games cannot be driven
// the user is told so.
bool GameClose(GameWindowSystem& system, const GameState& state, Dialogs& dialogs);

// The demo-time buttons: "/DemoFF n" to the running game; nothing for n = 0. False when nothing
// was sent (zero, or the game is not running: then the user has been told).
bool DemoGoto(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
              const QString& minutes, const QString& seconds);
bool DemoAdvance(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
                 const QString& seconds);

} // namespace kestrova
