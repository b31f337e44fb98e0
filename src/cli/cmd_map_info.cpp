#include "cli/cli_common.h"

#include "core/game/game_config.h"
#include "core/game/game_home.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/game_folder.h"
#include "core/map/map_file.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova::cli {

namespace {

const char kUsage[] =
    "Usage: kestrova3d-cli map-info MAP.bsp|ARCHIVE.pk3:maps/MAP.bsp\n"
    "       kestrova3d-cli map-info NAME.bsp --game-folder FOLDER [--home-folder HOME]\n"
    "  --game-folder FOLDER  find NAME as the game does: FOLDER's .pk3 archives (the last in\n"
    "                        name order wins), then FOLDER/maps, then the base game's folder;\n"
    "                        each searched first in the game's home folder (~/.q3a, ~/.etwolf,\n"
    "                        ~/.etlegacy, ~/.openarena, whichever the game has)\n"
    "  --home-folder HOME    the home folder to search instead\n";

QJsonObject SourceOf(const QString& path) {
    QJsonObject o;
    QString archive, entry;
    if (SplitArchivePath(path, archive, entry) && !QFileInfo::exists(path)) {
        o[QStringLiteral("archive")] = QFileInfo(archive).absoluteFilePath();
        o[QStringLiteral("entry")] = entry;
    } else {
        o[QStringLiteral("file")] = QFileInfo(path).absoluteFilePath();
    }
    return o;
}

} // namespace

// "map-info MAP.bsp" (or "archive.pk3:maps/x.bsp", or a name in a game folder): one JSON object
// describing the map and where it was read from.
int RunMapInfo(const QStringList& args, CliStreams& io) {
    const auto a =
        ParseArgs(args, {QStringLiteral("--game-folder"), QStringLiteral("--home-folder")}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << kUsage;
        return kExitOk;
    }
    if (a->positional.size() != 1) {
        io.err << kUsage;
        return kExitUsage;
    }
    QString path = a->positional.first();
    const auto folder = a->values.constFind(QStringLiteral("--game-folder"));
    if (folder != a->values.constEnd()) {
        if (!QFileInfo(*folder).isDir()) {
            Fail(io, QStringLiteral("%1 is not a folder").arg(*folder));
            return kExitUsage;
        }
        const auto home = a->values.constFind(QStringLiteral("--home-folder"));
        const QString homeFolder =
            home != a->values.constEnd() ? *home : MapHomeFolder(GameConfig{}, *folder);
        const QStringList searchPath = MapSearchPath(*folder, homeFolder);
        const auto found = FindGameMapIn(searchPath, path);
        // The game leaves a broken archive out without a word; say which were left out.
        for (const QString& e : UnreadableArchivesIn(searchPath))
            Warn(io, QStringLiteral("archive left out: %1").arg(e));
        if (!found) {
            Fail(io, QStringLiteral("%1: no such map in %2, its archives or its base game")
                         .arg(path, *folder));
            return kExitUsage;
        }
        path = found->FullPath();
    }
    QElapsedTimer timer;
    timer.start();
    BspMap map;
    const QString error = map.Load(path, kMapOptionPatches);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!error.isEmpty()) {
        Fail(io, QStringLiteral("%1: %2").arg(path, error));
        return kExitUsage;
    }
    const MapGeometry& g = map.Geometry();
    const MapBoundsArray b = map.GetBounds();
    QJsonObject bounds;
    bounds[QStringLiteral("min")] = QJsonArray{b[0][0], b[1][0], b[2][0]};
    bounds[QStringLiteral("max")] = QJsonArray{b[0][1], b[1][1], b[2][1]};
    QJsonObject o;
    o[QStringLiteral("version")] = g.version;
    o[QStringLiteral("surfaces")] = qint64(g.surfaces.size());
    o[QStringLiteral("vertices")] = qint64(g.vertices.size());
    o[QStringLiteral("triangles")] = qint64(g.TriangleCount());
    o[QStringLiteral("bounds")] = bounds;
    o[QStringLiteral("source")] = SourceOf(path);
    o[QStringLiteral("load_ms")] = qRound(ms * 100) / 100.0;
    io.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
