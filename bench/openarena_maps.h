#pragma once
// The OpenArena maps Debian installs, as the benchmarks use them.

#include "core/map/bsp_map.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cmath>
#include <minizip/unzip.h>

namespace kestrova::bench {

// "archive.pk3:maps/x.bsp" of the largest map installed, or empty.
inline QString LargestMap() {
    static QString largest = [] {
        QString best;
        quint64 bestSize = 0;
        const QDir base(QStringLiteral("/usr/share/games/openarena/baseoa"));
        for (const QString& pk3 : base.entryList({QStringLiteral("*.pk3")}, QDir::Files)) {
            unzFile zip = unzOpen64(QFile::encodeName(base.filePath(pk3)).constData());
            if (!zip)
                continue;
            for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
                char name[512];
                unz_file_info64 info{};
                unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
                const QString entry = QString::fromUtf8(name);
                if (entry.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive) &&
                    info.uncompressed_size > bestSize) {
                    bestSize = info.uncompressed_size;
                    best = base.filePath(pk3) + QLatin1Char(':') + entry;
                }
            }
            unzClose(zip);
        }
        return best;
    }();
    return largest;
}

// The timings' trace: a spiral of 250 points over the map's bounds, at mid height, with a
// 40000-point path.
inline void SpiralOverMap(Trace& trace, const MapBoundsArray& b) {
    trace.counts.pointCount = 40000;
    for (int i = 0; i < kMaxPoints; ++i) {
        const double t = i / 249.0;
        const double a = t * 6 * 3.14159265358979;
        const double r = 0.45 * t;
        const double x = (b[0][0] + b[0][1]) / 2 + r * (b[0][1] - b[0][0]) * std::cos(a);
        const double y = (b[1][0] + b[1][1]) / 2 + r * (b[1][1] - b[1][0]) * std::sin(a);
        const double z = (b[2][0] + b[2][1]) / 2;
        AppendPointXYZ(trace, kControl, x, y, z, Angles{0, static_cast<float>(i), 0}, false);
    }
    RebuildPath(trace);
    UpdateTimeLabels(trace);
}

} // namespace kestrova::bench
