#include "core/map/bsp_builder.h"
#include "support/cli_runner.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(CliMapInfo, FindsANameInAGameFolderAndSaysWhere) {
    QTemporaryDir dir;
    const QString base = dir.filePath("baseq3"), mod = dir.filePath("defrag");
    QDir().mkpath(base + "/maps");
    QDir().mkpath(mod);
    BspBuilder room = RoomWithPatch();
    room.version = 46;
    BspBuilder newer = RoomWithPatch();
    newer.version = 47;
    ASSERT_TRUE(WriteZip(base + "/pak0.pk3", {{"maps/room.bsp", room.Build()}}));
    ASSERT_TRUE(WriteZip(base + "/pak1.pk3", {{"maps/room.bsp", newer.Build()}}));
    QFile loose(base + "/maps/loose.bsp");
    ASSERT_TRUE(loose.open(QIODevice::WriteOnly));
    loose.write(room.Build());
    loose.close();

    struct Case {
        QString folder, name;
        int version;
        QJsonObject source;
    };
    const Case cases[] = {
        {base, "room.bsp", 47, {{"archive", base + "/pak1.pk3"}, {"entry", "maps/room.bsp"}}},
        {mod, "ROOM.bsp", 47, {{"archive", base + "/pak1.pk3"}, {"entry", "maps/room.bsp"}}},
        {mod, "loose.bsp", 46, {{"file", base + "/maps/loose.bsp"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const CliResult r = RunCli({"map-info", c.name, "--game-folder", c.folder});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        EXPECT_EQ(o["version"].toInt(), c.version);
        EXPECT_EQ(o["source"].toObject(), c.source);
    }

    CliResult r = RunCli({"map-info", "none.bsp", "--game-folder", mod});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, QStringLiteral("kestrova3d-cli: none.bsp: no such map in %1, its archives "
                                    "or its base game\n")
                         .arg(mod));
    r = RunCli({"map-info", "room.bsp", "--game-folder", dir.filePath("nowhere")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("is not a folder"));
}

} // namespace
} // namespace kestrova::test
