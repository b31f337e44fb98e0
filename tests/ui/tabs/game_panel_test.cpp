// The Game tab's demo part in the main window: the demo browser, starting the game and driving
// it. The fake game is a real program with the game's window title on the test display.
#include "core/files/trace_file.h"
#include "core/game/game_state.h"
#include "core/script/game_profile.h"
#include "core/settings/registry.h"
#include "support/main_window_fixture.h"
#include "support/test_files.h"
#include "ui/dialogs/demo_browser.h"
#include "ui/dialogs/script_picker.h"
#include "ui/main_window/main_window.h"
#include "ui/tabs/game_tab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace kestrova::ui {
namespace {

QStringList ReadLines(const QString& path) {
    return QFileInfo::exists(path) ? QString::fromUtf8(test::ReadBytes(path))
                                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                   : QStringList();
}

// A Quake 3 folder whose "quake3" records how it was started, with a Defrag folder.
class GameInWindow : public test::MainWindowFixture {
protected:
    void SetUp() override {
        // Game windows share the test display and its keyboard focus: the tests that put them
        // there run one at a time, whichever test program runs them.
        displayLock.setStaleLockTime(0);
        ASSERT_TRUE(displayLock.lock());
        // The engines' home folders of the user are the test's own.
        savedHome = qgetenv("HOME");
        qputenv("HOME", home.toLocal8Bit());
        QDir().mkpath(home);
        Recorder(gameFolder + QStringLiteral("/quake3"));
        test::WriteFile(modPath + QStringLiteral("/Demos/day1/run1.dm_68"));
        test::WriteFile(modPath + QStringLiteral("/Demos/a.dm_84"));
        StartWithTheFolder();
    }
    void TearDown() override {
        if (fake.state() != QProcess::NotRunning) {
            fake.kill();
            fake.waitForFinished(2000);
        }
        MainWindowFixture::TearDown();
        qputenv("HOME", savedHome);
    }
    void StartWithTheFolder() {
        Start();
        w->mnuTM_Mod_Click(kGameDefrag);
        // The folder as the user gives it.
        dialogs.paths = {modPath};
        Find<QToolButton>("cmdModSelectRoot")->click();
        ASSERT_EQ(w->Games().Current().ModPath, modPath);
        // The chooser explained itself first; the tests look at what follows.
        ASSERT_EQ(dialogs.messages.size(), 1);
        dialogs.messages.clear();
    }
    // An executable that writes its working folder and arguments to started.txt beside it.
    static void Recorder(const QString& path) {
        test::WriteFile(path, "#!/bin/sh\n"
                              "log=\"$(dirname \"$0\")/started.txt\"\n"
                              "pwd > \"$log.tmp\"\n"
                              "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$log.tmp\"; done\n"
                              "mv \"$log.tmp\" \"$log\"\n");
        QFile(path).setPermissions(QFile(path).permissions() | QFileDevice::ExeOwner);
    }
    QString DemoText() { return Find<QLineEdit>("txtDemo")->text(); }
    void DoubleClick(int node) {
        QTreeWidget* tree = w->Demos()->TreeView();
        tree->expandAll();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w->Demos()));
        const QRect r = tree->visualItemRect(w->Demos()->Item(node));
        // The press of the double-click is the one of a first click.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    }
    QLockFile displayLock{QDir::tempPath() + QStringLiteral("/kestrova-game-window-tests.lock")};
    QTemporaryDir dir;
    const QString gameFolder = dir.path() + QStringLiteral("/q3");
    const QString modPath = gameFolder + QStringLiteral("/defrag");
    const QString home = dir.path() + QStringLiteral("/home");
    QByteArray savedHome;
    QProcess fake;
};

TEST(DemoBrowserPlace, BelowTheButtonAndInsideTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize window(240, 320);
    const struct {
        QPoint button;
        QPoint expected;
    } cases[] = {
        {{100, 200}, {100, 264}},    // 960 twips (64 pixels) below the button's top
        {{1200, 200}, {1040, 264}},  // pushed back from the right edge
        {{1279, 1023}, {1040, 704}}, // and from the bottom
    };
    for (const auto& c : cases)
        EXPECT_EQ(DemosPosition(c.button, window, screen), c.expected) << c.button.x();
    // A window taller than the screen keeps its title bar on it.
    EXPECT_EQ(DemosPosition({100, 200}, {240, 1400}, screen), QPoint(100, 0));
    EXPECT_EQ(DemosPosition({2000, 200}, {240, 300}, QRect(1280, 0, 2560, 1440)),
              QPoint(2000, 264));
}

