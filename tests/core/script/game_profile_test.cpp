#include "core/script/game_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(GameProfiles, BuiltInRows) {
    const GameProfile& et = Profile(kGameEtPro);
    EXPECT_EQ(et.modId, QStringLiteral("EtPro"));
    EXPECT_EQ(et.displayName, QStringLiteral("ET Pro"));
    EXPECT_EQ(et.modVersion, QStringLiteral("v3.2.0"));
    EXPECT_EQ(et.gameName, QStringLiteral("enemy territory"));
    EXPECT_EQ(et.executable, QStringLiteral("Et.exe"));
    EXPECT_EQ(et.baseFolder, QStringLiteral("etmain"));
    EXPECT_EQ(et.logo, QStringLiteral("IDB_ETLOGO"));
    EXPECT_EQ(et.logoSecond, QStringLiteral("IDB_ETLOGOD"));
    EXPECT_EQ(et.registryKey, QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D\\EtPro320"));
    EXPECT_EQ(et.traceDescription, QStringLiteral("EtPro3 trace"));
    EXPECT_EQ(et.traceExtension, QStringLiteral("ep3t"));

    const GameProfile& df = Profile(kGameDefrag);
    EXPECT_EQ(df.modId, QStringLiteral("Defrag"));
    EXPECT_EQ(df.displayName, QStringLiteral("DeFrag"));
    EXPECT_EQ(df.modVersion, QStringLiteral("v1.91.02"));
    EXPECT_EQ(df.gameName, QStringLiteral("Quake 3: Arena"));
    EXPECT_EQ(df.executable, QStringLiteral("Quake3.exe"));
    EXPECT_EQ(df.baseFolder, QStringLiteral("baseq3"));
    EXPECT_EQ(df.logo, QStringLiteral("IDB_Q3LOGO"));
    EXPECT_EQ(df.logoSecond, QStringLiteral("IDB_Q3LOGOD"));
    EXPECT_EQ(df.registryKey, QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D\\Defrag"));
    EXPECT_EQ(df.traceDescription, QStringLiteral("Defrag Kestrova"));
    EXPECT_EQ(df.traceExtension, QStringLiteral("dfkv"));

    for (const char* name : {"quake3", "ioquake3.x86_64", "quake3e.x64"})
        EXPECT_TRUE(df.linuxExecutables.contains(QString::fromLatin1(name))) << name;
    for (const char* name : {"etl", "etl.x86_64", "et.x86"})
        EXPECT_TRUE(et.linuxExecutables.contains(QString::fromLatin1(name))) << name;
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
    QFile exe(dir.filePath(QStringLiteral("QUAKE3.EXE")));
    ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
    exe.close();
    EXPECT_TRUE(FolderHoldsGame(tmp.path(), kGameDefrag));
    EXPECT_FALSE(FolderHoldsGame(tmp.path(), kGameEtPro));
    QFile etl(dir.filePath(QStringLiteral("etl.x86_64")));
    ASSERT_TRUE(etl.open(QIODevice::WriteOnly));
    etl.close();
    EXPECT_TRUE(FolderHoldsGame(tmp.path(), kGameEtPro));
}

} // namespace
} // namespace kestrova::test
