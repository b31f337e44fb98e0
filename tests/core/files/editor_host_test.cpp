#include "core/files/editor_host.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

struct EditorHostFixture : ::testing::Test {
    GameState games;
    ViewState views;
    EditorTraceHost host{games, views};

    void SetUp() override {
        games.gameConfigs.Add("etmain\\a.cfg");
        games.cmdsBefore.Add("etpro\\b.cfg");
        games.cmdsAfter.Add("etpro\\c.cfg");
    }
};

TEST_F(EditorHostFixture, ScriptListsAreWrittenAsShownAndReadEitherWay) {
    games.cmdsBefore.Select(1);
    const QByteArray text = TraceFileText(CaptureTraceFile(Trace{}, host));
    // Key padded to 17 characters, then the list's text.
    EXPECT_TRUE(text.contains("\tgame_config      <none>\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\tscmd_before      etpro\\b.cfg\r\n"));
    EXPECT_TRUE(text.contains("\tscmd_after       <none>\r\n"));

    // An empty text is what older files hold for "<none>".
    for (const auto& c :
         {std::pair{"<none>", 0}, {"", 0}, {"etpro\\c.cfg", 1}, {"etpro\\gone.cfg", 0}}) {
        games.cmdsAfter.Select(1);
        TraceFileContents contents = CaptureTraceFile(Trace{}, host);
        contents.script.commandsAfter = c.first;
        host.ApplyExtras(contents);
        EXPECT_EQ(games.cmdsAfter.Selected(), c.second) << c.first;
    }
}

} // namespace
} // namespace kestrova::test
