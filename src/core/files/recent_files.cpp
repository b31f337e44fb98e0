#include "core/files/recent_files.h"

#include "core/settings/registry.h"

namespace kestrova {

namespace {
const QString kRecentFilesValue = QStringLiteral("RecentFiles");
}

QStringList RegistryRecentFilesStore::Load(const QString& key) {
    const RegValue v = RegReadValue(key, kRecentFilesValue);
    return v.IsMultiString() ? v.MultiString() : QStringList{};
}

void RegistryRecentFilesStore::Save(const QString& key, const QStringList& values) {
    RegWriteValue(key, kRecentFilesValue, RegType::MultiSz, values);
}

bool RecentFiles::Init(RecentFilesStore* store, const QString& key, int maximum) {
    store_ = store;
    key_ = key;
    maximum_ = maximum > 0 ? maximum : kMaxRecentFiles;
    Load();
    return store_ != nullptr;
}

void RecentFiles::Load() {
    entries_ = store_ ? FromStringList(store_->Load(key_), maximum_) : QList<RecentFile>{};
}

void RecentFiles::Add(const QString& caption, const QString& path) {
    for (qsizetype i = entries_.size() - 1; i >= 0; --i)
        if (entries_[i].path == path)
            entries_.removeAt(i);
    entries_.prepend({caption, path});
    while (entries_.size() > maximum_)
        entries_.removeLast();
    Save();
}

void RecentFiles::Remove(int index) {
    if (index < 0 || index >= entries_.size())
        return;
    entries_.removeAt(index);
    Save();
}

void RecentFiles::Save() {
    if (store_)
        store_->Save(key_, ToStringList(entries_));
}

QStringList RecentFiles::ToStringList(const QList<RecentFile>& entries) {
    QStringList out;
    for (const RecentFile& e : entries)
        out << e.caption << e.path;
    return out;
}

QList<RecentFile> RecentFiles::FromStringList(const QStringList& values, int maximum) {
    QList<RecentFile> out;
    for (qsizetype i = 0; i + 1 < values.size() && out.size() < maximum; i += 2)
        if (!values[i + 1].isEmpty())
            out.append({values[i], values[i + 1]});
    return out;
}

} // namespace kestrova
