#include "core/numbers.h"
#include "core/script/script_writer.h"
#include "script_fixture.h"
#include "support/scoped_file_size_limit.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"

#include <random>

namespace kestrova::test {
namespace {

// Runs the whole writer into the fixture's "cams" folder.
ScriptWriteResult Write(GameFolder& game, Trace& trace, int g, ScriptedDialogs& dialogs,
                        const QString& name = "cams/shot.cfg", uint64_t seed = 7) {
    UniformRandom rng(seed);
    return CreateCameraScript(game.Path(game.modName + "/" + name), trace, g, dialogs, rng);
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

    o.game = kGameDefrag;
    QByteArray df;
    AppendScriptLine(df, p, true, o);
    EXPECT_EQ(df, "Echo \"^2seg: 3 - 4\"\r\n"
                  "wait;cg_fov 90.00;timescale 0.50;df_demos_CameraTransitionSpeed 500.00;wait;"
                  "set pos \"placeplayer 120.00 -35.50 64.00 -10.00 90.00 0.00\";\r\n");
    o.game = kGameEtPro;
    QByteArray et;
    AppendScriptLine(et, p, true, o);
    EXPECT_EQ(et, "Echo \"^2seg: 3 - 4\"\r\n"
                  "wait;cg_fov 90.00;timescale 0.50;wait;"
                  "freecamsetpos 120.00 -35.50 64.00 -10.00 90.00 0.00;\r\n");

    // Includes off: the position follows the one wait directly; no message within a segment.
    o.includeFov = o.includeTs = false;
    o.lookPlayer = true;
    QByteArray bare;
    AppendScriptLine(bare, p, false, o);
    EXPECT_EQ(bare, "wait;freecamsetpos 120.00 -35.50 64.00;\r\n");
}

TEST(ScriptWriter, ShortPathIsOneFileWithoutChain) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(2, 10);
    trace.script.includeFov = trace.script.includeTs = false;
    trace.script.commandsBefore = "Setup\\cams\\setup.cfg";
    trace.script.commandsAfter = "no backslash: none";
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, kGameDefrag, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    const QString cams = game.Path("defrag/cams/");
    EXPECT_EQ(r.files, (QStringList{cams + "1stPos.cfg", cams + "shot.cfg"}));
    const QByteArray text = ReadBytes(cams + "shot.cfg");
    EXPECT_FALSE(text.contains("Exec"));
    EXPECT_EQ(text.count("\nwait;set pos \"placeplayer "), 10);
    EXPECT_TRUE(text.contains("set saveposname pos\r\n\r\nexec cams\\setup.cfg\r\nwait;"));
    EXPECT_TRUE(text.endsWith("\";\r\n")); // nothing runs after
    EXPECT_EQ(trace.script.scriptBaseName, "shot");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].title.startsWith("Script creation in "));
    EXPECT_EQ(dialogs.messages[0].text, "Successfully saved\r\n\r\nEffective number of points:10");
}

TEST(ScriptWriter, LongPathChainsFilesAndPausesOnTheResumeKey) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(4, 1000);
    trace.script.includeMsg = true;
    trace.script.pauseEnabled = true;
    trace.script.pauseEveryText = "2";
    trace.script.bindKeyIndex = 33; // K
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, kGameDefrag, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    const int chained = static_cast<int>(r.files.size()) - 2;
    ASSERT_GE(chained, 3);

    const QString cams = game.Path("defrag/cams/");
    int lines = 0;
    for (int i = 0; i <= chained; ++i) {
        const QString name = i == 0 ? "shot.cfg" : QString("shot%1.cfg").arg(i, 3, 10, QChar('0'));
        EXPECT_EQ(r.files[i + 1], cams + name);
        const QByteArray text = ReadBytes(cams + name);
        const QByteArray last = text.split('\n').last();
        const QByteArray next =
            QString("cams\\shot%1.cfg\"").arg(i + 1, 3, 10, QChar('0')).toLatin1();
        if (i == chained)
            EXPECT_EQ(last, "") << "the tail ends with its line break";
        else if ((i + 1) % 2 == 0)
            EXPECT_EQ(last, "wait;bind K \"Exec " + next) << name.toStdString();
        else
            EXPECT_EQ(last, "Exec \"" + next) << name.toStdString();
        EXPECT_LE(text.size() - last.size(), kMaxScriptChars);
        lines += static_cast<int>(text.count("placeplayer"));
    }
    EXPECT_EQ(lines, 1000);
    EXPECT_TRUE(ReadBytes(r.files.last()).endsWith("Echo \"^2*** End ***\"\r\n"));
}

