#include "core/files/text_file.h"
#include "support/cli_runner.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// Control points along x at 0, 100, 1000 and 3000 with flat handles: as built, the camera
// slows down to a stop at every control point. 301 points at constant speed step 10 units.
QString WriteTrace(const QTemporaryDir& dir, bool constantSpeed) {
    QByteArray text = "game_mod 1\r\nstep1 301\r\n";
    if (constantSpeed)
        text += "constant_speed 1\r\n";
    text += "\r\n";
    for (const char* x : {"0", "100", "1000", "3000"})
        text += QByteArray("ctl:") + x + ";0;0;0;0;0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n";
    const QString path =
        dir.filePath(constantSpeed ? QStringLiteral("even.dfkv") : QStringLiteral("plain.dfkv"));
    EXPECT_TRUE(WriteWholeFile(path, text));
    return path;
}

QList<double> Captured(const QString& text, const QString& pattern) {
    QList<double> values;
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    for (auto it = re.globalMatch(text); it.hasNext();)
        values << it.next().captured(1).toDouble();
    return values;
}

TEST(CliConstantSpeed, PathExportAndScriptTakeEvenSteps) {
    QTemporaryDir dir;
    const QString even = WriteTrace(dir, true);

    const CliResult path = RunCli({QStringLiteral("path"), even});
    ASSERT_EQ(path.exitCode, 0) << path.err.toStdString();
    const QList<double> xs = Captured(path.out, QStringLiteral("^\\d+;\\d+;([-0-9.e]+);"));
    ASSERT_EQ(xs.size(), 301);
    for (int i = 0; i < xs.size(); ++i)
        EXPECT_NEAR(xs[i], 10.0 * i, 1e-3) << i;

    const QString exported = dir.filePath(QStringLiteral("even.kv3dsx"));
    const CliResult ex = RunCli({QStringLiteral("export"), even, QStringLiteral("-o"), exported,
                                 QStringLiteral("--frames"), QStringLiteral("301")});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.toStdString();
    QFile f(exported);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<double> cams =
        Captured(QString::fromLatin1(f.readAll()), QStringLiteral("^cam:([-0-9.]+);"));
    ASSERT_EQ(cams.size(), 301);
    for (int i = 0; i < cams.size(); ++i)
        EXPECT_DOUBLE_EQ(cams[i], 10.0 * i) << i;

    QDir root(dir.path());
    root.mkpath(QStringLiteral("q3/defrag/cams"));
    QFile exe(root.filePath(QStringLiteral("q3/quake3")));
    ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
    const QString script = root.filePath(QStringLiteral("q3/defrag/cams/fly.cfg"));
    const CliResult sc = RunCli({QStringLiteral("script"), even, QStringLiteral("-o"), script});
    ASSERT_EQ(sc.exitCode, 0) << sc.err.toStdString();
    QFile s(script);
    ASSERT_TRUE(s.open(QIODevice::ReadOnly));
    const QList<double> placed =
        Captured(QString::fromLatin1(s.readAll()), QStringLiteral("placeplayer ([-0-9.]+) "));
    ASSERT_GT(placed.size(), 100);
    for (int i = 1; i < placed.size(); ++i)
        EXPECT_NEAR(placed[i] - placed[i - 1], 10.0, 1e-9) << i;
}

TEST(CliConstantSpeed, WithoutTheKeyThePathIsAsBuilt) {
    QTemporaryDir dir;
    const CliResult plain = RunCli({QStringLiteral("path"), WriteTrace(dir, false)});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    const QList<double> xs = Captured(plain.out, QStringLiteral("^\\d+;\\d+;([-0-9.e]+);"));
    ASSERT_EQ(xs.size(), 301);
    // 100 points per segment: control point 2 at index 100, not at index 10.
    EXPECT_DOUBLE_EQ(xs[100], 100.0);
    EXPECT_LT(xs[10], 10.0);

    // check writes the key back only when it is on.
    const CliResult on = RunCli({QStringLiteral("check"), WriteTrace(dir, true)});
    ASSERT_EQ(on.exitCode, 0);
    EXPECT_TRUE(on.out.contains(QStringLiteral("\tconstant_speed   1\r\n")));
    const CliResult off = RunCli({QStringLiteral("check"), WriteTrace(dir, false)});
    ASSERT_EQ(off.exitCode, 0);
    EXPECT_FALSE(off.out.contains(QStringLiteral("constant_speed")));
}

} // namespace
} // namespace kestrova::test
