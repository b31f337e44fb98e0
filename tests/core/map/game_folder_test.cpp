#include "core/map/game_folder.h"
#include "core/map/map_file.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::WriteZip;

// root/baseq3 with two archives (PAK1 sorts after pak0 only when case is ignored) and loose
// maps; root/defrag, a modification with an archive and a loose map of its own.
struct GameFolders : ::testing::Test {
    QTemporaryDir root;
    QString Path(const QString& rel) const { return root.filePath(rel); }

    void Put(const QString& rel, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Path(rel)).absolutePath());
        QFile f(Path(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void Zip(const QString& rel, const test::ZipEntries& entries) {
        QDir().mkpath(QFileInfo(Path(rel)).absolutePath());
        QFile::remove(Path(rel));
        ASSERT_TRUE(WriteZip(Path(rel), entries));
    }
    void SetUp() override {
        GameFolderIndex::ClearCache();
        Zip("baseq3/pak0.pk3", {{"maps/a.bsp", "a0"},
                                {"maps/b.bsp", "b0"},
                                {"maps/only_base.bsp", "ob"},
                                {"MAPS/Upper.BSP", "up"},
                                {"levelshots/a.jpg", "jpg"}});
        Zip("baseq3/PAK1.pk3", {{"maps/a.bsp", "a1"}});
        Put("baseq3/maps/b.bsp", "bL");
        Put("baseq3/maps/loose.bsp", "L");
        Zip("defrag/zmod.pk3", {{"maps/b.bsp", "bD"}});
        Put("defrag/maps/mod.bsp", "M");
    }
    // "pk3 name" or "file path relative to root" of where name resolves from folder.
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
    struct Case {
        const char* folder;
        const char* name;
        const char* from;
        const char* bytes;
    };
    const Case cases[] = {
        {"baseq3", "a.bsp", "PAK1.pk3", "a1"}, // the archive sorting last wins
        {"baseq3", "A.BSP", "PAK1.pk3", "a1"}, // names ignore case
        {"baseq3", "b.bsp", "pak0.pk3", "b0"}, // archives before loose files
        {"baseq3", "loose.bsp", "baseq3/maps/loose.bsp", "L"},
        {"baseq3", "upper.bsp", "pak0.pk3", "up"}, // inner paths ignore case too
        {"baseq3", "none.bsp", "-", ""},
        {"defrag", "b.bsp", "zmod.pk3", "bD"}, // the modification hides its base
        {"defrag", "mod.bsp", "defrag/maps/mod.bsp", "M"},
        {"defrag", "a.bsp", "PAK1.pk3", "a1"}, // then the base game's archives
        {"defrag", "loose.bsp", "baseq3/maps/loose.bsp", "L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.folder, c.name).toStdString());
        QByteArray bytes;
        EXPECT_EQ(Where(c.folder, c.name, &bytes), QString::fromLatin1(c.from));
        EXPECT_EQ(bytes, QByteArray(c.bytes));
    }
}

TEST_F(GameFolders, ListsEachMapOnceFromItsWinningSource) {
    QStringList got;
    for (const MapSource& m : ListGameMaps(Path("defrag")))
        got << m.name + QLatin1Char('@') +
                   (m.InArchive() ? QFileInfo(m.archive).fileName()
                                  : QDir(root.path()).relativeFilePath(m.file));
    EXPECT_EQ(got, (QStringList{"a.bsp@PAK1.pk3", "b.bsp@zmod.pk3",
                                "loose.bsp@baseq3/maps/loose.bsp", "mod.bsp@defrag/maps/mod.bsp",
                                "only_base.bsp@pak0.pk3", "Upper.BSP@pak0.pk3"}));
}

TEST_F(GameFolders, FindsTheBaseGameAndTellsGameFoldersApart) {
    QDir().mkpath(Path("et/etmain"));
    QDir().mkpath(Path("et/etpro"));
    QDir().mkpath(Path("oa/BaseOA"));
    QDir().mkpath(Path("oa/mymod"));
    QDir().mkpath(Path("alone/mod"));
    Put("plain/q3dm17.bsp", "x");
    const std::pair<const char*, const char*> bases[] = {
        {"defrag", "baseq3"},      {"baseq3", ""},    {"et/etpro", "et/etmain"},
        {"oa/mymod", "oa/BaseOA"}, {"oa/BaseOA", ""}, {"alone/mod", ""},
    };
    for (const auto& [folder, base] : bases)
        EXPECT_EQ(BaseGameFolder(Path(folder)), *base ? Path(base) : QString()) << folder;

    const std::pair<const char*, bool> games[] = {{"baseq3", true},
                                                  {"defrag", true},
                                                  {"baseq3/maps", false},
                                                  {"plain", false},
                                                  {"missing", false}};
    for (const auto& [folder, game] : games)
        EXPECT_EQ(IsGameFolder(Path(folder)), game) << folder;
}

TEST_F(GameFolders, KeepsTheIndexUntilAnArchiveChanges) {
    const auto first = GameFolderIndex::Get(Path("baseq3"));
    EXPECT_EQ(GameFolderIndex::Get(Path("baseq3")), first);
    Put("baseq3/maps/new.bsp", "N"); // loose files need no new index
    EXPECT_EQ(GameFolderIndex::Get(Path("baseq3")), first);
    EXPECT_EQ(Where("baseq3", "new.bsp"), QStringLiteral("baseq3/maps/new.bsp"));

    struct Change {
        const char* what;
        std::function<void()> apply;
        const char* winner; // of a.bsp afterwards
    };
    const Change changes[] = {
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
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        const auto before = GameFolderIndex::Get(Path("baseq3"));
        c.apply();
        EXPECT_NE(GameFolderIndex::Get(Path("baseq3")), before);
        EXPECT_EQ(Where("baseq3", "a.bsp"), QString::fromLatin1(c.winner));
    }
}

TEST_F(GameFolders, DamagedArchiveIsReportedAndSkipped) {
    Put("baseq3/pak2.pk3", "not a zip");
    const auto index = GameFolderIndex::Get(Path("baseq3"));
    ASSERT_EQ(index->Errors().size(), 1);
    EXPECT_TRUE(index->Errors().first().contains("pak2.pk3"));
    EXPECT_EQ(Where("baseq3", "a.bsp"), QStringLiteral("PAK1.pk3"));
}

// OpenArena's own packages: patches are later archives that replace maps of pak1-maps.
TEST(GameFolderOpenArena, PatchArchivesReplaceOlderMaps) {
    const QString baseoa = QStringLiteral("/usr/share/games/openarena/baseoa");
    if (!QFileInfo(baseoa + QStringLiteral("/pak1-maps.pk3")).isFile())
        GTEST_SKIP() << "OpenArena's data is not installed";
    // Uncompressed sizes as `unzip -l` lists them.
    const struct {
        const char* name;
        const char* archive;
        qsizetype size;
    } cases[] = {{"aggressor.bsp", "pak6-patch088.pk3", 777072},
                 {"oa_dm1.bsp", "pak1-maps.pk3", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = FindGameMap(baseoa, QString::fromLatin1(c.name));
        ASSERT_TRUE(found);
        EXPECT_EQ(QFileInfo(found->archive).fileName(), QString::fromLatin1(c.archive));
        QByteArray bytes;
        EXPECT_EQ(ReadMapBytes(found->FullPath(), bytes), QString());
        if (c.size > 0) {
            EXPECT_EQ(bytes.size(), c.size);
        }
        EXPECT_TRUE(bytes.startsWith("IBSP"));
    }
    const QString missionpack = QStringLiteral("/usr/share/games/openarena/missionpack");
    if (QFileInfo(missionpack).isDir()) {
        EXPECT_EQ(BaseGameFolder(missionpack), baseoa);
        EXPECT_TRUE(FindGameMap(missionpack, QStringLiteral("aggressor.bsp")));
    }
}

} // namespace
} // namespace kestrova
