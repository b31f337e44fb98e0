#include "core/script/script_location.h"

#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

QString AbsoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

} // namespace

QString ScriptFolderOf(const QString& savePath) {
    const QString path = AbsoluteClean(savePath);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

ScriptLocation LocateScript(const QString& savePath, int game) {
    ScriptLocation loc;
    const QString path = AbsoluteClean(savePath);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString chosen = path.left(slash); // "" for a file at the root
    const QString fileName = path.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    loc.baseName = dot >= 0 ? fileName.left(dot) : fileName;
    loc.folder = chosen + QLatin1Char('/');

    // Walk up until a folder's parent is the game's folder.
    QString candidate = chosen;
    while (!candidate.isEmpty()) {
        const qsizetype up = candidate.lastIndexOf(QLatin1Char('/'));
        const QString parent = up <= 0 ? QStringLiteral("/") : candidate.left(up);
        if (FolderHoldsGame(parent, game)) {
            loc.modFolder = candidate;
            loc.valid = true;
            break;
        }
        if (up <= 0)
            break;
        candidate = candidate.left(up);
    }

    if (loc.valid) {
        QString rel = chosen.mid(loc.modFolder.size());
        if (rel.startsWith(QLatin1Char('/')))
            rel.remove(0, 1);
        rel.replace(QLatin1Char('/'), QLatin1Char('\\'));
        loc.relativeFolder = rel.isEmpty() ? QString() : rel + QLatin1Char('\\');
    } else if (chosen.size() >= 4) {
        // Outside any mod folder the script's own folder is the best guess.
        loc.relativeFolder =
            chosen.mid(chosen.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1Char('\\');
    }
    return loc;
}

bool ConfirmScriptLocation(const ScriptLocation& location, int game, Dialogs& dialogs) {
    if (location.valid)
        return true;
    const QString crlf = QStringLiteral("\r\n");
    const QString text = fStr(301) + crlf + fStr(302, Profile(game).modId) + crlf + fStr(303);
    return dialogs.Message(fStr(304), text, MessageIcon::Question, MessageButtons::YesNo) ==
           DialogAnswer::Yes;
}

std::optional<QString> AskScriptSavePath(const Trace& trace, int game, const QString& lastFolder,
                                         Dialogs& dialogs) {
    FileDialogRequest request;
    request.title = fStr(300);
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        request.folder = lastFolder;
    request.fileName = trace.script.scriptBaseName;
    request.filter = Profile(game).modId + QStringLiteral(" script (*.cfg)");
    request.extension = QStringLiteral("cfg");
    return dialogs.SaveFile(request);
}

} // namespace kestrova
