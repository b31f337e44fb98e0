#include "core/files/document.h"

#include "core/files/file_access.h"
#include "core/files/text_file.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

constexpr int kBothGamesTracesString = 191;

QString NoAmpersand(QString s) {
    return s.remove(QLatin1Char('&'));
}

qsizetype LastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

bool SamePath(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void SetDocumentGame(Document& doc, int game, RecentFilesStore* store) {
    doc.game = game == kGameEtPro ? kGameEtPro : kGameDefrag;
    doc.recentStore = store;
    doc.recent.Init(store, Profile(doc.game).registryKey, kMaxRecentFiles);
}

QString WindowTitleText(const QString& name) {
    const QString app = QStringLiteral("Kestrova 3D");
    return name.isEmpty() ? app : app + QStringLiteral(" - ") + name;
}

void SetWindowTitle(Document& doc, const QString& name) {
    doc.windowTitle = WindowTitleText(name);
}

QString RemoveExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && dot > LastSeparator(path))
        return path.left(dot);
    return path;
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
    // A name typed without the type's extension gets it, as desktop save dialogs do; a dot in
    // the name ("take.2") is part of the name.
    if (path.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive))
        return path;
    return path + QLatin1Char('.') + extension;
}

QString RecentCaption(const QString& name, const QString& path) {
    const qsizetype len = name.size();
    if (len < 1 || len > 24)
        return name;
    const qsizetype sepAt = LastSeparator(path);
    if (sepAt < 0)
        return QStringLiteral("...\\") + name;
    const QChar sep = path[sepAt];
    const QString folder = path.left(sepAt);
    // The caption keeps to 25 characters by dropping leading folders, whole ones only: a cut
    // inside a name would show a folder that does not exist.
    const qsizetype room = 25 - len;
    if (folder.size() <= room)
        return folder + sep + name;
    for (qsizetype i = folder.size() - room; i < folder.size(); ++i)
        if (folder[i] == QLatin1Char('/') || folder[i] == QLatin1Char('\\'))
            return QStringLiteral("...") + folder.mid(i) + sep + name;
    return QStringLiteral("...") + sep + name;
}

void AddRecentFile(Document& doc, const QString& name, const QString& path) {
    doc.recent.Add(RecentCaption(name, path), path);
}

QString ExistingFolderOrParent(const QString& folder) {
    if (folder.isEmpty())
        return {};
    if (IsPseudoFileSystemPath(folder))
        return SafeDialogFolder(folder);
    QString f = QDir::cleanPath(folder);
    while (!f.isEmpty()) {
        if (QFileInfo(f).isDir())
            return f;
        const qsizetype sep = LastSeparator(f);
        if (sep < 0)
            return {};
        if (sep == 0) {
            f = f.left(1); // the root
            return QFileInfo(f).isDir() ? f : QString();
        }
        f = f.left(sep);
    }
    return {};
}

QString TraceFileFilter(int game) {
    const GameProfile& p = Profile(game);
    return p.traceDescription + QStringLiteral(" (*.") + p.traceExtension + QLatin1Char(')');
}

QString OpenTraceFilter(int game) {
    // Either game's trace opens (and brings its game along), so the first filter shows both.
    const QString current = Profile(game).traceExtension;
    const QString other = Profile(game == kGameEtPro ? kGameDefrag : kGameEtPro).traceExtension;
    return fStr(kBothGamesTracesString) + QStringLiteral(" (*.") + current + QStringLiteral(" *.") +
           other + QStringLiteral(");;") + TraceFileFilter(kGameEtPro) + QStringLiteral(";;") +
           TraceFileFilter(kGameDefrag);
}

bool ConfirmDiscard(Document& doc, const QString& caption) {
    const Trace& t = doc.trace;
    if ((t.ControlCount() < 1 && t.ReferenceCount() < 1) || !t.modified)
        return true;
    const DialogAnswer a = doc.dialogs.Message(NoAmpersand(caption), fStr(110),
                                               MessageIcon::Question, MessageButtons::YesNoCancel);
    if (a == DialogAnswer::Yes)
        return SaveTrace(doc);
    return a == DialogAnswer::No;
}

