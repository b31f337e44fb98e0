#include "core/game/demo_tree.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// A modification folder with a "Demos" folder built file by file.
class DemoFolder {
public:
    DemoFolder() { QDir(mod()).mkpath(QStringLiteral("Demos")); }
    QString mod() const { return dir_.path() + QStringLiteral("/defrag"); }
    QString demos() const { return mod() + QStringLiteral("/Demos"); }

    void Folder(const QString& rel) const { ASSERT_TRUE(QDir(demos()).mkpath(rel)); }
    void File(const QString& rel, const QByteArray& bytes = {}) const {
        WriteFile(demos() + QLatin1Char('/') + rel, bytes);
    }
    QByteArray Read(const QString& rel) const {
        return ReadBytes(demos() + QLatin1Char('/') + rel);
    }

private:
    QTemporaryDir dir_;
};

struct Expected {
    const char* fullPath;
    const char* key;
    int image;
};

void ExpectTree(const DemoTree& tree, const std::vector<Expected>& expected) {
    ASSERT_EQ(tree.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < tree.Count(); ++i) {
        SCOPED_TRACE(expected[i].fullPath);
        EXPECT_EQ(tree.FullPath(i), QString::fromUtf8(expected[i].fullPath));
        EXPECT_EQ(tree.Nodes()[i].key, QString::fromLatin1(expected[i].key));
        EXPECT_EQ(tree.Nodes()[i].image, expected[i].image);
    }
}

TEST(DemoTree, FoldersComeFirstThenDemosWithTheirImages) {
    DemoFolder f;
    f.File(QStringLiteral("day1/run1.dm_68"));
    f.File(QStringLiteral("day1/run1.dm_68.txt"), "fast start");
    f.Folder(QStringLiteral("empty"));
    f.Folder(QStringLiteral("holder/sub"));
    f.File(QStringLiteral("run.DM_68")); // the suffix is compared with its case
    f.File(QStringLiteral("xdm_12"));    // no dot needed
    f.File(QStringLiteral("a.dm_84"));
    f.File(QStringLiteral("dm_6")); // shorter than the pattern
    f.File(QStringLiteral("notes.txt"));

    DemoTree tree;
    tree.SetModPath(f.mod());
    ExpectTree(tree, {
                         {"day1", "1k", kImageFolder},
                         {"day1\\run1.dm_68", "", kImageDemoNotes},
                         {"empty", "2k", kImageFolderEmpty},
                         {"holder", "3k", kImageFolder}, // only an empty subfolder
                         {"holder\\sub", "4k", kImageFolderEmpty},
                         {"a.dm_84", "", kImageDemo},
                         {"xdm_12", "", kImageDemo},
                     });
    EXPECT_EQ(tree.Nodes()[4].parent, 3);
    EXPECT_EQ(tree.Nodes()[3].expandedImage, kImageFolderOpen);
    EXPECT_EQ(tree.Nodes()[1].notesPath, f.demos() + QStringLiteral("/day1/run1.dm_68.txt"));
}

TEST(DemoTree, KeysAreHexadecimalAndRestartOnEveryScan) {
    DemoFolder f;
    for (int i = 0; i < 11; ++i)
        f.Folder(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')));
    DemoTree tree;
    tree.SetModPath(f.mod());
    ASSERT_EQ(tree.Count(), 11);
    EXPECT_EQ(tree.Nodes()[9].key, QStringLiteral("ak"));
    EXPECT_EQ(tree.Nodes()[10].key, QStringLiteral("bk"));

    f.Folder(QStringLiteral("e"));
    tree.RefreshList();
    ASSERT_EQ(tree.Count(), 12);
    EXPECT_EQ(tree.FullPath(0), QStringLiteral("e"));
    EXPECT_EQ(tree.Nodes()[0].key, QStringLiteral("1k"));
    EXPECT_EQ(tree.Nodes()[11].key, QStringLiteral("ck"));
}

TEST(DemoTree, MissingFoldersGiveAnEmptyTree) {
    DemoTree tree;
    tree.SetModPath(QString());
    EXPECT_EQ(tree.Count(), 0);
    QTemporaryDir dir;
    tree.SetModPath(dir.path()); // no "Demos" inside
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_FALSE(tree.SelectItem(QStringLiteral("run1")));
}

TEST(DemoTree, SelectItemTakesTheNameWithOrWithoutTheProtocolSuffix) {
    DemoFolder f;
    f.File(QStringLiteral("day1/run1.dm_84"));
    f.File(QStringLiteral("run1.dm_84"));
    DemoTree tree;
    tree.SetModPath(f.mod());
    ASSERT_EQ(tree.Count(), 3);

    const struct {
        const char* name;
        int found;
    } cases[] = {
        {"run1.dm_84", 2},       {"run1", 2},       {"RUN1", 2}, {"Run1.DM_84", 2}, {"run1.dm", -1},
        {"run1.dm_8", -1},       {"day1\\run1", 1}, {"day1", 0}, {"", -1},          {"run", -1},
        {"day1\\RUN1.dm_84", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.Select(-1);
        EXPECT_EQ(tree.SelectItem(QString::fromLatin1(c.name)), c.found >= 0);
        EXPECT_EQ(tree.Selected(), c.found);
    }
    // A failed search leaves the selection alone.
    tree.Select(1);
    EXPECT_FALSE(tree.SelectItem(QStringLiteral("gone")));
    EXPECT_EQ(tree.Selected(), 1);
}

TEST(DemoTree, NotesFilesAreCreatedEmptyAndNeverOverwritten) {
    DemoFolder f;
    f.File(QStringLiteral("a.dm_68"));
    f.File(QStringLiteral("b.dm_68"));
    f.File(QStringLiteral("b.dm_68.txt"), "keep me");
    f.File(QStringLiteral("c.dm_68"));
    f.File(QStringLiteral("c.dm_68.txt")); // empty notes are no notes
    DemoTree tree;
    tree.SetModPath(f.mod());
    ASSERT_EQ(tree.Count(), 3);
    EXPECT_EQ(tree.Nodes()[0].image, kImageDemo);
    EXPECT_EQ(tree.Nodes()[1].image, kImageDemoNotes);
    EXPECT_EQ(tree.Nodes()[2].image, kImageDemo);

    EXPECT_EQ(tree.EnsureNotesFile(0), f.demos() + QStringLiteral("/a.dm_68.txt"));
    EXPECT_EQ(f.Read(QStringLiteral("a.dm_68.txt")), QByteArray());
    EXPECT_FALSE(tree.RefreshNotesMark(0));
    EXPECT_EQ(tree.Nodes()[0].image, kImageDemo);

    tree.EnsureNotesFile(1);
    EXPECT_EQ(f.Read(QStringLiteral("b.dm_68.txt")), QByteArray("keep me"));

    // Notes written meanwhile show at the next refresh of the mark.
    f.File(QStringLiteral("a.dm_68.txt"), "x");
    EXPECT_TRUE(tree.RefreshNotesMark(0));
    EXPECT_EQ(tree.Nodes()[0].image, kImageDemoNotes);
}

TEST(DemoTree, FolderNodesHaveNoNotes) {
    DemoFolder f;
    f.Folder(QStringLiteral("day1"));
    DemoTree tree;
    tree.SetModPath(f.mod());
    ASSERT_EQ(tree.Count(), 1);
    EXPECT_EQ(tree.EnsureNotesFile(0), QString());
    EXPECT_FALSE(QFileInfo::exists(f.demos() + QStringLiteral("/day1.txt")));
}

} // namespace
} // namespace kestrova::test
