#include "core/game/game_home.h"
#include "core/map/game_folder.h"
#include "core/map/map_file.h"
#include "support/test_files.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kestrova {
namespace {

// root/baseq3: two archives (PAK1 sorts after pak0 only when case is ignored) and loose maps;
// root/defrag, a modification with an archive and a loose map of its own.
struct GameFolders : ::testing::Test {
    QTemporaryDir root;
    QString Path(const QString& rel) const { return root.filePath(rel); }
    void Put(const QString& rel, const QByteArray& bytes) { test::WriteFile(Path(rel), bytes); }
    void Zip(const QString& rel, const test::ZipEntries& entries) {
        QDir().mkpath(QFileInfo(Path(rel)).absolutePath());
        QFile::remove(Path(rel));
        ASSERT_TRUE(test::WriteZip(Path(rel), entries));
    }
    void SetUp() override {
        GameFolderIndex::ClearCache();
        Zip("baseq3/pak0.pk3", {{"maps/a.bsp", "a0"}, {"maps/b.bsp", "b0"}, {"MAPS/Up.BSP", "up"}});
        Zip("baseq3/PAK1.pk3", {{"maps/a.bsp", "a1"}});
        Put("baseq3/maps/b.bsp", "bL");
        Put("baseq3/maps/loose.bsp", "L");
        Zip("defrag/zmod.pk3", {{"maps/b.bsp", "bD"}});
        Put("defrag/maps/mod.bsp", "M");
    }
    // The archive's name or the file relative to root, "-" when not found.
    QString Where(const QString& folder, const QString& name, QByteArray* bytes = nullptr) {
        const auto found = FindGameMap(Path(folder), name);
        if (!found)
            return QStringLiteral("-");
        if (bytes) {
            EXPECT_EQ(ReadMapBytes(found->FullPath(), *bytes), QString());
        }
        return found->InArchive() ? QFileInfo(found->archive).fileName()
                                  : QDir(root.path()).relativeFilePath(found->file);
    }
};

TEST_F(GameFolders, ResolvesNamesAsTheGameDoes) {
    const char* const cases[][4] = {
        // folder, name, where from, bytes
        {"baseq3", "a.bsp", "PAK1.pk3", "a1"}, // the archive sorting last wins
        {"baseq3", "b.bsp", "pak0.pk3", "b0"}, // archives before loose files
        {"baseq3", "loose.bsp", "baseq3/maps/loose.bsp", "L"},
        {"baseq3", "up.bsp", "pak0.pk3", "up"},
        {"baseq3", "none.bsp", "-", ""},
        {"defrag", "b.bsp", "zmod.pk3", "bD"}, // the modification hides its base
        {"defrag", "mod.bsp", "defrag/maps/mod.bsp", "M"},
        {"defrag", "a.bsp", "PAK1.pk3", "a1"}, // then the base game
        {"defrag", "loose.bsp", "baseq3/maps/loose.bsp", "L"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c[0], c[1]).toStdString());
        QByteArray bytes;
        EXPECT_EQ(Where(c[0], c[1], &bytes), QString::fromLatin1(c[2]));
        EXPECT_EQ(bytes, QByteArray(c[3]));
    }
    QStringList listed;
    for (const MapSource& m : ListGameMaps(Path("defrag")))
        listed << m.name + '@' + QFileInfo(m.InArchive() ? m.archive : m.file).fileName();
    EXPECT_EQ(listed, (QStringList{"a.bsp@PAK1.pk3", "b.bsp@zmod.pk3", "loose.bsp@loose.bsp",
                                   "mod.bsp@mod.bsp", "Up.BSP@pak0.pk3"}));

    // ET and OpenArena base folders; an unreadable archive is reported and passed over.
    for (const char* d : {"et/etmain", "et/etpro", "oa/BaseOA", "oa/mod"})
        QDir().mkpath(Path(d));
    EXPECT_EQ(BaseGameFolder(Path("et/etpro")), Path("et/etmain"));
    EXPECT_EQ(BaseGameFolder(Path("oa/mod")), Path("oa/BaseOA"));
    EXPECT_EQ(BaseGameFolder(Path("oa/BaseOA")), QString());
    Put("baseq3/pak2.pk3", "not a zip");
    EXPECT_EQ(Where("baseq3", "a.bsp"), QStringLiteral("PAK1.pk3"));
    EXPECT_EQ(GameFolderIndex::Get(Path("baseq3"))->Errors(),
              QStringList{"cannot open the archive " + Path("baseq3/pak2.pk3")});
}

