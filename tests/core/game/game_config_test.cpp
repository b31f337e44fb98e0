#include "core/game/game_config.h"

#include "core/game/game_state.h"
#include "core/model/trace.h"
#include "core/script/game_profile.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>

namespace kestrova::test {
namespace {

const QString kEtKey = Profile(kGameEtPro).registryKey;

ScriptList ListOf(const QStringList& scripts) {
    ScriptList list;
    for (const QString& s : scripts)
        list.Add(s);
    return list;
}

TEST(ScriptListStore, NumberedValuesAreWrittenReadAndCleared) {
    TempRegistry reg;
    ASSERT_TRUE(
        RegWriteValue(kEtKey, QStringLiteral("Config"), RegType::Sz, QStringLiteral("bare")));
    ASSERT_TRUE(
        RegWriteValue(kEtKey, QStringLiteral("Config7"), RegType::Sz, QStringLiteral("old")));
    ASSERT_TRUE(
        RegWriteValue(kEtKey, QStringLiteral("CmdsBefore1"), RegType::Sz, QStringLiteral("keep")));

    ScriptList list = ListOf({QStringLiteral("etmain\\a.cfg"), QStringLiteral("etpro\\b.cfg")});
    EXPECT_TRUE(fConfigsRegSave(list, kEtKey, kPrefixConfig));
    const RegValueNames names = RegListValueNames(kEtKey);
    EXPECT_EQ(names.names, (QStringList{QStringLiteral("Config"), QStringLiteral("CmdsBefore1"),
                                        QStringLiteral("Config1"), QStringLiteral("Config2")}));

    ScriptList read;
    read.Add(QStringLiteral("stale"));
    read.Select(1);
    EXPECT_TRUE(fConfigsRegRead(read, kEtKey, kPrefixConfig));
    EXPECT_EQ(read.Items(), (QStringList{QStringLiteral("<none>"), QStringLiteral("etmain\\a.cfg"),
                                         QStringLiteral("etpro\\b.cfg")}));
    EXPECT_EQ(read.Selected(), 0);

    // Only "<none>": nothing written, the old values gone; the bare name stays.
    EXPECT_FALSE(fConfigsRegSave(ScriptList(), kEtKey, kPrefixConfig));
    EXPECT_EQ(RegListValueNames(kEtKey).names,
              (QStringList{QStringLiteral("Config"), QStringLiteral("CmdsBefore1")}));
    EXPECT_FALSE(fConfigsRegRead(read, kEtKey, kPrefixConfig));
    EXPECT_EQ(read.Items(), QStringList{QStringLiteral("<none>")});
}

TEST(ScriptListStore, ReadFollowsStoreOrderAnyCaseAndTrims) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kEtKey, QStringLiteral("cmdsafter2"), RegType::Sz,
                              QStringLiteral("  second.cfg ")));
    ASSERT_TRUE(RegWriteValue(kEtKey, QStringLiteral("CMDSAFTER1"), RegType::Sz,
                              QStringLiteral("first.cfg")));
    ScriptList list;
    EXPECT_TRUE(fConfigsRegRead(list, kEtKey, kPrefixCmdsAfter));
    EXPECT_EQ(list.Scripts(),
              (QStringList{QStringLiteral("second.cfg"), QStringLiteral("first.cfg")}));
    fConfigsRegClear(kEtKey, kPrefixCmdsAfter);
    EXPECT_FALSE(RegListValueNames(kEtKey).ok);
}

TEST(ScriptListModel, SelectionFollowsTextThroughChanges) {
    ScriptList list = ListOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    EXPECT_EQ(list.SelectedScript(), QString());
    EXPECT_EQ(list.SelectText(QStringLiteral("b")), 2);
    EXPECT_EQ(list.SelectedScript(), QStringLiteral("b"));
    list.RemoveAt(1);
    EXPECT_EQ(list.Text(), QStringLiteral("b"));
    list.RemoveAt(0); // "<none>" stays
    EXPECT_EQ(list.Count(), 3);
    list.ReplaceScripts({QStringLiteral("c"), QStringLiteral("b")});
    EXPECT_EQ(list.Selected(), 2);
    list.ReplaceScripts({QStringLiteral("c")});
    EXPECT_EQ(list.Selected(), 0);
    list.Select(9);
    EXPECT_EQ(list.Text(), QStringLiteral("<none>"));
}

// A game folder with ET's executable, its base and mod folders.
class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = QDir(tmp.path()).filePath(QStringLiteral("Wolf ET"));
        WriteFile(root + QStringLiteral("/Et.exe"));
        QDir().mkpath(root + QStringLiteral("/etpro"));
    }

    QTemporaryDir tmp;
    QString root;
};

