#include "core/game/game_window.h"

#include "core/dialogs.h"
#include "core/game/console_names.h"
#include "core/game/game_home.h"
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
                                     const QString& workingFolder, qint64* pid) {
    return QProcess::startDetached(program, arguments, workingFolder, pid);
}

QStringList GameWindowTitles(const GameState& state) {
    QStringList titles = EngineWindowTitles(state.Game());
    const QString typed = state.Current().WindowTitle.trimmed();
    if (!typed.isEmpty() && !titles.contains(typed, Qt::CaseInsensitive))
        titles << typed;
    return titles;
}

GameWindow FindGameWindow(GameWindowSystem& system, const GameState& state) {
    if (state.startedPid > 0)
        if (const GameWindow w = system.FindWindowOfProcess(state.startedPid))
            return w;
    for (const QString& title : GameWindowTitles(state))
        if (const GameWindow w = system.FindWindow(title))
            return w;
    return 0;
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
    const GameWindow running = FindGameWindow(system, state);
    if (const auto refusal = RefuseGameNames(request.script, request.demo, running == 0)) {
        dialogs.Message(state.CurrentProfile().displayName, *refusal, MessageIcon::Warning,
                        MessageButtons::Ok);
        return GameLoadResult::Refused;
    }
    if (running) {
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
        const GameProfile& profile = state.CurrentProfile();
        dialogs.Message(profile.displayName,
                        fStr(568, profile.displayName,
                             profile.ExecutablesThisSystemFirst().join(QStringLiteral(", "))),
                        MessageIcon::Information, MessageButtons::Ok);
        AskModFolder(state, dialogs);
        return GameLoadResult::FolderAsked;
    }
    const QStringList arguments = GameStartArguments(
        ModFolderName(state.Game(), state.Current().ModPath), request.script, request.demo);
    // The home folder is left to the engine: it finds its own, as when the user starts it.
    qint64 pid = 0;
    const bool started = system.StartDetached(executable, arguments,
                                              QDir::fromNativeSeparators(folder.folder), &pid);
    if (!started)
        return GameLoadResult::StartFailed;
    state.startedPid = pid;
    state.startedExecutable = executable;
    return GameLoadResult::Started;
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
