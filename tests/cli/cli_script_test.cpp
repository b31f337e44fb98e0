#include "support/cli_runner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

const QString kExample = QStringLiteral(KESTROVA_TEST_DATA "/../../examples/example.dfkv");

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A Quake 3 folder as installed: the executable beside the mod folder.
QString MakeGameFolder(const QTemporaryDir& dir) {
    QDir root(dir.path());
    root.mkpath(QStringLiteral("q3/defrag/cams"));
    QFile exe(root.filePath(QStringLiteral("q3/quake3")));
    EXPECT_TRUE(exe.open(QIODevice::WriteOnly));
    return root.filePath(QStringLiteral("q3/defrag/cams"));
}

TEST(CliScript, WritesTheSameFilesForTheSameSeed) {
    QTemporaryDir dir;
    const QString cams = MakeGameFolder(dir);
    const QString out = cams + QStringLiteral("/fly.cfg");
    const CliResult r = RunCli({QStringLiteral("script"), kExample, QStringLiteral("-o"), out,
                                QStringLiteral("--seed"), QStringLiteral("5")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Effective number of points: ")));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray first = Bytes(out);
    ASSERT_TRUE(first.startsWith("// Kestrova 3D 0.9.9.0\r\n"));
    EXPECT_TRUE(first.contains("set pos \"placeplayer "));
    EXPECT_TRUE(QFile::exists(cams + QStringLiteral("/1stPos.cfg")));

    const CliResult again = RunCli({QStringLiteral("script"), kExample, QStringLiteral("-o"), out,
                                    QStringLiteral("--seed"), QStringLiteral("5")});
    ASSERT_EQ(again.exitCode, 0);
    EXPECT_EQ(Bytes(out), first);
}

TEST(CliScript, WarnsOutsideAModFolderAndFailsClearly) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("loose.cfg"));
    const CliResult r = RunCli({QStringLiteral("script"), kExample, QStringLiteral("-o"), out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("not inside the game's mod folder")));
    EXPECT_TRUE(QFile::exists(out));

    const CliResult missing =
        RunCli({QStringLiteral("script"), dir.filePath(QStringLiteral("none.dfkv")),
                QStringLiteral("-o"), out});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1) << missing.err.toStdString();

    const CliResult noOutput = RunCli({QStringLiteral("script"), kExample});
    EXPECT_NE(noOutput.exitCode, 0);
}

} // namespace
} // namespace kestrova::test
