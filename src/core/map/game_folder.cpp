#include "core/map/game_folder.h"

#include "core/map/map_file.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <algorithm>
#include <minizip/unzip.h>

namespace kestrova {

namespace {

const QLatin1String kMapsPrefix("maps/");

// The base games whose folders modifications sit beside; OpenArena's counts as one.
const char* const kBaseGames[] = {"baseq3", "etmain", "baseoa"};

QString Key(const QString& name) {
    return ArchiveNameKey(name);
}

QList<GameFolderIndex::ArchiveStamp> ListArchives(const QString& folder) {
    QList<GameFolderIndex::ArchiveStamp> stamps;
    // Unreadable archives are listed too, to be reported rather than passed over.
    const QFileInfoList infos = QDir(folder).entryInfoList({QStringLiteral("*.pk3")}, QDir::Files);
    for (const QFileInfo& info : infos)
        stamps.append({info.fileName(), info.size(), info.lastModified()});
    std::sort(stamps.begin(), stamps.end(),
              [](const auto& a, const auto& b) { return LessIgnoringCase(a.name, b.name); });
    return stamps;
}

// The folder's "maps" folders in any case ("maps" first), each ending with '/'.
QStringList LooseMapFolders(const QString& folder) {
    QStringList found;
    const QDir dir(folder);
    for (const QString& e : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (e.compare(QLatin1String("maps"), Qt::CaseInsensitive) == 0)
            found << dir.filePath(e) + QLatin1Char('/');
    return found;
}

// The loose maps/<name> of folder, matched ignoring case as the game's archives are.
std::optional<MapSource> FindLoose(const QString& folder, const QString& name) {
    for (const QString& maps : LooseMapFolders(folder)) {
        const QString exact = maps + name;
        if (QFileInfo(exact).isFile())
            return MapSource{name, {}, {}, exact};
        if (name.contains(QLatin1Char('/')))
            continue;
        const QStringList files = QDir(maps).entryList(QDir::Files);
        for (const QString& f : files)
            if (f.compare(name, Qt::CaseInsensitive) == 0)
                return MapSource{f, {}, {}, maps + f};
    }
    return std::nullopt;
}

QMutex cacheMutex;
QHash<QString, std::shared_ptr<const GameFolderIndex>>& Cache() {
    static QHash<QString, std::shared_ptr<const GameFolderIndex>> cache;
    return cache;
}

} // namespace

QString MapSource::FullPath() const {
    return InArchive() ? archive + QLatin1Char(':') + entry : file;
}

bool IsGameFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    const QDir dir(folder);
    return !LooseMapFolders(folder).isEmpty() ||
           !dir.entryList({QStringLiteral("*.pk3")}, QDir::Files).isEmpty();
}

QString BaseGameFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir())
        return {};
    const QString name = info.fileName();
    for (const char* base : kBaseGames)
        if (name.compare(QLatin1String(base), Qt::CaseInsensitive) == 0)
            return {};
    const QDir parent(info.absolutePath());
    const QStringList siblings = parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const char* base : kBaseGames)
        for (const QString& s : siblings)
            if (s.compare(QLatin1String(base), Qt::CaseInsensitive) == 0)
                return parent.filePath(s);
    return {};
}

QString GameFolderWithin(const QString& folder) {
    if (IsGameFolder(folder))
        return folder;
    const QDir dir(folder);
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const char* base : kBaseGames)
        for (const QString& child : children)
            if (child.compare(QLatin1String(base), Qt::CaseInsensitive) == 0 &&
                IsGameFolder(dir.filePath(child)))
                return dir.filePath(child);
    return folder;
}

bool LessIgnoringCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

