#pragma once
// The program's game state: which game is current, both games' configurations and the lists of
// the current game (they always describe the current game; a switch reloads them).

#include "core/game/frame_rates.h"
#include "core/game/game_config.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace kestrova {

class Dialogs;
struct GameProfile;
struct ScriptRunOptions;
struct Trace;

// Controls shown for one game only.
struct GameOnlyControls {
    bool demoControl = false; // fraGDemoControl, ET Pro
    bool autoStart = false;   // fraSAutoStart, ET Pro
    bool transSpeed = false;  // txtTransSpeed and its label, Defrag
};

class GameState {
public:
    // -1 only before the first switch of start-up.
    int currentGame = 0;
    std::array<GameConfig, 2> configs;

    ScriptList cmdsBefore;  // cboSCmdsBefore
    ScriptList cmdsAfter;   // cboSCmdsAfter
    ScriptList gameConfigs; // cboGConfigs
    FrameRateList aviDemos; // cboAviDemo

    // Set while the program itself selects script-list items, so the trace is not marked modified.
    bool loadingLists = false;

    // The game the editor started last (not stored): its window is found by its process.
    qint64 startedPid = 0;
    QString startedExecutable;

    // The recent-files list lives in the game's key but belongs to the document code; it hooks
    // in here. Each gets the key of the current game.
    std::function<void(const QString& key)> loadRecentFiles;
    std::function<void(const QString& key)> saveRecentFiles;

    int Game() const { return currentGame == 1 ? 1 : 0; }
    const GameProfile& CurrentProfile() const;
    // The current game's key in the store.
    QString CurrentKey() const;
    GameConfig& Current() { return configs[Game()]; }
    const GameConfig& Current() const { return configs[Game()]; }
    ScriptList& List(ScriptListKind kind);
    // The game-only controls the current game shows.
    GameOnlyControls Visible() const;
};

// Folder fields of both games, then the current game's recent files, script lists and rates.
void SaveGameConfigs(GameState& state);
// The current game's recent files, script lists and frame rates.
void LoadGameLists(GameState& state);

GameOnlyControls GameOnlyControlsFor(int game);

// Makes the game current: saves the one left (unless skipSave), loads the new game's lists and
// prunes them against its folder. False when the game already was current (nothing happens).
// The caller then shows GameOnlyControlsFor, the logos, the tooltips and the demo browser's
// folder of the new game.
bool SwitchGame(GameState& state, int index, bool skipSave);
// The "Mod" menu: another game first replaces the trace through newTrace, which returns false
// when the user cancels (then nothing changes); the caller empties the demo name box.
bool ChooseGameFromMenu(GameState& state, int index, const std::function<bool()>& newTrace);
// Start-up: the switch runs in full even for the game already current.
void SwitchToStartupGame(GameState& state, int storedGame);

// The game folder of a modification folder; an empty one means the current ModPath.
GameFolder ResolveGameFolder(const GameState& state, const QString& modFolder = QString());

// Drops the scripts of the three lists whose files are gone (the demo browser's folder is the
// caller's to update).
void ApplyModPath(GameState& state);

// Asks for the modification folder until a valid one is chosen (true, ModPath set and applied)
// or the user cancels (false, nothing changed).
bool AskModFolder(GameState& state, Dialogs& dialogs);

// The deepest existing folder on the path (the path itself, else its parent, ...); empty if none.
QString DeepestExistingFolder(const QString& path);

// What the script picker is opened with; nothing when the modification folder is not valid (the
// user has then been asked for it).
struct ScriptPickerRequest {
    QString gameFolder;
    QStringList roots; // the home folder, then the game folder
    QStringList allowedFolders;
    QStringList preselected;
};
std::optional<ScriptPickerRequest> PrepareChooseScripts(GameState& state, ScriptListKind kind,
                                                        Dialogs& dialogs);
// The picker's confirmed choice replaces the list's scripts, keeping the selection by text; the
// start-up list without a selection takes the first script chosen.
void ApplyChosenScripts(GameState& state, ScriptListKind kind, const QStringList& chosen);

// The chosen before/after scripts as the script writer takes them (empty for "<none>").
void CopyScriptSelections(const GameState& state, ScriptRunOptions& options);

// The user picks an item of a script list: a trace with control points becomes modified.
void SelectScriptByUser(GameState& state, ScriptListKind kind, int index, Trace& trace);

} // namespace kestrova
