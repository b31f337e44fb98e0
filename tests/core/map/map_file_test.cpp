#include "core/map/bsp_builder.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <minizip/zip.h>

namespace kestrova {
namespace {

// Writes a zip archive of (name, bytes) entries, deflated.
bool WriteZip(const QString& path, const std::vector<std::pair<const char*, QByteArray>>& entries) {
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr,
                                         Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

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
              QStringLiteral("cannot open the archive %1").arg(dir.filePath("no.pk3")));

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
    QFile f(pk3);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray zip = f.readAll();
    zip[30 + 10 + 200] = char(zip[30 + 10 + 200] ^ 0x55); // inside the compressed data
    f.seek(0);
    f.write(zip);
    f.close();
    QByteArray bytes;
    EXPECT_EQ(ReadMapBytes(pk3 + ":maps/a.bsp", bytes),
              QStringLiteral("the entry maps/a.bsp of %1 is damaged").arg(pk3));
}

} // namespace
} // namespace kestrova
