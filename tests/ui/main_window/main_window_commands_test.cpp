// The Trace menu and the window's life: first start, settings kept between runs, new, open,
// save, recent files, import, game switch, the command line and the close. The document's own
// questions and messages are checked nearer the code; here, that the window reaches them.
#include "core/files/trace_file.h"
#include "core/script/game_profile.h"
#include "core/settings/registry.h"
#include "support/main_window_fixture.h"
#include "support/test_files.h"
#include "support/window_mouse.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/notes_window.h"
#include "ui/widgets/number_edit.h"

#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace kestrova::ui {
namespace {

using MainWindowTest = test::MainWindowFixture;

TEST_F(MainWindowTest, FirstStartUsesTheDefaultsAndMenuChoicesComeBackAtTheNextStart) {
    Start();
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Nothing to save, undo or select in an empty trace.
    for (const char* name : {"mnuT_Save", "mnuT_New", "mnuE_Undo", "mnuE_Redo", "mnuE_SelectAll",
                             "mnuE_DeselectAll", "mnuT_Export"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;

    Trigger("mnuV_ShowGrid"); // on by default
    Trigger("mnuVMT_Gradient");
    w->mnuVL_Lang_Click(1);
    w->mnuTM_Mod_Click(kGameDefrag);
    ASSERT_TRUE(UserClose());
    Start();
    EXPECT_FALSE(Action("mnuV_ShowGrid")->isChecked());
    EXPECT_FALSE(w->CurrentSettings().showGrid);
    EXPECT_TRUE(Action("mnuVMT_Gradient")->isChecked());
    EXPECT_EQ(w->CheckedLanguageIndex(), 1);
    EXPECT_EQ(Action("mnuE_Undo")->text(), QStringLiteral("Ann&uler"));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
    EXPECT_TRUE(Action("mnuTM_Mod1")->isChecked());
}

TEST_F(MainWindowTest, NewOpenSaveAndRecentFilesAskOnlyWhenSomethingWouldBeLost) {
    Start();
    Trigger("mnuT_Open"); // empty trace: straight to the file dialog
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.fileDialogs.size(), 1);

    AddPoints(kReference, 1);
    dialogs.answers = {DialogAnswer::Cancel, DialogAnswer::No};
    Trigger("mnuT_Open");
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1); // Cancel stops before the file dialog
    Trigger("mnuT_New");
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(w->CurrentTrace().ReferenceCount(), 0);
    EXPECT_FALSE(Action("mnuT_New")->isEnabled());

    AddPoints(kControl, 2);
    const QString own = Path("mine.ep3t");
    dialogs.paths = {own};
    Trigger("mnuT_Save");
    EXPECT_TRUE(QFileInfo::exists(own));
    EXPECT_FALSE(w->CurrentTrace().modified);
    // The folder is stored at once: a crash now keeps it.
    const QString etKey = Profile(kGameEtPro).registryKey;
    EXPECT_EQ(RegReadValue(etKey, QStringLiteral("DftPathTraces")).Text(), registry.dir());

    // A recent file that was deleted is reported and dropped.
    QMenu* recent = w->RecentFilesMenu();
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions()[0]->data().toString(), own);
    ASSERT_TRUE(QFile::remove(own));
    recent->actions()[0]->trigger();
    EXPECT_EQ(dialogs.messages.size(), 3);
    emit recent->aboutToShow();
    EXPECT_FALSE(recent->actions()[0]->isEnabled()); // only the empty marker is left

    // A game switch saves the games' configurations without putting the old folder back.
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_EQ(RegReadValue(etKey, QStringLiteral("DftPathTraces")).Text(), registry.dir());
    w->mnuTM_Mod_Click(kGameEtPro);
    Trigger("mnuT_Open");
    EXPECT_EQ(dialogs.fileDialogs.last().request.folder, registry.dir());
    ASSERT_TRUE(UserClose());
    Start();
    EXPECT_EQ(w->Doc().traceFolder[kGameEtPro], registry.dir());
}

TEST_F(MainWindowTest, ALoadedTraceShowsItsOptionsAndNotes) {
    Start();
    const QString path = Path("noted.ep3t");
    AddPoints(kControl, 5);
    w->CurrentTrace().counts.presetText[0] = QStringLiteral("301");
    w->CurrentTrace().notes = QStringLiteral("take two");
    w->CurrentTrace().script.autoStartMsText = QStringLiteral("61500");
    w->PointsEdited();
    dialogs.paths = {path};
    Trigger("mnuT_Save");
    Trigger("mnuT_New");
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTimeMs")->text(), QStringLiteral("0"));

    dialogs.paths = {path};
    Trigger("mnuT_Open");
    EXPECT_EQ(Find<NumberEdit>("txtSteps0")->text(), QStringLiteral("301"));
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTimeMs")->text(), QStringLiteral("61500"));
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTime1")->text(), QStringLiteral("1"));
    EXPECT_TRUE(w->Notes()->isVisible());
    EXPECT_EQ(w->Notes()->Text()->toPlainText(), QStringLiteral("take two"));
}

