#pragma once
// The built-in table of the two games: index 0 ET Pro (Enemy Territory), 1 Defrag (Quake 3).

#include <QString>
#include <QStringList>
#include <array>

namespace kestrova {

constexpr int kGameEtPro = 0;
constexpr int kGameDefrag = 1;
constexpr int kGameCount = 2;

inline const QString kApplicationKey = QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D");

struct GameProfile {
    QString modId;       // "EtPro", "Defrag": file-type filter, messages
    QString displayName; // shown to the user
    QString modVersion;
    QString gameName;
    QString executable;           // the Windows executable of the table
    QStringList linuxExecutables; // the names the game goes by on Linux
    QString baseFolder;
    QString logo, logoSecond; // resource names
    QString positionPrefix, positionSuffix;
    QString registryKey;
    QString traceDescription;
    QString traceExtension; // without the period

    // Every executable name that identifies the game's folder.
    QStringList AllExecutables() const { return QStringList{executable} + linuxExecutables; }
    // The same names, those of the system the program runs on first (what users look for).
    QStringList ExecutablesThisSystemFirst() const {
#ifdef Q_OS_WIN
        return AllExecutables();
#else
        return linuxExecutables + QStringList{executable};
#endif
    }
};

// The two rows, filled once.
const std::array<GameProfile, kGameCount>& GameProfiles();
// Row of a game index; indices outside 0..1 fall back to 0.
const GameProfile& Profile(int game);

// A folder is the game's folder when it holds any of the game's executables.
bool FolderHoldsGame(const QString& folder, int game);

} // namespace kestrova
