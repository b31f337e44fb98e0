#pragma once
// Starting the game: the commands for its start-up script and demo, its command line and
// executable, the demo-time commands and the screenshots folder.

#include <QString>
#include <QStringList>

namespace kestrova {

// The start-up script (the selected item of the game's script list, empty for "<none>") and the
// demo as one command text: "+exec cfg\intro.cfg +demo \"run1\"" with the prefix "+" and the
// separator " +". A script without "\" after its first character is left out.
QString BuildGameCommand(const QString& script, const QString& demo, const QString& prefix,
                         const QString& separator);

// "+set fs_game " + the modification folder name + " " + the start-up commands.
QString GameCommandLine(const QString& modFolderName, const QString& commands);
// The command line as the program's arguments, quotes kept together.
QStringList GameArguments(const QString& commandLine);

// The name fs_game takes: the profile's folder name, spelt as the folder on disk is when they
// differ only in case (file names are exact on Linux).
QString ModFolderName(int game, const QString& modPath);

// The game's executable in its folder: the names of this platform first, then the others;
// empty when there is none.
QString FindGameExecutable(const QString& gameFolder, int game);

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
// The screenshots button: when the folder holds a picture and the user agrees, the folder with
// everything in it goes to the desktop's trash. True when it was moved.
bool DelScreenshots(const QString& modPath, Dialogs& dialogs);

} // namespace kestrova
