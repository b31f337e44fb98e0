#pragma once
// Choosing, loading and unloading the map shown under the trace, and its per-map origin offset.
// The component that reads and draws maps sits behind MapLoader; questions go through Dialogs.

#include "core/dialogs.h"
#include "core/game/game_config.h"
#include "core/map/bsp_map.h"
#include "core/model/trace.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kestrova {

struct MapState {
    bool shown = false;
    QString name; // relative to the game's map folder, as the trace stores it
    std::array<float, 3> offset{0, 0, 0};
    QStringList reportedArchives; // unreadable archives already told, until they change
};

// The map component as the loading flow sees it.
class MapLoader {
public:
    virtual ~MapLoader() = default;
    // Reads the map at full path; false when it is not a readable map.
    virtual bool Load(const QString& fullPath) = 0;
    // Why the last Load failed, when the component can tell.
    virtual QString LastError() const { return {}; }
    // Throws the component away and starts a fresh one.
    virtual void Reset() = 0;
    virtual MapBoundsArray Bounds() const = 0;
};

struct MapContext {
    MapState& state;
    Trace& trace;
    GameConfig& game; // DftPathBsp: the current game's map folder
    Dialogs& dialogs;
    MapLoader& loader;
    std::function<void()> fitPlans;     // fit the plan views to the fresh map
    std::function<void()> menusChanged; // the map menu's items follow the state
    std::function<void()> redraw;
};

// The map menu's caption: the name with every ".bsp" removed (case-sensitive).
QString MapMenuCaption(const QString& name);

// A map folder may also be a ".pk3" archive, whose maps live under "maps/", or a game or
// modification folder, searched as the game does (archives, maps/, the base game).
struct ResolvedMap {
    QString full; // what the map component reads
    bool exists = false;
};
// homeFolder: the game's home folder, whose copy of the folder is searched first.
ResolvedMap ResolveMap(const QString& folder, const QString& name,
                       const QString& homeFolder = QString());
QString MapFullPath(const QString& folder, const QString& name,
                    const QString& homeFolder = QString());
bool MapFolderExists(const QString& folder);
bool MapFileExists(const QString& fullPath);

// The names Map > Load lists for a map folder: a game folder's maps as the game finds them, an
// archive's maps/ entries, or a plain folder's .bsp files.
QStringList MapsInFolder(const QString& folder, const QString& homeFolder = {});

// Map > Load: the map list of the map folder (asked for first when none is known), whose
// "Loose file..." leads to the file dialog.
void ChooseAndLoadMap(MapContext& c, const QString& initialFileName, QString title);
// The name is taken by value: callers pass names that the unload inside may change.
bool LoadMap(MapContext& c, QString name);
void UnloadMap(MapContext& c);
// The "no map" menu item.
void UnloadMapByUser(MapContext& c);

void ReadOriginOffset(MapState& state);
void SaveOriginOffset(const MapState& state);

} // namespace kestrova