TEST_F(GameFolderTest, ParentOfTheModFolderMustHoldTheGame) {
    const GameFolder ok =
        ResolveGameFolder(QStringLiteral("  ") + root + QStringLiteral("/etpro//  "), kGameEtPro);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.folder, root);
    // The other game's executable is not there.
    EXPECT_FALSE(ResolveGameFolder(root + QStringLiteral("/etpro"), kGameDefrag).ok);
    EXPECT_TRUE(ResolveGameFolder(root + QStringLiteral("/etpro"), kGameDefrag).folder.isEmpty());
    // Under a drive or the file-system root there is no game folder.
    EXPECT_FALSE(ResolveGameFolder(QStringLiteral("D:\\defrag"), kGameDefrag).ok);
    EXPECT_FALSE(ResolveGameFolder(QStringLiteral("/etpro"), kGameEtPro).ok);
    EXPECT_FALSE(ResolveGameFolder(QString(), kGameEtPro).ok);

    // A folder named like the executable does not count.
    const QString fake = QDir(tmp.path()).filePath(QStringLiteral("fake"));
    QDir().mkpath(fake + QStringLiteral("/quake3"));
    EXPECT_FALSE(ResolveGameFolder(fake + QStringLiteral("/defrag"), kGameDefrag).ok);
    // Linux executable names identify the game too.
    WriteFile(fake + QStringLiteral("/ioquake3.x86_64"));
    EXPECT_TRUE(ResolveGameFolder(fake + QStringLiteral("/defrag"), kGameDefrag).ok);

    // Without a folder the current game's ModPath is taken.
    GameState state;
    state.configs[0].ModPath = root + QStringLiteral("/etpro");
    EXPECT_TRUE(ResolveGameFolder(state).ok);
    state.currentGame = kGameDefrag;
    EXPECT_FALSE(ResolveGameFolder(state).ok);
}

TEST_F(GameFolderTest, PruningDropsScriptsWhoseFilesAreGone) {
    WriteFile(root + QStringLiteral("/etpro/cams/a.cfg"));
    WriteFile(root + QStringLiteral("/etmain/b.cfg"));
    ScriptList list =
        ListOf({QStringLiteral("etpro\\cams\\a.cfg"), QStringLiteral("etpro\\gone.cfg"),
                QStringLiteral("etmain\\b.cfg"), QStringLiteral("etpro\\cams")});
    ScriptList kept = list;
    PruneScriptList(kept, QStringLiteral("/nowhere/etpro"), kGameEtPro);
    EXPECT_EQ(kept.Items(), list.Items());
    PruneScriptList(list, root + QStringLiteral("/etpro"), kGameEtPro);
    EXPECT_EQ(list.Scripts(),
              (QStringList{QStringLiteral("etpro\\cams\\a.cfg"), QStringLiteral("etmain\\b.cfg")}));
}

TEST_F(GameFolderTest, PickerListsScriptsOfTheAllowedTopFoldersOnly) {
    for (const char* f :
         {"/etmain/autoexec.cfg", "/etpro/cams/b.CFG", "/etpro/a.cfg", "/etpro/x.cf", "/etpro/.cfg",
          "/etpro/cfgs.txt", "/other/c.cfg", "/etpromod/d.cfg", "/etpro/deep/er/e.cfg"})
        WriteFile(root + QString::fromLatin1(f));

    const QStringList mod = {QStringLiteral("etpro\\a.cfg"), QStringLiteral("etpro\\cams\\b.CFG"),
                             QStringLiteral("etpro\\deep\\er\\e.cfg")};
    auto folders = [this](ScriptListKind kind) {
        return ScriptPickerFolders(kind, kGameEtPro, root + QStringLiteral("/etpro"));
    };
    const ScriptPickerListing before =
        RefreshConfigs(root, folders(ScriptListKind::CmdsBefore), {});
    EXPECT_EQ(before.items, mod);
    EXPECT_EQ(RefreshConfigs(root, folders(ScriptListKind::CmdsAfter), {}).items, mod);

    const ScriptPickerListing configs =
        RefreshConfigs(root, folders(ScriptListKind::GameConfigs),
                       {QStringLiteral("etpro\\a.cfg"), QStringLiteral("ETMAIN\\autoexec.cfg")});
    EXPECT_EQ(configs.items, QStringList{QStringLiteral("etmain\\autoexec.cfg")} + mod);
    // Preselection is by exact text.
    EXPECT_EQ(configs.selected, (QList<bool>{false, true, false, false}));

    // Scripts lying in the game folder itself are offered too.
    WriteFile(root + QStringLiteral("/root.cfg"));
    EXPECT_TRUE(RefreshConfigs(root, {QStringLiteral("EtPro")}, {})
                    .items.contains(QStringLiteral("root.cfg")));
    EXPECT_TRUE(RefreshConfigs(root + QStringLiteral("/missing"), {QStringLiteral("etpro")}, {})
                    .items.isEmpty());
}

