#include "core/script/script_location.h"
#include "script_fixture.h"
#include "support/scripted_dialogs.h"

namespace kestrova::test {
namespace {

TEST(ScriptLocation, RelativeFolderFromTheModFolder) {
    GameFolder game(kGameDefrag);
    game.root.mkpath("defrag/cams/deep");

    const ScriptLocation deep = LocateScript(game.Path("defrag/cams/deep/run.v2.cfg"), kGameDefrag);
    EXPECT_EQ(deep.baseName, "run.v2");
    EXPECT_EQ(deep.folder, game.Path("defrag/cams/deep") + "/");
    EXPECT_EQ(deep.modFolder, game.Mod());
    EXPECT_EQ(deep.relativeFolder, "cams\\deep\\");

    const ScriptLocation inMod = LocateScript(game.Path("defrag/run.cfg"), kGameDefrag);
    EXPECT_TRUE(inMod.valid && inMod.relativeFolder.isEmpty());

    // The other game's executable does not make a mod folder.
    EXPECT_FALSE(LocateScript(game.Path("defrag/run.cfg"), kGameEtPro).valid);
}

TEST(ScriptLocation, OutsideAModFolderAsksFirst) {
    GameFolder game(kGameEtPro);
    const ScriptLocation loc = LocateScript(game.Path("run.cfg"), kGameEtPro);
    EXPECT_FALSE(loc.valid);
    // The script's own folder stands in for the relative folder.
    EXPECT_EQ(loc.relativeFolder, QDir(game.temp.path()).dirName() + "\\");
    EXPECT_EQ(LocateScript("/ab/run.cfg", kGameEtPro).relativeFolder, "");

    ScriptedDialogs dialogs;
    dialogs.answers = {DialogAnswer::No, DialogAnswer::Yes};
    EXPECT_FALSE(ConfirmScriptLocation(loc, kGameEtPro, dialogs));
    EXPECT_TRUE(ConfirmScriptLocation(loc, kGameEtPro, dialogs));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].title, "Folder not valid");
    EXPECT_TRUE(dialogs.messages[0].text.contains("at the root of the MOD (EtPro) or\r\n"));

    // A valid place asks nothing.
    EXPECT_TRUE(
        ConfirmScriptLocation(LocateScript(game.Path("etpro/a.cfg"), kGameEtPro), 0, dialogs));
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST(ScriptLocation, SaveDialogStartsWhereTheLastScriptWent) {
    GameFolder game(kGameDefrag);
    Trace trace;
    trace.script.scriptBaseName = "intro";
    ScriptedDialogs dialogs;
    dialogs.paths = {game.Path("defrag/cams/x.cfg"), std::nullopt};

    EXPECT_EQ(AskScriptSavePath(trace, kGameDefrag, game.Path("defrag/cams"), dialogs),
              game.Path("defrag/cams/x.cfg"));
    EXPECT_FALSE(AskScriptSavePath(trace, kGameDefrag, game.Path("gone"), dialogs));
    ASSERT_EQ(dialogs.fileDialogs.size(), 2);
    const FileDialogRequest& r = dialogs.fileDialogs[0].request;
    EXPECT_EQ(r.folder, game.Path("defrag/cams"));
    EXPECT_EQ(r.fileName, "intro");
    EXPECT_EQ(r.filter, "Defrag script (*.cfg)");
    EXPECT_EQ(dialogs.fileDialogs[1].request.folder, ""); // a folder that no longer exists
    EXPECT_EQ(ScriptFolderOf(game.Path("defrag/cams/x.cfg")), game.Path("defrag/cams"));
}

} // namespace
} // namespace kestrova::test
