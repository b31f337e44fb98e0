// kestrova3d-cli: batch use of the editor's core.
#include "cli/cli_command.h"
#include "core/settings/language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTextStream>

namespace {

using kestrova::cli::CliCommand;

const CliCommand kCommands[] = {
#define KESTROVA_CLI_COMMAND(name, usage, function) {name, usage, kestrova::cli::function},
#include "cli/commands.def"
#undef KESTROVA_CLI_COMMAND
};

int Usage(QTextStream& out) {
    out << "Usage: kestrova3d-cli COMMAND [OPTIONS]\n";
    for (const CliCommand& c : kCommands)
        out << "  " << c.name << " " << c.usage << "\n";
    out << "Options of every command:\n"
           "  --locale NAME  regional number format of trace files (e.g. fr_FR)\n"
           "  --help         print the help of a command\n"
           "  --version      print the version\n";
    return 0;
}

// Takes --locale NAME out of args and makes it the default; false on a bad name.
bool ApplyLocale(QStringList& args, QTextStream& err) {
    const qsizetype i = args.indexOf(QStringLiteral("--locale"));
    if (i < 0)
        return true;
    if (i + 1 >= args.size()) {
        err << "kestrova3d-cli: option --locale needs a value\n";
        return false;
    }
    const QString name = args[i + 1];
    const QLocale loc(name);
    if (loc.language() == QLocale::C && name != QLatin1String("C")) {
        err << "kestrova3d-cli: unknown locale: " << name << "\n";
        return false;
    }
    QLocale::setDefault(loc);
    args.remove(i, 2);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help"))
        return Usage(out);
    if (args.contains(QLatin1String("--version"))) {
        out << kestrova::fStr(kestrova::kVersionStringId) << "\n";
        return 0;
    }
    if (!ApplyLocale(args, err))
        return kestrova::cli::kExitUsage;
    if (args.isEmpty()) {
        err << "kestrova3d-cli: no command given (see --help)\n";
        return kestrova::cli::kExitUsage;
    }
    const QString name = args.takeFirst();
    for (const CliCommand& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            kestrova::cli::CliStreams io{out, err};
            const int rc = c.run(args, io);
            out.flush();
            err.flush();
            return rc;
        }
    }
    err << "kestrova3d-cli: unknown command: " << name << "\n";
    return kestrova::cli::kExitUsage;
}
