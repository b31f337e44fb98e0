#include "core/files/trace_file.h"
#include "core/game/frame_rates.h"
#include "core/model/point_table_ops.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/window_mouse.h"
#include "ui/frm_about.h"
#include "ui/main_window.h"
#include "ui/points_grid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void Start(const QString& trace = {}) {
        w = std::make_unique<FrmMain>();
        w->SetDialogs(&dialogs);
        w->Form_Load({trace, false});
    }
    void AddPoints(int kind, int n) {
        for (int i = 0; i < n; ++i)
            AppendPointXYZ(w->CurrentTrace(), kind, i * 100.0, 50.0, 0, std::nullopt, false);
        w->PointsEdited();
    }
    void Trigger(const char* name) { w->Action(QString::fromLatin1(name))->trigger(); }
    QString Path(const QString& name) const { return QDir(registry.dir()).filePath(name); }
    // Closes the way the user does and lets the deferred close run.
    bool UserClose() {
        w->show();
        w->close();
        for (int i = 0; i < 20 && w->isVisible(); ++i)
            QTest::qWait(20);
        return !w->isVisible();
    }
    QStringList MessageTexts() const {
        QStringList out;
        for (const auto& m : dialogs.messages)
            out << m.text;
        return out;
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
};

TEST_F(MainWindowTest, FirstStartUsesTheDefaultsAndWritesTheFrameRates) {
    Start();
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_EQ(w->CheckedLanguageIndex(), 0);
    EXPECT_EQ(LanguageOffset(), kLanguageEnglish);
    EXPECT_EQ(w->Games().Game(), kGameEtPro);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuTM_Mod0"))->isChecked());
    EXPECT_EQ(w->Games().aviDemos.Count(), 7);
    EXPECT_EQ(w->Games().cmdsBefore.Items(), QStringList{QStringLiteral("<none>")});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(RegReadValue(Profile(kGameEtPro).registryKey, QStringLiteral("AviDemos")).Text(),
              kDefaultAviDemos);
    // Nothing to save, undo or select in an empty trace.
    for (const char* name : {"mnuT_Save", "mnuT_New", "mnuE_Undo", "mnuE_Redo", "mnuE_SelectAll",
                             "mnuE_DeselectAll", "mnuT_Export"})
        EXPECT_FALSE(w->Action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D [ET Pro]"));
}

TEST_F(MainWindowTest, SettingsChangedInTheMenusComeBackAtTheNextStart) {
    Start();
    Trigger("mnuV_ShowGrid"); // on by default
    Trigger("mnuVMT_Gradient");
    w->mnuVL_Lang_Click(1);
    w->mnuTM_Mod_Click(kGameDefrag);
    ASSERT_TRUE(UserClose());

    Start();
    EXPECT_FALSE(w->Action(QStringLiteral("mnuV_ShowGrid"))->isChecked());
    EXPECT_FALSE(w->CurrentSettings().showGrid);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuVMT_Gradient"))->isChecked());
    EXPECT_EQ(w->CheckedLanguageIndex(), 1);
    EXPECT_EQ(w->Action(QStringLiteral("mnuE_Undo"))->text(), fStrEx(11, kLanguageFrench));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuTM_Mod1"))->isChecked());
    w->mnuVL_Lang_Click(0);
}

TEST_F(MainWindowTest, GridDeleteAndCopyAreUndoneAndRedoneFromTheMenu) {
    Start();
    AddPoints(kControl, 3);
    PointsGrid* grid = w->Grid(kControl);
    grid->SetSelection({2, 2, 1, grid->columnCount() - 1});
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuE_Undo"))->isEnabled());

    Trigger("mnuE_Undo");
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 3);
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("100.00")); // the deleted row is back
    EXPECT_TRUE(w->Action(QStringLiteral("mnuE_Redo"))->isEnabled());
    Trigger("mnuE_Redo");
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);

    grid->SetSelection({1, 1, 1, grid->columnCount() - 1});
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(w->CurrentTrace().ControlCount(), 3);
    EXPECT_EQ(w->CurrentTrace().points.At(kControl, 2).x,
              w->CurrentTrace().points.At(kControl, 1).x);
    Trigger("mnuE_Undo");
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuE_Redo"))->isEnabled());
}

