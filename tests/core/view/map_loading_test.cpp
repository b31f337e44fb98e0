#include "core/map/game_folder.h"
#include "core/settings/settings.h"
#include "core/support_trace.h"
#include "core/view/map_loading.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/test_files.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

class FakeLoader : public MapLoader {
public:
    bool Load(const QString& fullPath) override {
        loads << fullPath;
        error = succeed ? QString() : failure;
        return succeed;
    }
    void Reset() override { error.clear(); } // a fresh component forgets the last failure
    QString LastError() const override { return error; }
    MapBoundsArray Bounds() const override { return {}; }

    bool succeed = true;
    QString failure; // the reason a failing load gives
    QString error;
    QStringList loads;
};

// Answers Map > Load's lists with the prepared choices, then choice; keeps the last one shown.
struct ListDialogs : test::ScriptedDialogs {
    MapChoice ChooseMap(const MapListRequest& r) override {
        shown = r;
        ++lists;
        if (choices.empty())
            return choice;
        const MapChoice next = choices.front();
        choices.pop_front();
        return next;
    }
    MapChoice choice{MapChoice::Kind::Browse, {}};
    std::deque<MapChoice> choices;
    MapListRequest shown;
    int lists = 0;
};

struct MapLoading : ::testing::Test {
    test::TempRegistry reg;
    QTemporaryDir dir;
    MapState state;
    Trace trace;
    GameConfig game;
    ListDialogs dialogs;
    FakeLoader loader;
    int fits = 0, menuUpdates = 0, redraws = 0;
    MapContext c{state,
                 trace,
                 game,
                 dialogs,
                 loader,
                 [this] { ++fits; },
                 [this] { ++menuUpdates; },
                 [this] { ++redraws; }};

    void SetUp() override {
        game.DftPathBsp = dir.path();
        Touch(QStringLiteral("q3dm17.bsp"));
        Touch(QStringLiteral("other.bsp"));
    }
    void Touch(const QString& name) { test::WriteFile(dir.filePath(name), "IBSP"); }
};

TEST_F(MapLoading, LoadsFitsAnEmptyTraceAndMarksItModified) {
    ASSERT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    EXPECT_TRUE(state.shown);
    EXPECT_EQ(state.name, QStringLiteral("q3dm17.bsp"));
    EXPECT_EQ(loader.loads, QStringList{dir.filePath(QStringLiteral("q3dm17.bsp"))});
    EXPECT_EQ(fits, 1);
    EXPECT_GE(menuUpdates, 1);
    EXPECT_TRUE(trace.modified);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // The same map again, in other letters: nothing happens.
    trace.modified = false;
    EXPECT_FALSE(LoadMap(c, QStringLiteral("Q3DM17.BSP")));
    EXPECT_EQ(loader.loads.size(), 1);
    EXPECT_FALSE(trace.modified);

    // A trace with points keeps its views.
    trace = test::MakeTrace({{0, 0, 0}});
    ASSERT_TRUE(LoadMap(c, QStringLiteral("other.bsp")));
    EXPECT_EQ(fits, 1);
}

TEST_F(MapLoading, MissingFileOffersTheOpenDialogWithItsName) {
    dialogs.paths.push_back(std::nullopt);
    EXPECT_FALSE(LoadMap(c, QStringLiteral("gone.bsp")));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    const FileDialogRequest& r = dialogs.fileDialogs[0].request;
    EXPECT_EQ((QStringList{r.title, r.fileName, r.filter}),
              (QStringList{"Map not found.", "gone.bsp", "IDSoftware map (*.bsp)"}));
    EXPECT_FALSE(state.shown);
    EXPECT_EQ(redraws, 1);
}

TEST_F(MapLoading, ChosenFileSetsTheMapFolder) {
    test::WriteFile(dir.filePath(QStringLiteral("sub/arena.bsp")));
    trace = test::MakeTrace({{0, 0, 0}});
    trace.modified = false;
    dialogs.paths.push_back(dir.filePath(QStringLiteral("sub/arena.bsp")));
    ChooseAndLoadMap(c, QString(), QString());
    EXPECT_EQ(dialogs.fileDialogs[0].request.title, QStringLiteral("Load a map"));
    EXPECT_EQ(game.DftPathBsp, dir.filePath(QStringLiteral("sub")));
    EXPECT_EQ(state.name, QStringLiteral("arena.bsp"));
    EXPECT_TRUE(trace.modified);
}

