#include "core/map/bsp_builder.h"
#include "support/cli_runner.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(CliMapInfo, FindsANameInAGameFolderAndSaysWhere) {
    QTemporaryDir dir;
    const QString base = dir.filePath("baseq3"), mod = dir.filePath("defrag");
    QDir().mkpath(base);
    QDir().mkpath(mod);
    BspBuilder older = RoomWithPatch(), newer = RoomWithPatch();
    newer.version = 47;
    ASSERT_TRUE(WriteZip(base + "/pak0.pk3", {{"maps/room.bsp", older.Build()}}));
    ASSERT_TRUE(WriteZip(base + "/pak1.pk3", {{"maps/room.bsp", newer.Build()}}));

    const CliResult r = RunCli({"map-info", "ROOM.bsp", "--game-folder", mod});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["version"].toInt(), 47);
    EXPECT_EQ(o["source"].toObject(),
              (QJsonObject{{"archive", base + "/pak1.pk3"}, {"entry", "maps/room.bsp"}}));

    const CliResult none = RunCli({"map-info", "none.bsp", "--game-folder", mod});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.err, "kestrova3d-cli: none.bsp: no such map in " + mod +
                            ", its archives or its base game\n");
}

} // namespace
} // namespace kestrova::test
