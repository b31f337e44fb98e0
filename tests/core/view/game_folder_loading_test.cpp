#include "core/map/game_folder.h"
#include "core/view/map_loading.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

struct Loader : MapLoader {
    bool Load(const QString& fullPath) override {
        loads << fullPath;
        return true;
    }
    void Reset() override {}
    MapBoundsArray Bounds() const override { return {}; }
    QStringList loads;
};

// Answers Map > Load's list with a prepared choice and keeps what it was shown.
struct ListDialogs : test::ScriptedDialogs {
    MapChoice ChooseMap(const MapListRequest& r) override {
        shown = r;
        return choice;
    }
    MapChoice choice;
    MapListRequest shown;
};

TEST(GameFolderLoading, NamesResolveInTheArchivesAndLoadListsThem) {
    test::TempRegistry reg;
    QTemporaryDir root;
    MapState state;
    Trace trace;
    GameConfig game;
    ListDialogs dialogs;
    Loader loader;
    MapContext c{state, trace, game, dialogs, loader, {}, {}, {}};
    GameFolderIndex::ClearCache();
    const QString base = root.filePath("baseq3");
    QDir().mkpath(base + "/maps");
    ASSERT_TRUE(test::WriteZip(base + "/pak0.pk3", {{"maps/q3dm17.bsp", "IBSP"}}));
    QFile f(base + "/maps/loose.bsp");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
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
}

} // namespace
} // namespace kestrova
