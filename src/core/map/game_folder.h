#pragma once
// Maps looked up in a game or modification folder (baseq3, etmain, defrag, etpro...) the way the
// game's file system finds them: the folder's .pk3 archives, the one whose name sorts last
// (ignoring case) winning, then the loose maps/ folder, then for a modification its base game.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kestrova {

// Where one map's bytes come from.
struct MapSource {
    QString name;    // relative to maps/, as a trace stores it ("q3dm17.bsp")
    QString archive; // the .pk3 holding it, empty for a loose file
    QString entry;   // its path inside the archive ("maps/q3dm17.bsp")
    QString file;    // the loose file
    // What ReadMapBytes takes: "archive.pk3:maps/x.bsp" or the file.
    QString FullPath() const;
    bool InArchive() const { return !archive.isEmpty(); }
};

// A folder that holds .pk3 archives or a maps/ folder: what the game searches.
bool IsGameFolder(const QString& folder);

// The base game's folder beside a modification folder (baseq3, etmain or baseoa next to it);
// empty for a base game folder itself or when none is there.
QString BaseGameFolder(const QString& folder);

// The folder a user chose as "the game folder": itself when the game searches it, else the base
// game folder inside it (baseq3 in ~/.q3a, baseoa in OpenArena's folder), else itself.
QString GameFolderWithin(const QString& folder);

// The order the listings show names in: ignoring case, then exactly, so that the order is total.
bool LessIgnoringCase(const QString& a, const QString& b);

// The maps of one folder's archives. Built once, then reused by Get while the archives keep
// their names, sizes and times; loose files are looked at on every call.
class GameFolderIndex {
public:
    // The index of folder, from the cache when its archives have not changed.
    static std::shared_ptr<const GameFolderIndex> Get(const QString& folder);
    // Forgets every cached index (tests, and to free memory).
    static void ClearCache();

    const QString& Folder() const { return folder_; }
    // The archive that wins for name (relative to maps/), if any.
    std::optional<MapSource> FindInArchives(const QString& name) const;
    // Archives that could not be read, with the reason.
    const QStringList& Errors() const { return errors_; }

    struct ArchiveStamp {
        QString name;
        qint64 size = 0;
        QDateTime modified;
        bool operator==(const ArchiveStamp&) const = default;
    };

private:
    GameFolderIndex() = default;
    void Build();

    QString folder_;
    QList<ArchiveStamp> stamps_;
    QHash<QString, MapSource> maps_; // by lower-case name
    QStringList errors_;
    friend std::vector<MapSource> ListGameMapsIn(const QStringList& searchPath);
};

// Finds name in folder, then in its base game folder. Nothing when no source holds it.
std::optional<MapSource> FindGameMap(const QString& folder, const QString& name);
// Finds name in each folder of the game's search path in turn (no base folder added).
std::optional<MapSource> FindGameMapIn(const QStringList& searchPath, const QString& name);

// Why each archive of folder and its base game that the game would leave out could not be read.
QStringList UnreadableArchives(const QString& folder);
QStringList UnreadableArchivesIn(const QStringList& searchPath);

// Every map the folder and its base game offer, one per name (the winning source), by name.
std::vector<MapSource> ListGameMaps(const QString& folder);
std::vector<MapSource> ListGameMapsIn(const QStringList& searchPath);

} // namespace kestrova
