#pragma once
// The commands of kestrova3d-cli. A command is one function in its own file plus one line in
// commands.def, which declares it here and lists it in main.cpp's table.

#include <QStringList>
#include <QTextStream>

namespace kestrova::cli {

struct CliStreams {
    QTextStream& out;
    QTextStream& err;
};

// args: what follows the command name (the global --locale already removed).
using CliRun = int (*)(const QStringList& args, CliStreams& io);

struct CliCommand {
    const char* name;
    const char* usage; // arguments, shown by --help
    CliRun run;
};

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // output could not be written
constexpr int kExitUsage = 2;  // bad option, missing or unreadable input

#define KESTROVA_CLI_COMMAND(name, usage, function) int function(const QStringList&, CliStreams&);
#include "cli/commands.def"
#undef KESTROVA_CLI_COMMAND

} // namespace kestrova::cli
