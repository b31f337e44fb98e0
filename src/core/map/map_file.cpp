#include "core/map/map_file.h"

#include "core/files/file_access.h"

#include <QFile>
#include <limits>
#include <minizip/unzip.h>
#include <unordered_map>

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

// Goes to the entry the game reads for name: names match ignoring case, and of two that match
// the later one in the archive's directory wins (the game's table of names puts it first).
bool LocateAsTheGame(unzFile zip, const QString& name) {
    const QString wanted = ArchiveNameKey(name);
    unz64_file_pos found{};
    bool any = false;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        char entry[1024];
        if (unzGetCurrentFileInfo64(zip, nullptr, entry, sizeof entry, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            return false;
        if (ArchiveNameKey(QString::fromUtf8(entry)) == wanted)
            any = unzGetFilePos64(zip, &found) == UNZ_OK;
    }
    return any && unzGoToFilePos64(zip, &found) == UNZ_OK;
}

QString ReadArchiveEntry(const QString& archivePath, const QString& entry, QByteArray& bytes) {
    if (QString e = ArchiveFileProblem(archivePath); !e.isEmpty())
        return e;
    Archive archive(archivePath);
    if (!archive.get())
        return QStringLiteral("cannot open the archive %1").arg(archivePath);
    if (!LocateAsTheGame(archive.get(), entry))
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

QString ArchiveNameKey(const QString& name) {
    QString key = name;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key.toLower();
}

QString ArchiveFileProblem(const QString& archive) {
    // minizip opens by name and would wait on a pipe or read a device for ever.
    QFile file;
    if (QString e = OpenRegularFile(archive, std::numeric_limits<qint64>::max(), file);
        !e.isEmpty())
        return QStringLiteral("cannot open the archive %1: %2").arg(archive, e);
    return {};
}

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
    if (QString e = ReadRegularFile(path, kMaxMapFileSize, bytes); !e.isEmpty())
        return QStringLiteral("cannot read %1: %2").arg(path, e);
    return {};
}

QStringList ListArchiveMaps(const QString& archivePath, QString& error) {
    error.clear();
    QStringList maps;
    std::unordered_map<QString, qsizetype> seen;
    error = ArchiveFileProblem(archivePath);
    if (!error.isEmpty())
        return maps;
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
        if (!entry.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive))
            continue;
        // One name per map, the one the game reads: the later of two that differ in case.
        const auto [at, added] = seen.try_emplace(ArchiveNameKey(entry), maps.size());
        if (!added)
            maps[at->second].clear();
        at->second = maps.size();
        maps << entry;
    }
    maps.removeAll(QString());
    return maps;
}

} // namespace kestrova
