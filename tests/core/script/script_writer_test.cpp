#include "core/numbers.h"
#include "core/script/script_location.h"
#include "core/script/script_writer.h"
#include "script_fixture.h"
#include "support/scoped_file_size_limit.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"

#include <random>

namespace kestrova::test {
namespace {

// Runs the whole writer into the fixture's mod folder.
ScriptWriteResult Write(GameFolder& game, Trace& trace, ScriptedDialogs& dialogs,
                        const QString& name = "cams/shot.cfg", uint64_t seed = 7) {
    UniformRandom rng(seed);
    return CreateCameraScript(game.Mod() + "/" + name, trace, game.game, dialogs, rng);
}

TEST(ScriptNumber, MatchesTheSharedFormatEverywhere) {
    std::mt19937_64 gen(3);
    std::uniform_real_distribution<double> any(-30000.0, 30000.0);
    const double edges[] = {-0.0, -0.004, 0.004, -0.005, 0.015, 1e300, -1e17, 3.4e38, 9.99e12};
    for (int i = 0; i < 20009; ++i) {
        const double v = i >= 20000  ? edges[i - 20000]
                         : i < 10000 ? any(gen)
                                     : std::nearbyint(any(gen)) / 200.0;
        QByteArray out;
        AppendScriptNumber(out, v);
        ASSERT_EQ(out.toStdString(), FormatScriptNumber(v).toStdString()) << v;
    }
}

TEST(ScriptLine, TheDocumentedExamplesComeOutExactly) {
    PointRecord p;
    std::tie(p.x, p.y, p.z, p.pitch, p.yaw, p.roll, p.fov, p.ts) =
        std::make_tuple(120.0f, -35.5f, 64.0f, -10.0f, 90.0f, 0.0f, 90.0f, 0.5f);
    p.segment = 3;
    ScriptLineOptions o;
    o.includeMsg = true;
    o.transSpeed = 250;
    auto line = [&](bool segmentStart) {
        QByteArray out;
        AppendScriptLine(out, p, segmentStart, o);
        return out;
    };
    o.game = kGameDefrag;
    EXPECT_EQ(line(true),
              "Echo \"^2seg: 3 - 4\"\r\n"
              "wait;cg_fov 90.00;timescale 0.50;df_demos_CameraTransitionSpeed 500.00;wait;"
              "set pos \"placeplayer 120.00 -35.50 64.00 -10.00 90.00 0.00\";\r\n");
    o.game = kGameEtPro;
    EXPECT_EQ(line(true), "Echo \"^2seg: 3 - 4\"\r\n"
                          "wait;cg_fov 90.00;timescale 0.50;wait;"
                          "freecamsetpos 120.00 -35.50 64.00 -10.00 90.00 0.00;\r\n");

    // Includes off: the position follows the one wait directly; no message within a segment.
    o.includeFov = o.includeTs = false;
    o.lookPlayer = true;
    EXPECT_EQ(line(false), "wait;freecamsetpos 120.00 -35.50 64.00;\r\n");
}

TEST(ScriptWriter, ShortPathIsOneFileWithoutChain) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(2, 10);
    trace.script.includeFov = trace.script.includeTs = false;
    trace.script.commandsBefore = "Setup\\cams\\setup.cfg";
    trace.script.commandsAfter = "no backslash: none";
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    EXPECT_EQ(r.files, (QStringList{game.Cams() + "1stPos.cfg", game.Cams() + "shot.cfg"}));
    const QByteArray text = ReadBytes(game.Cams() + "shot.cfg");
    EXPECT_FALSE(text.contains("Exec"));
    EXPECT_EQ(text.count("\nwait;set pos \"placeplayer "), 10);
    EXPECT_TRUE(text.contains("set saveposname pos\r\n\r\nexec cams\\setup.cfg\r\nwait;"));
    EXPECT_TRUE(text.endsWith("\";\r\n")); // nothing runs after
    EXPECT_EQ(trace.script.scriptBaseName, "shot");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].title.startsWith("Script creation in "));
    // Where the files went, the one to run and how many there are.
    EXPECT_EQ(dialogs.messages[0].text, "Successfully saved\r\n\r\n2 files in " +
                                            game.Cams().chopped(1) +
                                            "\r\nFirst file: shot.cfg\r\n\r\n"
                                            "Effective number of points:10");
}

