#include "core/script/game_profile.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// The fields other modules build paths, keys and file names from.
TEST(GameProfiles, BuiltInRows) {
    const GameProfile& et = Profile(kGameEtPro);
    const GameProfile& df = Profile(kGameDefrag);
    EXPECT_EQ(QStringList({et.modId, et.executable, et.baseFolder, et.traceExtension}),
              QStringList({"EtPro", "Et.exe", "etmain", "ep3t"}));
    EXPECT_EQ(QStringList({df.modId, df.executable, df.baseFolder, df.traceExtension}),
              QStringList({"Defrag", "Quake3.exe", "baseq3", "dfkv"}));
    // The game's key ends in EtPro320, not in the mod's name.
    EXPECT_EQ(et.registryKey, QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D\\EtPro320"));
    EXPECT_EQ(df.registryKey, QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D\\Defrag"));
    EXPECT_TRUE(df.linuxExecutables.contains(QStringLiteral("ioquake3.x86_64")));
    EXPECT_TRUE(et.linuxExecutables.contains(QStringLiteral("etl")));
}

TEST(GameProfiles, PositionCommandsWrapTheSixNumbers) {
    const QString numbers = QStringLiteral("1.00 2.00 3.00 4.00 5.00 6.00");
    const GameProfile& et = Profile(kGameEtPro);
    const GameProfile& df = Profile(kGameDefrag);
    EXPECT_EQ(et.positionPrefix + numbers + et.positionSuffix,
              QStringLiteral("freecamsetpos 1.00 2.00 3.00 4.00 5.00 6.00;"));
    EXPECT_EQ(df.positionPrefix + numbers + df.positionSuffix,
              QStringLiteral("set pos \"placeplayer 1.00 2.00 3.00 4.00 5.00 6.00\";"));
}

TEST(GameProfiles, GameFolderHoldsAnyOfTheExecutables) {
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    EXPECT_FALSE(FolderHoldsGame(tmp.path(), kGameDefrag));
    EXPECT_FALSE(FolderHoldsGame(QString(), kGameDefrag));
    // A folder with the executable's name is not the executable.
    ASSERT_TRUE(dir.mkdir(QStringLiteral("quake3")));
    EXPECT_FALSE(FolderHoldsGame(tmp.path(), kGameDefrag));
    // The Windows name matches whatever its case.
    test::WriteFile(dir.filePath(QStringLiteral("QUAKE3.EXE")));
    EXPECT_TRUE(FolderHoldsGame(tmp.path(), kGameDefrag));
    EXPECT_FALSE(FolderHoldsGame(tmp.path(), kGameEtPro));
    test::WriteFile(dir.filePath(QStringLiteral("etl.x86_64")));
    EXPECT_TRUE(FolderHoldsGame(tmp.path(), kGameEtPro));
}

} // namespace
} // namespace kestrova::test
