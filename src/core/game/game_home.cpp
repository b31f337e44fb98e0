#include "core/game/game_home.h"

#include "core/game/game_config.h"
#include "core/map/game_folder.h"
#include "core/script/game_profile.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

const QList<GameEngine>& GameEngines(int game) {
    // Titles and home folders as the engines' sources set them (CLIENT_WINDOW_TITLE and
    // HOMEPATH_NAME_UNIX in qcommon/q_shared.h, Sys_DefaultHomePath in the Unix system code).
    static const QList<GameEngine> et = {
        {QStringLiteral("ET 2.60b"), QStringLiteral("Enemy Territory"), QStringLiteral("/.etwolf")},
        {QStringLiteral("ETe"), QStringLiteral("Enemy Territory"), QStringLiteral("/.etwolf")},
        {QStringLiteral("ET: Legacy"), QStringLiteral("ET Legacy"), QStringLiteral("/.etlegacy")},
    };
    static const QList<GameEngine> q3 = {
        {QStringLiteral("Quake 3 1.32"), QStringLiteral("Quake 3: Arena"), QStringLiteral("/.q3a")},
        {QStringLiteral("ioquake3"), QStringLiteral("ioquake3"), QStringLiteral("/.q3a")},
        {QStringLiteral("Quake3e"), QStringLiteral("Quake 3: Arena"), QStringLiteral("/.q3a")},
        {QStringLiteral("OpenArena"), QStringLiteral("OpenArena"), QStringLiteral("/.openarena")},
    };
    return game == kGameDefrag ? q3 : et;
}

QStringList EngineWindowTitles(int game) {
    QStringList titles;
    for (const GameEngine& e : GameEngines(game))
        if (!titles.contains(e.windowTitle, Qt::CaseInsensitive))
            titles << e.windowTitle;
    return titles;
}

QStringList HomeFolderCandidates(int game) {
    QStringList folders;
    const QString home = QDir::homePath();
    for (const GameEngine& e : GameEngines(game))
        if (!folders.contains(home + e.homeFolder))
            folders << home + e.homeFolder;
    return folders;
}

QString DefaultHomeFolder(int game) {
    for (const QString& f : HomeFolderCandidates(game))
        if (QFileInfo(f).isDir())
            return f;
    return QString();
}

QString HomeFolder(const GameConfig& config, int game) {
    const QString chosen = config.HomePath.trimmed();
    return chosen.isEmpty() ? DefaultHomeFolder(game) : QDir::fromNativeSeparators(chosen);
}

QStringList ChildFoldersIgnoringCase(const QString& folder, const QString& name) {
    QStringList found;
    if (folder.isEmpty())
        return found;
    const QDir dir(folder);
    for (const QString& entry :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            found << dir.filePath(entry);
    return found;
}

namespace {

QString CleanFolder(const QString& path) {
    QString p = QDir::fromNativeSeparators(path.trimmed());
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString LastName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QStringList ModSearchPath(const GameConfig& config, int game) {
    QStringList path;
    const QString mod = CleanFolder(config.ModPath);
    const QString home = HomeFolder(config, game);
    if (!home.isEmpty() && !mod.isEmpty()) {
        // The engine names the home copy after fs_game; the install folder may spell it another
        // way, so any case is taken.
        for (const QString& name : {LastName(mod), Profile(game).modId})
            for (const QString& f : ChildFoldersIgnoringCase(home, name))
                if (!path.contains(f))
                    path << f;
    }
    if (!mod.isEmpty() && !path.contains(mod))
        path << mod;
    return path;
}

QStringList GameRootSearchPath(const GameConfig& config, int game) {
    QStringList roots;
    const QString home = HomeFolder(config, game);
    if (!home.isEmpty())
        roots << home;
    const GameFolder install = ResolveGameFolder(config.ModPath, game);
    if (install.ok)
        roots << QDir::fromNativeSeparators(install.folder);
    return roots;
}

int GameOfFolder(const QString& folder) {
    const QString clean = CleanFolder(folder);
    const QString base = BaseGameFolder(clean);
    const QString name = LastName(base.isEmpty() ? clean : CleanFolder(base)).toLower();
    if (name == QLatin1String("baseq3") || name == QLatin1String("baseoa"))
        return kGameDefrag;
    if (name == QLatin1String("etmain"))
        return kGameEtPro;
    return -1;
}

QString MapHomeFolder(const GameConfig& config, const QString& folder) {
    const int game = GameOfFolder(folder);
    return game < 0 ? QString() : HomeFolder(config, game);
}

QStringList MapSearchPath(const QString& folder, const QString& homeFolder) {
    const QString clean = CleanFolder(folder);
    QStringList path;
    const auto add = [&](const QString& f) {
        if (f.isEmpty())
            return;
        if (!homeFolder.isEmpty()) {
            for (const QString& h : ChildFoldersIgnoringCase(homeFolder, LastName(f)))
                if (!path.contains(h) &&
                    QFileInfo(h).canonicalFilePath() != QFileInfo(f).canonicalFilePath())
                    path << h;
        }
        if (!path.contains(f))
            path << f;
    };
    add(clean);
    add(CleanFolder(BaseGameFolder(clean)));
    return path;
}

} // namespace kestrova
