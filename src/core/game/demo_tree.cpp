#include "core/game/demo_tree.h"

#include "core/game/folder_walk.h"
#include "core/game/game_home.h"
#include "core/map/game_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace kestrova {

bool MatchesDemoPattern(const QString& fileName, const QString& pattern) {
    QString fixed = pattern;
    fixed.remove(QLatin1Char('?'));
    if (fixed.isEmpty())
        return true;
    const qsizetype start = fileName.size() - pattern.size();
    if (start < 0)
        return false;
    // The engines on Linux record "run1.dm_68", the Windows release may have "RUN1.DM_68".
    return fileName.mid(start, fixed.size()).compare(fixed, Qt::CaseInsensitive) == 0;
}

namespace {

QString CleanFolderName(QString name) {
    name = name.trimmed();
    while (name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name.trimmed();
}

} // namespace

void DemoTree::SetSearchPath(const QStringList& modFolders) {
    searchPath_.clear();
    for (const QString& f : modFolders)
        if (!f.trimmed().isEmpty())
            searchPath_ << QDir::fromNativeSeparators(f.trimmed());
    RefreshList();
}

void DemoTree::RefreshList() {
    nodes_.clear();
    notices_.clear();
    folderCounter_ = 0;
    selected_ = -1;
    QStringList demoFolders;
    for (const QString& mod : searchPath_)
        demoFolders << ChildFoldersIgnoringCase(mod, QStringLiteral("demos"));
    FolderWalk walk;
    QStringList claimed;
    for (const QString& f : demoFolders)
        if (walk.Enter(f, 0))
            claimed << f;
    if (!claimed.isEmpty())
        Scan(claimed, -1, 0, walk);
    notices_ = walk.Notices();
}

bool DemoTree::Scan(const QStringList& folders, int parent, int depth, FolderWalk& walk) {
    // One level of the merged tree: the same relative folder in every place of the search path.
    QStringList subNames;
    QHash<QString, QStringList> subFolders;
    QStringList demoNames;
    QHash<QString, QString> demoFiles;
    const QString pattern = QString::fromLatin1(kDemoPattern);
    for (const QString& folder : folders) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
        for (const QFileInfo& entry : entries) {
            if (!walk.Count())
                break;
            const QString name = entry.fileName();
            if (entry.isDir()) {
                const QString text = CleanFolderName(name);
                if (!subFolders.contains(text))
                    subNames << text;
                subFolders[text] << entry.filePath();
            } else if (MatchesDemoPattern(name, pattern) && !demoFiles.contains(name)) {
                demoNames << name;
                demoFiles.insert(name, entry.filePath());
            }
        }
    }
    // Entries in the order an NTFS folder lists them: case-blind alphabetical.
    std::sort(subNames.begin(), subNames.end(), LessIgnoringCase);
    std::sort(demoNames.begin(), demoNames.end(), LessIgnoringCase);

    bool found = false;
    for (const QString& text : subNames) {
        // A folder reached again through another link, or too deep, is left out.
        QStringList claimed;
        for (const QString& f : subFolders.value(text))
            if (walk.Enter(f, depth + 1))
                claimed << f;
        if (claimed.isEmpty())
            continue;
        found = true;
        ++folderCounter_;
        DemoNode node;
        node.text = text;
        node.key = QString::number(folderCounter_, 16) + QLatin1Char('k');
        node.parent = parent;
        nodes_.append(node);
        const int index = Count() - 1;
        const bool inside = Scan(claimed, index, depth + 1, walk);
        nodes_[index].image = inside ? kImageFolder : kImageFolderEmpty;
        nodes_[index].expandedImage = kImageFolderOpen;
    }
    // A folder shows its subfolders first, then its demos.
    for (const QString& name : demoNames) {
        found = true;
        DemoNode node;
        node.text = name;
        node.file = demoFiles.value(name);
        node.parent = parent;
        nodes_.append(node);
        RefreshNotesMark(Count() - 1);
    }
    return found;
}

QString DemoTree::FullPath(int index) const {
    QStringList parts;
    for (int i = index; i >= 0 && i < Count(); i = nodes_[i].parent)
        parts.prepend(nodes_[i].text);
    return parts.join(QLatin1Char('\\'));
}

int DemoTree::Find(const QString& name) const {
    const QString wanted = name.toLower();
    const QString withSuffix = wanted + QStringLiteral(".dm_");
    for (int i = 0; i < Count(); ++i) {
        const QString path = FullPath(i).toLower();
        if (path == wanted || path.chopped(qMin<qsizetype>(2, path.size())) == withSuffix)
            return i;
    }
    return -1;
}

bool DemoTree::SelectItem(const QString& name) {
    const int found = Find(name);
    if (found < 0)
        return false;
    selected_ = found;
    return true;
}

bool DemoTree::RefreshNotesMark(int index) {
    if (index < 0 || index >= Count())
        return false;
    DemoNode& node = nodes_[index];
    // Beside the demo's own file: its name may hold characters a path would read otherwise.
    node.notesPath = node.file + QStringLiteral(".txt");
    const QFileInfo notes(node.notesPath);
    const bool hasNotes = notes.isFile() && notes.size() >= 1;
    node.image = hasNotes ? kImageDemoNotes : kImageDemo;
    return hasNotes;
}

QString DemoTree::EnsureNotesFile(int index) {
    if (index < 0 || index >= Count() || !nodes_[index].IsDemo())
        return QString();
    const QString path = nodes_[index].notesPath;
    if (!QFileInfo::exists(path)) {
        // NewOnly: a file that appears meanwhile is not truncated.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
    }
    return path;
}

} // namespace kestrova
