#include "core/game/game_window.h"

#include "core/dialogs.h"
#include "core/game/game_launch.h"
#include "core/game/game_state.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QProcess>

namespace kestrova {

QList<ScanKey> ConsoleKeySequence() {
    return {
        {kScanConsole, true},    {kScanConsole, false},  {kScanBackspace, true},
        {kScanBackspace, false}, {kScanLeftCtrl, true},  {kScanV, true},
        {kScanV, false},         {kScanLeftCtrl, false}, {kScanEnter, true},
        {kScanEnter, false},     {kScanConsole, true},   {kScanConsole, false},
    };
}

bool GameWindowSystem::StartDetached(const QString& program, const QStringList& arguments,
                                     const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

GameWindow FindGameWindow(GameWindowSystem& system, const GameState& state) {
    return system.FindWindow(state.CurrentProfile().gameName);
}

namespace {

// Where the window system cannot reach other programs' windows, say so instead of pretending
// the game is not running.
void TellCannotDrive(Dialogs& dialogs, const QString& title) {
    dialogs.Message(title, fStr(561), MessageIcon::Information, MessageButtons::Ok);
}

} // namespace

bool SendConsoleCommand(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
                        const QString& command, GameWindow window, bool showMessage,
                        QString message, const QString& title) {
    if (window == 0)
        window = FindGameWindow(system, state);
    if (window != 0) {
        // Without the clipboard nothing is typed; the game was found all the same.
        if (!system.SetClipboardText(command))
            return true;
        system.Activate(window);
        system.Wait(kConsoleWaitMs);
        system.SendKeys(ConsoleKeySequence());
        return true;
    }
    if (message.isEmpty())
        message = system.CanDrive() ? fStr(560) : fStr(561);
    if (showMessage)
        dialogs.Message(title, message, MessageIcon::Information, MessageButtons::Ok);
    return false;
}

GameLoadResult GameLoad(GameWindowSystem& system, GameState& state, Dialogs& dialogs,
                        const GameLoadRequest& request) {
    if (const GameWindow running = FindGameWindow(system, state)) {
        SendConsoleCommand(system, state, dialogs,
                           BuildGameCommand(request.script, request.demo, QStringLiteral("/"),
                                            QStringLiteral(";")),
                           running, false, QString(), QString());
        return GameLoadResult::Typed;
    }
    const GameFolder folder = ResolveGameFolder(state);
    const QString executable =
        folder.ok ? FindGameExecutable(folder.folder, state.Game()) : QString();
    if (executable.isEmpty()) {
        AskModFolder(state, dialogs);
        return GameLoadResult::FolderAsked;
    }
    const QString commandLine = GameCommandLine(
        ModFolderName(state.Game(), state.Current().ModPath),
        BuildGameCommand(request.script, request.demo, QStringLiteral("+"), QStringLiteral(" +")));
    const bool started = system.StartDetached(executable, GameArguments(commandLine),
                                              QDir::fromNativeSeparators(folder.folder));
    return started ? GameLoadResult::Started : GameLoadResult::StartFailed;
}

bool GameClose(GameWindowSystem& system, const GameState& state, Dialogs& dialogs) {
    if (!system.CanDrive()) {
        TellCannotDrive(dialogs, fStr(75));
        return false;
    }
    const GameWindow window = FindGameWindow(system, state);
    if (window == 0)
        return false;
    system.RequestClose(window);
    return true;
}

namespace {

bool SendDemoFF(GameWindowSystem& system, const GameState& state, Dialogs& dialogs, int n,
                const QString& title) {
    const QString command = DemoFFCommand(n);
    if (command.isEmpty())
        return false;
    return SendConsoleCommand(system, state, dialogs, command, 0, true, QString(), title);
}

} // namespace

bool DemoGoto(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
              const QString& minutes, const QString& seconds) {
    return SendDemoFF(system, state, dialogs, DemoGotoSeconds(minutes, seconds), fStr(171));
}

bool DemoAdvance(GameWindowSystem& system, const GameState& state, Dialogs& dialogs,
                 const QString& seconds) {
    return SendDemoFF(system, state, dialogs, DemoAdvanceSeconds(seconds), fStr(170));
}

} // namespace kestrova
