#include "core/files/editor_host.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

struct EditorHostFixture : ::testing::Test {
    GameState games;
    ViewState views;
    EditorTraceHost host{games, views};

    void SetUp() override {
        games.gameConfigs.Add(QStringLiteral("etmain\\a.cfg"));
        games.cmdsBefore.Add(QStringLiteral("etpro\\b.cfg"));
        games.cmdsAfter.Add(QStringLiteral("etpro\\c.cfg"));
    }
};

TEST_F(EditorHostFixture, ScriptListsAreWrittenAsShownAndReadEitherWay) {
    games.cmdsBefore.Select(1);
    const QByteArray text = TraceFileText(CaptureTraceFile(Trace{}, host));
    // Key padded to 17 characters, then the list's text.
    EXPECT_TRUE(text.contains("\tgame_config      <none>\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\tscmd_before      etpro\\b.cfg\r\n"));
    EXPECT_TRUE(text.contains("\tscmd_after       <none>\r\n"));

    struct Case {
        QString read;
        int selected;
    };
    const Case cases[] = {
        {QStringLiteral("<none>"), 0},
        {QString(), 0}, // what older files hold for "<none>"
        {QStringLiteral("etpro\\c.cfg"), 1},
        {QStringLiteral("etpro\\gone.cfg"), 0},
    };
    for (const Case& c : cases) {
        games.cmdsAfter.Select(1);
        TraceFileContents contents = CaptureTraceFile(Trace{}, host);
        contents.script.commandsAfter = c.read;
        host.ApplyExtras(contents);
        EXPECT_EQ(games.cmdsAfter.Selected(), c.selected) << c.read.toStdString();
    }
}

} // namespace
} // namespace kestrova::test
