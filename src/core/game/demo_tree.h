#pragma once
// The demos recorded under a modification: its "Demos" folder as a tree of folders and demo
// files, in the order the tree shows them, with the notes file kept beside each demo.

#include <QList>
#include <QString>

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
    QString notesPath;     // demos: the ".txt" beside the demo

    bool IsDemo() const { return image == kImageDemo || image == kImageDemoNotes; }
};

// Matches the protocol suffix of a demo file: "dm_" followed by two characters, with case.
constexpr const char* kDemoPattern = "dm_??";

class DemoTree {
public:
    // Rescans ModPath/Demos (a missing folder gives an empty tree); forgets the selection.
    void SetModPath(const QString& modPath);
    const QString& ModPath() const { return modPath_; }
    void RefreshList();

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
    bool Scan(const QString& folder, int parent);

    QString modPath_;
    QList<DemoNode> nodes_;
    int folderCounter_ = 0;
    int selected_ = -1;
};

// Whether a file name carries the protocol suffix of the pattern ("dm_??": the fifth-, fourth-
// and third-last characters are "dm_"). Names shorter than the pattern are no demos.
bool MatchesDemoPattern(const QString& fileName, const QString& pattern);

} // namespace kestrova
