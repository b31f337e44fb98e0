#pragma once
// The games as their Linux engines run them: the engines' window titles, the home folder each
// engine writes into (demos, screenshots, configurations, downloaded maps), and the game's search
// path made of that home folder and the install folder, whose folder names may be in any case.

#include <QString>
#include <QStringList>

namespace kestrova {

struct GameConfig;

// One engine of a game, as its source defines it.
struct GameEngine {
    QString name;        // "ioquake3"
    QString windowTitle; // the window title constant of its source
    QString homeFolder;  // below $HOME ("/.q3a"); the engine's rule on Linux
};

// The engines of a game (0 ET, 1 Quake 3), in the order their home folders are tried.
const QList<GameEngine>& GameEngines(int game);
// The engines' window titles, each once.
QStringList EngineWindowTitles(int game);
// $HOME + each engine's home folder, each once, in the engines' order.
QStringList HomeFolderCandidates(int game);
// The first candidate that exists; empty when the user has none.
QString DefaultHomeFolder(int game);
// The user's choice when there is one, else the engine's rule.
QString HomeFolder(const GameConfig& config, int game);

// The children of folder named name in any case ("Demos", "demos"); none when there is none.
QStringList ChildFoldersIgnoringCase(const QString& folder, const QString& name);

// Where the game finds the modification's files, first searched first: the home folder's copy of
// the modification folder (when it exists), then the install folder's.
QStringList ModSearchPath(const GameConfig& config, int game);
// The game folders (parents) of that path: the home folder and the install folder.
QStringList GameRootSearchPath(const GameConfig& config, int game);

// The game a game or modification folder belongs to, by its base folder (baseq3, baseoa: 1;
// etmain: 0) beside it or itself; -1 when it tells nothing.
int GameOfFolder(const QString& folder);
// The home folder of the game a map folder belongs to (by its base game folder); empty when the
// folder tells no game.
QString MapHomeFolder(const GameConfig& config, const QString& folder);
// A folder's counterparts in the home folder, in the game's order: home copy first, then the
// folder itself; the same for the base game's folder.
QStringList MapSearchPath(const QString& folder, const QString& homeFolder);

} // namespace kestrova
