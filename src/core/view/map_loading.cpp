#include "core/view/map_loading.h"

#include "core/files/document.h"
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

QString MapFullPath(const QString& folder, const QString& name) {
    if (IsArchive(folder))
        return folder + QStringLiteral(":maps/") + name;
    return folder + QLatin1Char('/') + name;
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
    FileDialogRequest r;
    r.title = title;
    r.folder = ExistingFolderOrParent(c.game.DftPathBsp);
    r.fileName = initialFileName;
    r.filter = QStringLiteral("IDSoftware map (*.bsp)");
    r.extension = QStringLiteral("bsp");
    const std::optional<QString> chosen = c.dialogs.OpenFile(r);
    if (chosen && QFileInfo(*chosen).isFile()) {
        const QFileInfo info(*chosen);
        c.game.DftPathBsp = QDir::cleanPath(info.absolutePath());
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
    const QString full = MapFullPath(c.game.DftPathBsp, name);
    if (!c.state.name.isEmpty() &&
        full.compare(MapFullPath(c.game.DftPathBsp, c.state.name), Qt::CaseInsensitive) == 0)
        return false;
    if (!MapFileExists(full)) {
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
