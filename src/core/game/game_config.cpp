#include "core/game/game_config.h"

#include "core/game/folder_walk.h"

#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace kestrova {

namespace {
constexpr int kNoneString = 59;
} // namespace

void ScriptList::Clear() {
    items_ = QStringList{kNone};
    selected_ = 0;
}

QStringList ScriptList::Shown() const {
    QStringList shown = items_;
    shown[0] = fStr(kNoneString);
    return shown;
}

void ScriptList::RemoveAt(int index) {
    if (index < 1 || index >= Count())
        return;
    items_.removeAt(index);
    if (selected_ == index)
        selected_ = 0;
    else if (selected_ > index)
        --selected_;
}

void ScriptList::Select(int index) {
    selected_ = (index >= 0 && index < Count()) ? index : 0;
}

int ScriptList::SelectText(const QString& text) {
    const qsizetype at = items_.indexOf(text);
    Select(at < 0 ? 0 : static_cast<int>(at));
    return selected_;
}

void ScriptList::ReplaceScripts(const QStringList& scripts) {
    const QString previous = Text();
    Clear();
    items_.append(scripts);
    SelectText(previous);
}

namespace {

// Names of the numbered values of a list: the prefix and at least one more character.
bool IsListValue(const QString& name, const QString& prefix) {
    return name.size() > prefix.size() && name.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

void fConfigsRegClear(const QString& key, const QString& prefix) {
    const RegValueNames listed = RegListValueNames(key);
    if (!listed.ok)
        return;
    RegistryBatch batch;
    for (const QString& name : listed.names)
        if (IsListValue(name, prefix))
            RegDeleteValue(key, name);
}

bool fConfigsRegRead(ScriptList& list, const QString& key, const QString& prefix) {
    list.Clear();
    bool added = false;
    for (const auto& [name, value] : RegReadAllValues(key)) {
        if (!IsListValue(name, prefix))
            continue;
        list.Add(value.Text().trimmed());
        added = true;
    }
    list.Select(0);
    return added;
}

bool fConfigsRegSave(const ScriptList& list, const QString& key, const QString& prefix) {
    RegistryBatch batch;
    fConfigsRegClear(key, prefix);
    bool written = false;
    for (int i = 1; i < list.Count(); ++i)
        if (RegWriteValue(key, prefix + QString::number(i), RegType::Sz, list.Items()[i]))
            written = true;
    return written;
}

GameFolder ResolveGameFolder(const QString& modFolder, int game) {
    QString path = modFolder.trimmed();
    while (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))
        path.chop(1);
    // The parent ends at the last separator; one of the first two characters ("D:\defrag",
    // "/defrag") would leave a drive or the file-system root, which is no game folder.
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    if (cut < 2)
        return {};
    const QString folder = path.left(cut);
    if (!FolderHoldsGame(QDir::fromNativeSeparators(folder), game))
        return {};
    return {folder, true};
}

QString ScriptFilePath(const QString& gameFolder, const QString& item) {
    return QDir::fromNativeSeparators(gameFolder) + QLatin1Char('/') +
           QString(item).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void PruneScriptList(ScriptList& list, const QString& modFolder, int game,
                     const QString& homeFolder) {
    if (list.Count() <= 1)
        return;
    const GameFolder gameFolder = ResolveGameFolder(modFolder, game);
    if (!gameFolder.ok)
        return;
    const auto exists = [&](const QString& item) {
        if (QFileInfo(ScriptFilePath(gameFolder.folder, item)).isFile())
            return true;
        return !homeFolder.isEmpty() && QFileInfo(ScriptFilePath(homeFolder, item)).isFile();
    };
    for (int i = list.Count() - 1; i >= 1; --i)
        if (!exists(list.Items()[i]))
            list.RemoveAt(i);
}

QStringList ScriptPickerFolders(ScriptListKind kind, int game, const QString& modPath) {
    const GameProfile& profile = Profile(game);
    QString modFolder = modPath.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (modFolder.endsWith(QLatin1Char('/')))
        modFolder.chop(1);
    modFolder = modFolder.mid(modFolder.lastIndexOf(QLatin1Char('/')) + 1);
    if (modFolder.isEmpty())
        modFolder = profile.modId;
    if (kind == ScriptListKind::GameConfigs)
        return {profile.baseFolder, modFolder};
    return {modFolder};
}

namespace {

bool IsScriptName(const QString& name) {
    return name.size() >= 5 &&
           name.right(4).compare(QLatin1String(".cfg"), Qt::CaseInsensitive) == 0;
}

struct PickerScan {
    QStringList allowed; // each with its trailing "\"
    QStringList preselected;
    ScriptPickerListing listing;
    QSet<QString> listed;
    FolderWalk walk;

    void Scan(const QString& folder, const QString& relative, int depth) {
        if (!walk.Enter(folder, depth))
            return;
        // Names in the order an NTFS folder lists them: case-blind alphabetical, files and
        // folders interleaved.
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& entry : entries) {
            if (!walk.Count())
                return;
            const QString rel = relative + entry.fileName();
            if (entry.isDir()) {
                if (Qualifies(rel + QLatin1Char('\\')))
                    Scan(entry.filePath(), rel + QLatin1Char('\\'), depth + 1);
            } else if (IsScriptName(entry.fileName()) && !listed.contains(rel)) {
                // The home folder's copy hides the install folder's, as in the game.
                listed.insert(rel);
                listing.items.append(rel);
                listing.selected.append(preselected.contains(rel));
            }
        }
    }

    bool Qualifies(const QString& relWithSlash) const {
        for (const QString& a : allowed)
            if (relWithSlash.startsWith(a, Qt::CaseInsensitive))
                return true;
        return false;
    }
};

} // namespace

ScriptPickerListing RefreshConfigs(const QString& rootFolder, const QStringList& allowedFolders,
                                   const QStringList& preselected) {
    return RefreshConfigs(QStringList{rootFolder}, allowedFolders, preselected);
}

ScriptPickerListing RefreshConfigs(const QStringList& rootFolders,
                                   const QStringList& allowedFolders,
                                   const QStringList& preselected) {
    PickerScan scan;
    for (const QString& a : allowedFolders)
        scan.allowed.append(a + QLatin1Char('\\'));
    scan.preselected = preselected;
    for (const QString& rootFolder : rootFolders) {
        const QString root = QDir::fromNativeSeparators(rootFolder);
        if (!root.isEmpty() && QFileInfo(root).isDir())
            scan.Scan(root, QString(), 0);
    }
    scan.listing.notices = scan.walk.Notices();
    return scan.listing;
}

} // namespace kestrova