std::shared_ptr<const GameFolderIndex> GameFolderIndex::Get(const QString& folder) {
    const QString key = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // Listing the folder is cheap; reading every archive's directory is what the cache saves.
    QList<ArchiveStamp> stamps = ListArchives(key);
    {
        QMutexLocker lock(&cacheMutex);
        const auto found = Cache().constFind(key);
        if (found != Cache().constEnd() && (*found)->stamps_ == stamps)
            return *found;
    }
    std::shared_ptr<GameFolderIndex> index(new GameFolderIndex);
    index->folder_ = key;
    index->stamps_ = std::move(stamps);
    index->Build();
    QMutexLocker lock(&cacheMutex);
    Cache().insert(key, index);
    return index;
}

void GameFolderIndex::ClearCache() {
    QMutexLocker lock(&cacheMutex);
    Cache().clear();
}

void GameFolderIndex::Build() {
    // Later archives overwrite earlier ones' entries: the last in name order wins.
    for (const ArchiveStamp& stamp : stamps_) {
        const QString path = folder_ + QLatin1Char('/') + stamp.name;
        if (QString e = ArchiveFileProblem(path); !e.isEmpty()) {
            errors_ << e;
            continue;
        }
        unzFile zip = unzOpen64(QFile::encodeName(path).constData());
        if (!zip) {
            errors_ << QStringLiteral("cannot open the archive %1").arg(path);
            continue;
        }
        for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
            char name[1024];
            unz_file_info64 info{};
            if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK) {
                errors_ << QStringLiteral("cannot read the directory of %1").arg(path);
                break;
            }
            const QString entry = QString::fromUtf8(name);
            if (!entry.startsWith(kMapsPrefix, Qt::CaseInsensitive) ||
                !entry.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive))
                continue;
            const QString mapName = entry.mid(kMapsPrefix.size());
            maps_.insert(Key(mapName), MapSource{mapName, path, entry, {}});
        }
        unzClose(zip);
    }
}

std::optional<MapSource> GameFolderIndex::FindInArchives(const QString& name) const {
    const auto found = maps_.constFind(Key(name));
    if (found == maps_.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<MapSource> FindGameMap(const QString& folder, const QString& name) {
    return FindGameMapIn({folder, BaseGameFolder(folder)}, name);
}

std::optional<MapSource> FindGameMapIn(const QStringList& searchPath, const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    QString clean = name;
    clean.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString& f : searchPath) {
        if (f.isEmpty())
            continue;
        if (auto found = GameFolderIndex::Get(f)->FindInArchives(clean))
            return found;
        if (auto found = FindLoose(f, clean))
            return found;
    }
    return std::nullopt;
}

QStringList UnreadableArchives(const QString& folder) {
    return UnreadableArchivesIn({folder, BaseGameFolder(folder)});
}

QStringList UnreadableArchivesIn(const QStringList& searchPath) {
    QStringList errors;
    for (const QString& f : searchPath)
        if (!f.isEmpty() && QFileInfo(f).isDir())
            errors << GameFolderIndex::Get(f)->Errors();
    return errors;
}

std::vector<MapSource> ListGameMaps(const QString& folder) {
    return ListGameMapsIn({folder, BaseGameFolder(folder)});
}

std::vector<MapSource> ListGameMapsIn(const QStringList& searchPath) {
    QHash<QString, MapSource> seen;
    for (const QString& f : searchPath) {
        if (f.isEmpty())
            continue;
        QHash<QString, MapSource> here = GameFolderIndex::Get(f)->maps_;
        for (const QString& maps : LooseMapFolders(f)) {
            const QStringList loose = QDir(maps).entryList({QStringLiteral("*.bsp")}, QDir::Files);
            for (const QString& l : loose)
                if (!here.contains(Key(l)))
                    here.insert(Key(l), MapSource{l, {}, {}, maps + l});
        }
        // The modification's own maps hide its base game's.
        for (auto it = here.cbegin(); it != here.cend(); ++it)
            if (!seen.contains(it.key()))
                seen.insert(it.key(), it.value());
    }
    std::vector<MapSource> list(seen.cbegin(), seen.cend());
    std::sort(list.begin(), list.end(), [](const MapSource& a, const MapSource& b) {
        return LessIgnoringCase(a.name, b.name);
    });
    return list;
}

} // namespace kestrova
