// kestrova3d-cli: batch use of the editor's core.
#include "cli/map_info_command.h"
#include "core/settings/language.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

int Usage(QTextStream& out) {
    out << "Usage: kestrova3d-cli COMMAND [OPTIONS]\n"
           "  --version   print the version\n"
           "  --help      print this help\n"
           "  map-info MAP.bsp   describe a map as JSON (MAP may be ARCHIVE.pk3:maps/x.bsp)\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help"))
        return Usage(out);
    if (args.first() == QLatin1String("--version")) {
        out << kestrova::fStr(kestrova::kVersionStringId) << "\n";
        return 0;
    }
    if (args.first() == QLatin1String("map-info"))
        return kestrova::cli::RunMapInfo(args.mid(1), out, err);
    err << "kestrova3d-cli: unknown command: " << args.first() << "\n";
    return 2;
}
