#include "core/map/bsp_builder.h"
#include "support/cli_runner.h"
#include "support/test_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(CliMapInfo, DescribesAMapAsOneJsonObject) {
    QTemporaryDir dir;
    BspBuilder room = RoomWithPatch();
    room.version = 47;
    WriteFile(dir.filePath("room.bsp"), room.Build());

    const CliResult r = RunCli({"map-info", dir.filePath("room.bsp")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 1);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["version"].toInt(), 47);
    EXPECT_EQ(o["surfaces"].toInt(), 7);
    EXPECT_GT(o["triangles"].toInt(), 12);
    EXPECT_GT(o["vertices"].toInt(), 24);
    EXPECT_EQ(o["bounds"]["min"].toArray(), (QJsonArray{0, 0, 0}));
    EXPECT_EQ(o["bounds"]["max"].toArray(), (QJsonArray{256, 256, 128}));
    EXPECT_GE(o["load_ms"].toDouble(-1), 0.0);
}

TEST(CliMapInfo, RefusesWhatIsNotAMap) {
    QTemporaryDir dir;
    const QString notes = dir.filePath("notes.bsp");
    WriteFile(notes, QByteArray(200, 'a'));
    CliResult r = RunCli({"map-info", notes});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QStringLiteral("kestrova3d-cli: %1: not an id Tech 3 map: the file does not "
                                    "start with \"IBSP\"\n")
                         .arg(notes));
    r = RunCli({"map-info", dir.filePath("missing.bsp")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("cannot open"));
    r = RunCli({"map-info"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith("Usage: kestrova3d-cli map-info"));
}

} // namespace
} // namespace kestrova::test
