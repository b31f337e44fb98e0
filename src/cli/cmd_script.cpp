// script TRACE -o FOLDER/NAME.cfg [--seed S]: the camera script files the editor writes there.
#include "cli/cli_common.h"
#include "core/dialogs.h"
#include "core/script/script_location.h"
#include "core/script/script_writer.h"

namespace kestrova::cli {

int RunScript(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(args, {QStringLiteral("-o"), QStringLiteral("--seed")}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli script TRACE -o FOLDER/NAME.cfg [--seed S]\n"
                  "  Writes the chained camera scripts with the trace's own options and game.\n";
        return kExitOk;
    }
    if (a->positional.size() != 1 || !a->values.contains(QStringLiteral("-o"))) {
        Fail(io, QStringLiteral("script wants one trace file and -o FOLDER/NAME.cfg"));
        return kExitUsage;
    }
    const auto loaded = LoadTrace(a->positional.first(), io);
    if (!loaded)
        return kExitUsage;
    if (loaded->trace.ControlCount() < 2) {
        Fail(io, QStringLiteral("the trace needs at least two control points"));
        return kExitUsage;
    }
    const QString savePath = a->values[QStringLiteral("-o")];
    const int game = loaded->contents.game;
    if (!LocateScript(savePath, game).valid)
        Warn(io, QStringLiteral("'%1' is not inside the game's mod folder; the script paths "
                                "will be relative to its own folder")
                     .arg(savePath));

    // Nobody to ask here: questions take their default, messages become warnings.
    SilentDialogs dialogs;
    UniformRandom rng = SeededRandom(*a);
    const ScriptWriteResult r = CreateCameraScript(savePath, loaded->trace, game, dialogs, rng);
    if (r.status != ScriptWriteStatus::Written) {
        for (const QString& m : dialogs.messages)
            Warn(io, m);
        Fail(io, QStringLiteral("the script could not be written to '%1'").arg(savePath));
        return kExitFailed;
    }
    io.out << "Effective number of points: " << r.pointCount << "\n";
    for (const QString& f : r.files)
        io.out << f << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
