// path TRACE [--points N] [--script-pitch] [--seed S]: every path point as one line.
#include "cli/cli_common.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"

namespace kestrova::cli {

int RunPath(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(args, {QStringLiteral("--points"), QStringLiteral("--seed")},
                             {QStringLiteral("--script-pitch")}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli path TRACE [--points N] [--script-pitch] [--seed S]\n"
                  "  --points N      path points (default: the trace's setting)\n"
                  "  --script-pitch  pitch with the sign the game scripts use\n";
        return kExitOk;
    }
    if (a->positional.size() != 1) {
        Fail(io, QStringLiteral("path wants one trace file"));
        return kExitUsage;
    }
    int64_t points = -1;
    if (!IntOption(*a, QStringLiteral("--points"), 1, kMaxPathPoints, points, io))
        return kExitUsage;
    const auto loaded = LoadTrace(a->positional.first(), io);
    if (!loaded)
        return kExitUsage;
    Trace& trace = loaded->trace;
    const int n = trace.ControlCount();
    int32_t count = points > 0 ? static_cast<int32_t>(points) : trace.counts.pointCount;
    if (points > 0 && n > 1)
        count = FindFeasiblePointCount(count, n);

    io.out << "index;segment;x;y;z;pitch;yaw;roll;fov;ts\n";
    if (n < 2) {
        Warn(io, QStringLiteral("no path: the trace has fewer than two control points"));
        return kExitOk;
    }
    UniformRandom rng = SeededRandom(*a);
    std::vector<PointRecord> path;
    int32_t upper = -1;
    const bool scriptPitch = a->flags.contains(QStringLiteral("--script-pitch"));
    BuildPath(trace.points, count, path, !scriptPitch, count, upper, rng);
    if (const auto fault = FindNonFinitePathValue(path)) {
        Fail(io, NonFinitePathMessage(*fault));
        return kExitFailed;
    }
    for (int32_t i = 0; i <= upper; ++i) {
        const PointRecord& p = path[static_cast<size_t>(i)];
        io.out << i << ';' << p.segment << ';' << ShortestFloat(p.x) << ';' << ShortestFloat(p.y)
               << ';' << ShortestFloat(p.z) << ';' << ShortestFloat(p.pitch) << ';'
               << ShortestFloat(p.yaw) << ';' << ShortestFloat(p.roll) << ';'
               << ShortestFloat(p.fov) << ';' << ShortestFloat(p.ts) << '\n';
    }
    return kExitOk;
}

} // namespace kestrova::cli