TEST_F(GameInWindow, ADemoIsPickedInTheBrowserAndDroppedWhenItDisappears) {
    FrmDemos* demos = w->Demos();
    Find<QToolButton>("cmdGDemoPick")->click();
    EXPECT_TRUE(demos->isVisible());

    DoubleClick(1);
    EXPECT_EQ(DemoText(), QStringLiteral("day1\\run1.dm_68"));
    EXPECT_EQ(w->Host().demoName, QStringLiteral("day1\\run1.dm_68"));
    EXPECT_FALSE(demos->isVisible());

    // A folder is not a demo.
    Find<QToolButton>("cmdGDemoPick")->click();
    DoubleClick(0);
    EXPECT_EQ(DemoText(), QStringLiteral("day1\\run1.dm_68"));
    demos->hide();

    ASSERT_TRUE(QFile::remove(modPath + QStringLiteral("/Demos/day1/run1.dm_68")));
    Find<QToolButton>("cmdGDemoReload")->click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("'day1\\run1.dm_68' demo is now not found."));
    EXPECT_EQ(DemoText(), QString());
    EXPECT_EQ(w->Host().demoName, QString());
    EXPECT_TRUE(demos->isVisible());
    QTest::qWait(100);
    EXPECT_TRUE(demos->isVisible());     // still shown once the message has gone
    EXPECT_EQ(demos->Tree().Count(), 2); // the empty folder stays

    // A stored size taller than the screen is cut to it, the window wholly on the screen.
    demos->hide();
    demos->resize(300, 3000);
    Find<QToolButton>("cmdGDemoPick")->click();
    QTest::qWait(50);
    const QRect screen = demos->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(demos->geometry())) << demos->geometry().height();

    // A right-click empties the box.
    emit demos->DemoSelected(QStringLiteral("a.dm_84"));
    EXPECT_EQ(DemoText(), QStringLiteral("a.dm_84"));
    QTest::mouseClick(Find<QLineEdit>("txtDemo"), Qt::RightButton);
    EXPECT_EQ(DemoText(), QString());

    // A trace's demo is kept only when the browser knows it.
    EXPECT_TRUE(w->Host().KnowsDemo(QStringLiteral("A")));
    EXPECT_FALSE(w->Host().KnowsDemo(QStringLiteral("day1\\run1")));
}

TEST_F(GameInWindow, TheBrowserHidesAndKeepsNotesBesideTheDemos) {
    FrmDemos* demos = w->Demos();
    QStringList opened;
    demos->openNotes = [&opened](const QString& path) { opened << path; };
    demos->show();
    QTest::keyClick(demos->TreeView(), Qt::Key_Escape);
    EXPECT_FALSE(demos->isVisible());
    demos->show();
    demos->close();
    EXPECT_FALSE(demos->isVisible());
    EXPECT_EQ(w->Demos(), demos);

    ASSERT_TRUE(demos->SelectItem(QStringLiteral("A")));
    const int node = demos->Tree().Selected();
    EXPECT_EQ(demos->TreeView()->currentItem(), demos->Item(node));
    demos->NotesMenu()->defaultAction()->trigger();
    const QString notes = modPath + QStringLiteral("/Demos/a.dm_84.txt");
    EXPECT_EQ(opened, QStringList{notes});
    EXPECT_EQ(demos->Item(node)->icon(0).cacheKey(), DemoIcon(kImageDemo).cacheKey());

    // Notes written meanwhile show once the list is read again.
    test::WriteFile(notes, "slow start");
    demos->RefreshList();
    ASSERT_TRUE(demos->SelectItem(QStringLiteral("a.dm_84")));
    EXPECT_EQ(demos->Item(demos->Tree().Selected())->icon(0).cacheKey(),
              DemoIcon(kImageDemoNotes).cacheKey());
}

TEST_F(GameInWindow, TheBrowsersSizeComesBackAtTheNextStart) {
    w->Demos()->resize(300, 420);
    ASSERT_TRUE(UserClose());
    EXPECT_EQ(RegReadValue(kApplicationKey, QStringLiteral("FrmDemosWidth")).Dword(), 4500);
    EXPECT_EQ(RegReadValue(kApplicationKey, QStringLiteral("FrmdemosHeight")).Dword(), 6300);
    StartWithTheFolder();
    EXPECT_EQ(w->Demos()->size(), QSize(300, 420));
}

