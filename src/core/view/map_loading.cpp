#include "core/view/map_loading.h"

#include "core/files/document.h"
#include "core/game/game_home.h"
#include "core/map/game_folder.h"
#include "core/map/map_file.h"
#include "core/settings/language.h"
#include "core/settings/settings.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

bool IsArchive(const QString& folder) {
    return folder.endsWith(QStringLiteral(".pk3"), Qt::CaseInsensitive) &&
           QFileInfo(folder).isFile();
}

bool HasPoints(const Trace& t) {
    return t.ControlCount() > 0 || t.ReferenceCount() > 0;
}

} // namespace

QString MapMenuCaption(const QString& name) {
    QString caption = name;
    caption.remove(QStringLiteral(".bsp"), Qt::CaseSensitive);
    return caption;
}

QString MapFullPath(const QString& folder, const QString& name, const QString& homeFolder) {
    return ResolveMap(folder, name, homeFolder).full;
}

QString MapHomeFolder(const GameConfig& config, const QString& folder) {
    const int game = GameOfFolder(folder);
    return game < 0 ? QString() : HomeFolder(config, game);
}

ResolvedMap ResolveMap(const QString& folder, const QString& name, const QString& homeFolder) {
    if (IsArchive(folder)) {
        const QString full = folder + QStringLiteral(":maps/") + name;
        return {full, MapFileExists(full)};
    }
    const QString plain = folder + QLatin1Char('/') + name;
    if (IsGameFolder(folder)) {
        if (const auto found = FindGameMapIn(MapSearchPath(folder, homeFolder), name))
            return {found->FullPath(), true};
    }
    // A plain folder of .bsp files, as before game folders were understood.
    return {plain, QFileInfo(plain).isFile()};
}

bool MapFolderExists(const QString& folder) {
    return !folder.isEmpty() && (QFileInfo(folder).isDir() || IsArchive(folder));
}

bool MapFileExists(const QString& fullPath) {
    QString archive, entry;
    if (!SplitArchivePath(fullPath, archive, entry))
        return QFileInfo(fullPath).isFile();
    QString error;
    const QStringList maps = ListArchiveMaps(archive, error);
    return maps.contains(entry, Qt::CaseInsensitive);
}

void ChooseAndLoadMap(MapContext& c, const QString& initialFileName, QString title) {
    if (title.isEmpty())
        title = fStr(130);
    const QString folder = c.game.DftPathBsp;
    if (IsGameFolder(folder)) {
        MapListRequest list;
        list.title = title;
        list.folder = folder;
        list.current = initialFileName.isEmpty() ? c.state.name : initialFileName;
        for (const MapSource& m :
             ListGameMapsIn(MapSearchPath(folder, MapHomeFolder(c.game, folder))))
            list.maps << m.name;
        const MapChoice choice = c.dialogs.ChooseMap(list);
        if (choice.kind == MapChoice::Kind::Map) {
            LoadMap(c, choice.name);
            if (HasPoints(c.trace))
                c.trace.modified = true;
        }
        if (choice.kind != MapChoice::Kind::Browse) {
            if (c.redraw)
                c.redraw();
            return;
        }
    }
    FileDialogRequest r;
    r.title = title;
    r.folder = ExistingFolderOrParent(folder);
    if (IsGameFolder(folder) && QFileInfo(folder + QStringLiteral("/maps")).isDir())
        r.folder = folder + QStringLiteral("/maps");
    r.fileName = initialFileName;
    r.filter = QStringLiteral("IDSoftware map (*.bsp)");
    r.extension = QStringLiteral("bsp");
    const std::optional<QString> chosen = c.dialogs.OpenFile(r);
    if (chosen && QFileInfo(*chosen).isFile()) {
        const QFileInfo info(*chosen);
        c.game.DftPathBsp = QDir::cleanPath(info.absolutePath());
        // A loose map of a game folder keeps the game folder, so its archives stay in reach.
        const QFileInfo parent(c.game.DftPathBsp);
        if (parent.fileName().compare(QStringLiteral("maps"), Qt::CaseInsensitive) == 0 &&
            IsGameFolder(parent.absolutePath()))
            c.game.DftPathBsp = parent.absolutePath();
        LoadMap(c, info.fileName());
        if (HasPoints(c.trace))
            c.trace.modified = true;
    }
    if (c.redraw)
        c.redraw();
}

bool LoadMap(MapContext& c, QString name) {
    if (!MapFolderExists(c.game.DftPathBsp)) {
        // A trace opened on a first run needs a map the user may not know by name: say which.
        c.dialogs.Message(fStr(130), fStr(150) + QStringLiteral("\n") + name,
                          MessageIcon::Information, MessageButtons::Ok);
        const std::optional<QString> folder = c.dialogs.ChooseFolder(fStr(150), QString());
        if (!folder)
            return false;
        c.game.DftPathBsp = *folder;
    }
    const QString home = MapHomeFolder(c.game, c.game.DftPathBsp);
    const ResolvedMap resolved = ResolveMap(c.game.DftPathBsp, name, home);
    const QString& full = resolved.full;
    if (!c.state.name.isEmpty() &&
        full.compare(MapFullPath(c.game.DftPathBsp, c.state.name, home), Qt::CaseInsensitive) == 0)
        return false;
    if (!resolved.exists) {
        ChooseAndLoadMap(c, name, fStr(141));
        return false;
    }
    UnloadMap(c);
    if (!c.loader.Load(full)) {
        // A damaged or empty map is refused with its reason, never shown as an empty world.
        const QString reason = c.loader.LastError();
        UnloadMap(c);
        c.dialogs.Message(fStr(130),
                          fStr(140) + QStringLiteral("\r\n") + full +
                              (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason),
                          MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    c.state.shown = true;
    c.state.name = name;
    ReadOriginOffset(c.state);
    if (!HasPoints(c.trace) && c.fitPlans)
        c.fitPlans();
    if (c.menusChanged)
        c.menusChanged();
    c.trace.modified = true;
    return true;
}

void UnloadMap(MapContext& c) {
    c.loader.Reset();
    c.state.name.clear();
    c.state.shown = false;
    if (c.menusChanged)
        c.menusChanged();
}

void UnloadMapByUser(MapContext& c) {
    UnloadMap(c);
    if (c.redraw)
        c.redraw();
    if (HasPoints(c.trace))
        c.trace.modified = true;
}

void ReadOriginOffset(MapState& state) {
    if (state.name.isEmpty() || !state.shown)
        return;
    state.offset = {0, 0, 0};
    std::array<double, 3> d{0, 0, 0};
    ReadMapOffset(state.name, d);
    for (int i = 0; i < 3; ++i)
        state.offset[i] = static_cast<float>(d[i]);
}

void SaveOriginOffset(const MapState& state) {
    if (state.name.isEmpty() || !state.shown)
        return;
    WriteMapOffset(state.name, {state.offset[0], state.offset[1], state.offset[2]});
}

} // namespace kestrova
