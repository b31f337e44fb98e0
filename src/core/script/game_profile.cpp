#include "core/script/game_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrova {

const std::array<GameProfile, kGameCount>& GameProfiles() {
    static const std::array<GameProfile, kGameCount> profiles = [] {
        std::array<GameProfile, kGameCount> p;
        GameProfile& et = p[kGameEtPro];
        et.modId = QStringLiteral("EtPro");
        et.displayName = QStringLiteral("ET Pro");
        et.modVersion = QStringLiteral("v3.2.0");
        et.gameName = QStringLiteral("enemy territory");
        et.executable = QStringLiteral("Et.exe");
        et.linuxExecutables = {QStringLiteral("et"),       QStringLiteral("et.x86"),
                               QStringLiteral("etl"),      QStringLiteral("etl.x86_64"),
                               QStringLiteral("etl.x86"),  QStringLiteral("et.x86_64"),
                               QStringLiteral("etlegacy"), QStringLiteral("ete"),
                               QStringLiteral("ete.x64"),  QStringLiteral("ete.x86_64")};
        et.baseFolder = QStringLiteral("etmain");
        et.logo = QStringLiteral("IDB_ETLOGO");
        et.logoSecond = QStringLiteral("IDB_ETLOGOD");
        et.positionPrefix = QStringLiteral("freecamsetpos ");
        et.positionSuffix = QStringLiteral(";");
        et.registryKey = kApplicationKey + QStringLiteral("\\EtPro320");
        et.traceDescription = QStringLiteral("EtPro3 trace");
        et.traceExtension = QStringLiteral("ep3t");

        GameProfile& df = p[kGameDefrag];
        df.modId = QStringLiteral("Defrag");
        df.displayName = QStringLiteral("DeFrag");
        df.modVersion = QStringLiteral("v1.91.02");
        df.gameName = QStringLiteral("Quake 3: Arena");
        df.executable = QStringLiteral("Quake3.exe");
        df.linuxExecutables = {QStringLiteral("quake3"),          QStringLiteral("ioquake3"),
                               QStringLiteral("ioquake3.x86_64"), QStringLiteral("ioquake3.x86"),
                               QStringLiteral("quake3e"),         QStringLiteral("quake3e.x64"),
                               QStringLiteral("quake3e.x86_64"),  QStringLiteral("openarena"),
                               QStringLiteral("openarena.x86_64")};
        df.baseFolder = QStringLiteral("baseq3");
        df.logo = QStringLiteral("IDB_Q3LOGO");
        df.logoSecond = QStringLiteral("IDB_Q3LOGOD");
        df.positionPrefix = QStringLiteral("set pos \"placeplayer ");
        df.positionSuffix = QStringLiteral("\";");
        df.registryKey = kApplicationKey + QStringLiteral("\\Defrag");
        df.traceDescription = QStringLiteral("Defrag Kestrova");
        df.traceExtension = QStringLiteral("dfkv");
        return p;
    }();
    return profiles;
}

const GameProfile& Profile(int game) {
    return GameProfiles()[game == kGameDefrag ? kGameDefrag : kGameEtPro];
}

bool FolderHoldsGame(const QString& folder, int game) {
    if (folder.isEmpty())
        return false;
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    for (const QString& exe : Profile(game).AllExecutables()) {
        // Windows names match whatever their case; Linux names are exact.
        const QFileInfo info(dir.filePath(exe));
        if (info.isFile())
            return true;
    }
    const QString wanted = Profile(game).executable;
    const QString base = Profile(game).baseFolder;
    bool hasBase = false;
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0 &&
            QFileInfo(dir.filePath(entry)).isFile())
            return true;
        if (entry.compare(base, Qt::CaseInsensitive) == 0 && QFileInfo(dir.filePath(entry)).isDir())
            hasBase = true;
    }
    // A packaged engine keeps its program on PATH and the game's data in a folder of its own.
    if (hasBase)
        for (const QString& name : Profile(game).linuxExecutables)
            if (!QStandardPaths::findExecutable(name).isEmpty())
                return true;
    return false;
}

} // namespace kestrova