TEST_F(GameInWindow, TheStartButtonRunsTheGameInItsFolder) {
    // Enemy Territory, so a fake Quake 3 window of a test running beside this one is not found.
    const QString etFolder = dir.path() + QStringLiteral("/et");
    Recorder(etFolder + QStringLiteral("/etl"));
    ASSERT_TRUE(QDir().mkpath(etFolder + QStringLiteral("/etpro")));
    w->mnuTM_Mod_Click(kGameEtPro);
    dialogs.paths = {etFolder + QStringLiteral("/etpro")};
    Find<QToolButton>("cmdModSelectRoot")->click();
    ASSERT_EQ(dialogs.messages.size(), 1); // the chooser's explanation
    dialogs.messages.clear();

    // A name with blanks arrives as one argument, whatever the shell of the engine's script.
    emit w->Demos()->DemoSelected(QStringLiteral("day 1\\run 1.dm_84"));
    Find<QPushButton>("cmdGameLoad")->click();
    const QString log = etFolder + QStringLiteral("/started.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(log); }, 5000));
    EXPECT_EQ(ReadLines(log),
              (QStringList{etFolder, "+set", "fs_game", "etpro", "+demo", "day 1\\run 1.dm_84"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(Find<QLabel>("lblGameStarted")->text(), "Started: " + etFolder + "/etl");

    // A demo whose name would add an argument of its own is refused, and nothing starts.
    QFile::remove(log);
    emit w->Demos()->DemoSelected(QStringLiteral("x\" +exec evil.cfg \"y.dm_84"));
    Find<QPushButton>("cmdGameLoad")->click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The name 'x\" +exec evil.cfg \"y.dm_84'"));
    QTest::qWait(300);
    EXPECT_FALSE(QFileInfo::exists(log));
}

TEST_F(GameInWindow, TheConfigPickedInTheListIsExecutedWhenTheGameStarts) {
    test::WriteFile(modPath + QStringLiteral("/cfg/intro.cfg"));
    test::WriteFile(home + QStringLiteral("/.q3a/defrag/home.cfg"));
    auto* list = Find<QComboBox>("cboGConfigs");
    // The picker lists the scripts of both folders, the home folder's first; the user takes
    // the install folder's and the box shows it at once.
    auto* picker = w->findChild<FrmGameConfigs*>();
    QStringList listed;
    QTimer::singleShot(0, picker, [&] {
        for (int i = 0; i < picker->List()->count(); ++i)
            listed << picker->List()->item(i)->text();
        picker->List()->item(1)->setSelected(true);
        picker->findChild<QPushButton*>("cmdOk")->click();
    });
    Find<QToolButton>("cmdGConfigManager")->click();
    EXPECT_EQ(listed, (QStringList{"defrag\\home.cfg", "defrag\\cfg\\intro.cfg"}));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText(), "defrag\\cfg\\intro.cfg");
    Find<QPushButton>("cmdGameLoad")->click();
    const QString log = gameFolder + QStringLiteral("/started.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(log); }, 5000));
    EXPECT_EQ(ReadLines(log),
              (QStringList{gameFolder, "+set", "fs_game", "defrag", "+exec", "cfg\\intro.cfg"}));
    EXPECT_EQ(list->currentText(), "defrag\\cfg\\intro.cfg");
}

TEST_F(GameInWindow, DemoTimeIsForEtProAndCarriesSecondsIntoMinutes) {
    auto* frame = Find<QGroupBox>("fraGDemoControl");
    EXPECT_TRUE(frame->isHidden());
    w->mnuTM_Mod_Click(kGameEtPro);
    EXPECT_FALSE(frame->isHidden());

    auto* minutes = Find<QLineEdit>("txtDemoTime0");
    auto* seconds = Find<QLineEdit>("txtDemoTime1");
    seconds->setFocus();
    seconds->selectAll();
    QTest::keyClicks(seconds, QStringLiteral("7a5"));
    EXPECT_EQ(seconds->text(), QStringLiteral("75")); // digits only
    QTest::keyClick(seconds, Qt::Key_Return);
    EXPECT_EQ(minutes->text(), QStringLiteral("1"));
    EXPECT_EQ(w->Host().demoMinutes, 1);
    EXPECT_EQ(w->Host().demoSeconds, 15);

    // No game runs on the test display under that title.
    Find<QToolButton>("cmdDemoGoto")->click();
    EXPECT_EQ(dialogs.messages.size(), 1);
    Find<QToolButton>("cmdDemoFd")->click(); // nothing to advance: nothing sent, nothing said
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(GameInWindow, TheRunningGameGetsTheCommandTypedIntoItsConsoleAndCloses) {
    if (!w->GameWindows().CanDrive())
        GTEST_SKIP() << "no X11 display with XTest";
    // The Linux engines' case first: demos only in the home folder, a window titled
    // "ioquake3"; the trace keeps its demo and the play button types it into that window.
    {
        test::WriteFile(home + QStringLiteral("/.q3a/defrag/demos/home1.dm_68"));
        Find<QToolButton>("cmdGDemoReload")->click();
        TraceFileContents c;
        c.game = kGameDefrag;
        c.points.count[kControl] = 2;
        c.demoName = QStringLiteral("home1.dm_68");
        const QString trace = Path("home.dfkv");
        ASSERT_TRUE(WriteTraceFile(trace, c));
        dialogs.paths = {trace};
        Trigger("mnuT_Open");
        for (const auto& m : dialogs.messages)
            EXPECT_FALSE(m.text.contains("not found")) << m.text.toStdString();
        EXPECT_EQ(DemoText(), QStringLiteral("home1.dm_68"));

        const QString log = dir.path() + QStringLiteral("/ioq3.log");
        fake.start(QStringLiteral(KESTROVA_FAKE_GAME), {log, QStringLiteral("ioquake3")});
        ASSERT_TRUE(fake.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ReadLines(log).contains("ready"); }, 10000));
        Find<QPushButton>("cmdGameLoad")->click();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return ReadLines(log).contains("paste /demo \"home1.dm_68\""); }, 10000))
            << ReadLines(log).join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(QFileInfo::exists(gameFolder + QStringLiteral("/started.txt")));
        fake.kill();
        fake.waitForFinished(5000);
    }
    dialogs.messages.clear();

    const QString log = dir.path() + QStringLiteral("/fake.log");
    fake.start(QStringLiteral(KESTROVA_FAKE_GAME), {log, QStringLiteral("Quake 3: Arena")});
    ASSERT_TRUE(fake.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadLines(log).contains("ready"); }, 10000));

    emit w->Demos()->DemoSelected(QStringLiteral("day1\\run1.dm_68"));
    Find<QPushButton>("cmdGameLoad")->click();
    // Qt's key codes in hex: 60 the console key (left of the 1), 1000003 Backspace, 1000021 Ctrl,
    // 56 V, 1000004 Enter.
    const QStringList expected = {
        "ready",           "press 60",        "release 60",    "press 1000003",
        "release 1000003", "press 1000021",   "press 56",      "paste /demo \"day1\\run1.dm_68\"",
        "release 56",      "release 1000021", "press 1000004", "release 1000004",
        "press 60",        "release 60"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadLines(log).size() >= expected.size(); }, 10000));
    EXPECT_EQ(ReadLines(log), expected);
    EXPECT_FALSE(QFileInfo::exists(gameFolder + QStringLiteral("/started.txt")));

    Find<QPushButton>("cmdGameClose")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(ReadLines(log).value(expected.size()), QStringLiteral("closed"));
}

