#pragma once
// The Trace menu's Import and Export commands on the editor's document and game state.

#include "core/files/document.h"
#include "core/game/game_state.h"
#include "core/path/random.h"

namespace kestrova::ui {

class FrmExport;

// The game's folders as the import reads them (current game, ModPath, DftPathPos).
void LendGameFolders(Document& doc, const GameState& game);
// What the document operations remembered goes back to the game's configuration.
void TakeBackGameFolders(const Document& doc, GameState& game);

// mnuT_Import: positions saved in the game become control points. True when the trace changed.
bool ImportCommand(Document& doc, GameState& game);
// mnuT_ImportCam: a trace fitted to a camera file replaces the current one.
bool ImportCameraCommand(Document& doc, GameState& game);
// mnuT_Export: the export dialog, the save dialog, the exchange file under the busy pointer.
bool ExportCommand(Document& doc, FrmExport& dialog, UniformRandom& rng = AppRandom());

} // namespace kestrova::ui