TEST_F(MainWindowTest, ClosingWaitsForThePreviewAndAsksOnlyWithTwoPointsOfAKind) {
    Start();
    AddPoints(kControl, 1);
    int stops = 0;
    w->stopPreview = [&] { ++stops; };
    w->SetPreviewRunning(true);
    w->show();
    w->close();
    QTest::qWait(120);
    EXPECT_TRUE(w->isVisible());
    EXPECT_GE(stops, 1);
    w->SetPreviewRunning(false);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !w->isVisible(); }, 3000));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    Start();
    AddPoints(kControl, 2);
    dialogs.answers = {DialogAnswer::Cancel, DialogAnswer::No};
    EXPECT_FALSE(UserClose(400));
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(UserClose());
}

TEST_F(MainWindowTest, ATraceOnTheCommandLineOpensWithTheAboutWindow) {
    TraceFileContents c;
    c.game = kGameDefrag;
    c.points.count[kControl] = 2;
    const QString path = Path("start.dfkv");
    ASSERT_TRUE(WriteTraceFile(path, c));

    Start(path);
    EXPECT_TRUE(w->OpenedWithFile());
    ASSERT_NE(w->About(), nullptr);
    EXPECT_TRUE(w->About()->isVisible());
    EXPECT_FALSE(w->About()->IsSplash());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - start [Defrag]"));
    EXPECT_FALSE(w->CurrentTrace().modified);

    // A name that is not a file is ignored, but the About window still shows.
    Start(Path("missing.dfkv"));
    EXPECT_TRUE(w->About()->isVisible());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindowTest, NewKeepsTheMapAndTheDemoWhileAGameSwitchDropsThemAndImportsItsOwn) {
    Start();
    QStringList mapLoads;
    w->Host().loadMap = [&](const QString& name) { mapLoads << name; };
    w->Host().mapName = QStringLiteral("oasago2");
    w->Host().demoName = QStringLiteral("run 01");
    AddPoints(kControl, 2);
    dialogs.answers = {DialogAnswer::No};
    Trigger("mnuT_New");
    ASSERT_EQ(w->CurrentTrace().ControlCount(), 0);
    EXPECT_EQ(w->Host().mapName, QStringLiteral("oasago2"));
    EXPECT_EQ(w->Host().demoName, QStringLiteral("run 01"));
    EXPECT_TRUE(mapLoads.isEmpty());

    // Another game has other maps, demos and controls (the tab pages themselves are hidden
    // until chosen: only the controls' own state counts).
    auto* autoStart = Find<QGroupBox>("fraSAutoStart");
    EXPECT_FALSE(autoStart->isHidden());
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_TRUE(autoStart->isHidden());
    EXPECT_TRUE(w->Host().mapName.isEmpty());
    EXPECT_TRUE(w->Host().demoName.isEmpty());
    EXPECT_EQ(mapLoads, QStringList{QString()});

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pos.dfcp"));
    test::WriteFile(file,
                    "header\r\np1: 10,20,30,5,90,0,0,100\"\r\np2: 40,50,60,-5,180,0,2,0\"\r\n");
    dialogs.paths = {file};
    Trigger("mnuT_Import");
    EXPECT_EQ(w->Grid(kControl)->item(1, kFieldX)->text(), QStringLiteral("40.00"));
    EXPECT_TRUE(Action("mnuT_Export")->isEnabled());
}

TEST_F(MainWindowTest, AHideClickIsOneUndoStepAndADoubleClickTogglesOnce) {
    Start();
    AddPoints(kControl, 2);
    Show();
    PointsGrid* grid = w->Grid(kControl);
    grid->scrollToItem(grid->item(0, kFieldHide));
    const QPoint cell = grid->visualItemRect(grid->item(0, kFieldHide)).center();
    const int steps = w->Doc().undo.pos;
    auto hide = [this] { return w->CurrentTrace().points.At(kControl, 1).hide; };

    test::WindowClick(grid->viewport(), cell);
    EXPECT_EQ(hide(), 1);
    EXPECT_EQ(w->Doc().undo.pos, steps + 1);
    Trigger("mnuE_Undo");
    EXPECT_EQ(hide(), 0);
    EXPECT_EQ(grid->item(0, kFieldHide)->text(), QStringLiteral("0"));

    test::WindowDoubleClick(grid->viewport(), cell);
    EXPECT_EQ(hide(), 1);
    EXPECT_EQ(w->Doc().undo.pos, steps + 1);
    EXPECT_EQ(grid->indexWidget(grid->model()->index(0, kFieldHide)), nullptr) << "no editor";
    // Elsewhere a double-click still opens the cell for typing, and changes nothing yet.
    test::WindowDoubleClick(grid->viewport(),
                            grid->visualItemRect(grid->item(1, kFieldX)).center());
    EXPECT_NE(grid->indexWidget(grid->model()->index(1, kFieldX)), nullptr);
    EXPECT_EQ(w->Doc().undo.pos, steps + 1);
}

} // namespace
} // namespace kestrova::ui
