#pragma once
// The document lifecycle: New, Open, Save, the question before a trace is thrown away, the
// window title, the recent-files list and the commands that depend on the point counts.

#include "core/dialogs.h"
#include "core/files/recent_files.h"
#include "core/files/trace_file.h"
#include "core/model/trace.h"
#include "core/model/undo.h"

#include <QFile>
#include <array>
#include <functional>

namespace kestrova {

// Enabled states of the commands that need points.
struct CommandStates {
    bool newTrace = false;    // mnuT_New
    bool save = false;        // mnuT_Save
    bool selectAll = false;   // mnuE_SelectAll
    bool deselectAll = false; // mnuE_DeselectAll
    bool exportTrace = false; // mnuT_Export
    bool createScript = false;
    bool previewLock = false; // chkPreviewLock
    bool invert = false;
    bool average = false;
    std::array<bool, 2> convPoints{}; // cmdConvPoints(0), cmdConvPoints(1)
    std::array<bool, 3> lookTarget{}; // optLkTarget(0..2): typed, next point, reference points
    bool lookApply = false;           // cmdLkApply
};

// Everything the document operations work on. The host applies what belongs to other modules
// (views, lists, map, game switch); the dialogs ask and inform.
struct Document {
    Document(TraceFileHost& host, Dialogs& dialogs) : host(host), dialogs(dialogs) {}

    TraceFileHost& host;
    Dialogs& dialogs;

    Trace trace;
    UndoHistory undo;
    QString traceName; // file name without folder and extension; empty for a new trace
    QString tracePath; // the trace's own file, absolute; empty for a new trace
    QString windowTitle;
    int game = 1;
    std::array<QString, 2> traceFolder;    // DftPathTraces of each game
    std::array<QString, 2> positionFolder; // DftPathPos of each game
    std::array<QString, 2> modPath;        // ModPath of each game
    QString exportFolder;                  // DftPathExtract
    QString exportFileName;                // the last export's name, this run only
    RecentFiles recent;                    // of the current game
    RecentFilesStore* recentStore = nullptr;
    CommandStates commands;
    bool previewLocked = false;
    TraceReadLimits readLimits;
    // Told when a trace or export folder above was set, so it is kept at once, not at shutdown.
    std::function<void()> foldersChanged;
    // Sends a file to the trash (the import's clean-up); replaceable for tests.
    std::function<bool(const QString&)> moveToTrash = [](const QString& path) {
        return QFile::moveToTrash(path);
    };
};

// Binds the recent-files list to the game's key and makes the game current for the document.
void SetDocumentGame(Document& doc, int game, RecentFilesStore* store);

// Sets the current game's trace folder and tells foldersChanged; never /proc, /sys or /dev.
void RememberTraceFolder(Document& doc, const QString& folder);

// Text of the main window's title for a trace name.
QString WindowTitleText(const QString& name);
void SetWindowTitle(Document& doc, const QString& name);

// Cut at the last "." when it follows the last folder separator and is not the first character.
QString RemoveExtension(const QString& path);
// The path with ".extension" added unless it already ends with it.
QString WithDefaultExtension(const QString& path, const QString& extension);
QString RecentCaption(const QString& name, const QString& path);
void AddRecentFile(Document& doc, const QString& name, const QString& path);

// The folder itself or its nearest existing parent; empty when none exists; the home folder
// in place of /proc, /sys or /dev.
QString ExistingFolderOrParent(const QString& folder);
// Open/save filter of the current game's trace files, e.g. "Defrag Kestrova (*.dfkv)".
QString TraceFileFilter(int game);

// The Open dialog's filters: both games' traces first, then each game's own.
QString OpenTraceFilter(int game);

// Asks whether to save a modified trace with points before it is replaced; false on Cancel.
bool ConfirmDiscard(Document& doc, const QString& caption);
// The close rule: asked only with at least two points in a table; false keeps the window open.
bool ConfirmClose(Document& doc);

bool NewTrace(Document& doc, bool unloadMap);
void OpenTrace(Document& doc);
bool LoadTraceFile(Document& doc, const QString& path);
bool SaveTrace(Document& doc);
// A click on recent-file entry index.
void OpenRecentFile(Document& doc, int index);

// The Edit menu's history commands with the command states brought up to date.
void RecordEdit(Document& doc, bool refreshControl, bool refreshReference);
// A change of the curve settings becomes a step when it changed something.
bool RecordCurveEdit(Document& doc);
// The gesture that changed the trace ended: its change becomes one step.
bool FinishPendingEdit(Document& doc);
bool UndoEdit(Document& doc);
bool RedoEdit(Document& doc);

CommandStates ComputeCommandStates(const Trace& trace);
void UpdateCommandStates(Document& doc);

} // namespace kestrova
