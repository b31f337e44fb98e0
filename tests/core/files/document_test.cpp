#include "core/files/document.h"
#include "core/files/editor_host.h"
#include "core/files/text_file.h"
#include "core/files/trace_samples.h"
#include "core/script/game_profile.h"
#include "support/scoped_file_size_limit.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <QTemporaryDir>

namespace kestrova::test {
namespace {

struct DocumentFixture : ::testing::Test {
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    MemoryRecentFilesStore store;
    Document doc{host, dialogs};
    QTemporaryDir dir;

    void SetUp() override {
        SetDocumentGame(doc, 1, &store);
        doc.traceFolder[1] = dir.path();
        host.knownDemos << "my demo 01"; // the samples' demo
    }
    QString Path(const char* name) const { return dir.filePath(name); }
    void WriteSample(const QString& path, int controls = 3) {
        ASSERT_TRUE(WriteTraceFile(path, SampleContents(controls, 1)));
    }
    void GiveModifiedPoints(int controls) {
        FillPoints(doc.trace.points, controls, 0);
        doc.trace.modified = true;
    }
};

TEST_F(DocumentFixture, AsksBeforeDiscardingOnlyModifiedTracesWithPoints) {
    EXPECT_TRUE(ConfirmDiscard(doc, "&New"));
    EXPECT_TRUE(ConfirmClose(doc));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    GiveModifiedPoints(1);
    dialogs.answers = {DialogAnswer::Cancel, DialogAnswer::No};
    EXPECT_FALSE(ConfirmDiscard(doc, "&Open..."));
    EXPECT_TRUE(ConfirmDiscard(doc, "&Open..."));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].title, "Open..."); // the caption without its access key
    EXPECT_EQ(dialogs.messages[0].text, "Do you want to save the current curve?");
    // Yes with a cancelled save counts as Cancel.
    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_FALSE(ConfirmDiscard(doc, "&New"));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1);
    // Closing asks only from two points in a table.
    EXPECT_TRUE(ConfirmClose(doc));
    GiveModifiedPoints(2);
    dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_FALSE(ConfirmClose(doc));
    EXPECT_EQ(dialogs.messages.last().title, "Quit");
}

TEST_F(DocumentFixture, NewTraceResetsPointsCountsAndOptions) {
    GiveModifiedPoints(4);
    doc.trace.counts.presetText = {"33", "44"};
    doc.trace.script.autoStartMsText = "500";
    doc.traceName = "old";
    host.extras.presetLines = {"1;1;0;0;85;0;0;0;0;0;0;0;0"};
    dialogs.answers = {DialogAnswer::No};
    ASSERT_TRUE(NewTrace(doc, true));
    EXPECT_EQ(doc.trace.ControlCount(), 0);
    EXPECT_EQ(doc.trace.counts.presetText[1], "1000");
    EXPECT_EQ(doc.trace.script.autoStartMsText, "0");
    EXPECT_EQ(doc.windowTitle, "Kestrova 3D");
    EXPECT_TRUE(host.extras.presetLines.isEmpty());
    EXPECT_FALSE(doc.commands.newTrace);
}

TEST_F(DocumentFixture, OpensAndSavesThroughTheDialogs) {
    // The trace lies away from the remembered folder; Enter in the dialog gives its name as
    // proposed, without extension.
    QDir(dir.path()).mkpath("shots");
    const QString own = Path("shots/take.2.dfkv");
    WriteSample(own, 4);
    dialogs.paths = {own};
    OpenTrace(doc);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    // Either game's traces show at first: the other game's trace opens too and brings its game.
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter,
              "Traces of both games (*.dfkv *.ep3t);;EtPro3 trace (*.ep3t);;"
              "Defrag Kestrova (*.dfkv)");
    EXPECT_EQ(dialogs.fileDialogs[0].request.folder, dir.path());
    EXPECT_EQ(doc.windowTitle, "Kestrova 3D - take.2");
    EXPECT_EQ(doc.trace.ControlCount(), 4);
    EXPECT_TRUE(doc.commands.average);
    EXPECT_EQ(doc.recent.Entries().value(0).path, own);

    SetPointField(doc.trace.points, kControl, 1, kFieldX, 4321);
    dialogs.paths = {Path("shots/take.2")};
    EXPECT_TRUE(SaveTrace(doc));
    const FileDialogRequest& r = dialogs.fileDialogs.last().request;
    EXPECT_EQ(r.folder, Path("shots"));
    EXPECT_EQ(r.fileName, "take.2");
    EXPECT_TRUE(dialogs.messages.isEmpty()); // its own file: no replace question
    EXPECT_TRUE(ReadTextFileBytes(own)->contains("ctl:4321; "));
    EXPECT_FALSE(QFile::exists(Path("shots/take.2")));

    // Another existing file, typed without extension, is asked about before it is replaced.
    WriteSample(Path("shots/other.dfkv"), 2);
    dialogs.paths = {Path("shots/other"), Path("shots/other")};
    dialogs.answers = {DialogAnswer::No, DialogAnswer::Yes};
    EXPECT_FALSE(SaveTrace(doc));
    EXPECT_EQ(dialogs.messages[0].text, "Do you really want to replace the existing file?");
    doc.trace.modified = true;
    EXPECT_TRUE(SaveTrace(doc));
    EXPECT_FALSE(doc.trace.modified);
    EXPECT_EQ(doc.tracePath, Path("shots/other.dfkv"));
    EXPECT_EQ(doc.recent.Entries()[0].path, Path("shots/other.dfkv"));

    // A trace of the other game: its folder is remembered for that game.
    TraceFileContents et = SampleContents(2, 0);
    et.game = kGameEtPro;
    QDir(dir.path()).mkpath("et");
    ASSERT_TRUE(WriteTraceFile(Path("et/a.ep3t"), et));
    ASSERT_TRUE(LoadTraceFile(doc, Path("et/a.ep3t")));
    EXPECT_EQ(doc.game, kGameEtPro);
    EXPECT_EQ(doc.traceFolder[kGameEtPro], Path("et"));
    EXPECT_EQ(doc.traceFolder[kGameDefrag], Path("shots"));
}

