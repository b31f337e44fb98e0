#include "core/game/demo_tree.h"
#include "core/game/folder_walk.h"
#include "support/test_files.h"

#include <QTemporaryDir>

namespace kestrova::test {
namespace {

// A modification folder with a "Demos" folder built file by file.
struct DemoFolder {
    QTemporaryDir dir;
    QString mod = dir.path() + "/defrag", demos = mod + "/Demos";
    DemoFolder() { QDir().mkpath(demos); }
    void Folder(const QString& rel) const { ASSERT_TRUE(QDir(demos).mkpath(rel)); }
    void File(const QString& rel, const QByteArray& bytes = {}) const {
        WriteFile(demos + "/" + rel, bytes);
    }
};

TEST(DemoTree, FoldersComeFirstThenDemosWithTheirImages) {
    DemoFolder f;
    f.File("day1/run1.dm_68");
    f.File("day1/run1.dm_68.txt", "fast start");
    f.Folder("empty");
    f.Folder("holder/sub");
    f.File("run.DM_68"); // the suffix in any case
    f.File("xdm_12");    // no dot needed
    f.File("a.dm_84");
    f.File("dm_6"); // shorter than the pattern
    f.File("notes.txt");

    DemoTree tree;
    tree.SetModPath(f.mod);
    const std::tuple<const char*, const char*, int> expected[] = {
        {"day1", "1k", kImageFolder},
        {"day1\\run1.dm_68", "", kImageDemoNotes},
        {"empty", "2k", kImageFolderEmpty},
        {"holder", "3k", kImageFolder}, // only an empty subfolder
        {"holder\\sub", "4k", kImageFolderEmpty},
        {"a.dm_84", "", kImageDemo},
        {"run.DM_68", "", kImageDemo},
        {"xdm_12", "", kImageDemo},
    };
    ASSERT_EQ(tree.Count(), 8);
    for (int i = 0; i < 8; ++i) {
        const auto& [path, key, image] = expected[i];
        EXPECT_EQ(std::tuple(tree.FullPath(i), tree.Nodes()[i].key, tree.Nodes()[i].image),
                  std::tuple(QString(path), QString(key), image));
    }
    EXPECT_EQ(tree.Nodes()[4].parent, 3);
    EXPECT_EQ(tree.Nodes()[3].expandedImage, kImageFolderOpen);
    EXPECT_EQ(tree.Nodes()[1].notesPath, f.demos + "/day1/run1.dm_68.txt");
    // Folder nodes have no notes.
    EXPECT_EQ(tree.EnsureNotesFile(0), QString());
    EXPECT_FALSE(QFileInfo::exists(f.demos + "/day1.txt"));
}

TEST(DemoTree, KeysAreHexadecimalAndRestartOnEveryScan) {
    DemoFolder f;
    for (int i = 10; i < 21; ++i)
        f.Folder(QString::number(i));
    DemoTree tree;
    tree.SetModPath(f.mod);
    EXPECT_EQ(tree.Nodes().value(10).key, "bk");
    f.Folder("0");
    tree.RefreshList();
    ASSERT_EQ(tree.Count(), 12);
    EXPECT_EQ(tree.FullPath(0), "0");
    EXPECT_EQ(tree.Nodes()[0].key, "1k");
    EXPECT_EQ(tree.Nodes()[11].key, "ck");
}

TEST(DemoTree, SelectItemTakesTheNameWithOrWithoutTheProtocolSuffix) {
    DemoFolder f;
    f.File("day1/run1.dm_84");
    f.File("run1.dm_84");
    DemoTree tree;
    tree.SetModPath(f.mod);
    ASSERT_EQ(tree.Count(), 3);

    const std::pair<const char*, int> cases[] = {
        {"run1.dm_84", 2},       {"run1", 2},       {"RUN1", 2}, {"Run1.DM_84", 2}, {"run1.dm", -1},
        {"run1.dm_8", -1},       {"day1\\run1", 1}, {"day1", 0}, {"", -1},          {"run", -1},
        {"day1\\RUN1.dm_84", 1},
    };
    for (const auto& [name, found] : cases) {
        tree.Select(-1);
        EXPECT_EQ(tree.SelectItem(name), found >= 0) << name;
        EXPECT_EQ(tree.Selected(), found) << name;
    }
    // A failed search leaves the selection alone.
    tree.Select(1);
    EXPECT_FALSE(tree.SelectItem("gone"));
    EXPECT_EQ(tree.Selected(), 1);
    // Without a mod folder, or without its "Demos" folder, the tree is empty.
    tree.SetModPath(QString());
    EXPECT_EQ(tree.Count(), 0);
    tree.SetModPath(f.dir.path());
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_FALSE(tree.SelectItem("run1"));
}

TEST(DemoTree, NotesFilesAreCreatedEmptyAndNeverOverwritten) {
    DemoFolder f;
    f.File("a.dm_68");
    f.File("b.dm_68");
    f.File("b.dm_68.txt", "keep me");
    f.File("c.dm_68");
    f.File("c.dm_68.txt");
    DemoTree tree;
    tree.SetModPath(f.mod);
    ASSERT_EQ(tree.Count(), 3);
    EXPECT_EQ(tree.Nodes()[1].image, kImageDemoNotes);
    EXPECT_EQ(tree.Nodes()[2].image, kImageDemo); // empty notes are no notes

    EXPECT_EQ(tree.EnsureNotesFile(0), f.demos + "/a.dm_68.txt");
    EXPECT_EQ(ReadBytes(f.demos + "/a.dm_68.txt"), QByteArray());
    EXPECT_FALSE(tree.RefreshNotesMark(0));
    EXPECT_EQ(tree.Nodes()[0].image, kImageDemo);

    tree.EnsureNotesFile(1);
    EXPECT_EQ(ReadBytes(f.demos + "/b.dm_68.txt"), QByteArray("keep me"));

    // Notes written meanwhile show at the next refresh of the mark.
    f.File("a.dm_68.txt", "x");
    EXPECT_TRUE(tree.RefreshNotesMark(0));
    EXPECT_EQ(tree.Nodes()[0].image, kImageDemoNotes);
}

TEST(DemoTree, TheHomeAndInstallFoldersMergeAsTheGameSeesThem) {
    QTemporaryDir dir;
    const QString home = dir.path() + "/.q3a/defrag", install = dir.path() + "/q3/defrag";
    WriteFile(home + "/demos/day1/run1.dm_68");
    WriteFile(home + "/demos/shared.dm_68", "home");
    WriteFile(install + "/Demos/shared.dm_68", "install");
    WriteFile(install + "/Demos/day1/old.dm_68");
    WriteFile(install + "/demos/lower.dm_68"); // a second folder differing only by case
    WriteFile(install + "/Demos/a\\b.dm_68");  // a backslash in a Linux file name

    DemoTree tree;
    tree.SetSearchPath({home, install});
    const std::pair<const char*, QString> expected[] = {
        {"day1", QString()},
        {"day1\\old.dm_68", install + "/Demos/day1/old.dm_68"},
        {"day1\\run1.dm_68", home + "/demos/day1/run1.dm_68"},
        {"a\\b.dm_68", install + "/Demos/a\\b.dm_68"},
        {"lower.dm_68", install + "/demos/lower.dm_68"},
        {"shared.dm_68", home + "/demos/shared.dm_68"}, // the home folder wins
    };
    ASSERT_EQ(tree.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(std::pair(tree.FullPath(i), tree.Nodes()[i].file),
                  std::pair(QString(expected[i].first), expected[i].second));
    EXPECT_TRUE(tree.SelectItem("day1\\run1"));
    // The notes of the demo whose name holds a backslash go beside it, not into a folder "a".
    EXPECT_EQ(tree.EnsureNotesFile(3), install + "/Demos/a\\b.dm_68.txt");
    EXPECT_TRUE(QFileInfo::exists(install + "/Demos/a\\b.dm_68.txt"));
    EXPECT_FALSE(QFileInfo::exists(install + "/Demos/a"));
}

TEST(DemoTree, LinksAndDepthNeverMakeTheWalkEndless) {
    QTemporaryDir dir;
    const QString demos = dir.path() + "/defrag/Demos";
    // Each level links twice to the next: 2^17 paths, 17 real folders.
    for (int level = 0; level < 17; ++level) {
        const QString here = QStringLiteral("%1/d%2").arg(dir.path()).arg(level);
        QDir().mkpath(here);
        const QString next = QStringLiteral("%1/d%2").arg(dir.path()).arg(level + 1);
        QFile::link(next, here + "/a");
        QFile::link(next, here + "/b");
    }
    WriteFile(dir.path() + "/d17/end.dm_68");
    QDir().mkpath(dir.path() + "/defrag");
    QFile::link(dir.path() + "/d0", demos);
    DemoTree tree;
    tree.SetModPath(dir.path() + "/defrag");
    // Each real folder once: the "a" chain, its "b" twins left out, the demo at the end.
    ASSERT_EQ(tree.Count(), 18);
    EXPECT_EQ(tree.FullPath(17), "a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\a\\end.dm_68");
    EXPECT_TRUE(tree.Notices().isEmpty());

    // 40 nested folders: 32 below "Demos" are read, and the user is told.
    QString deep = dir.path() + "/mod/Demos";
    for (int i = 0; i < 40; ++i)
        deep += "/n";
    QDir().mkpath(deep);
    tree.SetModPath(dir.path() + "/mod");
    EXPECT_EQ(tree.Count(), 32);
    ASSERT_EQ(tree.Notices().size(), 1);
    EXPECT_TRUE(tree.Notices()[0].endsWith("lies more than 32 folders deep; the folders below it "
                                           "were not read."));
}

TEST(FolderWalk, StopsAtTheEntriesBoundAndSaysSo) {
    FolderWalk walk;
    for (int i = 0; i < 100000; ++i)
        ASSERT_TRUE(walk.Count());
    EXPECT_FALSE(walk.Count());
    EXPECT_FALSE(walk.Enter(QDir::tempPath(), 0));
    EXPECT_EQ(walk.Notices(),
              QStringList{"The folders hold more than 100000 entries; the rest was not read."});
}

} // namespace
} // namespace kestrova::test