TEST(ScriptWriter, LongPathChainsFilesAndPausesOnTheResumeKey) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(4, 1000);
    trace.script.includeMsg = trace.script.pauseEnabled = true;
    trace.script.pauseEveryText = "2";
    trace.script.bindKeyIndex = 33; // K
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    const int chained = static_cast<int>(r.files.size()) - 2;
    ASSERT_GE(chained, 3);
    auto name = [](int i) {
        return i == 0 ? QString("shot.cfg")
                      : QStringLiteral("shot%1.cfg").arg(i, 3, 10, QChar('0'));
    };
    int lines = 0;
    for (int i = 0; i <= chained; ++i) {
        EXPECT_EQ(r.files[i + 1], game.Cams() + name(i));
        const QByteArray text = ReadBytes(game.Cams() + name(i));
        const QByteArray last = text.split('\n').last();
        const QByteArray next = "cams\\" + name(i + 1).toLatin1() + "\"";
        if (i == chained)
            EXPECT_EQ(last, "") << "the tail ends with its line break";
        else if ((i + 1) % 2 == 0)
            EXPECT_EQ(last, "wait;bind K \"Exec " + next) << i;
        else
            EXPECT_EQ(last, "Exec \"" + next) << i;
        EXPECT_LE(text.size() - last.size(), kMaxScriptChars);
        lines += static_cast<int>(text.count("placeplayer"));
    }
    EXPECT_EQ(lines, 1000);
    EXPECT_TRUE(ReadBytes(r.files.last()).endsWith("Echo \"^2*** End ***\"\r\n"));
}

TEST(ScriptWriter, ANameThatWouldBreakTheChainIsRefused) {
    // folder and file, before script, pause on: refused (true) or written with quotes
    const std::tuple<QString, QString, bool, bool> cases[] = {
        {"cams/q\";quit.cfg", "", false, true},
        {"cams/shot.cfg", "Setup\\x;quit.cfg", false, true},
        {"my cams/shot.cfg", "", true, true}, // a bind's command cannot quote the blank
        {"my cams/shot.cfg", "Setup\\my setup.cfg", false, false},
    };
    for (const auto& [name, before, pause, refused] : cases) {
        GameFolder game(kGameDefrag);
        QDir(game.Mod()).mkpath("my cams");
        Trace trace = MakeTrace(4, 1000);
        trace.script.commandsBefore = before;
        trace.script.pauseEnabled = pause;
        ScriptedDialogs dialogs;
        const ScriptWriteResult r = Write(game, trace, dialogs, name);
        EXPECT_EQ(r.status, refused ? ScriptWriteStatus::Refused : ScriptWriteStatus::Written)
            << name.toStdString();
        if (refused) {
            EXPECT_TRUE(dialogs.messages.value(0).text.startsWith("The name '"));
            continue;
        }
        const QByteArray first = ReadBytes(game.Mod() + "/my cams/shot.cfg");
        EXPECT_TRUE(first.contains("\r\nexec \"my setup.cfg\"\r\n"));
        EXPECT_TRUE(first.endsWith("Exec \"my cams\\shot001.cfg\""));
    }
}

TEST(ScriptWriter, EtProStartFileInTheModFolderItself) {
    GameFolder game(kGameEtPro);
    Trace trace = MakeTrace(3, 301);
    trace.script.autoStartEnabled = true;
    trace.script.autoStartMsText = "3723004";
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, dialogs, "shot.cfg");
    const QString mod = game.Mod() + "/";
    EXPECT_EQ(r.files.mid(0, 3),
              (QStringList{mod + "1stPos.cfg", mod + "shot.cfg", mod + "shot000.cfg"}));
    // In the mod folder itself the exec names only the file.
    EXPECT_TRUE(ReadBytes(mod + "shot.cfg").endsWith("\r\n\r\nexec_at_time 3723004 shot000.cfg"));
    EXPECT_TRUE(ReadBytes(mod + "shot000.cfg").endsWith("Exec \"shot001.cfg\""));
}

TEST(ScriptWriter, CommaLocaleStillWritesPeriods) {
    ScopedLocale comma("fr_FR");
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(2, 4);
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    const QByteArray text = ReadBytes(r.files[1]);
    EXPECT_TRUE(text.contains("placeplayer 100.00 -35.50 84.00 -5.00 90.00 0.00\";"));
    EXPECT_FALSE(text.contains(','));
    EXPECT_TRUE(dialogs.messages[0].title.contains(',')); // the user's own format on screen
}

TEST(ScriptWriter, OnlyEarlierChainedFilesAreDeleted) {
    GameFolder game(kGameDefrag);
    // A chain's names are the base name and three digits; the user's own files stay.
    const QStringList gone = {"shot123.cfg", "shot999.cfg"};
    const QStringList kept = {"shot9.cfg", "shot_in.cfg", "shot12a.cfg", "other001.cfg",
                              "shot1234.cfg"};
    for (const QString& name : gone + kept)
        WriteFile(game.Cams() + name);
    Trace trace = MakeTrace(2, 4);
    ScriptedDialogs dialogs;
    Write(game, trace, dialogs);
    for (const QString& name : gone + kept)
        EXPECT_EQ(QFile::exists(game.Cams() + name), kept.contains(name)) << name.toStdString();
    EXPECT_TRUE(game.HiddenInCams().isEmpty()); // written through temporary names
}

