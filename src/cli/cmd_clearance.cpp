// clearance TRACE --map MAP [--distance D] [--seed S]: the path points the camera scripts put
// inside a wall of the map, or closer to one than D.
#include "cli/cli_common.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/path/path_clearance.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova::cli {

int RunClearance(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(
        args, {QStringLiteral("--map"), QStringLiteral("--distance"), QStringLiteral("--seed")}, {},
        io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli clearance TRACE --map MAP [--distance D] [--seed S]\n"
                  "  Prints {\"inside\": [...], \"near\": [...]}: the indices of the path points\n"
                  "  (as the camera scripts place them) inside a solid brush of the map's world,\n"
                  "  and those closer than D units (default 8) to one without being inside.\n"
                  "  MAP: a .bsp file or ARCHIVE.pk3:maps/MAP.bsp.\n";
        return kExitOk;
    }
    if (a->positional.size() != 1 || !a->values.contains(QStringLiteral("--map"))) {
        Fail(io, QStringLiteral("clearance wants one trace file and --map MAP"));
        return kExitUsage;
    }
    double distance = kDefaultClearance;
    if (a->values.contains(QStringLiteral("--distance"))) {
        bool ok = false;
        const QString text = a->values[QStringLiteral("--distance")];
        distance = text.toDouble(&ok);
        if (!ok || !(distance >= 0) || distance > kMaxClearance) {
            Fail(io, QStringLiteral("option --distance wants a number from 0 to %1, not '%2'")
                         .arg(double(kMaxClearance))
                         .arg(text));
            return kExitUsage;
        }
    }
    const auto loaded = LoadTrace(a->positional.first(), io);
    if (!loaded)
        return kExitUsage;
    const QString mapPath = a->values[QStringLiteral("--map")];
    BspMap map;
    if (const QString e = map.Load(mapPath, kMapOptionPatches); !e.isEmpty()) {
        Fail(io, QStringLiteral("%1: %2").arg(mapPath, e));
        return kExitUsage;
    }
    if (!map.BrushError().isEmpty()) {
        Fail(io, QStringLiteral("%1: its solid brushes cannot be read: %2")
                     .arg(mapPath, map.BrushError()));
        return kExitUsage;
    }
    std::vector<PointRecord> path;
    int32_t upper = -1;
    UniformRandom rng = SeededRandom(*a);
    if (!BuildScriptPath(loaded->trace, rng, path, upper))
        Warn(io, QStringLiteral("no path: the trace has fewer than two control points"));
    const ClearanceReport r = SummariseClearance(
        map.Clearances().Classify(PathPositions(path, upper, {0, 0, 0}), float(distance)));
    QJsonArray inside, near;
    for (int32_t i : r.inside)
        inside.append(i);
    for (int32_t i : r.near)
        near.append(i);
    QJsonObject o;
    o[QStringLiteral("inside")] = inside;
    o[QStringLiteral("near")] = near;
    o[QStringLiteral("distance")] = distance;
    o[QStringLiteral("points")] = upper + 1;
    o[QStringLiteral("skipped_brushes")] = map.Clearances().SkippedBrushes();
    io.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
