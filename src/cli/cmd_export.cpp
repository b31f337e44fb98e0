// export TRACE -o FILE.kv3dsx [--frames N] [--seed S]: the 3DS Max exchange file.
#include "cli/cli_common.h"
#include "core/files/exchange_export.h"
#include "core/files/text_file.h"
#include "core/path/point_count.h"

namespace kestrova::cli {

int RunExport(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(
        args, {QStringLiteral("-o"), QStringLiteral("--frames"), QStringLiteral("--seed")}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli export TRACE -o FILE.kv3dsx [--frames N] [--seed S]\n"
                  "  --frames N  animation frames (default 100)\n";
        return kExitOk;
    }
    if (a->positional.size() != 1 || !a->values.contains(QStringLiteral("-o"))) {
        Fail(io, QStringLiteral("export wants one trace file and -o FILE"));
        return kExitUsage;
    }
    int64_t frames = 100;
    if (!IntOption(*a, QStringLiteral("--frames"), 1, kMaxPathPoints, frames, io))
        return kExitUsage;
    const auto loaded = LoadTrace(a->positional.first(), io);
    if (!loaded)
        return kExitUsage;
    if (loaded->trace.ControlCount() < 2) {
        Fail(io, QStringLiteral("the trace needs at least two control points"));
        return kExitUsage;
    }
    UniformRandom rng = SeededRandom(*a);
    int32_t effective = 0;
    QString problem;
    const QByteArray text =
        ExchangeFileText(loaded->trace, static_cast<int32_t>(frames),
                         loaded->trace.counts.frameRate, rng, &effective, &problem);
    if (!problem.isEmpty()) {
        Fail(io, problem);
        return kExitFailed;
    }
    const QString outPath = a->values[QStringLiteral("-o")];
    QString reason;
    if (!WriteWholeFile(outPath, text, &reason)) {
        Fail(io, QStringLiteral("cannot write '%1': %2").arg(outPath, reason));
        return kExitFailed;
    }
    io.out << "Effective number of points: " << effective << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
