// export TRACE -o FILE.kv3dsx|FILE.cam [--frames N] [--seed S]: the 3DS Max exchange file, or
// the camera file of compositing tools; the extension chooses.
#include "cli/cli_common.h"
#include "core/files/cam_file.h"
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
        io.out << "Usage: kestrova3d-cli export TRACE -o FILE.kv3dsx|FILE.cam [--frames N] "
                  "[--seed S]\n"
                  "  FILE.kv3dsx  3DS Max exchange file\n"
                  "  FILE.cam     advancedfx Cam file (version 2) of the path the camera scripts\n"
                  "               play, for Blender, After Effects and other compositing tools\n"
                  "  --frames N   animation frames of the .kv3dsx file (default 100)\n";
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
    const QString outPath = a->values[QStringLiteral("-o")];
    const bool cam = outPath.endsWith(QStringLiteral(".cam"), Qt::CaseInsensitive);
    if (cam && a->values.contains(QStringLiteral("--frames"))) {
        Fail(io, QStringLiteral("a .cam file has the trace's own point count, one per game frame; "
                                "--frames is for .kv3dsx files"));
        return kExitUsage;
    }
    UniformRandom rng = SeededRandom(*a);
    int32_t effective = 0;
    QString problem;
    const QByteArray text =
        cam ? TraceCamFileText(loaded->trace, rng, &effective, &problem)
            : ExchangeFileText(loaded->trace, static_cast<int32_t>(frames),
                               loaded->trace.counts.frameRate, rng, &effective, &problem);
    if (!problem.isEmpty()) {
        Fail(io, problem);
        return kExitFailed;
    }
    QString reason;
    if (!WriteWholeFile(outPath, text, &reason)) {
        Fail(io, QStringLiteral("cannot write '%1': %2").arg(outPath, reason));
        return kExitFailed;
    }
    io.out << "Effective number of points: " << effective << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