TEST_F(GameInWindow, TheEngineTheEditorStartsIsFoundByItsProcessWhateverItsTitle) {
    if (!w->GameWindows().CanDrive())
        GTEST_SKIP() << "no X11 display with XTest";
    // An ET: Legacy of the install folder that titles its window after nothing known (Enemy
    // Territory, so the Quake 3 windows of tests running beside this one are not found).
    const QString etFolder = dir.path() + QStringLiteral("/et");
    ASSERT_TRUE(QDir().mkpath(etFolder + QStringLiteral("/etpro")));
    ASSERT_TRUE(QFile::link(QStringLiteral(KESTROVA_FAKE_GAME), etFolder + QStringLiteral("/etl")));
    w->mnuTM_Mod_Click(kGameEtPro);
    dialogs.paths = {etFolder + QStringLiteral("/etpro")};
    Find<QToolButton>("cmdModSelectRoot")->click();
    const QString log = dir.path() + QStringLiteral("/engine.log");
    qputenv("KESTROVA_FAKE_GAME_LOG", log.toLocal8Bit());
    qputenv("KESTROVA_FAKE_GAME_TITLE", "Stand-in Engine");
    emit w->Demos()->DemoSelected(QStringLiteral("day1\\run1.dm_84"));
    Find<QPushButton>("cmdGameLoad")->click();
    qunsetenv("KESTROVA_FAKE_GAME_LOG");
    qunsetenv("KESTROVA_FAKE_GAME_TITLE");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadLines(log).contains("ready"); }, 20000));
    EXPECT_EQ(ReadLines(log).mid(0, 5), (QStringList{"arg +set", "arg fs_game", "arg etpro",
                                                     "arg +demo", "arg day1\\run1.dm_84"}));
    EXPECT_EQ(Find<QLabel>("lblGameStarted")->text(), "Started: " + etFolder + "/etl");

    Find<QPushButton>("cmdGameLoad")->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ReadLines(log).contains("paste /demo \"day1\\run1.dm_84\""); }, 10000))
        << ReadLines(log).join(QLatin1Char('|')).toStdString();
    Find<QPushButton>("cmdGameClose")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadLines(log).contains("closed"); }, 10000));
}

} // namespace
} // namespace kestrova::ui