// Removes what blocks a file as soon as the user is asked to retry.
class UnblockingDialogs : public ScriptedDialogs {
public:
    QString blocker;
    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override {
        QDir(blocker).removeRecursively();
        return ScriptedDialogs::Message(title, text, icon, buttons);
    }
};

TEST(ScriptWriter, FailedChainedFileAsksRetryOrCancel) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(4, 1000);
    QDir().mkpath(game.Cams() + "shot001.cfg/x"); // a folder where the file should go
    ScriptedDialogs cancel;
    EXPECT_EQ(Write(game, trace, cancel).status, ScriptWriteStatus::Failed);
    ASSERT_EQ(cancel.messages.size(), 1); // no success box
    EXPECT_EQ(cancel.messages[0].text, "Script saving error.\n" +
                                           QDir::toNativeSeparators(game.Cams() + "shot001.cfg") +
                                           "\nIs a directory");
    EXPECT_EQ(cancel.messages[0].buttons, MessageButtons::RetryCancel);
    EXPECT_TRUE(QFile::exists(game.Cams() + "shot002.cfg")); // the loop went on

    UnblockingDialogs retry;
    retry.blocker = game.Cams() + "shot001.cfg";
    retry.answers = {DialogAnswer::Retry};
    EXPECT_EQ(Write(game, trace, retry).status, ScriptWriteStatus::Written);
    EXPECT_TRUE(QFileInfo(game.Cams() + "shot001.cfg").isFile());
}

TEST(ScriptWriter, AFailedRunKeepsTheEarlierFiles) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(4, 1000);
    ScriptedDialogs first;
    ASSERT_EQ(Write(game, trace, first).status, ScriptWriteStatus::Written);
    const QByteArray before = ReadBytes(game.Cams() + "shot001.cfg");
    trace.script.includeMsg = true;
    ScriptedDialogs cancel;
    {
        const ScopedFileSizeLimit limit(1000); // 1stPos.cfg fits, no chained file does
        EXPECT_EQ(Write(game, trace, cancel).status, ScriptWriteStatus::Failed);
    }
    EXPECT_EQ(ReadBytes(game.Cams() + "shot001.cfg"), before);
    EXPECT_TRUE(game.HiddenInCams().isEmpty());
}

TEST(ScriptWriter, FailedStartFileCancelsTheRun) {
    GameFolder game(kGameEtPro);
    Trace trace = MakeTrace(2, 10);
    trace.script.autoStartEnabled = true;
    QDir().mkpath(game.Path("etpro/shot.cfg/x"));
    ScriptedDialogs dialogs;
    EXPECT_EQ(Write(game, trace, dialogs, "shot.cfg").status, ScriptWriteStatus::Cancelled);
    EXPECT_FALSE(QFile::exists(game.Path("etpro/shot000.cfg")));
    EXPECT_TRUE(QFile::exists(game.Path("etpro/1stPos.cfg")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              "Script saving error.\n" + game.Path("etpro/shot.cfg") + "\nIs a directory");
}

TEST(ScriptWriter, RefusesChainsTheNumbersCannotName) {
    GameFolder game(kGameDefrag);
    const ScriptLocation loc = LocateScript(game.Cams() + "shot.cfg", kGameDefrag);
    CameraScript script;
    script.scripts.resize(kMaxChainNumber + 2, QByteArray("wait;\r\n"));
    ScriptedDialogs dialogs;
    EXPECT_EQ(WriteCameraScript(script, loc, ScriptRunOptions{}, dialogs).status,
              ScriptWriteStatus::Refused);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("1001"));
    EXPECT_TRUE(QDir(loc.folder).isEmpty());
    script.scripts.pop_back(); // 999 chained files after the first: still fine
    EXPECT_EQ(WriteCameraScript(script, loc, ScriptRunOptions{}, dialogs).status,
              ScriptWriteStatus::Written);
    EXPECT_TRUE(QFile::exists(loc.folder + "shot999.cfg"));
}

