#include "core/game/game_launch.h"

#include "core/dialogs.h"
#include "core/numbers.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace kestrova {

QString BuildGameCommand(const QString& script, const QString& demo, const QString& prefix,
                         const QString& separator) {
    QString result;
    // The game's exec takes the path below the modification or base folder.
    const qsizetype slash = script.indexOf(QLatin1Char('\\'), 1);
    if (slash > 0)
        result = prefix + QStringLiteral("exec ") + script.mid(slash + 1);
    if (!demo.isEmpty()) {
        result += result.isEmpty() ? prefix : separator;
        result += QStringLiteral("demo \"") + demo + QLatin1Char('"');
    }
    return result;
}

QString GameCommandLine(const QString& modFolderName, const QString& commands) {
    return QStringLiteral("+set fs_game ") + modFolderName + QLatin1Char(' ') + commands;
}

QStringList GameArguments(const QString& commandLine) {
    return QProcess::splitCommand(commandLine);
}

QString ModFolderName(int game, const QString& modPath) {
    const QString name = Profile(game).modId;
    QString path = QDir::fromNativeSeparators(modPath.trimmed());
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString onDisk = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return onDisk.compare(name, Qt::CaseInsensitive) == 0 ? onDisk : name;
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
    return QString();
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
    const QStringList pictures =
        dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.tga")}, QDir::Files);
    return !pictures.isEmpty();
}

bool DelScreenshots(const QString& modPath, Dialogs& dialogs) {
    if (modPath.trimmed().isEmpty())
        return false;
    const QString folder = ScreenshotsFolder(modPath);
    if (!HoldsScreenshots(folder))
        return false;
    // The trash, not a deletion: pictures the user still wanted can be taken back.
    const DialogAnswer answer =
        dialogs.Message(fStr(75), fStr(562, QDir::toNativeSeparators(folder)),
                        MessageIcon::Question, MessageButtons::YesNo);
    if (answer != DialogAnswer::Yes)
        return false;
    return QFile::moveToTrash(folder);
}

} // namespace kestrova
