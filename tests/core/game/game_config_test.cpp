#include "core/game/game_config.h"

#include "core/game/game_state.h"
#include "core/model/trace.h"
#include "core/script/game_profile.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

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
    for (const char* name : {"Config", "Config7", "CmdsBefore1"})
        ASSERT_TRUE(RegWriteValue(kEtKey, name, RegType::Sz, "x"));

    ScriptList list = ListOf({"etmain\\a.cfg", "etpro\\b.cfg"});
    EXPECT_TRUE(fConfigsRegSave(list, kEtKey, kPrefixConfig));
    const RegValueNames names = RegListValueNames(kEtKey);
    EXPECT_EQ(names.names, (QStringList{"Config", "CmdsBefore1", "Config1", "Config2"}));

    ScriptList read = ListOf({"stale"});
    read.Select(1);
    EXPECT_TRUE(fConfigsRegRead(read, kEtKey, kPrefixConfig));
    EXPECT_EQ(read.Items(), (QStringList{"<none>", "etmain\\a.cfg", "etpro\\b.cfg"}));
    EXPECT_EQ(read.Selected(), 0);

    // Only "<none>": nothing written, the old values gone; the bare name stays.
    EXPECT_FALSE(fConfigsRegSave(ScriptList(), kEtKey, kPrefixConfig));
    EXPECT_EQ(RegListValueNames(kEtKey).names, (QStringList{"Config", "CmdsBefore1"}));
    EXPECT_FALSE(fConfigsRegRead(read, kEtKey, kPrefixConfig));
    EXPECT_EQ(read.Items(), QStringList{"<none>"});
}

TEST(ScriptListStore, ReadFollowsStoreOrderAnyCaseAndTrims) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kEtKey, "cmdsafter2", RegType::Sz, "  second.cfg "));
    ASSERT_TRUE(RegWriteValue(kEtKey, "CMDSAFTER1", RegType::Sz, "first.cfg"));
    ScriptList list;
    EXPECT_TRUE(fConfigsRegRead(list, kEtKey, kPrefixCmdsAfter));
    EXPECT_EQ(list.Scripts(), (QStringList{"second.cfg", "first.cfg"}));
    fConfigsRegClear(kEtKey, kPrefixCmdsAfter);
    EXPECT_FALSE(RegListValueNames(kEtKey).ok);
}

TEST(ScriptListModel, SelectionFollowsTextThroughChanges) {
    ScriptList list = ListOf({"a", "b", "c"});
    EXPECT_EQ(list.SelectText("b"), 2);
    EXPECT_EQ(list.SelectedScript(), "b");
    list.RemoveAt(1);
    EXPECT_EQ(list.Text(), "b");
    list.RemoveAt(0); // "<none>" stays
    EXPECT_EQ(list.Count(), 3);
    list.ReplaceScripts({"c", "b"});
    EXPECT_EQ(list.Selected(), 2);
    list.ReplaceScripts({"c"});
    EXPECT_EQ(list.Selected(), 0);
    list.Select(9);
    EXPECT_EQ(list.Text(), "<none>");
}

// A game folder with ET's executable, its base and mod folders.
class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = QDir(tmp.path()).filePath("Wolf ET");
        WriteFile(root + "/Et.exe");
        QDir().mkpath(root + "/etpro");
    }

    QTemporaryDir tmp;
    QString root;
};

TEST_F(GameFolderTest, ParentOfTheModFolderMustHoldTheGame) {
    EXPECT_EQ(ResolveGameFolder("  " + root + "/etpro//  ", kGameEtPro).folder, root);
    // Not the other game's executable, nor a drive or the file-system root.
    EXPECT_TRUE(ResolveGameFolder(root + "/etpro", kGameDefrag).folder.isEmpty());
    EXPECT_FALSE(ResolveGameFolder("D:\\defrag", kGameDefrag).ok);
    EXPECT_FALSE(ResolveGameFolder("/etpro", kGameEtPro).ok);

    // A folder named like the executable does not count.
    const QString fake = QDir(tmp.path()).filePath("fake");
    QDir().mkpath(fake + "/quake3");
    EXPECT_FALSE(ResolveGameFolder(fake + "/defrag", kGameDefrag).ok);
    // The Windows name matches whatever its case.
    WriteFile(fake + "/QUAKE3.EXE");
    EXPECT_TRUE(ResolveGameFolder(fake + "/defrag", kGameDefrag).ok);
    EXPECT_FALSE(FolderHoldsGame(QString(), kGameDefrag));

    // Without a folder the current game's ModPath is taken.
    GameState state;
    state.configs[0].ModPath = root + "/etpro";
    EXPECT_TRUE(ResolveGameFolder(state).ok);
    state.currentGame = kGameDefrag;
    EXPECT_FALSE(ResolveGameFolder(state).ok);
}

