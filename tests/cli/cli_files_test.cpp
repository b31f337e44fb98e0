#include "core/files/text_file.h"
#include "core/files/trace_file.h"
#include "core/model/point_fields.h"
#include "support/cli_runner.h"
#include "support/device_nodes.h"
#include "support/scoped_locale.h"
#include "support/test_files.h"

#include <QTemporaryDir>

namespace kestrova::test {
namespace {

// A small Defrag trace written by the editor's own writer under a given locale.
QString WriteTrace(const QTemporaryDir& dir, const char* name, const char* locale, int controls = 4,
                   const QString& demo = {}) {
    ScopedLocale scoped(locale);
    TraceFileContents c;
    c.game = 1;
    c.demoName = demo;
    c.stepText = {"7", "1000"};
    c.aviDemo = 30;
    c.aviDemos = {30}; // the editor lists the chosen rate
    c.points.count = {controls, 1};
    for (int i = 1; i <= controls; ++i)
        for (const auto& [field, v] : {std::pair{kFieldX, 100.5f * i},
                                       {kFieldY, 12.25f},
                                       {kFieldPitch, 10.0f * i},
                                       {kFieldFov, 90.0f},
                                       {kFieldTs, 1.0f}})
            SetPointField(c.points, kControl, i, field, v);
    SetPointField(c.points, kReference, 1, kFieldX, 1234.5f);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteTraceFile(path, c));
    return path;
}

TEST(CliCheck, WritesBackWhatTheEditorWouldSave) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "fr_FR");
    const CliResult check = RunCli({"check", path, "--locale", "fr_FR"});
    ASSERT_EQ(check.exitCode, 0) << check.err.toStdString();
    // Step counts are normalized on reading (7 with four points gives 7), the rest is kept.
    EXPECT_EQ(check.out.toLatin1(), ReadBytes(path));
    EXPECT_TRUE(check.err.isEmpty());
    const CliResult r = RunCli({"check", WriteTrace(dir, "d.dfkv", "en_US", 2, "run 1")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("warning: Load a curve: run 1 demo not found."))
        << r.err.toStdString();
}

TEST(CliCheck, RefusesWhatItCannotRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.filePath("bin"), QByteArray("\x00\x01\x02", 3)));
    for (const auto& [name, reason] :
         {std::pair{"none.dfkv", "No such file or directory"}, {"bin", "Data reading error."}}) {
        const CliResult r = RunCli({"check", dir.filePath(name)});
        EXPECT_EQ(r.exitCode, 2) << name;
        EXPECT_TRUE(r.err.endsWith(QString(reason) + "\n")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const CliResult script =
        RunCli({"script", dir.filePath("none.dfkv"), "-o", dir.filePath("x.cfg")});
    EXPECT_NE(script.exitCode, 0);
    EXPECT_EQ(script.err.count('\n'), 1) << script.err.toStdString();
    QByteArray many = "game_mod 1\r\n";
    for (int i = 0; i < 255; ++i)
        many += "ctl:1;2;3;\r\n";
    ASSERT_TRUE(WriteWholeFile(dir.filePath("many.dfkv"), many));
    const CliResult r = RunCli({"check", dir.filePath("many.dfkv")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("5 points will not be imported."));
    EXPECT_EQ(r.out.count("ctl:"), 250);
}

TEST(CliPath, PrintsOneLinePerPathPoint) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "en_US");
    const CliResult r = RunCli({"path", path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0], "index;segment;x;y;z;pitch;yaw;roll;fov;ts");
    ASSERT_EQ(lines.size(), 1 + 7); // the trace's own point count
    EXPECT_EQ(lines[1], "0;1;100.5;12.25;0;10;0;0;90;1");
    EXPECT_EQ(lines[7], "6;4;402;12.25;0;40;0;0;90;1");

    const CliResult s = RunCli({"path", path, "--points", "100", "--script-pitch", "--seed", "3"});
    ASSERT_EQ(s.exitCode, 0);
    const QStringList sl = s.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(sl.size(), 1 + 100); // 100 normalizes to 100 for four points (33 per segment)
    EXPECT_EQ(sl.last().split(';')[5], "-40");
    // Every value reads back to the same float.
    for (const QString& l : sl.mid(1))
        for (const QString& v : l.split(';'))
            EXPECT_EQ(QString::number(v.toFloat(), 'g', 9).toFloat(), v.toFloat());
}

