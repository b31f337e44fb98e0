#pragma once
// What the commands share: option parsing, loading a trace as the editor does, number text.

#include "cli/cli_command.h"
#include "core/files/trace_file.h"
#include "core/model/trace.h"
#include "core/model/undo.h"
#include "core/path/random.h"

#include <QMap>
#include <memory>
#include <optional>

namespace kestrova::cli {

struct ParsedArgs {
    QStringList positional;
    QMap<QString, QString> values; // options that take a value
    QStringList flags;             // options without one
    bool help = false;
};

// Fails with one line on err for an unknown option or a missing value.
std::optional<ParsedArgs> ParseArgs(const QStringList& args, const QStringList& valueOptions,
                                    const QStringList& flagOptions, CliStreams& io);

// An integer option; nothing (with a message) when present but not a number in range.
bool IntOption(const ParsedArgs& a, const QString& name, int64_t lo, int64_t hi, int64_t& value,
               CliStreams& io);

// The trace as the editor holds it after opening the file.
struct LoadedTrace {
    Trace trace;
    UndoHistory undo;
    KeptTraceExtras host;
    TraceFileContents contents; // as read, before the editor's lookups
};

// Reads and applies the file; messages that reading shows go to err as warnings.
std::unique_ptr<LoadedTrace> LoadTrace(const QString& path, CliStreams& io);

// A random sequence seeded by --seed, or the default seed.
UniformRandom SeededRandom(const ParsedArgs& a);

// The shortest text that reads back to the same 32-bit float.
QString ShortestFloat(float v);

void Fail(CliStreams& io, const QString& message);
void Warn(CliStreams& io, const QString& message);

} // namespace kestrova::cli