TEST_F(DocumentFixture, OpenAndSaveWithoutEditsGivesTheSameBytes) {
    for (int controls : {2, 3, 7}) {
        TraceFileContents c = SampleContents(controls, 1);
        c.stepText = {"1000", "333"};
        const QString path = Path("same.dfkv");
        ASSERT_TRUE(WriteTraceFile(path, c));
        const QByteArray first = *ReadTextFileBytes(path);
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_TRUE(LoadTraceFile(doc, path));
            dialogs.paths = {path};
            ASSERT_TRUE(SaveTrace(doc));
            EXPECT_EQ(ReadTextFileBytes(path)->toStdString(), first.toStdString())
                << controls << " points, pass " << pass;
        }
    }
}

TEST_F(DocumentFixture, AFailedSaveReportsAndKeepsThePreviousFile) {
    GiveModifiedPoints(2);
    dialogs.paths = {Path("no/such/folder/t.dfkv")};
    EXPECT_FALSE(SaveTrace(doc));
    // The message names the file and gives the system's reason.
    EXPECT_EQ(dialogs.messages.last().text,
              "Saving error.\n" + QDir::toNativeSeparators(Path("no/such/folder/t.dfkv")) +
                  "\nNo such file or directory");
    EXPECT_EQ(doc.windowTitle, "Kestrova 3D");
    EXPECT_TRUE(doc.trace.modified);

    // A failed save into /proc is not remembered: the next dialog starts where the last good one
    // did.
    doc.traceFolder[1] = dir.path();
    dialogs.paths = {"/proc/t.dfkv"};
    EXPECT_FALSE(SaveTrace(doc));
    EXPECT_EQ(doc.traceFolder[1], dir.path());
    doc.traceFolder[1] = "/proc/self/fd"; // from older settings
    doc.trace.modified = false;
    dialogs.paths = {std::nullopt};
    OpenTrace(doc);
    EXPECT_EQ(dialogs.fileDialogs.last().request.folder, QDir::homePath());

    // The disk fills up halfway through: the old file is kept whole.
    const QString own = Path("kept.dfkv");
    WriteSample(own, 3);
    const QByteArray before = *ReadTextFileBytes(own);
    ASSERT_TRUE(LoadTraceFile(doc, own));
    FillPoints(doc.trace.points, 200, 200); // far larger than the old file
    dialogs.paths = {own};
    {
        const ScopedFileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(SaveTrace(doc));
    }
    EXPECT_TRUE(dialogs.messages.last().text.endsWith("kept.dfkv\nFile too large"))
        << dialogs.messages.last().text.toStdString();
    EXPECT_EQ(*ReadTextFileBytes(own), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(DocumentFixture, AFileThatIsNotATraceChangesNothing) {
    GiveModifiedPoints(3);
    WriteFile(Path("junk.dfkv"), QByteArray("\x01\x02\x00\x7f binary", 12));
    WriteFile(Path("text.dfkv"), "just some words\nno keys at all\n");
    for (const auto& [name, reason] : {std::pair{"junk.dfkv", ""},
                                       {"text.dfkv", ""},
                                       {"missing.dfkv", "\nNo such file or directory"}}) {
        dialogs.messages.clear();
        EXPECT_FALSE(LoadTraceFile(doc, Path(name)));
        ASSERT_EQ(dialogs.messages.size(), 1);
        // The file on a line of its own, as the system writes its paths, then the reason.
        EXPECT_EQ(dialogs.messages[0].text,
                  "Data reading error.\n" + QDir::toNativeSeparators(Path(name)) + reason);
    }
    EXPECT_EQ(doc.trace.ControlCount(), 3);
    EXPECT_TRUE(doc.trace.modified);
    EXPECT_TRUE(doc.recent.Entries().isEmpty());
}

TEST_F(DocumentFixture, RecentFilesKeepTenMostRecentFirstPerGame) {
    for (int i = 0; i < 12; ++i)
        AddRecentFile(doc, QStringLiteral("t%1").arg(i), Path("t") + QString::number(i));
    AddRecentFile(doc, "t5", Path("t5"));
    const auto& e = doc.recent.Entries();
    ASSERT_EQ(e.size(), 10);
    EXPECT_EQ(std::tuple(e[0].path, e[1].path, e[9].path),
              std::tuple(Path("t5"), Path("t11"), Path("t2")));
    // Kept under the game's key; the other game has its own list.
    EXPECT_EQ(store.lists.keys(), QStringList{"HKLM\\Software\\Quillbrook\\Kestrova3D\\Defrag"});
    SetDocumentGame(doc, 0, &store);
    EXPECT_TRUE(doc.recent.Entries().isEmpty());
    SetDocumentGame(doc, 1, &store);
    // A deleted file: message, then the entry goes.
    OpenRecentFile(doc, 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("'%1' file not found.").arg(Path("t5")));
    EXPECT_EQ(doc.recent.Entries().size(), 9);
}

TEST(Document, CaptionsAndNames) {
    EXPECT_EQ(RemoveExtension("x.y.dfkv"), "x.y");
    EXPECT_EQ(RemoveExtension("C:\\a.b\\trace"), "C:\\a.b\\trace"); // a dot in a folder
    EXPECT_EQ(RemoveExtension(".dfkv"), ".dfkv");
    // At most 25 characters before the name's, cut only where a folder starts.
    EXPECT_EQ(RecentCaption("trace", "C:\\trace.dfkv"), "C:\\trace");
    EXPECT_EQ(RecentCaption("example", "/srv/kestrova/main/examples/example.dfkv"),
              ".../main/examples/example");
    EXPECT_EQ(RecentCaption("run", "/home/someone/games/quake3/traces/run.dfkv"),
              ".../games/quake3/traces/run");
    EXPECT_EQ(RecentCaption("run", "/run.dfkv"), "/run");
    EXPECT_EQ(RecentCaption("t", "D:\\Demos\\Traces\\t.dfkv"), "D:\\Demos\\Traces\\t");
    EXPECT_EQ(
        RecentCaption("twenty_two_characters_", "/x/a_long_folder/twenty_two_characters_.dfkv"),
        ".../twenty_two_characters_");
    EXPECT_EQ(RecentCaption("loose", "loose.dfkv"), "...\\loose");
    const QString longName(30, QLatin1Char('n'));
    EXPECT_EQ(RecentCaption(longName, "C:\\" + longName + ".dfkv"), longName);
    QTemporaryDir dir;
    EXPECT_EQ(ExistingFolderOrParent(dir.filePath("gone/deeper")), dir.path());
    EXPECT_TRUE(ExistingFolderOrParent(QString()).isEmpty());
}

TEST_F(DocumentFixture, ATraceOfTheOtherGameHasItsDemoCheckedInItsOwnGame) {
    struct TwoGames : KeptTraceExtras { // the demo is in the Defrag folder only
        int game = kGameEtPro;
        void SwitchToTraceGame(int g) override { game = g; }
        bool KnowsDemo(const QString&) override { return game == kGameDefrag; }
    } twoGames;
    Document etDoc{twoGames, dialogs};
    WriteSample(Path("defrag.dfkv"));
    ASSERT_TRUE(LoadTraceFile(etDoc, Path("defrag.dfkv")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(twoGames.extras.demoName, QStringLiteral("my demo 01"));
}

TEST_F(DocumentFixture, UndoAndRedoRefreshTheCommands) {
    ClearUndo(doc.undo, doc.trace);
    FillPoints(doc.trace.points, 2, 0);
    RecordEdit(doc, true, false);
    EXPECT_TRUE(doc.commands.exportTrace);
    doc.previewLocked = true;
    ASSERT_TRUE(UndoEdit(doc));
    EXPECT_EQ(doc.trace.ControlCount(), 0);
    EXPECT_FALSE(doc.commands.save);
    EXPECT_FALSE(doc.previewLocked); // unticked when it becomes disabled
    ASSERT_TRUE(RedoEdit(doc));
    EXPECT_TRUE(doc.commands.createScript);
    EXPECT_FALSE(RedoEdit(doc));
}

TEST(Document, CommandStatesFollowTheCounts) {
    Trace t;
    CommandStates s = ComputeCommandStates(t);
    EXPECT_FALSE(s.newTrace || s.save || s.selectAll || s.deselectAll || s.exportTrace);
    t.points.count = {1, 0};
    s = ComputeCommandStates(t);
    EXPECT_TRUE(s.save && s.newTrace && s.selectAll && s.convPoints[0]);
    EXPECT_FALSE(s.exportTrace || s.createScript || s.convPoints[1] || s.deselectAll);
    t.points.count = {2, 3};
    t.points.rec[kReference][3].selected = true;
    s = ComputeCommandStates(t);
    EXPECT_TRUE(s.exportTrace && s.createScript && s.previewLock && s.invert && s.average);
    EXPECT_TRUE(s.deselectAll && s.convPoints[1]);
    t.points.count = {2, 2};
    EXPECT_FALSE(ComputeCommandStates(t).average || ComputeCommandStates(t).deselectAll);
}

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
