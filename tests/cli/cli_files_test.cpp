#include "core/files/text_file.h"
#include "core/files/trace_file.h"
#include "core/model/point_fields.h"
#include "support/cli_runner.h"
#include "support/test_files.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// A small Defrag trace written by the editor's own writer under a given locale.
QString WriteTrace(const QTemporaryDir& dir, const char* name, const QString& locale,
                   int controls = 4, const QString& demo = {}) {
    const QLocale saved;
    QLocale::setDefault(QLocale(locale));
    TraceFileContents c;
    c.game = 1;
    c.demoName = demo;
    c.stepText = {"7", "1000"};
    c.aviDemo = 30;
    c.aviDemos = {30}; // the editor lists the chosen rate
    PointTables& t = c.points;
    t.count = {controls, 1};
    for (int i = 1; i <= controls; ++i) {
        SetPointField(t, kControl, i, kFieldX, 100.5f * i);
        SetPointField(t, kControl, i, kFieldY, 12.25f);
        SetPointField(t, kControl, i, kFieldPitch, 10.0f * i);
        SetPointField(t, kControl, i, kFieldFov, 90);
        SetPointField(t, kControl, i, kFieldTs, 1);
    }
    SetPointField(t, kReference, 1, kFieldX, 1234.5f);
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(WriteTraceFile(path, c));
    QLocale::setDefault(saved);
    return path;
}

TEST(CliCheck, WritesBackWhatTheEditorWouldSave) {
    QTemporaryDir dir;
    for (const char* locale : {"en_US", "fr_FR"}) {
        const QString path = WriteTrace(dir, "t.dfkv", QString::fromLatin1(locale));
        const CliResult r = RunCli({"check", path, "--locale", locale});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Step counts are normalized on reading (7 with four points gives 7), the rest is kept.
        EXPECT_EQ(r.out.toLatin1(), ReadBytes(path)) << locale;
        EXPECT_TRUE(r.err.isEmpty());
    }
    const QString demo = WriteTrace(dir, "d.dfkv", "en_US", 2, "run 1");
    const CliResult r = RunCli({"check", demo});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("warning: Load a curve: run 1 demo not found."))
        << r.err.toStdString();
}

TEST(CliCheck, RefusesWhatItCannotRead) {
    QTemporaryDir dir;
    const CliResult missing = RunCli({"check", dir.filePath("none.dfkv")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("Data reading error."));
    EXPECT_TRUE(missing.out.isEmpty());
    ASSERT_TRUE(WriteWholeFile(dir.filePath("bin"), QByteArray("\x00\x01\x02", 3)));
    EXPECT_EQ(RunCli({"check", dir.filePath("bin")}).exitCode, 2);

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

TEST(CliPath, ExtremeAnglesGiveNumbersOrARefusalNamingThePoint) {
    QTemporaryDir dir;
    auto write = [&](const char* name, const QList<const char*>& yaws) {
        QByteArray text = "game_mod 1\r\nstep1 21\r\n\r\n";
        for (const char* yaw : yaws)
            text += QByteArray("ctl:0;0;0;0;") + yaw + ";0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n";
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(WriteWholeFile(path, text));
        return path;
    };
    // 3e38 to -3e38 over four path points (one segment keeps any count). At t = 1/3 the spline
    // gives (3 - 3 t - 9 t^2 + 6 t^3) 1e38 = 11/9 1e38, with no overflow on the way.
    const QString wide = write("wide.dfkv", {"3e38", "-3e38"});
    const CliResult r = RunCli({"path", wide, "--points", "4"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("nan"));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4);
    EXPECT_NEAR(lines[2].split(';')[6].toDouble() / 1e38, 11.0 / 9.0, 1e-6);

    // -3.4e38, 3.4e38, 1.7e38 overshoots the float range after the second point: nothing is
    // written, and every command says where.
    const QString over = write("over.dfkv", {"-3.4e38", "3.4e38", "1.7e38"});
    const QString where = "after control point 2 (field yaw)";
    const CliResult p = RunCli({"path", over});
    EXPECT_EQ(p.exitCode, 1);
    EXPECT_TRUE(p.err.contains(where)) << p.err.toStdString();
    const QString exported = dir.filePath("x.kv3dsx");
    const CliResult e = RunCli({"export", over, "-o", exported, "--frames", "21"});
    EXPECT_EQ(e.exitCode, 1);
    EXPECT_TRUE(e.err.contains(where)) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(exported));
    const CliResult s = RunCli({"script", over, "-o", dir.filePath("cam.cfg")});
    EXPECT_EQ(s.exitCode, 1);
    EXPECT_TRUE(s.err.contains(where)) << s.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("cam.cfg")));
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
    };
    for (const QStringList& args : bad) {
        const CliResult r = RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("kestrova3d-cli: "));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
    const CliResult unknown = RunCli({"frobnicate"});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.err.contains("frobnicate")) << unknown.err.toStdString();
    for (const QStringList& args : {QStringList{"--version"}, QStringList{"path", "--version"}}) {
        const CliResult v = RunCli(args);
        EXPECT_EQ(v.exitCode, 0);
        EXPECT_EQ(v.out, "0.9.9.0\n");
    }
    const CliResult help = RunCli({"path", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: kestrova3d-cli path"));
}

} // namespace
} // namespace kestrova::test