TEST_F(MainWindowTest, SelectAllShortcutsFollowTheMenuStates) {
    Start();
    w->show();
    QApplication::setActiveWindow(w.get());
    w->Grid(kControl)->setFocus();
    QTest::keyClick(w->Grid(kControl), Qt::Key_A, Qt::ControlModifier); // disabled: nothing
    AddPoints(kControl, 2);
    QTest::keyClick(w->Grid(kControl), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(w->CurrentTrace().points.At(kControl, 1).selected);
    EXPECT_TRUE(w->CurrentTrace().points.At(kControl, 2).selected);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuE_DeselectAll"))->isEnabled());
    QTest::keyClick(w->Grid(kControl), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(w->CurrentTrace().points.At(kControl, 1).selected);
    // While a box waits for validation the keys are its own.
    w->SetEditingFlag(true);
    QTest::keyClick(w->Grid(kControl), Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(w->CurrentTrace().points.At(kControl, 1).selected);
}

TEST_F(MainWindowTest, NewAndOpenAskOnlyForAModifiedTraceWithPoints) {
    Start();
    Trigger("mnuT_Open"); // empty trace: straight to the file dialog
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter, QStringLiteral("EtPro3 trace (*.ep3t)"));

    AddPoints(kReference, 1);
    dialogs.answers = {DialogAnswer::Cancel};
    Trigger("mnuT_Open");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Open..."));
    EXPECT_EQ(dialogs.messages[0].text, fStr(110));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1); // Cancel stops before the file dialog

    dialogs.answers = {DialogAnswer::No};
    Trigger("mnuT_New");
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("New"));
    EXPECT_EQ(w->CurrentTrace().ReferenceCount(), 0);
    EXPECT_FALSE(w->Action(QStringLiteral("mnuT_New"))->isEnabled());
}

TEST_F(MainWindowTest, SavingAsksOnlyBeforeReplacingAnotherFile) {
    Start();
    AddPoints(kControl, 2);
    const QString own = Path(QStringLiteral("mine.ep3t"));
    const QString other = Path(QStringLiteral("other.ep3t"));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();

    dialogs.paths = {own};
    Trigger("mnuT_Save");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(own));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - mine [ET Pro]"));
    EXPECT_FALSE(w->CurrentTrace().modified);

    dialogs.paths = {own}; // its own file again: no question, and in its folder
    Trigger("mnuT_Save");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.fileDialogs.last().request.folder, registry.dir());

    dialogs.paths = {other};
    dialogs.answers = {DialogAnswer::No};
    Trigger("mnuT_Save");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, fStr(181));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));

    // The next run starts the dialogs in the folder of the last save.
    ASSERT_TRUE(UserClose());
    Start();
    EXPECT_EQ(w->Doc().traceFolder[kGameEtPro], registry.dir());
}

TEST_F(MainWindowTest, ClosingAsksOnlyWithTwoPointsOfAKind) {
    Start();
    AddPoints(kControl, 1);
    ASSERT_TRUE(w->CurrentTrace().modified);
    EXPECT_TRUE(UserClose());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    Start();
    AddPoints(kControl, 2);
    dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_FALSE(UserClose());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Quit"));
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoCancel);

    dialogs.answers = {DialogAnswer::No};
    EXPECT_TRUE(UserClose());
}

TEST_F(MainWindowTest, TheCloseWaitsForThePreviewToStop) {
    Start();
    int stops = 0;
    w->stopPreview = [&] { ++stops; };
    w->SetPreviewRunning(true);
    w->show();
    w->close();
    QTest::qWait(120);
    EXPECT_TRUE(w->isVisible());
    EXPECT_GE(stops, 1);
    w->SetPreviewRunning(false);
    QTest::qWait(120);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, ARecentFileThatWasDeletedIsReportedAndDropped) {
    Start();
    AddPoints(kControl, 2);
    const QString path = Path(QStringLiteral("gone.ep3t"));
    dialogs.paths = {path};
    Trigger("mnuT_Save");
    QMenu* recent = w->RecentFilesMenu();
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions()[0]->data().toString(), path);

    ASSERT_TRUE(QFile::remove(path));
    recent->actions()[0]->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, fStr(270, path));
    EXPECT_EQ(dialogs.messages[0].title, fStr(271));
    emit recent->aboutToShow();
    EXPECT_FALSE(recent->actions()[0]->isEnabled()); // only the empty marker is left
}

