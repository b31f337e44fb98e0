// import-cam FILE.cam -o TRACE.dfkv|TRACE.ep3t [--tolerance U]: a trace fitted to a camera file.
#include "cli/cli_common.h"
#include "core/files/cam_fit.h"
#include "core/files/text_file.h"
#include "core/script/game_profile.h"

namespace kestrova::cli {

int RunImportCam(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(args, {QStringLiteral("-o"), QStringLiteral("--tolerance")}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli import-cam FILE.cam -o TRACE.dfkv|TRACE.ep3t "
                  "[--tolerance U]\n"
                  "  Fits as few control points as the tolerance allows (at most 250) to an\n"
                  "  advancedfx Cam file (versions 1 and 2). The extension of TRACE chooses the\n"
                  "  game (.dfkv Defrag, .ep3t ET Pro).\n"
                  "  --tolerance U  largest distance in game units (default 1); angles and fov\n"
                  "                 stay within 0.5 degree\n";
        return kExitOk;
    }
    if (a->positional.size() != 1 || !a->values.contains(QStringLiteral("-o"))) {
        Fail(io, QStringLiteral("import-cam wants one .cam file and -o TRACE"));
        return kExitUsage;
    }
    const QString outPath = a->values[QStringLiteral("-o")];
    int game = -1;
    if (outPath.endsWith(QStringLiteral(".dfkv"), Qt::CaseInsensitive))
        game = kGameDefrag;
    else if (outPath.endsWith(QStringLiteral(".ep3t"), Qt::CaseInsensitive))
        game = kGameEtPro;
    if (game < 0) {
        Fail(io, QStringLiteral("the trace's name must end in .dfkv (Defrag) or .ep3t (ET Pro)"));
        return kExitUsage;
    }
    CamFitTolerance tolerance;
    if (a->values.contains(QStringLiteral("--tolerance"))) {
        bool ok = false;
        tolerance.units = a->values[QStringLiteral("--tolerance")].toDouble(&ok);
        if (!ok || !(tolerance.units > 0) || tolerance.units > 1000) {
            Fail(io, QStringLiteral("option --tolerance wants a number of units above 0, not '%1'")
                         .arg(a->values[QStringLiteral("--tolerance")]));
            return kExitUsage;
        }
    }
    const QString inPath = a->positional.first();
    const std::optional<QByteArray> bytes = ReadTextFileBytes(inPath);
    if (!bytes) {
        Fail(io, QStringLiteral("cannot read '%1'").arg(inPath));
        return kExitUsage;
    }
    std::vector<CamFrame> frames;
    if (const QString error = ReadCamFile(*bytes, frames); !error.isEmpty()) {
        Fail(io, QStringLiteral("%1: %2").arg(inPath, error));
        return kExitUsage;
    }
    const CamFit fit = FitCamFrames(frames, tolerance);
    const Trace trace = CamFitTrace(fit);
    KeptTraceExtras host;
    host.extras.game = game;
    host.extras.aviDemos = {fit.frameRate};
    if (!WriteTraceFile(outPath, CaptureTraceFile(trace, host))) {
        Fail(io, QStringLiteral("cannot write '%1'").arg(outPath));
        return kExitFailed;
    }
    if (!fit.withinTolerance)
        Warn(io, QStringLiteral("250 control points leave the path up to %1 units and %2 degrees "
                                "from the camera")
                     .arg(fit.unitsError, 0, 'f', 3)
                     .arg(fit.degreesError, 0, 'f', 3));
    io.out << "Frames: " << frames.size() << "\n"
           << "Frame rate: " << fit.frameRate << "\n"
           << "Control points: " << trace.ControlCount() << "\n"
           << "Effective number of points: " << fit.pointCount << "\n"
           << "Largest difference: " << QString::number(fit.unitsError, 'f', 3) << " units, "
           << QString::number(fit.degreesError, 'f', 3) << " degrees\n";
    return kExitOk;
}

} // namespace kestrova::cli
