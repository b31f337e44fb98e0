#pragma once
// Starting the game: the commands for its start-up script and demo, its command line and
// executable, the demo-time commands and the screenshots folder.

#include <QString>
#include <QStringList>

namespace kestrova {

#include <optional>

// The start-up script (the selected item of the game's script list, empty for "<none>") and the
// demo as one console text: "/exec cfg\intro.cfg;demo \"run1\"" with the prefix "/" and the
// separator ";"; a script name with a blank is quoted. A script without "\" after its first
// character is left out.
QString BuildGameCommand(const QString& script, const QString& demo, const QString& prefix,
                         const QString& separator);
// The script's path below its top folder, as exec takes it; empty when it has none.
QString StartupScriptName(const QString& script);

// The game's arguments: "+set fs_game <mod>", then "+exec <script>" and "+demo <demo>", each
// name one argument.
QStringList GameStartArguments(const QString& modFolderName, const QString& script,
                               const QString& demo);

// The message refusing a script or demo name the game would split into commands (for the
// command line, '+' too); nothing when both are safe.
std::optional<QString> RefuseGameNames(const QString& script, const QString& demo,
                                       bool commandLine);

// The name fs_game takes: the profile's folder name, spelt as the folder on disk is when they
// differ only in case (file names are exact on Linux).
QString ModFolderName(int game, const QString& modPath);

// The game's executable in its folder: the names of this platform first, then the others; then
// the Linux names on PATH. Empty when there is none.
QString FindGameExecutable(const QString& gameFolder, int game);
// The first of the game's Linux names found on PATH.
QString ExecutableOnPath(int game);

// The demo-time commands: n = -(minutes * 60 + seconds) to reach a moment, n = seconds to
// advance. A text that is not a number counts as 0. No command (empty) when n is 0.
int DemoGotoSeconds(const QString& minutes, const QString& seconds);
int DemoAdvanceSeconds(const QString& seconds);
QString DemoFFCommand(int n);

// Validates one of the three demo-time boxes: the box's new text and, for seconds of a minute
// or more, the minutes box's new text (whole minutes carried over, at most 999).
struct DemoTimeText {
    QString text;
    QString minutes; // empty unless the minutes box changes
};
DemoTimeText ValidateDemoTime(int index, const QString& text, const QString& minutesText);

// ModPath/ScreenShots, and whether it holds a ".jpg" or ".tga" picture.
QString ScreenshotsFolder(const QString& modPath);
bool HoldsScreenshots(const QString& folder);

class Dialogs;
// The screenshots folders (any case) of the modification folders that hold a picture.
QStringList ScreenshotFolders(const QStringList& modFolders);
// The screenshots button: when the folders hold a picture and the user agrees, each folder with
// everything in it goes to the desktop's trash. True when all were moved.
bool DelScreenshots(const QString& modPath, Dialogs& dialogs);
bool DelScreenshots(const QStringList& modFolders, Dialogs& dialogs);

} // namespace kestrova