TEST_F(GameFolders, TheHomeFolderIsSearchedFirstInTheGamesOrder) {
    Zip("home/.q3a/defrag/zz.pk3", {{"maps/b.bsp", "bH"}});
    Put("home/.q3a/defrag/MAPS/h.bsp", "H"); // a maps folder in another case
    Zip("home/.q3a/baseq3/pak9.pk3", {{"maps/up.bsp", "upH"}});
    const QStringList path = MapSearchPath(Path("defrag"), Path("home/.q3a"));
    const char* const cases[][3] = {
        {"b.bsp", "zz.pk3", "bH"}, // the home copy of the modification first
        {"h.bsp", "home/.q3a/defrag/MAPS/h.bsp", "H"},
        {"mod.bsp", "defrag/maps/mod.bsp", "M"},
        {"up.bsp", "pak9.pk3", "upH"}, // the home base game before the installed one
        {"a.bsp", "PAK1.pk3", "a1"},
    };
    for (const auto& [name, where, bytes] : cases) {
        const auto found = FindGameMapIn(path, name);
        ASSERT_TRUE(found) << name;
        EXPECT_EQ(found->InArchive() ? QFileInfo(found->archive).fileName()
                                     : QDir(root.path()).relativeFilePath(found->file),
                  where);
        QByteArray read;
        EXPECT_EQ(ReadMapBytes(found->FullPath(), read), QString());
        EXPECT_EQ(read, QByteArray(bytes)) << name;
    }
    // a, b, h, loose, mod, up: one each.
    EXPECT_EQ(ListGameMapsIn(path).size(), 6u);
}

TEST_F(GameFolders, KeepsTheIndexUntilAnArchiveChanges) {
    const auto first = GameFolderIndex::Get(Path("baseq3"));
    Put("baseq3/maps/new.bsp", "N"); // loose files need no new index
    EXPECT_EQ(GameFolderIndex::Get(Path("baseq3")), first);
    EXPECT_EQ(Where("baseq3", "new.bsp"), QStringLiteral("baseq3/maps/new.bsp"));

    const struct {
        const char* what;
        std::function<void()> apply;
        const char* winner; // of a.bsp afterwards
    } changes[] = {
        {"an archive added",
         [&] {
             Zip("baseq3/zz.pk3", {{"maps/a.bsp", "z"}});
         },
         "zz.pk3"},
        {"the winner removed", [&] { QFile::remove(Path("baseq3/zz.pk3")); }, "PAK1.pk3"},
        {"same size, newer time",
         [&] {
             const QDateTime t = QFileInfo(Path("baseq3/PAK1.pk3")).lastModified();
             Zip("baseq3/PAK1.pk3", {{"maps/c.bsp", "a1"}});
             QFile f(Path("baseq3/PAK1.pk3"));
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.setFileTime(t.addSecs(5), QFileDevice::FileModificationTime);
         },
         "pak0.pk3"},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        const auto before = GameFolderIndex::Get(Path("baseq3"));
        c.apply();
        EXPECT_NE(GameFolderIndex::Get(Path("baseq3")), before);
        EXPECT_EQ(Where("baseq3", "a.bsp"), QString::fromLatin1(c.winner));
    }
}

TEST_F(GameFolders, NamesAndReadsTheEntryTheGameReadsAndReportsBrokenArchives) {
    // Of two names that differ in case, the game reads the later one in the archive.
    Zip("q3/baseq3/pak0.pk3", {{"maps/Foo.bsp", "upper"}, {"maps/foo.bsp", "lower"}});
    Zip("q3/baseq3/pak1.pk3", {{"maps/bar.bsp", "lower"}, {"MAPS/BAR.bsp", "upper"}});
    const char* const cases[][4] = {
        // name, archive, entry, bytes
        {"foo.bsp", "pak0.pk3", "maps/foo.bsp", "lower"},
        {"FOO.BSP", "pak0.pk3", "maps/foo.bsp", "lower"},
        {"Bar.bsp", "pak1.pk3", "MAPS/BAR.bsp", "upper"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        QByteArray bytes;
        EXPECT_EQ(Where("q3/baseq3", c[0], &bytes), c[1]);
        EXPECT_EQ(FindGameMap(Path("q3/baseq3"), c[0])->entry, c[2]);
        EXPECT_EQ(bytes, c[3]);
    }
    QString error;
    EXPECT_EQ(ListArchiveMaps(Path("q3/baseq3/pak0.pk3"), error), QStringList{"maps/foo.bsp"});

    // A newer archive cut short and a link to a pipe are left out, as by the game, and said.
    Zip("q3/baseq3/pak2.pk3", {{"maps/bar.bsp", "newer"}});
    Put("q3/baseq3/pak2.pk3", test::ReadBytes(Path("q3/baseq3/pak2.pk3")).left(40));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(Path("fifo"), Path("q3/baseq3/pak3.pk3")));
    EXPECT_EQ(Where("q3/baseq3", "bar.bsp"), "pak1.pk3");
    EXPECT_EQ(UnreadableArchives(Path("q3/baseq3")),
              (QStringList{"cannot open the archive " + Path("q3/baseq3/pak2.pk3"),
                           "cannot open the archive " + Path("q3/baseq3/pak3.pk3") +
                               ": Not a file: a device, a pipe or a socket"}));
}

} // namespace
} // namespace kestrova