TEST(ScriptWriter, NothingWithoutAPathOrAChosenPlace) {
    GameFolder game(kGameDefrag);
    Trace one = MakeTrace(1, 10), trace = MakeTrace(2, 10);
    ScriptedDialogs dialogs;
    EXPECT_EQ(Write(game, one, dialogs).status, ScriptWriteStatus::NoPath);
    dialogs.answers = {DialogAnswer::No}; // outside a mod folder
    UniformRandom rng;
    EXPECT_EQ(
        CreateCameraScript(game.Path("elsewhere.cfg"), trace, kGameDefrag, dialogs, rng).status,
        ScriptWriteStatus::Declined);
    EXPECT_FALSE(QFile::exists(game.Path("elsewhere.cfg")));

    // From the editor's command: the folder and name are remembered only once written.
    QString lastFolder = game.Mod();
    dialogs.paths = {std::nullopt, game.Cams() + "take2.cfg"};
    EXPECT_EQ(CreateScriptFromDialog(trace, kGameDefrag, lastFolder, dialogs, rng).status,
              ScriptWriteStatus::NotChosen);
    EXPECT_EQ(lastFolder, game.Mod());
    EXPECT_EQ(CreateScriptFromDialog(trace, kGameDefrag, lastFolder, dialogs, rng).status,
              ScriptWriteStatus::Written);
    EXPECT_EQ(lastFolder, game.Path("defrag/cams"));
    EXPECT_EQ(trace.script.scriptBaseName, "take2");
}

// Golden files: every file of a run, byte for byte. KESTROVA_UPDATE_GOLDEN=1 rewrites them.
void WriteGolden(int g, int controls, int32_t points, int wiggled, float wgA, int wgF,
                 const ScriptRunOptions& s, const QString& goldenName) {
    GameFolder game(g);
    Trace trace = MakeTrace(controls, points);
    trace.points.rec[kControl][wiggled].wgA = wgA;
    trace.points.rec[kControl][wiggled].wgF = wgF;
    trace.script = s;
    trace.script.includeFov = trace.script.includeTs = trace.script.includeMsg = true;
    trace.script.pauseEnabled = trace.script.autoStartEnabled = true;
    ScriptedDialogs dialogs;
    ASSERT_EQ(Write(game, trace, dialogs, "cams/golden.cfg", 42).status,
              ScriptWriteStatus::Written);
    const QString golden = KESTROVA_TEST_DATA "/scripts/" + goldenName;
    const QStringList produced = QDir(game.Cams()).entryList(QDir::Files, QDir::Name);
    if (qEnvironmentVariableIsSet("KESTROVA_UPDATE_GOLDEN")) {
        QDir(golden).removeRecursively();
        QDir().mkpath(golden);
        for (const QString& f : produced)
            QFile::copy(game.Cams() + f, golden + "/" + f);
    }
    EXPECT_EQ(produced, QDir(golden).entryList(QDir::Files, QDir::Name));
    for (const QString& f : produced)
        EXPECT_EQ(ReadBytes(game.Cams() + f), ReadBytes(golden + "/" + f)) << f.toStdString();
}

TEST(ScriptGolden, DefragAllOptions) {
    ScriptRunOptions s;
    s.cameraMode = 2;
    s.player = 7;
    s.pauseEveryText = "2";
    s.bindKeyIndex = 76;        // Num. 5
    s.autoStartMsText = "5000"; // Defrag has no start file
    s.commandsBefore = "Before\\cams\\before.cfg";
    s.commandsAfter = "After\\cams\\after.cfg";
    WriteGolden(kGameDefrag, 4, 301, 2, 4.0f, 5, s, "defrag_all");
}

TEST(ScriptGolden, EtProAllOptions) {
    ScriptRunOptions s;
    s.cameraMode = 1;
    s.player = 12;
    s.pauseEveryText = "1";
    s.bindKeyIndex = 4; // ;
    s.autoStartMsText = "3723004";
    s.commandsBefore = "Before\\before.cfg";
    s.commandsAfter = "After\\after.cfg";
    WriteGolden(kGameEtPro, 3, 241, 1, 2.5f, 1, s, "etpro_all");
}

TEST(ScriptLocation, RelativeFolderFromTheModFolder) {
    GameFolder game(kGameDefrag);
    game.root.mkpath("defrag/cams/deep");

    const ScriptLocation deep = LocateScript(game.Path("defrag/cams/deep/run.v2.cfg"), kGameDefrag);
    EXPECT_EQ(
        std::tuple(deep.baseName, deep.folder, deep.modFolder, deep.relativeFolder),
        std::tuple(QString("run.v2"), game.Cams() + "deep/", game.Mod(), QString("cams\\deep\\")));

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
    EXPECT_EQ(
        std::tuple(r.folder, r.fileName, r.filter),
        std::tuple(game.Path("defrag/cams"), QString("intro"), QString("Defrag script (*.cfg)")));
    EXPECT_EQ(dialogs.fileDialogs[1].request.folder, ""); // a folder that no longer exists
    EXPECT_EQ(ScriptFolderOf(game.Path("defrag/cams/x.cfg")), game.Path("defrag/cams"));
}

} // namespace
} // namespace kestrova::test
