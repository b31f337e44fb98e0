// The views inside the main window: the map menu, the captions and the 4:3 layout.
#include "core/files/trace_file.h"
#include "core/map/bsp_builder.h"
#include "core/script/game_profile.h"
#include "support/main_window_fixture.h"
#include "support/test_files.h"
#include "ui/view/view_toolbar.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class ViewAreaTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        mapPath = Path("room.bsp");
        test::WriteFile(mapPath, test::RoomWithPatch().Build());
    }

    QString mapPath;
};

TEST_F(ViewAreaTest, ATraceWithoutItsViewsOpensShowingAllItsPoints) {
    // Three points far from the origin, where the default views would not show them.
    const QByteArray points = "ctl:5000;6000;100;0;0;0;90;1;\r\n"
                              "ctl:5600;6400;300;0;0;0;90;1;\r\n"
                              "ctl:6200;6000;200;0;0;0;90;1;\r\n";
    struct Case {
        const char* name;
        QByteArray header;
        bool fitted;
    };
    const Case cases[] = {
        {"no views", "game_mod 1\r\n", true},
        {"stored views",
         "game_mod 1\r\nscale_xy 300\r\npos_xy1 7\r\npos_xy2 8\r\n"
         "cam_x 10\r\ncam_yaw 30\r\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path("far.dfkv");
        test::WriteFile(path, c.header + points);
        ASSERT_TRUE(LoadTraceFile(w->Doc(), path));
        const PlanView& xy = w->Views().plans[0];
        const ViewCamera& cam = w->Views().camera;
        if (!c.fitted) {
            EXPECT_FLOAT_EQ(xy.centreH, 7);
            EXPECT_FLOAT_EQ(cam.yaw, 30);
            continue;
        }
        // Centred on the points' box; the camera above them, looking down.
        EXPECT_FLOAT_EQ(xy.centreH, 5600);
        EXPECT_FLOAT_EQ(xy.centreV, 6200);
        EXPECT_FLOAT_EQ(w->Views().plans[1].centreV, 200); // X-Z: Z from 100 to 300
        EXPECT_GT(cam.pitch, 0);
    }
}

TEST_F(ViewAreaTest, MapMenuLoadsAndUnloads) {
    ASSERT_TRUE(View());
    EXPECT_FALSE(Action("mnuMapNone")->isEnabled());
    EXPECT_FALSE(Action("mnuMapOrigin")->isEnabled());
    EXPECT_FALSE(Action("mnuMapName")->isVisible());

    // A first load asks for the folder; the list then leads to the file dialog.
    dialogs.paths = {QFileInfo(mapPath).absolutePath(), mapPath};
    Trigger("mnuMapLoad");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(Action("mnuMapNone")->isEnabled());
    EXPECT_TRUE(Action("mnuMapOrigin")->isEnabled());
    EXPECT_EQ(Action("mnuMapName")->text(), QStringLiteral("room"));
    EXPECT_EQ(w->Host().mapName, QStringLiteral("room.bsp"));
    EXPECT_FLOAT_EQ(w->Views().plans[0].centreH, 128); // an empty trace fits the fresh map

    Trigger("mnuMapNone");
    EXPECT_FALSE(Action("mnuMapNone")->isEnabled());
    EXPECT_FALSE(Action("mnuMapName")->isVisible());
    EXPECT_TRUE(w->Host().mapName.isEmpty());
}

TEST_F(ViewAreaTest, OpeningATraceKeepsItsMapAndCameraModeThroughASave) {
    // A Defrag "look player" trace over a map, opened while ET Pro is current, and back.
    for (const int game : {kGameDefrag, kGameEtPro}) {
        w->Games().configs[game].DftPathBsp = registry.dir();
        TraceFileContents c;
        c.game = game;
        c.mapName = QStringLiteral("room.bsp");
        c.script.cameraMode = game == kGameDefrag ? 3 : 1; // the last mode of each game
        c.points.count[kControl] = 2;
        c.points.At(kControl, 2).x = 20;
        const QString path =
            QDir(registry.dir())
                .filePath(QStringLiteral("shot.") + (game == kGameDefrag ? "dfkv" : "ep3t"));
        ASSERT_TRUE(WriteTraceFile(path, c));
        ASSERT_NE(w->Games().Game(), game);

        dialogs.paths = {path};
        Trigger("mnuT_Open");
        EXPECT_EQ(w->Games().Game(), game);
        EXPECT_EQ(w->CurrentTrace().script.cameraMode, c.script.cameraMode) << game;
        EXPECT_TRUE(Action("mnuMapName")->isVisible());

        dialogs.paths = {path};
        Trigger("mnuT_Save");
        TraceFileContents back;
        ReadTraceFile(*ReadTraceFileLines(path), back);
        EXPECT_EQ(back.mapName, QStringLiteral("room.bsp")) << game;
        EXPECT_EQ(back.script.cameraMode, c.script.cameraMode) << game;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ViewAreaTest, TheReferencePointsDisplayIsOneStateAndTablesHighlight) {
    QAction* display = Action("mnuV_ShowRefPoints");
    display->trigger(); // off
    ASSERT_FALSE(display->isChecked());

    // Adding a reference point shows them again, in the menu and in the views.
    AppendPointXYZ(w->CurrentTrace(), kReference, 5, 6, 7, std::nullopt, false);
    w->PointsEdited();
    EXPECT_TRUE(display->isChecked());
    EXPECT_TRUE(View()->CurrentSceneInput().flags.referencePoints);

    // Hidden, they are not selected by Select all.
    display->trigger();
    AppendPointXYZ(w->CurrentTrace(), kControl, 1, 2, 3, std::nullopt, false);
    w->PointsEdited();
    Trigger("mnuE_SelectAll");
    EXPECT_FALSE(w->CurrentTrace().points.rec[kReference][1].selected);
    EXPECT_TRUE(w->CurrentTrace().points.rec[kControl][1].selected);

    // A selection in a table is highlighted in the views.
    w->Grid(kControl)->SetSelection({1, 1, 1, 3});
    const SceneInput in = View()->CurrentSceneInput();
    EXPECT_TRUE(in.tableHighlight);
    EXPECT_EQ(in.highlightKind, kControl);
}

TEST_F(ViewAreaTest, CaptionsAndTheFourByThreeView) {
    auto* scale = Find<QLabel>("lblPans0");
    auto* name = Find<QLabel>("lblPans2");
    w->show();
    w->resize(1200, 700);
    auto* views3D = w->findChild<QToolButton*>(QStringLiteral("optViews3"));
    auto* keep = w->findChild<QCheckBox*>(QStringLiteral("chkView3D4_3"));
    ASSERT_TRUE(views3D && keep);
    views3D->click();
    EXPECT_EQ(name->text(), QStringLiteral("3D View"));
    EXPECT_TRUE(scale->text().isEmpty());
    keep->setChecked(true);
    EXPECT_NEAR(View()->width() * 3, View()->height() * 4, 3); // whole pixels
    w->findChild<QToolButton*>(QStringLiteral("optViews0"))->click();
    EXPECT_GT(std::abs(View()->width() * 3 - View()->height() * 4), 3)
        << "the plans take the whole area";
}

} // namespace
} // namespace kestrova::ui