TEST_F(GameFolderTest, PruningDropsScriptsWhoseFilesAreGone) {
    WriteFile(root + "/etpro/cams/a.cfg");
    WriteFile(root + "/etmain/b.cfg");
    ScriptList list =
        ListOf({"etpro\\cams\\a.cfg", "etpro\\gone.cfg", "etmain\\b.cfg", "etpro\\cams"});
    ScriptList kept = list;
    PruneScriptList(kept, "/nowhere/etpro", kGameEtPro);
    EXPECT_EQ(kept.Items(), list.Items());
    PruneScriptList(list, root + "/etpro", kGameEtPro);
    EXPECT_EQ(list.Scripts(), (QStringList{"etpro\\cams\\a.cfg", "etmain\\b.cfg"}));
}

TEST_F(GameFolderTest, PickerListsScriptsOfTheAllowedTopFoldersOnly) {
    for (const char* f :
         {"/etmain/autoexec.cfg", "/etpro/cams/b.CFG", "/etpro/a.cfg", "/etpro/x.cf", "/etpro/.cfg",
          "/other/c.cfg", "/etpromod/d.cfg", "/etpro/deep/er/e.cfg"})
        WriteFile(root + f);

    const QStringList mod = {"etpro\\a.cfg", "etpro\\cams\\b.CFG", "etpro\\deep\\er\\e.cfg"};
    auto folders = [this](ScriptListKind kind) {
        return ScriptPickerFolders(kind, kGameEtPro, root + "/etpro");
    };
    EXPECT_EQ(RefreshConfigs(root, folders(ScriptListKind::CmdsAfter), {}).items, mod);

    const ScriptPickerListing configs = RefreshConfigs(root, folders(ScriptListKind::GameConfigs),
                                                       {"etpro\\a.cfg", "ETMAIN\\autoexec.cfg"});
    EXPECT_EQ(configs.items, QStringList{"etmain\\autoexec.cfg"} + mod);
    // Preselection is by exact text.
    EXPECT_EQ(configs.selected, (QList<bool>{false, true, false, false}));

    // Scripts lying in the game folder itself are offered too.
    WriteFile(root + "/root.cfg");
    EXPECT_TRUE(RefreshConfigs(root, {"EtPro"}, {}).items.contains("root.cfg"));
    EXPECT_TRUE(RefreshConfigs(root + "/missing", {"etpro"}, {}).items.isEmpty());
}

TEST_F(GameFolderTest, PickerTakesTheModFolderWhateverItsName) {
    for (const char* f : {"/etpro-3.2.6/cams/a.cfg", "/etmain/autoexec.cfg", "/etpro-3.2.6x/b.cfg"})
        WriteFile(root + f);
    GameState state;
    ScriptedDialogs dialogs;
    const QString renamed = "etpro-3.2.6", script = "etpro-3.2.6\\cams\\a.cfg";
    // The mod folder as the user set it, the list, the folders offered and the scripts listed.
    const std::tuple<const char*, ScriptListKind, QStringList, QStringList> cases[] = {
        {"/etpro-3.2.6/", ScriptListKind::CmdsBefore, {renamed}, {script}},
        {"/etpro-3.2.6", ScriptListKind::CmdsAfter, {renamed}, {script}},
        {"\\etpro-3.2.6",
         ScriptListKind::GameConfigs,
         {"etmain", renamed},
         {"etmain\\autoexec.cfg", script}},
    };
    for (const auto& [modPath, kind, folders, scripts] : cases) {
        state.configs[kGameEtPro].ModPath = root + modPath;
        const auto request = PrepareChooseScripts(state, kind, dialogs);
        ASSERT_TRUE(request.has_value()) << modPath;
        EXPECT_EQ(request->allowedFolders, folders) << modPath;
        QStringList listed = RefreshConfigs(request->gameFolder, request->allowedFolders, {}).items;
        listed.sort();
        EXPECT_EQ(listed, scripts) << modPath;
    }
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
}