TEST_F(MainWindowTest, ATraceOnTheCommandLineOpensWithTheAboutWindow) {
    TraceFileContents c;
    c.game = kGameDefrag;
    c.points.count[kControl] = 2;
    c.points.At(kControl, 1).x = 10;
    c.points.At(kControl, 2).x = 20;
    const QString path = Path(QStringLiteral("start.dfkv"));
    ASSERT_TRUE(WriteTraceFile(path, c));

    Start(path);
    EXPECT_TRUE(w->OpenedWithFile());
    ASSERT_NE(w->About(), nullptr);
    EXPECT_TRUE(w->About()->isVisible());
    EXPECT_FALSE(w->About()->IsSplash());
    EXPECT_TRUE(w->About()
                    ->findChild<QLabel*>(QStringLiteral("lblVersion"))
                    ->text()
                    .endsWith(QStringLiteral("0.9.9.0")));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - start [Defrag]"));
    EXPECT_FALSE(w->CurrentTrace().modified);

    // A name that is not a file is ignored, but the About window still shows.
    Start(Path(QStringLiteral("missing.dfkv")));
    EXPECT_TRUE(w->About()->isVisible());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << MessageTexts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainWindowTest, SwitchingTheGameStartsANewTraceUnlessCancelled) {
    Start();
    AddPoints(kControl, 2);
    dialogs.answers = {DialogAnswer::Cancel};
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_EQ(w->Games().Game(), kGameEtPro);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuTM_Mod0"))->isChecked());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);

    dialogs.answers = {DialogAnswer::No};
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
    EXPECT_TRUE(w->Action(QStringLiteral("mnuTM_Mod1"))->isChecked());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 0);
}

TEST_F(MainWindowTest, NewKeepsTheMapAndTheDemoWhileAGameSwitchDropsThem) {
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
    EXPECT_TRUE(mapLoads.isEmpty());
    EXPECT_EQ(w->Host().demoName, QStringLiteral("run 01"));

    // Another game has other maps and demos.
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_TRUE(w->Host().mapName.isEmpty());
    EXPECT_EQ(mapLoads, QStringList{QString()});
    EXPECT_TRUE(w->Host().demoName.isEmpty());
}

TEST_F(MainWindowTest, TheFolderOfASaveIsStoredAtOnceAndSurvivesAGameSwitch) {
    Start();
    AddPoints(kControl, 2);
    dialogs.paths = {Path(QStringLiteral("kept.ep3t"))};
    Trigger("mnuT_Save");
    const QString etKey = Profile(kGameEtPro).registryKey;
    // Stored before any shutdown: a crash now keeps it.
    EXPECT_EQ(RegReadValue(etKey, QStringLiteral("DftPathTraces")).Text(), registry.dir());
    EXPECT_EQ(w->Games().configs[kGameEtPro].DftPathTraces, registry.dir());

    // The switch saves the games' configurations: the folder is not put back to the old one.
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_EQ(RegReadValue(etKey, QStringLiteral("DftPathTraces")).Text(), registry.dir());
    w->mnuTM_Mod_Click(kGameEtPro);
    Trigger("mnuT_Open");
    EXPECT_EQ(dialogs.fileDialogs.last().request.folder, registry.dir());
}

TEST_F(MainWindowTest, AHideClickIsOneUndoStepAndADoubleClickTogglesOnce) {
    Start();
    AddPoints(kControl, 2);
    w->show();
    PointsGrid* grid = w->Grid(kControl);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    grid->scrollToItem(grid->item(0, kFieldHide));
    const QPoint cell = grid->visualItemRect(grid->item(0, kFieldHide)).center();
    const int steps = w->Doc().undo.pos;

    test::WindowClick(grid->viewport(), cell);
    EXPECT_EQ(w->CurrentTrace().points.At(kControl, 1).hide, 1);
    EXPECT_EQ(w->Doc().undo.pos, steps + 1);
    Trigger("mnuE_Undo");
    EXPECT_EQ(w->CurrentTrace().points.At(kControl, 1).hide, 0);
    EXPECT_EQ(grid->item(0, kFieldHide)->text(), QStringLiteral("0"));

    test::WindowDoubleClick(grid->viewport(), cell);
    EXPECT_EQ(w->CurrentTrace().points.At(kControl, 1).hide, 1);
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
