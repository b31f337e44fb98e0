// map-export MAP -o FILE.obj [--offset X,Y,Z]: the map's drawn world as a Wavefront file.
#include "cli/cli_common.h"
#include "core/files/obj_export.h"
#include "core/files/text_file.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"

#include <QFileInfo>

namespace kestrova::cli {

int RunMapExport(const QStringList& args, CliStreams& io) {
    const auto a = ParseArgs(args, {QStringLiteral("-o"), QStringLiteral("--offset")}, {}, io);
    if (!a)
        return kExitUsage;
    if (a->help) {
        io.out << "Usage: kestrova3d-cli map-export MAP.bsp|ARCHIVE.pk3:maps/MAP.bsp -o FILE.obj "
                  "[--offset X,Y,Z]\n"
                  "  Brush faces, patches and meshes in game units and axes, one group per\n"
                  "  shader; no sky, hint or clip surfaces.\n"
                  "  --offset X,Y,Z  the map's origin offset (Map > Origin in the editor)\n";
        return kExitOk;
    }
    if (a->positional.size() != 1 || !a->values.contains(QStringLiteral("-o"))) {
        Fail(io, QStringLiteral("map-export wants one map and -o FILE.obj"));
        return kExitUsage;
    }
    std::array<float, 3> offset{0, 0, 0};
    if (a->values.contains(QStringLiteral("--offset"))) {
        const QStringList parts = a->values[QStringLiteral("--offset")].split(QLatin1Char(','));
        bool ok = parts.size() == 3;
        for (int i = 0; ok && i < 3; ++i)
            offset[size_t(i)] = parts[i].trimmed().toFloat(&ok);
        if (!ok) {
            Fail(io, QStringLiteral("option --offset wants three numbers X,Y,Z, not '%1'")
                         .arg(a->values[QStringLiteral("--offset")]));
            return kExitUsage;
        }
    }
    const QString path = a->positional.first();
    BspMap map;
    if (const QString error = map.Load(path, kMapOptionPatches); !error.isEmpty()) {
        Fail(io, QStringLiteral("%1: %2").arg(path, error));
        return kExitUsage;
    }
    const QString outPath = a->values[QStringLiteral("-o")];
    const QByteArray text = ObjFileText(map.Geometry(), offset, QFileInfo(path).fileName());
    QString reason;
    if (!WriteWholeFile(outPath, text, &reason)) {
        Fail(io, QStringLiteral("cannot write '%1': %2").arg(outPath, reason));
        return kExitFailed;
    }
    io.out << "Triangles: " << map.Geometry().TriangleCount() << "\n";
    return kExitOk;
}

} // namespace kestrova::cli
