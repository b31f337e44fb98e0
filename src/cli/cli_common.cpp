#include "cli/cli_common.h"

#include "core/files/text_file.h"

#include <array>
#include <charconv>

namespace kestrova::cli {

void Fail(CliStreams& io, const QString& message) {
    io.err << "kestrova3d-cli: " << message << "\n";
    io.err.flush();
}

void Warn(CliStreams& io, const QString& message) {
    QString one = message;
    one.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    io.err << "kestrova3d-cli: warning: " << one << "\n";
    io.err.flush();
}

std::optional<ParsedArgs> ParseArgs(const QStringList& args, const QStringList& valueOptions,
                                    const QStringList& flagOptions, CliStreams& io) {
    ParsedArgs a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& s = args[i];
        if (s == QLatin1String("--help") || s == QLatin1String("-h")) {
            a.help = true;
        } else if (valueOptions.contains(s)) {
            if (i + 1 >= args.size()) {
                Fail(io, QStringLiteral("option %1 needs a value").arg(s));
                return std::nullopt;
            }
            a.values[s] = args[++i];
        } else if (flagOptions.contains(s)) {
            a.flags.append(s);
        } else if (s.startsWith(QLatin1Char('-')) && s.size() > 1) {
            Fail(io, QStringLiteral("unknown option: %1").arg(s));
            return std::nullopt;
        } else {
            a.positional.append(s);
        }
    }
    return a;
}

bool IntOption(const ParsedArgs& a, const QString& name, int64_t lo, int64_t hi, int64_t& value,
               CliStreams& io) {
    if (!a.values.contains(name))
        return true;
    bool ok = false;
    const qlonglong v = a.values[name].toLongLong(&ok);
    if (!ok || v < lo || v > hi) {
        Fail(io, QStringLiteral("option %1 wants a whole number from %2 to %3, not '%4'")
                     .arg(name)
                     .arg(lo)
                     .arg(hi)
                     .arg(a.values[name]));
        return false;
    }
    value = v;
    return true;
}

std::unique_ptr<LoadedTrace> LoadTrace(const QString& path, CliStreams& io) {
    QString reason;
    const std::optional<QStringList> lines = ReadTraceFileLines(path, &reason);
    if (!lines || !LooksLikeTraceFile(*lines)) {
        Fail(io, QStringLiteral("cannot read trace '%1': %2")
                     .arg(path, reason.isEmpty() ? QStringLiteral("Data reading error.") : reason));
        return nullptr;
    }
    auto t = std::make_unique<LoadedTrace>();
    TraceFileContents c = CurrentTraceFileValues(t->trace, t->host);
    ReadTraceFile(*lines, c, {});
    t->contents = c;
    SilentDialogs dialogs;
    ApplyTraceFile(std::move(c), t->trace, t->undo, t->host, dialogs);
    for (const QString& m : dialogs.messages)
        Warn(io, m);
    return t;
}

UniformRandom SeededRandom(const ParsedArgs& a) {
    UniformRandom rng;
    if (a.values.contains(QStringLiteral("--seed")))
        rng.Seed(a.values[QStringLiteral("--seed")].toULongLong());
    return rng;
}

QString ShortestFloat(float v) {
    std::array<char, 32> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return QString::fromLatin1(buf.data(), r.ptr - buf.data());
}

} // namespace kestrova::cli