TEST(ScriptWriter, EtProStartFileInTheModFolderItself) {
    GameFolder game(kGameEtPro);
    Trace trace = MakeTrace(3, 301);
    trace.script.autoStartEnabled = true;
    trace.script.autoStartMsText = "3723004";
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, kGameEtPro, dialogs, "shot.cfg");
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
    const ScriptWriteResult r = Write(game, trace, kGameDefrag, dialogs);
    ASSERT_EQ(r.status, ScriptWriteStatus::Written);
    const QByteArray text = ReadBytes(r.files[1]);
    EXPECT_TRUE(text.contains("placeplayer 100.00 -35.50 84.00 -5.00 90.00 0.00\";"));
    EXPECT_FALSE(text.contains(','));
    EXPECT_TRUE(dialogs.messages[0].title.contains(',')); // the user's own format on screen
}

TEST(ScriptWriter, OnlyEarlierChainedFilesAreDeleted) {
    GameFolder game(kGameDefrag);
    const QString cams = game.Path("defrag/cams/");
    // A chain's names are the base name and three digits; the user's own files stay.
    const QStringList gone = {"shot123.cfg", "shot999.cfg"};
    const QStringList kept = {"shot9.cfg", "shot_in.cfg", "shot12a.cfg", "other001.cfg",
                              "shot1234.cfg"};
    for (const QString& name : gone + kept)
        QFile(cams + name).open(QIODevice::WriteOnly);
    Trace trace = MakeTrace(2, 4);
    ScriptedDialogs dialogs;
    Write(game, trace, kGameDefrag, dialogs);
    for (const QString& name : gone)
        EXPECT_FALSE(QFile::exists(cams + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(cams + name)) << name.toStdString();
    // Written through temporary names that never stay behind.
    const QStringList hidden = QDir(cams).entryList({".*"}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(hidden.isEmpty()) << hidden.join(' ').toStdString();
}

// Removes what blocks a file as soon as the user is asked to retry.
class UnblockingDialogs : public ScriptedDialogs {
public:
    QString blocker;
    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override {
        if (!blocker.isEmpty())
            QDir(blocker).removeRecursively();
        return ScriptedDialogs::Message(title, text, icon, buttons);
    }
};

TEST(ScriptWriter, FailedChainedFileAsksRetryOrCancel) {
    GameFolder game(kGameDefrag);
    const QString cams = game.Path("defrag/cams/");
    Trace trace = MakeTrace(4, 1000);
    QDir().mkpath(cams + "shot001.cfg/x"); // a folder where the file should go

    ScriptedDialogs cancel;
    const ScriptWriteResult failed = Write(game, trace, kGameDefrag, cancel);
    EXPECT_EQ(failed.status, ScriptWriteStatus::Failed);
    ASSERT_EQ(cancel.messages.size(), 1); // no success box
    EXPECT_EQ(cancel.messages[0].text,
              "Script saving error.\n" + QDir::toNativeSeparators(cams + "shot001.cfg"));
    EXPECT_EQ(cancel.messages[0].buttons, MessageButtons::RetryCancel);
    EXPECT_TRUE(QFile::exists(cams + "shot002.cfg")); // the loop went on

    UnblockingDialogs retry;
    retry.blocker = cams + "shot001.cfg";
    retry.answers = {DialogAnswer::Retry};
    const ScriptWriteResult written = Write(game, trace, kGameDefrag, retry);
    EXPECT_EQ(written.status, ScriptWriteStatus::Written);
    EXPECT_TRUE(QFileInfo(cams + "shot001.cfg").isFile());
}

TEST(ScriptWriter, AFailedRunKeepsTheEarlierFiles) {
    GameFolder game(kGameDefrag);
    const QString cams = game.Path("defrag/cams/");
    Trace trace = MakeTrace(4, 1000);
    ScriptedDialogs first;
    ASSERT_EQ(Write(game, trace, kGameDefrag, first).status, ScriptWriteStatus::Written);
    const QByteArray before = ReadBytes(cams + "shot001.cfg");

    trace.script.includeMsg = true;
    ScriptedDialogs cancel;
    {
        const ScopedFileSizeLimit limit(1000); // 1stPos.cfg fits, no chained file does
        EXPECT_EQ(Write(game, trace, kGameDefrag, cancel).status, ScriptWriteStatus::Failed);
    }
    EXPECT_EQ(ReadBytes(cams + "shot001.cfg"), before);
    const QStringList hidden = QDir(cams).entryList({".*"}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(hidden.isEmpty()) << hidden.join(' ').toStdString();
}

TEST(ScriptWriter, FailedStartFileCancelsTheRun) {
    GameFolder game(kGameEtPro);
    Trace trace = MakeTrace(2, 10);
    trace.script.autoStartEnabled = true;
    QDir().mkpath(game.Path("etpro/shot.cfg/x"));
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = Write(game, trace, kGameEtPro, dialogs, "shot.cfg");
    EXPECT_EQ(r.status, ScriptWriteStatus::Cancelled);
    EXPECT_FALSE(QFile::exists(game.Path("etpro/shot000.cfg")));
    EXPECT_TRUE(QFile::exists(game.Path("etpro/1stPos.cfg")));
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST(ScriptWriter, RefusesChainsTheNumbersCannotName) {
    GameFolder game(kGameDefrag);
    const ScriptLocation loc = LocateScript(game.Path("defrag/cams/shot.cfg"), kGameDefrag);
    CameraScript script;
    script.scripts.resize(kMaxChainNumber + 2, QByteArray("wait;\r\n"));
    ScriptedDialogs dialogs;
    const ScriptWriteResult r = WriteCameraScript(script, loc, ScriptRunOptions{}, dialogs);
    EXPECT_EQ(r.status, ScriptWriteStatus::Refused);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("1001"));
    EXPECT_TRUE(QDir(loc.folder).isEmpty());

    script.scripts.pop_back(); // 999 chained files after the first: still fine
    EXPECT_EQ(WriteCameraScript(script, loc, ScriptRunOptions{}, dialogs).status,
              ScriptWriteStatus::Written);
    EXPECT_TRUE(QFile::exists(loc.folder + "shot999.cfg"));
}

TEST(ScriptWriter, NothingWithoutAPathOrWhenDeclined) {
    GameFolder game(kGameDefrag);
    Trace one = MakeTrace(1, 10);
    ScriptedDialogs dialogs;
    EXPECT_EQ(Write(game, one, kGameDefrag, dialogs).status, ScriptWriteStatus::NoPath);

    Trace trace = MakeTrace(2, 10);
    dialogs.answers = {DialogAnswer::No};
    UniformRandom rng;
    EXPECT_EQ(
        CreateCameraScript(game.Path("elsewhere.cfg"), trace, kGameDefrag, dialogs, rng).status,
        ScriptWriteStatus::Declined);
    EXPECT_FALSE(QFile::exists(game.Path("elsewhere.cfg")));
}

TEST(ScriptWriter, EditorCommandRemembersFolderAndName) {
    GameFolder game(kGameDefrag);
    Trace trace = MakeTrace(2, 10);
    QString lastFolder = game.Path("defrag");
    ScriptedDialogs dialogs;
    dialogs.paths = {std::nullopt, game.Path("defrag/cams/take2.cfg")};
    UniformRandom rng;
    EXPECT_EQ(CreateScriptFromDialog(trace, kGameDefrag, lastFolder, dialogs, rng).status,
              ScriptWriteStatus::NotChosen);
    EXPECT_EQ(lastFolder, game.Path("defrag"));
    EXPECT_EQ(CreateScriptFromDialog(trace, kGameDefrag, lastFolder, dialogs, rng).status,
              ScriptWriteStatus::Written);
    EXPECT_EQ(lastFolder, game.Path("defrag/cams"));
    EXPECT_EQ(trace.script.scriptBaseName, "take2");
    EXPECT_TRUE(QFile::exists(game.Path("defrag/cams/take2.cfg")));
}

// Golden files: every file of a run, byte for byte. KESTROVA_UPDATE_GOLDEN=1 rewrites them.
void CompareWithGolden(const QString& folder, const QString& goldenName) {
    const QString golden = QStringLiteral(KESTROVA_TEST_DATA "/scripts/") + goldenName;
    const bool update = qEnvironmentVariableIsSet("KESTROVA_UPDATE_GOLDEN");
    if (update) {
        QDir(golden).removeRecursively();
        QDir().mkpath(golden);
    }
    const QStringList produced = QDir(folder).entryList(QDir::Files, QDir::Name);
    if (update)
        for (const QString& f : produced)
            QFile::copy(folder + "/" + f, golden + "/" + f);
    EXPECT_EQ(produced, QDir(golden).entryList(QDir::Files, QDir::Name));
    for (const QString& f : produced)
        EXPECT_EQ(ReadBytes(folder + "/" + f), ReadBytes(golden + "/" + f)) << f.toStdString();
}

void WriteGolden(int g, int controls, int32_t points, int wiggled, float wgA, int wgF,
                 const ScriptRunOptions& s, const QString& golden) {
    GameFolder game(g);
    Trace trace = MakeTrace(controls, points);
    trace.points.rec[kControl][wiggled].wgA = wgA;
    trace.points.rec[kControl][wiggled].wgF = wgF;
    trace.script = s;
    trace.script.includeFov = trace.script.includeTs = trace.script.includeMsg = true;
    trace.script.pauseEnabled = trace.script.autoStartEnabled = true;
    ScriptedDialogs dialogs;
    ASSERT_EQ(Write(game, trace, g, dialogs, "cams/golden.cfg", 42).status,
              ScriptWriteStatus::Written);
    CompareWithGolden(game.Path(game.modName + "/cams"), golden);
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

} // namespace
} // namespace kestrova::test
