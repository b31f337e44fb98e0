#pragma once
// Where a camera script goes: its folder, its base name, and the folder the game's exec
// commands need, relative to the modification's folder.

#include "core/dialogs.h"
#include "core/model/trace.h"

#include <QString>
#include <optional>

namespace kestrova {

struct ScriptLocation {
    QString folder;         // absolute, ending with '/'
    QString baseName;       // file name without its extension
    QString relativeFolder; // for the game: backslashes, ending with one; empty in the mod folder
    QString modFolder;      // absolute, empty when none was found
    bool valid = false;     // the script sits in the mod folder or below it
};

// Everything that follows from the chosen save path. The mod folder is the first of the chosen
// folder and its ancestors whose parent holds one of the game's executables.
ScriptLocation LocateScript(const QString& savePath, int game);

// The folder of a chosen save path, as remembered for the next run (DftPathCfg).
QString ScriptFolderOf(const QString& savePath);

// The question asked when the location is outside a mod folder; true to go on. A valid
// location asks nothing.
bool ConfirmScriptLocation(const ScriptLocation& location, int game, Dialogs& dialogs);

// The save dialog: starts in the remembered folder when it exists, proposes the trace's last
// base name. Nothing when the user cancels.
std::optional<QString> AskScriptSavePath(const Trace& trace, int game, const QString& lastFolder,
                                         Dialogs& dialogs);

} // namespace kestrova
