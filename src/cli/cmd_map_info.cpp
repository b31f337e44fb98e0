#include "cli/cli_command.h"

#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova::cli {

// "map-info MAP.bsp" (or "archive.pk3:maps/x.bsp"): one JSON object describing the map.
int RunMapInfo(const QStringList& args, CliStreams& io) {
    QTextStream& out = io.out;
    QTextStream& err = io.err;
    if (args.size() != 1) {
        err << "Usage: kestrova3d-cli map-info MAP.bsp|ARCHIVE.pk3:maps/MAP.bsp\n";
        return kExitUsage;
    }
    QElapsedTimer timer;
    timer.start();
    BspMap map;
    const QString error = map.Load(args.first(), kMapOptionPatches);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!error.isEmpty()) {
        err << "kestrova3d-cli: " << args.first() << ": " << error << "\n";
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
    o[QStringLiteral("load_ms")] = qRound(ms * 100) / 100.0;
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << "\n";
    return 0;
}

} // namespace kestrova::cli
