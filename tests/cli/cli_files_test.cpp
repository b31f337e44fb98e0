#include "core/files/text_file.h"
#include "core/files/trace_file.h"
#include "core/model/point_fields.h"
#include "support/cli_runner.h"

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
    c.stepText = {QStringLiteral("7"), QStringLiteral("1000")};
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

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(CliCheck, WritesBackWhatTheEditorWouldSave) {
    QTemporaryDir dir;
    for (const char* locale : {"en_US", "fr_FR"}) {
        const QString path = WriteTrace(dir, "t.dfkv", QString::fromLatin1(locale));
        const CliResult r =
            RunCli({QStringLiteral("check"), path, QStringLiteral("--locale"), locale});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Step counts are normalized on reading (7 with four points gives 7), the rest is kept.
        EXPECT_EQ(r.out.toLatin1(), Bytes(path)) << locale;
        EXPECT_TRUE(r.err.isEmpty());
    }
    const QString demo =
        WriteTrace(dir, "d.dfkv", QStringLiteral("en_US"), 2, QStringLiteral("run 1"));
    const CliResult r = RunCli({QStringLiteral("check"), demo});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("warning: Load a curve: run 1 demo not found.")))
        << r.err.toStdString();
}

TEST(CliCheck, RefusesWhatItCannotRead) {
    QTemporaryDir dir;
    const CliResult missing = RunCli({QStringLiteral("check"), dir.filePath("none.dfkv")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Data reading error.")));
    EXPECT_TRUE(missing.out.isEmpty());
    ASSERT_TRUE(WriteWholeFile(dir.filePath("bin"), QByteArray("\x00\x01\x02", 3)));
    EXPECT_EQ(RunCli({QStringLiteral("check"), dir.filePath("bin")}).exitCode, 2);

    QByteArray many = "game_mod 1\r\n";
    for (int i = 0; i < 255; ++i)
        many += "ctl:1;2;3;\r\n";
    ASSERT_TRUE(WriteWholeFile(dir.filePath("many.dfkv"), many));
    const CliResult r = RunCli({QStringLiteral("check"), dir.filePath("many.dfkv")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("5 points will not be imported.")));
    EXPECT_EQ(r.out.count(QStringLiteral("ctl:")), 250);
}

TEST(CliPath, PrintsOneLinePerPathPoint) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", QStringLiteral("en_US"));
    const CliResult r = RunCli({QStringLiteral("path"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0], QStringLiteral("index;segment;x;y;z;pitch;yaw;roll;fov;ts"));
    ASSERT_EQ(lines.size(), 1 + 7); // the trace's own point count
    EXPECT_EQ(lines[1], QStringLiteral("0;1;100.5;12.25;0;10;0;0;90;1"));
    EXPECT_EQ(lines[7], QStringLiteral("6;4;402;12.25;0;40;0;0;90;1"));

    const CliResult s =
        RunCli({QStringLiteral("path"), path, QStringLiteral("--points"), QStringLiteral("100"),
                QStringLiteral("--script-pitch"), QStringLiteral("--seed"), QStringLiteral("3")});
    ASSERT_EQ(s.exitCode, 0);
    const QStringList sl = s.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(sl.size(), 1 + 100); // 100 normalizes to 100 for four points (33 per segment)
    EXPECT_EQ(sl.last().split(';')[5], QStringLiteral("-40"));
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
    const CliResult r =
        RunCli({QStringLiteral("path"), wide, QStringLiteral("--points"), QStringLiteral("4")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("nan")));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4);
    EXPECT_NEAR(lines[2].split(';')[6].toDouble() / 1e38, 11.0 / 9.0, 1e-6);

    // -3.4e38, 3.4e38, 1.7e38 overshoots the float range after the second point: nothing is
    // written, and every command says where.
    const QString over = write("over.dfkv", {"-3.4e38", "3.4e38", "1.7e38"});
    const QString where = QStringLiteral("after control point 2 (field yaw)");
    const CliResult p = RunCli({QStringLiteral("path"), over});
    EXPECT_EQ(p.exitCode, 1);
    EXPECT_TRUE(p.err.contains(where)) << p.err.toStdString();
    const QString exported = dir.filePath("x.kv3dsx");
    const CliResult e = RunCli({QStringLiteral("export"), over, QStringLiteral("-o"), exported,
                                QStringLiteral("--frames"), QStringLiteral("21")});
    EXPECT_EQ(e.exitCode, 1);
    EXPECT_TRUE(e.err.contains(where)) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(exported));
    const CliResult s =
        RunCli({QStringLiteral("script"), over, QStringLiteral("-o"), dir.filePath("cam.cfg")});
    EXPECT_EQ(s.exitCode, 1);
    EXPECT_TRUE(s.err.contains(where)) << s.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("cam.cfg")));
}

TEST(CliExport, WritesTheExchangeFile) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", QStringLiteral("fr_FR"));
    const QString out = dir.filePath("cam.kv3dsx");
    const CliResult r =
        RunCli({QStringLiteral("--locale"), QStringLiteral("fr_FR"), QStringLiteral("export"), path,
                QStringLiteral("-o"), out, QStringLiteral("--frames"), QStringLiteral("10")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Effective number of points: 10\n"));
    const QStringList lines = *ReadFileLines(out);
    EXPECT_EQ(lines[1], QStringLiteral("param:animRate;30"));
    EXPECT_EQ(lines[11], QStringLiteral("cam:402.00;12.25;0.00;-40.00;0.00;0.00;90.00"));
    EXPECT_EQ(lines[12], QStringLiteral("ref:1234.50;0.00;0.00"));
}

TEST(CliErrors, OneLineAndANonZeroExit) {
    QTemporaryDir dir;
    const QString path = WriteTrace(dir, "t.dfkv", QStringLiteral("en_US"));
    const QList<QStringList> bad = {
        {QStringLiteral("path"), path, QStringLiteral("--bogus")},
        {QStringLiteral("path"), path, QStringLiteral("--points"), QStringLiteral("x")},
        {QStringLiteral("export"), path},
        {QStringLiteral("export"), path, QStringLiteral("-o"), dir.filePath("no/dir/x")},
        {QStringLiteral("export"), path, QStringLiteral("-o")},
        {QStringLiteral("check")},
        {QStringLiteral("check"), path, QStringLiteral("--locale"), QStringLiteral("xx_nowhere")},
        {QStringLiteral("--locale"), QStringLiteral("fr_FR")},
    };
    for (const QStringList& args : bad) {
        const CliResult r = RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("kestrova3d-cli: ")));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
    EXPECT_EQ(RunCli({QStringLiteral("path"), QStringLiteral("--version")}).out,
              QStringLiteral("0.9.9.0\n"));
    const CliResult help = RunCli({QStringLiteral("path"), QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: kestrova3d-cli path")));
}

} // namespace
} // namespace kestrova::test
