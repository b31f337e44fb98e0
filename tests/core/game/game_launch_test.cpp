#include "core/game/game_launch.h"

#include "core/game/console_names.h"
#include "core/game/game_state.h"
#include "core/game/game_window.h"
#include "core/script/game_profile.h"
#include "support/fake_game_windows.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

namespace kestrova::test {
namespace {

TEST(GameCommand, ScriptAndDemoInBothForms) {
    // script, demo, prefix, separator, command
    const std::array<const char*, 5> cases[] = {
        {"defrag\\cfg\\intro.cfg", "run1.dm_68", "+", " +",
         "+exec cfg\\intro.cfg +demo \"run1.dm_68\""},
        {"defrag\\cfg\\intro.cfg", "run1.dm_68", "/", ";",
         "/exec cfg\\intro.cfg;demo \"run1.dm_68\""},
        {"baseq3\\a.cfg", "", "+", " +", "+exec a.cfg"},
        {"", "day1\\run1.dm_68", "/", ";", "/demo \"day1\\run1.dm_68\""},
        {"intro.cfg", "r.dm_68", "+", " +", "+demo \"r.dm_68\""}, // no folder: ignored
        {"\\intro.cfg", "", "/", ";", ""},                        // a "\" only as first character
    };
    for (const auto& [script, demo, prefix, separator, command] : cases)
        EXPECT_EQ(BuildGameCommand(script, demo, prefix, separator), command);
}

TEST(GameCommand, NamesWithBlanksStayOneArgumentEverywhere) {
    EXPECT_EQ(GameStartArguments("etpro", "etpro\\cfg\\a b.cfg", "day 1\\run1.dm_84"),
              (QStringList{"+set", "fs_game", "etpro", "+exec", "cfg\\a b.cfg", "+demo",
                           "day 1\\run1.dm_84"}));
    EXPECT_EQ(BuildGameCommand("etpro\\cfg\\a b.cfg", "day 1\\run1.dm_84", "/", ";"),
              "/exec \"cfg\\a b.cfg\";demo \"day 1\\run1.dm_84\"");

    // The folder's own spelling when it differs only in case; otherwise the profile's name.
    EXPECT_EQ(ModFolderName(kGameDefrag, "/games/q3/defrag/"), "defrag");
    EXPECT_EQ(ModFolderName(kGameEtPro, "/games/et/etpro"), "etpro");
    EXPECT_EQ(ModFolderName(kGameDefrag, "/games/q3/mymod"), "Defrag");
}

TEST(GameCommand, ExecutableByThePlatformsNamesFirst) {
    QTemporaryDir dir;
    const QString game = dir.path();
    EXPECT_EQ(FindGameExecutable(game, kGameDefrag), QString());
    WriteFile(game + "/QUAKE3.EXE");
    EXPECT_EQ(FindGameExecutable(game, kGameDefrag), game + "/QUAKE3.EXE");
    WriteFile(game + "/quake3e.x64");
#ifdef Q_OS_WIN
    EXPECT_EQ(FindGameExecutable(game, kGameDefrag), game + "/QUAKE3.EXE");
#else
    EXPECT_EQ(FindGameExecutable(game, kGameDefrag), game + "/quake3e.x64");
#endif
    EXPECT_EQ(FindGameExecutable(game, kGameEtPro), QString());
}

TEST(GameNames, ThoseTheGameWouldSplitIntoCommandsAreRefused) {
    using U = GameNameUse;
    const QString none;
    // name, use, the character named in the refusal (empty: accepted)
    const std::tuple<QString, U, QString> cases[] = {
        {"x\" +exec evil.cfg \"y.dm_68", U::CommandLine, "\""},
        {"q\"; quit; \".dm_68", U::Console, "\""},
        {"a;quit.dm_68", U::Console, ";"},
        {"a\nquit.dm_68", U::Console, "line break"},
        {"a\rquit.dm_68", U::CommandLine, "line break"},
        {QString("a") + QChar(0x1b) + "[2J.dm_68", U::Console, "control character"},
        {QString("tab") + QChar('\t') + "x.cfg", U::Console, "control character"},
        {"my start +quit.cfg", U::CommandLine, "+"},
        {"my start +quit.cfg", U::Console, none}, // quoted in the console line
        {"day 1\\run1.dm_84", U::CommandLine, none},
        {"day 1\\shot", U::BindCommand, "blank (the command of a resume key cannot quote it)"},
        {"caf\u00e9\\run1.dm_68", U::Console, none},
    };
    for (const auto& [name, use, character] : cases) {
        const std::optional<QString> found = UnsafeGameNameCharacter(name, use);
        EXPECT_EQ(found.value_or(QString()), character) << name.toStdString();
    }
    EXPECT_EQ(UnsafeGameNameMessage("a;b.dm_68", ";"),
              "The name 'a;b.dm_68' cannot be given to the game: its character ; would end the "
              "game's command there and start another one. Rename the file or folder.");
}

TEST(DemoTime, CommandsToReachOrAdvance) {
    // minutes, seconds, seconds to go, command
    for (const auto& [minutes, seconds, n, command] : {std::tuple{"1", "30", -90, "/DemoFF -90"},
                                                       {"0", "0", 0, ""},
                                                       {"", "", 0, ""},
                                                       {"999", "59", -59999, "/DemoFF -59999"}}) {
        EXPECT_EQ(DemoGotoSeconds(minutes, seconds), n);
        EXPECT_EQ(DemoFFCommand(n), command);
    }
    EXPECT_EQ(DemoFFCommand(DemoAdvanceSeconds("15")), "/DemoFF 15");
    EXPECT_EQ(DemoFFCommand(DemoAdvanceSeconds("0")), QString());
}

TEST(DemoTime, SecondsCarryIntoMinutesUpTo999) {
    // field, text, minutes; then the text and the minutes ("" when the box stays as it is)
    const std::tuple<int, const char*, const char*, const char*, const char*> cases[] = {
        {1, "75", "0", "15", "1"},  {1, "60", "", "0", "1"},       {1, "59", "3", "59", ""},
        {1, "150", "2", "30", "4"}, {1, "75", "998", "15", "999"}, {1, "600", "999", "0", "999"},
        {0, "75", "0", "75", ""},   {2, "120", "0", "120", ""},    {0, "007", "", "7", ""},
        {1, "", "5", "0", ""},
    };
    for (const auto& [index, text, minutes, newText, newMinutes] : cases) {
        const DemoTimeText r = ValidateDemoTime(index, text, minutes);
        EXPECT_EQ(std::pair(r.text, r.minutes), std::pair(QString(newText), QString(newMinutes)))
            << text << " / " << minutes;
    }
}

TEST(Screenshots, OnlyAFolderWithPicturesGoesToTheTrash) {
    QTemporaryDir dir;
    TempRegistry registry;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    // The trash goes where the data folder says, and only when that folder exists.
    QDir().mkpath(dir.path() + "/data");
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    const QString mod = dir.path() + "/defrag";
    const QString shots = mod + "/ScreenShots";
    ScriptedDialogs dialogs;

    EXPECT_FALSE(DelScreenshots(mod, dialogs)); // no folder
    WriteFile(shots + "/readme.txt");
    EXPECT_FALSE(DelScreenshots(mod, dialogs)); // no pictures
    EXPECT_TRUE(dialogs.messages.isEmpty());

    WriteFile(shots + "/shot0001.TGA");
    dialogs.answers = {DialogAnswer::No};
    EXPECT_FALSE(DelScreenshots(mod, dialogs));
    EXPECT_TRUE(QFileInfo::exists(shots + "/readme.txt"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(shots)));

    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(DelScreenshots(mod, dialogs));
    EXPECT_FALSE(QFileInfo::exists(shots)); // the other files went with it
    qputenv("XDG_DATA_HOME", previous);
}

TEST(Screenshots, TheLinuxGamesLowerCaseFolderIsFound) {
    QTemporaryDir dir;
    WriteFile(dir.path() + "/baseq3/screenshots/a.jpg");
    EXPECT_EQ(ScreenshotsFolder(dir.path() + "/baseq3"), dir.path() + "/baseq3/screenshots");
    EXPECT_EQ(ScreenshotsFolder(dir.path() + "/defrag"), dir.path() + "/defrag/ScreenShots");

    // The home folder's and the install folder's, in any case, each with pictures; one question.
    const QString home = dir.path() + "/.q3a/defrag", install = dir.path() + "/q3/defrag";
    WriteFile(home + "/screenshots/shot0000.JPG");
    WriteFile(install + "/ScreenShots/shot0001.tga");
    WriteFile(install + "/screenshots/notes.txt"); // no picture: left alone
    EXPECT_EQ(ScreenshotFolders({home, install}),
              (QStringList{home + "/screenshots", install + "/ScreenShots"}));
    ScriptedDialogs dialogs;
    dialogs.answers = {DialogAnswer::No};
    EXPECT_FALSE(DelScreenshots(QStringList{home, install}, dialogs));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, "Move the folder '" + home + "/screenshots', '" + install +
                                            "/ScreenShots' and everything in it to the trash?");
}

// A Quake 3 installation with its Defrag folder, current in the game state.
class GameDriving : public ::testing::Test {
protected:
    void SetUp() override {
        SwitchToStartupGame(state, kGameDefrag);
        gameFolder = dir.path() + "/q3";
        WriteFile(gameFolder + "/quake3");
        QDir().mkpath(gameFolder + "/defrag");
        state.Current().ModPath = gameFolder + "/defrag";
    }
    QTemporaryDir dir;
    TempRegistry registry;
    ScriptedDialogs dialogs;
    GameState state;
    FakeGameWindows windows;
    QString gameFolder;
    const GameLoadRequest request{"defrag\\cfg\\intro.cfg", "day1\\run1.dm_68"};
    // The Quake 3 engines' window titles, tried in turn when the editor did not start the game.
    const QStringList finds = {"find Quake 3: Arena", "find ioquake3", "find OpenArena"};
};

TEST_F(GameDriving, TheRunningGameGetsTheCommandsTypedIntoItsConsole) {
    windows.runningTitle = "Quake 3: Arena";
    EXPECT_EQ(GameLoad(windows, state, dialogs, request), GameLoadResult::Typed);
    EXPECT_EQ(windows.log, (QStringList{"find Quake 3: Arena",
                                        "clipboard /exec cfg\\intro.cfg;demo \"day1\\run1.dm_68\"",
                                        "activate 69206023", "wait 200", kConsoleKeysLog}));

    // Without a clipboard nothing is typed, and the game still counts as found.
    windows.log.clear();
    windows.clipboardWorks = false;
    EXPECT_TRUE(SendConsoleCommand(windows, state, dialogs, "x", 0, true, QString(), "t"));
    EXPECT_EQ(windows.log, (QStringList{"find Quake 3: Arena", "clipboard x"}));
}

TEST_F(GameDriving, AStoppedGameIsStartedInItsFolder) {
    EXPECT_EQ(GameLoad(windows, state, dialogs, request), GameLoadResult::Started);
    EXPECT_EQ(windows.log, finds + QStringList{"start " + gameFolder + "/quake3"});
    EXPECT_EQ(windows.startedArguments,
              (QStringList{"+set", "fs_game", "defrag", "+exec", "cfg\\intro.cfg", "+demo",
                           "day1\\run1.dm_68"}));
    EXPECT_EQ(windows.startedFolder, gameFolder);

    windows.startWorks = false;
    EXPECT_EQ(GameLoad(windows, state, dialogs, {}), GameLoadResult::StartFailed);
    EXPECT_EQ(windows.startedArguments, (QStringList{"+set", "fs_game", "defrag"}));
    EXPECT_TRUE(dialogs.messages.isEmpty()); // the failure is not reported
}

TEST_F(GameDriving, WithoutAValidFolderTheUserIsAskedAndNothingStarts) {
    QFile::remove(gameFolder + "/quake3");
    dialogs.paths = {std::nullopt};
    EXPECT_EQ(GameLoad(windows, state, dialogs, request), GameLoadResult::FolderAsked);
    EXPECT_EQ(dialogs.fileDialogs.value(0).kind, RecordedFileDialog::Folder);
    EXPECT_EQ(windows.log, finds);
    // The user is told which programs were looked for before being asked for the folder.
    EXPECT_EQ(dialogs.messages.value(0).text,
              "No program of DeFrag was found in the game's folder nor on PATH; the names tried: "
              "quake3, ioquake3, ioquake3.x86_64, ioquake3.x86, quake3e, quake3e.x64, "
              "quake3e.x86_64, openarena, openarena.x86_64, Quake3.exe.");
}

TEST_F(GameDriving, DemoTimeAndClosingNeedTheRunningGame) {
    EXPECT_FALSE(DemoGoto(windows, state, dialogs, "0", "0"));
    EXPECT_TRUE(windows.log.isEmpty());
    EXPECT_FALSE(GameClose(windows, state, dialogs));
    EXPECT_EQ(windows.log, finds);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(DemoGoto(windows, state, dialogs, "1", "30"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, "The game is not loaded or unfindable");

    windows.runningTitle = "Quake 3: Arena";
    windows.log.clear();
    EXPECT_TRUE(DemoAdvance(windows, state, dialogs, "15"));
    EXPECT_EQ(windows.log.value(1), "clipboard /DemoFF 15");
    EXPECT_EQ(windows.log.value(4), kConsoleKeysLog);
    EXPECT_TRUE(GameClose(windows, state, dialogs));
    EXPECT_EQ(windows.log.last(), "close 69206023");
}

TEST_F(GameDriving, TheStartedGameIsFoundByItsProcessThenByTitlesInAnyCase) {
    ASSERT_EQ(GameLoad(windows, state, dialogs, {}), GameLoadResult::Started);
    EXPECT_EQ(state.startedPid, 4321);
    EXPECT_EQ(state.startedExecutable, gameFolder + "/quake3");

    // Whatever its title, the window of the process the editor started.
    windows.runningPid = 4321;
    windows.log.clear();
    EXPECT_TRUE(GameClose(windows, state, dialogs));
    EXPECT_EQ(windows.log, (QStringList{"find process 4321", "close 69206023"}));

    // Started elsewhere: an engine's title, in any case, then the title the user typed.
    windows.runningPid = -1;
    windows.runningTitle = "IOQUAKE3";
    windows.log.clear();
    EXPECT_TRUE(GameClose(windows, state, dialogs));
    EXPECT_EQ(windows.log, (QStringList{"find process 4321", "find Quake 3: Arena", "find ioquake3",
                                        "close 69206023"}));
    state.Current().WindowTitle = " My Engine ";
    windows.runningTitle = "my engine";
    windows.log.clear();
    EXPECT_TRUE(GameClose(windows, state, dialogs));
    EXPECT_EQ(windows.log.mid(4), (QStringList{"find My Engine", "close 69206023"}));
}

TEST_F(GameDriving, AHostileNameReachesNeitherTheConsoleNorTheCommandLine) {
    // A running game: the console line would run "quit".
    windows.runningTitle = "Quake 3: Arena";
    EXPECT_EQ(GameLoad(windows, state, dialogs, {"", "q\"; quit; \".dm_68"}),
              GameLoadResult::Refused);
    EXPECT_EQ(windows.log, QStringList{"find Quake 3: Arena"}); // nothing on the clipboard
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The name 'q\"; quit; \".dm_68'"));

    // A stopped game: a script name would add its own "+quit" argument.
    windows.runningTitle.clear();
    windows.log.clear();
    EXPECT_EQ(GameLoad(windows, state, dialogs, {"defrag\\my start +quit.cfg", ""}),
              GameLoadResult::Refused);
    EXPECT_FALSE(windows.log.join(' ').contains("start"));
    EXPECT_TRUE(dialogs.messages[1].text.contains("'defrag\\my start +quit.cfg'"));

    // The same names with blanks but nothing else go through, each one argument.
    EXPECT_EQ(GameLoad(windows, state, dialogs, {"defrag\\my start.cfg", "day 1\\run1.dm_68"}),
              GameLoadResult::Started);
    EXPECT_EQ(windows.startedArguments,
              (QStringList{"+set", "fs_game", "defrag", "+exec", "my start.cfg", "+demo",
                           "day 1\\run1.dm_68"}));
}

TEST_F(GameDriving, WhereNothingCanBeDrivenTheUserIsTold) {
    windows.canDrive = false;
    EXPECT_FALSE(GameClose(windows, state, dialogs));
    EXPECT_FALSE(DemoAdvance(windows, state, dialogs, "5"));
    ASSERT_EQ(dialogs.messages.size(), 2);
    for (const RecordedMessage& m : dialogs.messages)
        EXPECT_TRUE(m.text.contains("X11")) << m.text.toStdString();
    // Starting still works.
    EXPECT_EQ(GameLoad(windows, state, dialogs, request), GameLoadResult::Started);
}

} // namespace
} // namespace kestrova::test