TEST_F(MapLoading, ComponentFailureUnloadsAndSaysWhere) {
    loader.succeed = false;
    EXPECT_FALSE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    EXPECT_FALSE(state.shown);
    EXPECT_TRUE(state.name.isEmpty());
    // The component's reason comes along, read before the component is thrown away.
    loader.failure = QStringLiteral("no geometry");
    EXPECT_FALSE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Load a map"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    const QString text = QStringLiteral("Map loading error:\r\n") + dir.filePath("q3dm17.bsp");
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(dialogs.messages[1].text, text + QStringLiteral("\r\nno geometry"));
}

TEST_F(MapLoading, MissingFolderIsAskedForAndCancelStops) {
    game.DftPathBsp = dir.filePath(QStringLiteral("nowhere"));
    dialogs.paths.push_back(std::nullopt);
    EXPECT_FALSE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Specify the folder containing BSP map.\nq3dm17.bsp"));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].kind, test::RecordedFileDialog::Folder);
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Specify the folder containing BSP map."));
    EXPECT_TRUE(loader.loads.isEmpty());

    dialogs.paths.push_back(dir.path());
    EXPECT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    EXPECT_EQ(game.DftPathBsp, dir.path());
}

TEST_F(MapLoading, UnloadByTheUserMarksATraceWithPoints) {
    ASSERT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    for (const bool points : {false, true}) {
        trace = points ? test::MakeTrace({{1, 2, 3}}) : Trace{};
        UnloadMapByUser(c);
        EXPECT_FALSE(state.shown);
        EXPECT_EQ(trace.modified, points);
    }
    EXPECT_EQ(redraws, 2);
}

TEST_F(MapLoading, OffsetsArePerMap) {
    test::ScopedLocale fr(test::ScopedLocale::French());
    ASSERT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    state.offset = {12.5f, -3, 0.25f};
    SaveOriginOffset(state);
    EXPECT_EQ(RegReadValue(MapKey(QStringLiteral("q3dm17.bsp")), QStringLiteral("OffsetX")).Text(),
              QStringLiteral("12,50"));

    // The next map has none stored: it draws at the origin.
    ASSERT_TRUE(LoadMap(c, QStringLiteral("other.bsp")));
    EXPECT_EQ(state.offset, (std::array<float, 3>{0, 0, 0}));
    ASSERT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    EXPECT_EQ(state.offset, (std::array<float, 3>{12.5f, -3, 0.25f}));
}

TEST_F(MapLoading, NamesResolveInAGameFoldersArchivesAndLoadListsThem) {
    GameFolderIndex::ClearCache();
    const QString base = dir.filePath("baseq3");
    test::WriteFile(base + "/maps/loose.bsp"); // makes the folders too
    ASSERT_TRUE(test::WriteZip(base + "/pak0.pk3", {{"maps/q3dm17.bsp", "IBSP"}}));
    game.DftPathBsp = base;

    // A trace's bare name, as it is stored, is found inside the archive.
    ASSERT_TRUE(LoadMap(c, QStringLiteral("q3dm17.bsp")));
    EXPECT_EQ(loader.loads, QStringList{base + "/pak0.pk3:maps/q3dm17.bsp"});
    EXPECT_EQ(state.name, QStringLiteral("q3dm17.bsp"));

    dialogs.choice = {MapChoice::Kind::Cancel, {}};
    ChooseAndLoadMap(c, {}, {});
    EXPECT_EQ(dialogs.shown.maps, (QStringList{"loose.bsp", "q3dm17.bsp"}));
    EXPECT_EQ(dialogs.shown.current, QStringLiteral("q3dm17.bsp"));
    EXPECT_EQ(loader.loads.size(), 1);

    // A loose file picked in maps/ keeps the game folder as the map folder.
    dialogs.choice = {MapChoice::Kind::Browse, {}};
    dialogs.paths.push_back(base + "/maps/loose.bsp");
    ChooseAndLoadMap(c, {}, {});
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].request.folder, base + "/maps");
    EXPECT_EQ(game.DftPathBsp, base);
    EXPECT_EQ(state.name, QStringLiteral("loose.bsp"));

    // A newer archive cut short is said once, not at every load, while it stays as it is.
    test::WriteFile(base + "/pak9.pk3", "PK\x03\x04 cut");
    dialogs.messages.clear();
    for (const char* name : {"q3dm17.bsp", "loose.bsp", "q3dm17.bsp"})
        LoadMap(c, QString::fromLatin1(name));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              "These archives cannot be read and are left out, as the game leaves them out:\n"
              "cannot open the archive " +
                  base + "/pak9.pk3");
    EXPECT_EQ(state.name, QStringLiteral("q3dm17.bsp")); // from pak0, as the game would
}

