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

// A broken archive would hide a map, or let an older copy win, without a word.
void ReportUnreadableArchives(MapContext& c) {
    const QString folder = c.game.DftPathBsp;
    const QStringList problems =
        IsGameFolder(folder)
            ? UnreadableArchivesIn(MapSearchPath(folder, MapHomeFolder(c.game, folder)))
            : QStringList();
    if (problems.isEmpty() || problems == c.state.reportedArchives)
        return;
    c.state.reportedArchives = problems;
    c.dialogs.Message(fStr(130),
                      fStr(201) + QStringLiteral("\n") + problems.join(QLatin1Char('\n')),
                      MessageIcon::Warning, MessageButtons::Ok);
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

QStringList MapsInFolder(const QString& folder, const QString& homeFolder) {
    QStringList names;
    if (IsGameFolder(folder)) {
        for (const MapSource& m : ListGameMapsIn(MapSearchPath(folder, homeFolder)))
            names << m.name;
        return names;
    }
    if (IsArchive(folder)) {
        QString error;
        for (const QString& entry : ListArchiveMaps(folder, error))
            if (entry.startsWith(QStringLiteral("maps/"), Qt::CaseInsensitive))
                names << entry.mid(5);
    } else {
        names = QDir(folder).entryList({QStringLiteral("*.bsp")}, QDir::Files);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

void ChooseAndLoadMap(MapContext& c, const QString& initialFileName, QString title) {
    if (title.isEmpty())
        title = fStr(130);
    // The maps of a game live in its archives, out of a file dialog's reach: a first load asks
    // for the game folder and lists what it holds.
    bool askFolder = !MapFolderExists(c.game.DftPathBsp);
    MapChoice choice;
    for (;;) {
        if (askFolder) {
            const QString start =
                MapFolderExists(c.game.DftPathBsp) ? c.game.DftPathBsp : c.game.ModPath;
            const std::optional<QString> chosen =
                c.dialogs.ChooseFolder(fStr(151), ExistingFolderOrParent(start));
            if (chosen)
                c.game.DftPathBsp = GameFolderWithin(QDir::cleanPath(*chosen));
            else if (!MapFolderExists(c.game.DftPathBsp))
                break; // nothing to list
        }
        MapListRequest list;
        list.title = title;
        list.folder = c.game.DftPathBsp;
        list.current = initialFileName.isEmpty() ? c.state.name : initialFileName;
        list.maps = MapsInFolder(list.folder, MapHomeFolder(c.game, list.folder));
        choice = c.dialogs.ChooseMap(list);
        if (choice.kind != MapChoice::Kind::Folder)
            break;
        askFolder = true;
    }
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
    const QString folder = c.game.DftPathBsp;
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
    ReportUnreadableArchives(c);
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