bool ConfirmClose(Document& doc) {
    const Trace& t = doc.trace;
    if ((t.ControlCount() < 2 && t.ReferenceCount() < 2) || !t.modified)
        return true;
    const DialogAnswer a = doc.dialogs.Message(NoAmpersand(fStr(7)), fStr(110),
                                               MessageIcon::Question, MessageButtons::YesNoCancel);
    if (a == DialogAnswer::Yes)
        return SaveTrace(doc);
    return a == DialogAnswer::No;
}

void RememberTraceFolder(Document& doc, const QString& folder) {
    // A dialog started there would list, and maybe read, pseudo files that never end.
    if (IsPseudoFileSystemPath(folder))
        return;
    doc.traceFolder[doc.game] = folder;
    if (doc.foldersChanged)
        doc.foldersChanged();
}

bool NewTrace(Document& doc, bool unloadMap) {
    if (!ConfirmDiscard(doc, fStr(3)))
        return false;
    Trace& t = doc.trace;
    t.points = PointTables{};
    t.counts.presetText = {QStringLiteral("1000"), QStringLiteral("1000")};
    t.counts.autoAdjust = {false, false};
    t.script.includeFov = true;
    t.script.includeTs = true;
    t.script.includeMsg = false;
    t.script.autoStartMsText = QStringLiteral("0");
    t.counts.activePreset = 0;
    doc.host.ResetForNewTrace(unloadMap);
    doc.traceName.clear();
    doc.tracePath.clear();
    SetWindowTitle(doc, doc.traceName);
    t.notes.clear();
    t.counts.frameRate = doc.host.DefaultFrameRate();
    ApplyPointCount(t, 0);
    // The first state holds the new trace's curve settings, which are only known now.
    ClearUndo(doc.undo, t);
    t.modified = false;
    UpdateCommandStates(doc);
    return true;
}

void OpenTrace(Document& doc) {
    if (!ConfirmDiscard(doc, fStr(1)))
        return;
    FileDialogRequest r;
    r.title = fStr(190);
    r.filter = OpenTraceFilter(doc.game);
    r.folder = ExistingFolderOrParent(doc.traceFolder[doc.game]);
    const std::optional<QString> path = doc.dialogs.OpenFile(r);
    if (path && QFileInfo::exists(*path))
        LoadTraceFile(doc, *path);
}

