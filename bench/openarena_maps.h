#pragma once
// The OpenArena maps Debian installs, as the benchmarks use them.

#include <QDir>
#include <QFile>
#include <QString>
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

} // namespace kestrova::bench