TEST_F(GameFolderTest, AskModFolderRepeatsUntilValidOrCancelled) {
    TempRegistry reg;
    GameState state;
    state.configs[0].ModPath = root + "/etpro/missing/deeper";
    state.cmdsBefore = ListOf({"etpro\\gone.cfg"});
    ScriptedDialogs dialogs;
    dialogs.paths = {QString(tmp.path()), root + "/etpro"};
    EXPECT_TRUE(AskModFolder(state, dialogs));
    EXPECT_EQ(state.configs[0].ModPath, root + "/etpro");
    ASSERT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Specify the folder of the MOD EtPro (not that of the game!).\r\nThe "
                             "parent folder must obviously contain the file Et.exe."));
    EXPECT_EQ(state.cmdsBefore.Count(), 1); // pruned
    // Before the dialog, what the folder is for and what marks it; after a wrong one, why.
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The camera scripts go into the folder"));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(
        "The folder " + QDir::toNativeSeparators(tmp.path()) + " is not a folder of the ET Pro"));

    dialogs.paths = {std::nullopt};
    state.configs[0].ModPath = "/x";
    EXPECT_FALSE(AskModFolder(state, dialogs));
    EXPECT_EQ(state.configs[0].ModPath, "/x");
}

TEST_F(GameFolderTest, ChoosingScriptsNeedsAValidModFolder) {
    TempRegistry reg;
    GameState state;
    WriteFile(root + "/etpro/a.cfg");
    ScriptedDialogs dialogs;
    // No folder yet: the user is asked for it; Cancel opens no picker, a right folder does.
    EXPECT_FALSE(PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs).has_value());
    EXPECT_EQ(dialogs.fileDialogs.size(), 1);
    dialogs.paths = {root + "/etpro"};
    const auto afterAsking = PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs);
    EXPECT_EQ(afterAsking.value().gameFolder, root);

    state.configs[0].ModPath = root + "/etpro";
    state.gameConfigs = ListOf({"etpro\\a.cfg"});
    state.gameConfigs.Select(1);
    const auto request = PrepareChooseScripts(state, ScriptListKind::GameConfigs, dialogs);
    EXPECT_EQ(request.value().preselected, QStringList{"etpro\\a.cfg"});

    ApplyChosenScripts(state, ScriptListKind::GameConfigs, {"etmain\\z.cfg", "etpro\\a.cfg"});
    EXPECT_EQ(state.gameConfigs.Text(), "etpro\\a.cfg");
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
    state.cmdsBefore.Add("etpro\\before.cfg");

    // The game already current: nothing happens, not even a save.
    EXPECT_FALSE(SwitchGame(state, 0, false));
    EXPECT_TRUE(RegReadValue(kEtKey, "CmdsBefore1").IsEmpty());

    const QString dfKey = Profile(kGameDefrag).registryKey;
    ASSERT_TRUE(RegWriteValue(dfKey, "CmdsAfter1", RegType::Sz, "defrag\\after.cfg"));
    QStringList recentCalls;
    state.saveRecentFiles = [&](const QString& key) { recentCalls << "save " + key; };
    state.loadRecentFiles = [&](const QString& key) { recentCalls << "load " + key; };
    EXPECT_TRUE(SwitchGame(state, 1, false));
    EXPECT_TRUE(state.currentGame == 1 && state.Visible().transSpeed && !state.Visible().autoStart);
    EXPECT_EQ(recentCalls, (QStringList{"save " + kEtKey, "load " + dfKey}));
    EXPECT_EQ(RegReadValue(kEtKey, "CmdsBefore1").String(), "etpro\\before.cfg");
    EXPECT_EQ(state.cmdsAfter.Scripts(), QStringList{"defrag\\after.cfg"});
    EXPECT_FALSE(state.loadingLists);

    // Skipping the save leaves the store alone.
    state.cmdsAfter.Add("defrag\\more.cfg");
    EXPECT_TRUE(SwitchGame(state, 0, true));
    EXPECT_TRUE(RegReadValue(dfKey, "CmdsAfter2").IsEmpty());
    EXPECT_EQ(state.cmdsBefore.Scripts(), QStringList{"etpro\\before.cfg"});
    EXPECT_TRUE(state.Visible().demoControl);

    // From the menu, a cancelled new trace keeps the game; otherwise the switch saves.
    int asked = 0;
    EXPECT_FALSE(ChooseGameFromMenu(state, 1, [&] { return ++asked, false; }));
    EXPECT_EQ(state.currentGame, 0);
    EXPECT_FALSE(ChooseGameFromMenu(state, 0, [&] { return ++asked, true; }));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ChooseGameFromMenu(state, 1, [&] { return ++asked, true; }));
}

} // namespace
} // namespace kestrova::test
