#include "core/game/demo_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace kestrova {

bool MatchesDemoPattern(const QString& fileName, const QString& pattern) {
    QString fixed = pattern;
    fixed.remove(QLatin1Char('?'));
    if (fixed.isEmpty())
        return true;
    const qsizetype start = fileName.size() - pattern.size();
    if (start < 0)
        return false;
    return fileName.mid(start, fixed.size()) == fixed;
}

namespace {

QString CleanFolderName(QString name) {
    name = name.trimmed();
    while (name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name.trimmed();
}

// Entries in the order an NTFS folder lists them: case-blind alphabetical.
QFileInfoList FolderEntries(const QString& folder) {
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                          QDir::System,
                                      QDir::Name | QDir::IgnoreCase);
}

} // namespace

void DemoTree::SetModPath(const QString& modPath) {
    modPath_ = modPath;
    RefreshList();
}

void DemoTree::RefreshList() {
    nodes_.clear();
    folderCounter_ = 0;
    selected_ = -1;
    if (modPath_.trimmed().isEmpty())
        return;
    const QString demos = QDir::fromNativeSeparators(modPath_) + QStringLiteral("/Demos");
    if (QFileInfo(demos).isDir())
        Scan(demos, -1);
}

bool DemoTree::Scan(const QString& folder, int parent) {
    // A link back up the tree would never end.
    static thread_local QSet<QString> visiting;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visiting.contains(canonical))
        return false;
    visiting.insert(canonical);

    bool found = false;
    QFileInfoList demos;
    const QString pattern = QString::fromLatin1(kDemoPattern);
    for (const QFileInfo& entry : FolderEntries(folder)) {
        if (entry.isDir()) {
            found = true;
            ++folderCounter_;
            DemoNode node;
            node.text = CleanFolderName(entry.fileName());
            node.key = QString::number(folderCounter_, 16) + QLatin1Char('k');
            node.parent = parent;
            nodes_.append(node);
            const int index = Count() - 1;
            const bool inside = Scan(entry.filePath(), index);
            nodes_[index].image = inside ? kImageFolder : kImageFolderEmpty;
            nodes_[index].expandedImage = kImageFolderOpen;
        } else if (MatchesDemoPattern(entry.fileName(), pattern)) {
            demos.append(entry);
        }
    }
    // A folder shows its subfolders first, then its demos.
    for (const QFileInfo& demo : demos) {
        found = true;
        DemoNode node;
        node.text = demo.fileName();
        node.parent = parent;
        nodes_.append(node);
        RefreshNotesMark(Count() - 1);
    }
    visiting.remove(canonical);
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
    node.notesPath = QDir::fromNativeSeparators(modPath_) + QStringLiteral("/Demos/") +
                     FullPath(index).replace(QLatin1Char('\\'), QLatin1Char('/')) +
                     QStringLiteral(".txt");
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