TEST_F(MapLoading, AFirstLoadAsksForTheGameFolderThenListsItsMaps) {
    GameFolderIndex::ClearCache();
    // The user points at the game's own folder; its base game folder inside is the one listed.
    const QString install = dir.filePath("openarena");
    ASSERT_TRUE(QDir().mkpath(install + "/baseoa"));
    ASSERT_TRUE(test::WriteZip(install + "/baseoa/pak1.pk3",
                               {{"maps/oa_dm4.bsp", "IBSP"}, {"maps/oa_dm1.bsp", "IBSP"}}));
    game.DftPathBsp.clear();
    game.ModPath = install + "/baseoa/missing_mod";
    dialogs.paths = {std::nullopt, install};
    // Cancelling the folder leaves no list to show.
    ChooseAndLoadMap(c, {}, {});
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].kind, test::RecordedFileDialog::Folder);
    EXPECT_EQ(dialogs.fileDialogs[0].request.folder, install + "/baseoa"); // from the mod's folder
    EXPECT_EQ(dialogs.lists, 0);
    EXPECT_EQ(redraws, 1);

    dialogs.choice = {MapChoice::Kind::Map, QStringLiteral("oa_dm4.bsp")};
    ChooseAndLoadMap(c, {}, {});
    EXPECT_EQ(dialogs.fileDialogs[1].request.title,
              QStringLiteral("Choose the game folder (baseq3, baseoa, etmain or a mod's folder)"));
    EXPECT_EQ(game.DftPathBsp, install + "/baseoa");
    EXPECT_EQ(dialogs.shown.maps, (QStringList{"oa_dm1.bsp", "oa_dm4.bsp"}));
    EXPECT_EQ(loader.loads, QStringList{install + "/baseoa/pak1.pk3:maps/oa_dm4.bsp"});

    // Known now: the next load lists at once; "Game folder..." asks again, and a cancel there
    // goes back to the list of the folder kept.
    dialogs.choices = {{MapChoice::Kind::Folder, {}}, {MapChoice::Kind::Folder, {}}};
    dialogs.choice = {MapChoice::Kind::Cancel, {}};
    dialogs.paths = {dir.path(), std::nullopt};
    ChooseAndLoadMap(c, {}, {});
    EXPECT_EQ(dialogs.lists, 4);
    EXPECT_EQ(dialogs.fileDialogs[3].request.folder, dir.path()); // starts at the current one
    EXPECT_EQ(game.DftPathBsp, dir.path());
    EXPECT_EQ(dialogs.shown.maps, (QStringList{"other.bsp", "q3dm17.bsp"})); // a plain folder
}

TEST(MapMenuCaption, RemovesOnlyTheLowerCaseEnding) {
    EXPECT_EQ(MapMenuCaption(QStringLiteral("q3dm17.bsp")), QStringLiteral("q3dm17"));
    EXPECT_EQ(MapMenuCaption(QStringLiteral("Q3DM17.BSP")), QStringLiteral("Q3DM17.BSP"));
}

TEST(MapPaths, ArchiveFolderHoldsItsMaps) {
    const QString pk3 = QStringLiteral("/usr/share/games/openarena/baseoa/pak0.pk3");
    EXPECT_EQ(MapFullPath(QStringLiteral("/x/maps"), QStringLiteral("a.bsp")),
              QStringLiteral("/x/maps/a.bsp"));
    if (!QFile::exists(pk3))
        GTEST_SKIP() << "OpenArena's data is not installed";
    EXPECT_TRUE(MapFolderExists(pk3));
    EXPECT_EQ(MapFullPath(pk3, QStringLiteral("oa_dm1.bsp")),
              pk3 + QStringLiteral(":maps/oa_dm1.bsp"));
    EXPECT_FALSE(MapFileExists(pk3 + QStringLiteral(":maps/no_such_map.bsp")));
}

} // namespace
} // namespace kestrova