TEST(CliPath, APathLeavingTheFloatRangeIsRefusedNamingThePoint) {
    QTemporaryDir dir;
    // -3.4e38, 3.4e38, 1.7e38 overshoots the float range after the second point: nothing is
    // written, and every command says where.
    QByteArray text = "game_mod 1\r\nstep1 21\r\n\r\n";
    for (const char* yaw : {"-3.4e38", "3.4e38", "1.7e38"})
        text += QByteArray("ctl:0;0;0;0;") + yaw + ";0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n";
    const QString over = dir.filePath("over.dfkv"), out = dir.filePath("out");
    ASSERT_TRUE(WriteWholeFile(over, text));
    for (const QStringList& args :
         {QStringList{"path", over}, QStringList{"export", over, "-o", out, "--frames", "21"},
          QStringList{"script", over, "-o", out}}) {
        const CliResult e = RunCli(args);
        EXPECT_EQ(e.exitCode, 1) << args[0].toStdString();
        EXPECT_TRUE(e.err.contains("after control point 2 (field yaw)")) << e.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliExport, WritesTheExchangeFile) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "fr_FR");
    const QString out = dir.filePath("cam.kv3dsx");
    const CliResult r = RunCli({"--locale", "fr_FR", "export", path, "-o", out, "--frames", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Effective number of points: 10\n");
    const QStringList lines = *ReadFileLines(out);
    EXPECT_EQ(lines[1], "param:animRate;30");
    EXPECT_EQ(lines[11], "cam:402.00;12.25;0.00;-40.00;0.00;0.00;90.00");
    EXPECT_EQ(lines[12], "ref:1234.50;0.00;0.00");
}

TEST(CliExport, WritesIntoADeviceOrAPipeAndNeverReplacesIt) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "en_US");
    const QString nulldev = dir.filePath("nulldev");
    if (!MakeCharDevice(nulldev, 1, 3))
        GTEST_SKIP() << "making device nodes is not permitted here";
    const CliResult r = RunCli({"export", path, "-o", nulldev});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(KindAt(nulldev), 'c');
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden),
              (QStringList{".", "..", "nulldev", "t.dfkv"}));
}

TEST(CliExport, StandardOutputSentToAFileIsAppendedToNotReplaced) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "en_US");
    WriteFile(dir.filePath("log"), "before\n"); // as ">> log" leaves it
    QProcess p;
    p.setStandardOutputFile(dir.filePath("log"), QIODevice::Append);
    p.start(KESTROVA_CLI, {"export", path, "-o", "/proc/self/fd/1", "--frames", "10"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QStringList lines = *ReadFileLines(dir.filePath("log"));
    EXPECT_EQ(lines.first(), "before");
    EXPECT_EQ(lines.filter("cam:").size(), 10);
    EXPECT_EQ(lines.last(), "Effective number of points: 10");
}

TEST(CliScript, WritesTheSameFilesForTheSameSeedAndWarnsOutsideAModFolder) {
    const QString example = KESTROVA_TEST_DATA "/../../examples/example.dfkv";
    QTemporaryDir dir;
    WriteFile(dir.filePath("q3/quake3")); // a Quake 3 folder: the executable beside the mod
    QDir().mkpath(dir.filePath("q3/defrag/cams"));
    const QString out = dir.filePath("q3/defrag/cams/fly.cfg");
    const CliResult r = RunCli({"script", example, "-o", out, "--seed", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Effective number of points: "));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray first = ReadBytes(out);
    ASSERT_TRUE(first.startsWith("// Kestrova 3D 0.9.9.0\r\n"));
    EXPECT_TRUE(first.contains("set pos \"placeplayer "));
    EXPECT_TRUE(QFile::exists(dir.filePath("q3/defrag/cams/1stPos.cfg")));
    ASSERT_EQ(RunCli({"script", example, "-o", out, "--seed", "5"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(out), first);

    const CliResult loose = RunCli({"script", example, "-o", dir.filePath("loose.cfg")});
    EXPECT_EQ(loose.exitCode, 0) << loose.err.toStdString();
    EXPECT_TRUE(loose.err.contains("not inside the game's mod folder"));
    EXPECT_TRUE(QFile::exists(dir.filePath("loose.cfg")));
}

TEST(CliErrors, OneLineAndANonZeroExit) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", "en_US");
    const QList<QStringList> bad = {
        {"path", path, "--bogus"},
        {"path", path, "--points", "x"},
        {"export", path},
        {"export", path, "-o", dir.filePath("no/dir/x")},
        {"export", path, "-o"},
        {"check"},
        {"check", path, "--locale", "xx_nowhere"},
        {"--locale", "fr_FR"},
        {"script", path},
    };
    for (const QStringList& args : bad) {
        const CliResult r = RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("kestrova3d-cli: ")) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
    const CliResult unknown = RunCli({"frobnicate"});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.err.contains("frobnicate")) << unknown.err.toStdString();
    for (const QStringList& args : {QStringList{"--version"}, QStringList{"path", "--version"}})
        EXPECT_EQ(RunCli(args).out, "0.9.9.0\n");
    const CliResult help = RunCli({"path", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: kestrova3d-cli path"));
}

} // namespace
} // namespace kestrova::test
