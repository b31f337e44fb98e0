#include "support/cli_runner.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

const QString kExample = QStringLiteral(KESTROVA_TEST_DATA "/../../examples/example.dfkv");

// A Quake 3 folder as installed: the executable beside the mod folder.
QString MakeGameFolder(const QTemporaryDir& dir) {
    WriteFile(dir.filePath("q3/quake3"));
    QDir().mkpath(dir.filePath("q3/defrag/cams"));
    return dir.filePath("q3/defrag/cams");
}

TEST(CliScript, WritesTheSameFilesForTheSameSeed) {
    QTemporaryDir dir;
    const QString cams = MakeGameFolder(dir);
    const QString out = cams + "/fly.cfg";
    const CliResult r = RunCli({"script", kExample, "-o", out, "--seed", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Effective number of points: "));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray first = ReadBytes(out);
    ASSERT_TRUE(first.startsWith("// Kestrova 3D 0.9.9.0\r\n"));
    EXPECT_TRUE(first.contains("set pos \"placeplayer "));
    EXPECT_TRUE(QFile::exists(cams + "/1stPos.cfg"));

    const CliResult again = RunCli({"script", kExample, "-o", out, "--seed", "5"});
    ASSERT_EQ(again.exitCode, 0);
    EXPECT_EQ(ReadBytes(out), first);
}

TEST(CliScript, WarnsOutsideAModFolderAndFailsClearly) {
    QTemporaryDir dir;
    const QString out = dir.filePath("loose.cfg");
    const CliResult r = RunCli({"script", kExample, "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("not inside the game's mod folder"));
    EXPECT_TRUE(QFile::exists(out));

    const CliResult missing = RunCli({"script", dir.filePath("none.dfkv"), "-o", out});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1) << missing.err.toStdString();

    const CliResult noOutput = RunCli({"script", kExample});
    EXPECT_NE(noOutput.exitCode, 0);
}

} // namespace
} // namespace kestrova::test
