#pragma once
// The demos recorded under a modification, as the game sees them: the "demos" folders (any case)
// of its search path (home folder first, then the install folder) merged into one tree of
// folders and demo files, the first folder of the path winning for the same relative name, with
// the notes file kept beside each demo.

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova {

// Images of the tree, by index.
enum DemoImage {
    kImageFolder = 1,
    kImageFolderOpen = 2,
    kImageFolderEmpty = 3,
    kImageDemo = 4,
    kImageDemoNotes = 5,
};

struct DemoNode {
    QString text;
    QString key;     // folders only: the scan's folder count in hexadecimal + "k"
    int parent = -1; // index of the parent node, -1 at the top level
    int image = kImageDemo;
    int expandedImage = 0; // folders: kImageFolderOpen
    QString file;          // demos: the demo file on disk
    QString notesPath;     // demos: the ".txt" beside the demo

    bool IsDemo() const { return image == kImageDemo || image == kImageDemoNotes; }
};

// Matches the protocol suffix of a demo file: "dm_" in any case followed by two characters.
constexpr const char* kDemoPattern = "dm_??";

class DemoTree {
public:
    // Rescans ModPath/Demos (a missing folder gives an empty tree); forgets the selection.
    void SetModPath(const QString& modPath) { SetSearchPath({modPath}); }
    // The modification folders of the search path, the first winning.
    void SetSearchPath(const QStringList& modFolders);
    const QStringList& SearchPath() const { return searchPath_; }
    QString ModPath() const { return searchPath_.value(searchPath_.size() - 1); }
    void RefreshList();
    // What the last scan left out (a bound of the folder walk); empty when it read everything.
    const QStringList& Notices() const { return notices_; }

    const QList<DemoNode>& Nodes() const { return nodes_; }
    int Count() const { return static_cast<int>(nodes_.size()); }
    // The node's path relative to the "Demos" folder, joined with "\": the game's demo name.
    QString FullPath(int index) const;

    // The first node whose full path is the name, or that name plus the protocol suffix (any
    // case); -1 without one. Selecting it makes it the selected node.
    int Find(const QString& name) const;
    bool SelectItem(const QString& name);
    int Selected() const { return selected_; }
    void Select(int index) { selected_ = (index >= 0 && index < Count()) ? index : -1; }

    // Sets the demo's image from its notes file: notes exist when the file has at least a byte.
    bool RefreshNotesMark(int index);
    // Creates the notes file empty when it does not exist; never touches an existing one.
    // The path, or empty for a folder node.
    QString EnsureNotesFile(int index);

private:
    // folders: the real folders of one level, already entered in the walk.
    bool Scan(const QStringList& folders, int parent, int depth, class FolderWalk& walk);

    QStringList searchPath_;
    QStringList notices_;
    QList<DemoNode> nodes_;
    int folderCounter_ = 0;
    int selected_ = -1;
};

// Whether a file name carries the protocol suffix of the pattern ("dm_??": the fifth-, fourth-
// and third-last characters are "dm_"). Names shorter than the pattern are no demos.
bool MatchesDemoPattern(const QString& fileName, const QString& pattern);

} // namespace kestrova
