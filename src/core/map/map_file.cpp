#include "core/map/map_file.h"

#include <QFile>
#include <minizip/unzip.h>

namespace kestrova {

namespace {

// Closes the archive on every path out.
class Archive {
public:
    explicit Archive(const QString& path) : zip_(unzOpen64(QFile::encodeName(path).constData())) {}
    ~Archive() {
        if (zip_)
            unzClose(zip_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    unzFile get() const { return zip_; }

private:
    unzFile zip_;
};

QString ReadArchiveEntry(const QString& archivePath, const QString& entry, QByteArray& bytes) {
    Archive archive(archivePath);
    if (!archive.get())
        return QStringLiteral("cannot open the archive %1").arg(archivePath);
    // Archive names are case-insensitive in the game: 2 asks minizip to ignore case.
    if (unzLocateFile(archive.get(), entry.toUtf8().constData(), 2) != UNZ_OK)
        return QStringLiteral("%1 holds no entry %2").arg(archivePath, entry);
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return QStringLiteral("cannot read the entry %1 of %2").arg(entry, archivePath);
    if (info.uncompressed_size > quint64(kMaxMapFileSize))
        return QStringLiteral("the entry %1 is too large for a map (%2 bytes)")
            .arg(entry)
            .arg(info.uncompressed_size);
    if (unzOpenCurrentFile(archive.get()) != UNZ_OK)
        return QStringLiteral("cannot read the entry %1 of %2").arg(entry, archivePath);
    bytes.resize(qsizetype(info.uncompressed_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const unsigned chunk = unsigned(std::min<qsizetype>(bytes.size() - done, 1 << 24));
        const int n = unzReadCurrentFile(archive.get(), bytes.data() + done, chunk);
        if (n <= 0)
            break;
        done += n;
    }
    // Closing checks the CRC of what was read.
    const int closed = unzCloseCurrentFile(archive.get());
    if (done != bytes.size() || closed != UNZ_OK) {
        bytes.clear();
        return QStringLiteral("the entry %1 of %2 is damaged").arg(entry, archivePath);
    }
    return {};
}

} // namespace

bool SplitArchivePath(const QString& path, QString& archive, QString& entry) {
    const qsizetype at = path.lastIndexOf(QLatin1String(".pk3:"), -1, Qt::CaseInsensitive);
    if (at < 0)
        return false;
    archive = path.left(at + 4);
    entry = path.mid(at + 5);
    return true;
}

QString ReadMapBytes(const QString& path, QByteArray& bytes) {
    bytes.clear();
    QString archive;
    QString entry;
    if (SplitArchivePath(path, archive, entry) && !QFile::exists(path))
        return ReadArchiveEntry(archive, entry, bytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    if (file.size() > kMaxMapFileSize)
        return QStringLiteral("%1 is too large for a map (%2 bytes)").arg(path).arg(file.size());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    }
    return {};
}

QStringList ListArchiveMaps(const QString& archivePath, QString& error) {
    error.clear();
    QStringList maps;
    Archive archive(archivePath);
    if (!archive.get()) {
        error = QStringLiteral("cannot open the archive %1").arg(archivePath);
        return maps;
    }
    for (int r = unzGoToFirstFile(archive.get()); r == UNZ_OK; r = unzGoToNextFile(archive.get())) {
        char name[1024];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(archive.get(), &info, name, sizeof name, nullptr, 0, nullptr,
                                    0) != UNZ_OK)
            break;
        const QString entry = QString::fromUtf8(name);
        if (entry.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive))
            maps << entry;
    }
    return maps;
}

} // namespace kestrova
