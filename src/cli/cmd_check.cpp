// check TRACE: reads a trace and writes it back to stdout as the editor would save it.
#include "cli/cli_common.h"

#include <cstdio>

namespace kestrova::cli {

int RunCheck(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(args, {}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli check TRACE [--locale NAME]\n";
        return kExitOk;
    }
    if (a->positional.size() != 1) {
        Fail(io, QStringLiteral("check wants one trace file"));
        return kExitUsage;
    }
    const auto loaded = LoadTrace(a->positional.first(), io);
    if (!loaded)
        return kExitUsage;
    const QByteArray text = TraceFileText(CaptureTraceFile(loaded->trace, loaded->host));
    io.out.flush();
    if (std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout) !=
            static_cast<size_t>(text.size()) ||
        std::fflush(stdout) != 0) {
        Fail(io, QStringLiteral("cannot write to standard output"));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace kestrova::cli
