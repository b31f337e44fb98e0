#include "core/game/game_config.h"
#include "core/game/game_home.h"
#include "core/script/game_profile.h"
#include "support/test_files.h"

#include <QTemporaryDir>

namespace kestrova::test {
namespace {

// $HOME pointed at a folder of the test's own.
class FakeHome : public ::testing::Test {
protected:
    void SetUp() override {
        saved = qgetenv("HOME");
        qputenv("HOME", dir.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("HOME", saved); }
    QTemporaryDir dir;
    QByteArray saved;
    QString Home(const QString& rel) const { return dir.path() + rel; }
};

TEST_F(FakeHome, TheEnginesTitlesAndHomeFoldersAsTheirSourcesSetThem) {
    // Worked out from CLIENT_WINDOW_TITLE and the Unix home path of each engine's source.
    EXPECT_EQ(EngineWindowTitles(kGameDefrag),
              (QStringList{"Quake 3: Arena", "ioquake3", "OpenArena"}));
    EXPECT_EQ(EngineWindowTitles(kGameEtPro), (QStringList{"Enemy Territory", "ET Legacy"}));
    EXPECT_EQ(HomeFolderCandidates(kGameDefrag), (QStringList{Home("/.q3a"), Home("/.openarena")}));
    EXPECT_EQ(HomeFolderCandidates(kGameEtPro),
              (QStringList{Home("/.etwolf"), Home("/.etlegacy")}));

    // The first that exists; the user's choice before any.
    EXPECT_EQ(DefaultHomeFolder(kGameEtPro), QString());
    QDir().mkpath(Home("/.etlegacy"));
    EXPECT_EQ(DefaultHomeFolder(kGameEtPro), Home("/.etlegacy"));
    QDir().mkpath(Home("/.etwolf"));
    EXPECT_EQ(DefaultHomeFolder(kGameEtPro), Home("/.etwolf"));
    GameConfig c;
    c.HomePath = Home("/elsewhere");
    EXPECT_EQ(HomeFolder(c, kGameEtPro), Home("/elsewhere"));
}

TEST_F(FakeHome, TheSearchPathPutsTheHomeCopyOfTheModificationFirst) {
    WriteFile(Home("/q3/quake3"));
    QDir().mkpath(Home("/q3/DeFrag"));
    GameConfig c;
    c.ModPath = Home("/q3/DeFrag");
    // No home folder yet: the install folder alone.
    EXPECT_EQ(ModSearchPath(c, kGameDefrag), QStringList{Home("/q3/DeFrag")});
    QDir().mkpath(Home("/.q3a/defrag"));
    EXPECT_EQ(ModSearchPath(c, kGameDefrag),
              (QStringList{Home("/.q3a/defrag"), Home("/q3/DeFrag")}));
    EXPECT_EQ(GameRootSearchPath(c, kGameDefrag), (QStringList{Home("/.q3a"), Home("/q3")}));

    // Maps: the home copy of the folder, the folder, then the same for the base game.
    QDir().mkpath(Home("/q3/baseq3"));
    QDir().mkpath(Home("/.q3a/baseq3"));
    EXPECT_EQ(GameOfFolder(Home("/q3/DeFrag")), kGameDefrag);
    EXPECT_EQ(MapSearchPath(Home("/q3/DeFrag"), Home("/.q3a")),
              (QStringList{Home("/.q3a/defrag"), Home("/q3/DeFrag"), Home("/.q3a/baseq3"),
                           Home("/q3/baseq3")}));
    EXPECT_EQ(ChildFoldersIgnoringCase(Home("/q3"), "DEFRAG"), QStringList{Home("/q3/DeFrag")});
}

} // namespace
} // namespace kestrova::test
