#pragma once
// The recent-files list of a game: at most ten entries, the most recent first, each a caption
// and a full path, kept under the game's key of a small store.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kestrova {

constexpr int kMaxRecentFiles = 10;

// Where the list is kept: one string list per key (caption, path, caption, path, ...).
class RecentFilesStore {
public:
    virtual ~RecentFilesStore() = default;
    virtual QStringList Load(const QString& key) = 0;
    virtual void Save(const QString& key, const QStringList& values) = 0;
};

// The editor's store: one string array "RecentFiles" under the game's key of the settings store.
class RegistryRecentFilesStore : public RecentFilesStore {
public:
    QStringList Load(const QString& key) override;
    void Save(const QString& key, const QStringList& values) override;
};

// Kept in memory only: the command line and tests.
class MemoryRecentFilesStore : public RecentFilesStore {
public:
    QStringList Load(const QString& key) override { return lists.value(key); }
    void Save(const QString& key, const QStringList& values) override { lists[key] = values; }
    QMap<QString, QStringList> lists;
};

struct RecentFile {
    QString caption;
    QString path;
};

class RecentFiles {
public:
    // Binds the list to a key of the store and loads it.
    bool Init(RecentFilesStore* store, const QString& key, int maximum = kMaxRecentFiles);
    void Load();
    // Puts the entry first; an entry with the same path moves up instead of doubling.
    void Add(const QString& caption, const QString& path);
    void Remove(int index);
    const QList<RecentFile>& Entries() const { return entries_; }
    const QString& Key() const { return key_; }

    static QStringList ToStringList(const QList<RecentFile>& entries);
    static QList<RecentFile> FromStringList(const QStringList& values, int maximum);

private:
    void Save();
    RecentFilesStore* store_ = nullptr;
    QString key_;
    int maximum_ = kMaxRecentFiles;
    QList<RecentFile> entries_;
};

} // namespace kestrova