TEST_F(GameFolderTest, PickerTakesTheModFolderWhateverItsName) {
    for (const char* f : {"/etpro-3.2.6/cams/a.cfg", "/etpro/old.cfg", "/etmain/autoexec.cfg",
                          "/etpro-3.2.6x/b.cfg"})
        WriteFile(root + QString::fromLatin1(f));
    GameState state;
    ScriptedDialogs dialogs;
    struct Case {
        const char* modPath; // under the game folder, as the user set it
        ScriptListKind kind;
        QStringList folders;
        QStringList listed;
    };
    const QString renamed = QStringLiteral("etpro-3.2.6");
    const QString script = QStringLiteral("etpro-3.2.6\\cams\\a.cfg");
    const QString autoexec = QStringLiteral("etmain\\autoexec.cfg");
    const Case cases[] = {
        {"/etpro-3.2.6", ScriptListKind::CmdsBefore, {renamed}, {script}},
        {"/etpro-3.2.6/", ScriptListKind::CmdsAfter, {renamed}, {script}},
        {"\\etpro-3.2.6",
         ScriptListKind::GameConfigs,
         {QStringLiteral("etmain"), renamed},
         {autoexec, script}},
        {"/etpro",
         ScriptListKind::CmdsBefore,
         {QStringLiteral("etpro")},
         {QStringLiteral("etpro\\old.cfg")}},
    };
    for (const Case& c : cases) {
        state.configs[kGameEtPro].ModPath = root + QString::fromLatin1(c.modPath);
        const auto request = PrepareChooseScripts(state, c.kind, dialogs);
        ASSERT_TRUE(request.has_value()) << c.modPath;
        EXPECT_EQ(request->allowedFolders, c.folders) << c.modPath;
        QStringList listed = RefreshConfigs(request->gameFolder, request->allowedFolders, {}).items;
        listed.sort();
        EXPECT_EQ(listed, c.listed) << c.modPath;
    }
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
}

TEST_F(GameFolderTest, AskModFolderRepeatsUntilValidOrCancelled) {
    TempRegistry reg;
    GameState state;
    state.configs[0].ModPath = root + QStringLiteral("/etpro/missing/deeper");
    state.cmdsBefore = ListOf({QStringLiteral("etpro\\gone.cfg")});
    ScriptedDialogs dialogs;
    dialogs.paths = {QString(tmp.path()), root + QStringLiteral("/etpro")};
    EXPECT_TRUE(AskModFolder(state, dialogs));
    EXPECT_EQ(state.configs[0].ModPath, root + QStringLiteral("/etpro"));
    ASSERT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(dialogs.fileDialogs[0].request.folder, root + QStringLiteral("/etpro"));
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Specify the folder of the MOD EtPro (not that of the game!).\r\nThe "
                             "parent folder must obviously contain the file Et.exe."));
    // Applying the folder prunes the lists.
    EXPECT_EQ(state.cmdsBefore.Count(), 1);
    // Before the dialog, what the folder is for and what marks it; after a wrong one, why.
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("ET Pro"));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        QStringLiteral("The camera scripts go into the folder of the ET Pro modification of "
                       "enemy territory,")))
        << dialogs.messages[0].text.toStdString();
#ifndef Q_OS_WIN
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(
        QStringLiteral("one of these files: et, et.x86, etl, etl.x86_64, etl.x86, et.x86_64, "
                       "etlegacy, Et.exe.")))
        << dialogs.messages[0].text.toStdString();
#endif
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(
        QStringLiteral("The folder ") + QDir::toNativeSeparators(tmp.path()) +
        QStringLiteral(" is not a folder of the ET Pro modification")))
        << dialogs.messages[1].text.toStdString();
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Warning);

    dialogs.paths = {std::nullopt};
    state.configs[0].ModPath = QStringLiteral("/x");
    EXPECT_FALSE(AskModFolder(state, dialogs));
    EXPECT_EQ(state.configs[0].ModPath, QStringLiteral("/x"));
}

