#include "core/map/bsp_builder.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"
#include "support/test_files.h"
#include "support/zip_writer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::WriteZip;

TEST(MapFile, ReadsMapsOutOfPk3Archives) {
    QTemporaryDir dir;
    const QString pk3 = dir.filePath("pak9.pk3");
    const QByteArray room = test::RoomWithPatch().Build();
    ASSERT_TRUE(WriteZip(
        pk3,
        {{"levelshots/room.jpg", "jpeg"}, {"maps/room.bsp", room}, {"maps/Second.BSP", room}}));
    QString error;
    EXPECT_EQ(ListArchiveMaps(pk3, error), (QStringList{"maps/room.bsp", "maps/Second.BSP"}));
    EXPECT_EQ(error, QString());

    QByteArray bytes;
    EXPECT_EQ(ReadMapBytes(pk3 + ":maps/room.bsp", bytes), QString());
    EXPECT_EQ(bytes, room);
    EXPECT_EQ(ReadMapBytes(pk3 + ":MAPS/ROOM.bsp", bytes), QString()) << "case as the game";
    EXPECT_EQ(ReadMapBytes(pk3 + ":maps/none.bsp", bytes),
              QStringLiteral("%1 holds no entry maps/none.bsp").arg(pk3));
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(ReadMapBytes(dir.filePath("no.pk3:maps/room.bsp"), bytes),
              QStringLiteral("cannot open the archive %1: No such file or directory")
                  .arg(dir.filePath("no.pk3")));

    BspMap map;
    ASSERT_EQ(map.Load(pk3 + ":maps/room.bsp", kMapOptionPatches), QString());
    EXPECT_EQ(map.GetBounds()[2][1], 128.0f);
}

TEST(MapFile, ReportsADamagedArchiveEntry) {
    QTemporaryDir dir;
    const QString pk3 = dir.filePath("bad.pk3");
    QByteArray payload(20000, 'x');
    for (qsizetype i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 7919 % 251);
    ASSERT_TRUE(WriteZip(pk3, {{"maps/a.bsp", payload}}));
    QByteArray zip = test::ReadBytes(pk3);
    zip[30 + 10 + 200] = char(zip[30 + 10 + 200] ^ 0x55); // inside the compressed data
    test::WriteFile(pk3, zip);
    QByteArray bytes;
    EXPECT_EQ(ReadMapBytes(pk3 + ":maps/a.bsp", bytes),
              QStringLiteral("the entry maps/a.bsp of %1 is damaged").arg(pk3));
}

} // namespace
} // namespace kestrova
