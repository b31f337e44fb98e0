#include "core/files/text_file.h"
#include "support/cli_runner.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

QList<double> Captured(const QString& text, const char* pattern) {
    QList<double> values;
    const QRegularExpression re(QString::fromLatin1(pattern), QRegularExpression::MultilineOption);
    for (auto it = re.globalMatch(text); it.hasNext();)
        values << it.next().captured(1).toDouble();
    return values;
}

// Control points along x at 0, 100, 1000 and 3000 with flat handles, 301 points: as built the
// camera stops at every control point; at constant speed it steps 10 units a frame.
TEST(CliConstantSpeed, PathAndExportFollowTheTraceKey) {
    QTemporaryDir dir;
    for (const bool even : {false, true}) {
        QByteArray text = even ? "game_mod 1\r\nstep1 301\r\nconstant_speed 1\r\n\r\n"
                               : "game_mod 1\r\nstep1 301\r\n\r\n";
        for (const char* x : {"0", "100", "1000", "3000"})
            text += QByteArray("ctl:") + x + ";0;0;0;0;0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n";
        const QString trace = dir.filePath(QStringLiteral("t.dfkv"));
        ASSERT_TRUE(WriteWholeFile(trace, text));

        const CliResult path = RunCli({QStringLiteral("path"), trace});
        ASSERT_EQ(path.exitCode, 0) << path.err.toStdString();
        const QList<double> xs = Captured(path.out, "^\\d+;\\d+;([-0-9.e]+);");
        ASSERT_EQ(xs.size(), 301);
        EXPECT_DOUBLE_EQ(xs[100], even ? 1000.0 : 100.0); // control point 2 at index 100 as built
        if (!even)
            continue;
        for (int i = 0; i < xs.size(); ++i)
            EXPECT_NEAR(xs[i], 10.0 * i, 1e-3) << i;

        const QString exported = dir.filePath(QStringLiteral("t.kv3dsx"));
        const CliResult ex = RunCli({QStringLiteral("export"), trace, QStringLiteral("-o"),
                                     exported, QStringLiteral("--frames"), QStringLiteral("301")});
        ASSERT_EQ(ex.exitCode, 0) << ex.err.toStdString();
        QFile f(exported);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QList<double> cams = Captured(QString::fromLatin1(f.readAll()), "^cam:([-0-9.]+);");
        ASSERT_EQ(cams.size(), 301);
        for (int i = 0; i < cams.size(); ++i)
            EXPECT_DOUBLE_EQ(cams[i], 10.0 * i) << i;
    }
}

} // namespace
} // namespace kestrova::test