bool LoadTraceFile(Document& doc, const QString& path) {
    QString reason;
    const std::optional<QStringList> lines = ReadTraceFileLines(path, &reason);
    if (!lines || !LooksLikeTraceFile(*lines)) {
        doc.dialogs.Message(fStr(190), WithReason(MessageWithFile(fStr(200), path), reason),
                            MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    TraceFileContents c = CurrentTraceFileValues(doc.trace, doc.host);
    ReadTraceFile(*lines, c, doc.readLimits);

    if (c.game != doc.game)
        SetDocumentGame(doc, c.game, doc.recentStore);
    // The folder belongs to the trace's game, known only now.
    RememberTraceFolder(doc, FolderOf(path));
    doc.tracePath = QFileInfo(path).absoluteFilePath();
    doc.traceName = RemoveExtension(QFileInfo(path).fileName());
    SetWindowTitle(doc, doc.traceName);
    ApplyTraceFile(std::move(c), doc.trace, doc.undo, doc.host, doc.dialogs);
    AddRecentFile(doc, doc.traceName, path);
    UpdateCommandStates(doc);
    return true;
}

bool SaveTrace(Document& doc) {
    // A gesture still under way is a step before the save, not a change after it.
    FinishPendingEdit(doc);
    const QString title = fStr(180);
    const GameProfile& profile = Profile(doc.game);
    FileDialogRequest r;
    r.title = title;
    r.filter = TraceFileFilter(doc.game);
    // The trace's own file is proposed where it lies, so Enter updates it.
    r.folder = ExistingFolderOrParent(doc.tracePath.isEmpty() ? doc.traceFolder[doc.game]
                                                              : FolderOf(doc.tracePath));
    r.fileName = doc.traceName;
    r.extension = profile.traceExtension;
    std::optional<QString> chosen = doc.dialogs.SaveFile(r);
    if (!chosen || chosen->isEmpty())
        return false;
    *chosen = WithDefaultExtension(*chosen, profile.traceExtension);

    if (QFileInfo::exists(*chosen) &&
        !(!doc.tracePath.isEmpty() && SamePath(*chosen, doc.tracePath))) {
        if (doc.dialogs.Message(title, fStr(181), MessageIcon::Question, MessageButtons::YesNo) !=
            DialogAnswer::Yes)
            return false;
    }
    RememberTraceFolder(doc, FolderOf(*chosen));

    const TraceFileContents c = CaptureTraceFile(doc.trace, doc.host);
    QString reason;
    if (!WriteTraceFile(*chosen, c, &reason)) {
        SetWindowTitle(doc, QString());
        doc.dialogs.Message(title, WithReason(MessageWithFile(fStr(183), *chosen), reason),
                            MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    doc.trace.modified = false;
    doc.tracePath = QFileInfo(*chosen).absoluteFilePath();
    doc.traceName = RemoveExtension(QFileInfo(*chosen).fileName());
    SetWindowTitle(doc, doc.traceName);
    AddRecentFile(doc, doc.traceName, *chosen);
    return true;
}

void OpenRecentFile(Document& doc, int index) {
    const QList<RecentFile>& entries = doc.recent.Entries();
    if (index < 0 || index >= entries.size())
        return;
    const QString path = entries[index].path;
    if (QFileInfo::exists(path)) {
        if (ConfirmDiscard(doc, fStr(1)))
            LoadTraceFile(doc, path);
        return;
    }
    doc.dialogs.Message(fStr(271), fStr(270, path), MessageIcon::Information, MessageButtons::Ok);
    doc.recent.Remove(index);
}

void RecordEdit(Document& doc, bool refreshControl, bool refreshReference) {
    RecordUndo(doc.undo, doc.trace, refreshControl, refreshReference);
    UpdateCommandStates(doc);
}

bool RecordCurveEdit(Document& doc) {
    if (!CurveSettingsChanged(doc.undo, doc.trace))
        return false;
    RecordEdit(doc, false, false);
    return true;
}

bool FinishPendingEdit(Document& doc) {
    if (!RecordPendingEdit(doc.undo, doc.trace))
        return false;
    UpdateCommandStates(doc);
    return true;
}

bool UndoEdit(Document& doc) {
    const bool done = Undo(doc.undo, doc.trace);
    UpdateCommandStates(doc);
    return done;
}

bool RedoEdit(Document& doc) {
    const bool done = Redo(doc.undo, doc.trace);
    UpdateCommandStates(doc);
    return done;
}

CommandStates ComputeCommandStates(const Trace& trace) {
    const int c = trace.ControlCount();
    const int r = trace.ReferenceCount();
    CommandStates s;
    const bool any = c >= 1 || r >= 1;
    s.newTrace = s.save = s.selectAll = any;
    s.deselectAll = any && AnyPointSelected(trace);
    s.exportTrace = s.createScript = s.previewLock = s.invert = c >= 2;
    s.average = c >= 3 || r >= 3;
    s.convPoints = {c >= 1, r >= 1};
    // One reference point is enough: every selected control point may look at it.
    s.lookTarget = {c >= 1, c >= 2, c >= 2 && r >= 1};
    s.lookApply = c >= 1;
    return s;
}

void UpdateCommandStates(Document& doc) {
    doc.commands = ComputeCommandStates(doc.trace);
    if (!doc.commands.previewLock)
        doc.previewLocked = false;
}

} // namespace kestrova