TEST_F(GameFolderTest, ChoosingScriptsNeedsAValidModFolder) {
    TempRegistry reg;
    GameState state;
    WriteFile(root + QStringLiteral("/etpro/a.cfg"));
    ScriptedDialogs dialogs;
    // No folder yet: the user is asked for it; Cancel opens no picker, a right folder does.
    EXPECT_FALSE(PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs).has_value());
    EXPECT_EQ(dialogs.fileDialogs.size(), 1);
    dialogs.paths = {root + QStringLiteral("/etpro")};
    const auto afterAsking = PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs);
    ASSERT_TRUE(afterAsking.has_value());
    EXPECT_EQ(afterAsking->gameFolder, root);

    state.configs[0].ModPath = root + QStringLiteral("/etpro");
    state.gameConfigs = ListOf({QStringLiteral("etpro\\a.cfg")});
    state.gameConfigs.Select(1);
    const auto request = PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->gameFolder, root);
    EXPECT_EQ(request->allowedFolders,
              (QStringList{QStringLiteral("etmain"), QStringLiteral("etpro")}));
    EXPECT_EQ(request->preselected, QStringList{QStringLiteral("etpro\\a.cfg")});

    ApplyChosenScripts(state, ScriptListKind::GameConfigs,
                       {QStringLiteral("etmain\\z.cfg"), QStringLiteral("etpro\\a.cfg")});
    EXPECT_EQ(state.gameConfigs.Text(), QStringLiteral("etpro\\a.cfg"));
    EXPECT_EQ(state.gameConfigs.Selected(), 2);

    // The user's own pick marks a trace with control points as modified.
    Trace trace;
    SelectScriptByUser(state, ScriptListKind::GameConfigs, 1, trace);
    EXPECT_FALSE(trace.modified);
    trace.points.count[kControl] = 1;
    SelectScriptByUser(state, ScriptListKind::GameConfigs, 0, trace);
    EXPECT_TRUE(trace.modified);
}

TEST(SwitchGame, SavesTheGameLeftAndLoadsTheNewOne) {
    TempRegistry reg;
    GameState state;
    SwitchToStartupGame(state, 0);
    EXPECT_EQ(state.currentGame, 0);
    state.cmdsBefore.Add(QStringLiteral("etpro\\before.cfg"));

    // The game already current: nothing happens, not even a save.
    EXPECT_FALSE(SwitchGame(state, 0, false));
    EXPECT_TRUE(RegReadValue(kEtKey, QStringLiteral("CmdsBefore1")).IsEmpty());

    const QString dfKey = Profile(kGameDefrag).registryKey;
    ASSERT_TRUE(RegWriteValue(dfKey, QStringLiteral("CmdsAfter1"), RegType::Sz,
                              QStringLiteral("defrag\\after.cfg")));
    QStringList recentCalls;
    state.saveRecentFiles = [&](const QString& key) {
        recentCalls << QStringLiteral("save ") + key;
    };
    state.loadRecentFiles = [&](const QString& key) {
        recentCalls << QStringLiteral("load ") + key;
    };
    EXPECT_TRUE(SwitchGame(state, 1, false));
    EXPECT_EQ(state.currentGame, 1);
    EXPECT_TRUE(state.Visible().transSpeed);
    EXPECT_FALSE(state.Visible().demoControl);
    EXPECT_FALSE(state.Visible().autoStart);
    EXPECT_EQ(recentCalls,
              (QStringList{QStringLiteral("save ") + kEtKey, QStringLiteral("load ") + dfKey}));
    EXPECT_EQ(RegReadValue(kEtKey, QStringLiteral("CmdsBefore1")).String(),
              QStringLiteral("etpro\\before.cfg"));
    EXPECT_EQ(state.cmdsBefore.Count(), 1);
    EXPECT_EQ(state.cmdsAfter.Scripts(), QStringList{QStringLiteral("defrag\\after.cfg")});
    EXPECT_FALSE(state.loadingLists);

    // Skipping the save leaves the store alone.
    state.cmdsAfter.Add(QStringLiteral("defrag\\more.cfg"));
    EXPECT_TRUE(SwitchGame(state, 0, true));
    EXPECT_TRUE(RegReadValue(dfKey, QStringLiteral("CmdsAfter2")).IsEmpty());
    EXPECT_EQ(state.cmdsBefore.Scripts(), QStringList{QStringLiteral("etpro\\before.cfg")});
    EXPECT_TRUE(state.Visible().demoControl);

    // From the menu, a cancelled new trace keeps the game; otherwise the switch saves.
    int asked = 0;
    EXPECT_FALSE(ChooseGameFromMenu(state, 1, [&] { return ++asked, false; }));
    EXPECT_EQ(state.currentGame, 0);
    EXPECT_FALSE(ChooseGameFromMenu(state, 0, [&] { return ++asked, true; }));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ChooseGameFromMenu(state, 1, [&] { return ++asked, true; }));
    EXPECT_EQ(state.currentGame, 1);
}

} // namespace
} // namespace kestrova::test
