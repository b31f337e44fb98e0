#include "core/game/game_launch.h"

#include "core/dialogs.h"
#include "core/game/console_names.h"
#include "core/game/game_home.h"
#include "core/numbers.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace kestrova {

QString StartupScriptName(const QString& script) {
    // The game's exec takes the path below the modification or base folder.
    const qsizetype slash = script.indexOf(QLatin1Char('\\'), 1);
    return slash > 0 ? script.mid(slash + 1) : QString();
}

QString BuildGameCommand(const QString& script, const QString& demo, const QString& prefix,
                         const QString& separator) {
    QString result;
    const QString exec = StartupScriptName(script);
    if (!exec.isEmpty())
        result = prefix + QStringLiteral("exec ") + GameArgument(exec);
    if (!demo.isEmpty()) {
        result += result.isEmpty() ? prefix : separator;
        result += QStringLiteral("demo \"") + demo + QLatin1Char('"');
    }
    return result;
}

QStringList GameStartArguments(const QString& modFolderName, const QString& script,
                               const QString& demo) {
    // Each name is one argument of its own: no shell and no splitting ever cut it.
    QStringList args{QStringLiteral("+set"), QStringLiteral("fs_game"), modFolderName};
    const QString exec = StartupScriptName(script);
    if (!exec.isEmpty())
        args << QStringLiteral("+exec") << exec;
    if (!demo.isEmpty())
        args << QStringLiteral("+demo") << demo;
    return args;
}

std::optional<QString> RefuseGameNames(const QString& script, const QString& demo,
                                       bool commandLine) {
    return RefuseUnsafeGameNames({script, demo},
                                 commandLine ? GameNameUse::CommandLine : GameNameUse::Console);
}

QString ModFolderName(int game, const QString& modPath) {
    const QString name = Profile(game).modId;
    QString path = QDir::fromNativeSeparators(modPath.trimmed());
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString onDisk = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return onDisk.compare(name, Qt::CaseInsensitive) == 0 ? onDisk : name;
}

QString ExecutableOnPath(int game) {
    for (const QString& name : Profile(game).linuxExecutables) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString FindGameExecutable(const QString& gameFolder, int game) {
    const GameProfile& profile = Profile(game);
    const QDir dir(QDir::fromNativeSeparators(gameFolder));
#ifdef Q_OS_WIN
    QStringList names = QStringList{profile.executable} + profile.linuxExecutables;
#else
    QStringList names = profile.linuxExecutables + QStringList{profile.executable};
#endif
    for (const QString& name : names)
        if (QFileInfo(dir.filePath(name)).isFile())
            return dir.filePath(name);
    // The Windows name in whatever case the installation spelt it.
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(profile.executable, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    // A packaged engine lives on PATH, away from the game's data.
    return ExecutableOnPath(game);
}

namespace {

// The boxes take digits only; anything else in them counts as 0.
double BoxValue(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

int DemoGotoSeconds(const QString& minutes, const QString& seconds) {
    return RoundHalfEven(-(BoxValue(minutes) * 60.0 + BoxValue(seconds)));
}

int DemoAdvanceSeconds(const QString& seconds) {
    return RoundHalfEven(BoxValue(seconds));
}

QString DemoFFCommand(int n) {
    if (n == 0)
        return QString();
    return QStringLiteral("/DemoFF ") + QString::number(n);
}

DemoTimeText ValidateDemoTime(int index, const QString& text, const QString& minutesText) {
    int64_t v = RoundHalfEven(BoxValue(text));
    DemoTimeText result;
    if (index == 1 && v >= 60) {
        // The minutes box keeps 16-bit values.
        const int64_t minutes =
            std::clamp<int64_t>(RoundHalfEven(BoxValue(minutesText)), -32768, 32767) + v / 60;
        result.minutes = QString::number(std::min<int64_t>(minutes, 999));
        v %= 60;
    }
    result.text = QString::number(v);
    return result;
}

QString ScreenshotsFolder(const QString& modPath) {
    const QDir mod(QDir::fromNativeSeparators(modPath));
    const QString name = QStringLiteral("ScreenShots");
    // The game on Linux writes "screenshots": take the folder whatever its case.
    if (!modPath.isEmpty() && mod.exists()) {
        for (const QString& entry : mod.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return mod.filePath(entry);
    }
    return mod.filePath(name);
}

bool HoldsScreenshots(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    // ".jpg" or ".tga" in whatever case the engine wrote it.
    const QStringList pictures =
        dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.tga")}, QDir::Files);
    return !pictures.isEmpty();
}

QStringList ScreenshotFolders(const QStringList& modFolders) {
    QStringList folders;
    for (const QString& mod : modFolders)
        for (const QString& f : ChildFoldersIgnoringCase(QDir::fromNativeSeparators(mod),
                                                         QStringLiteral("screenshots")))
            if (HoldsScreenshots(f))
                folders << f;
    return folders;
}

bool DelScreenshots(const QString& modPath, Dialogs& dialogs) {
    return DelScreenshots(QStringList{modPath}, dialogs);
}

bool DelScreenshots(const QStringList& modFolders, Dialogs& dialogs) {
    const QStringList folders = ScreenshotFolders(modFolders);
    if (folders.isEmpty())
        return false;
    QStringList shown;
    for (const QString& f : folders)
        shown << QDir::toNativeSeparators(f);
    // The trash, not a deletion: pictures the user still wanted can be taken back.
    const DialogAnswer answer =
        dialogs.Message(fStr(75), fStr(562, shown.join(QStringLiteral("', '"))),
                        MessageIcon::Question, MessageButtons::YesNo);
    if (answer != DialogAnswer::Yes)
        return false;
    bool moved = true;
    for (const QString& f : folders)
        moved = QFile::moveToTrash(f) && moved;
    return moved;
}

} // namespace kestrova
