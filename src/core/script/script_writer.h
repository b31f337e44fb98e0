#pragma once
// The camera script: one console line per path point, spread over a chain of .cfg files that
// each execute the next, plus a first-position script. Works from the trace, its run options
// and the game profile alone, so the editor and the command line run the same code.

#include "core/dialogs.h"
#include "core/model/trace.h"
#include "core/path/random.h"
#include "core/script/game_profile.h"
#include "core/script/script_location.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

// The most characters one chained file takes before the next one starts (the game's limit).
constexpr int kMaxScriptChars = 14848;
// Chained files are numbered with three digits; beyond this the numbers would wrap.
constexpr int kMaxChainNumber = 999;
// How long the success box stays: long enough to read where the files went.
constexpr int kSuccessBoxMs = 6000;

// What a point line needs, taken once from the trace.
struct ScriptLineOptions {
    int game = kGameEtPro;
    bool lookPlayer = false;
    bool includeFov = true;
    bool includeTs = true;
    bool includeMsg = false;
    double transSpeed = 0.0; // Defrag: scaled by the timescale on every line
};

// The texts of one run, as Latin-1 bytes with CR LF line ends, before anything is written.
struct CameraScript {
    QByteArray header;
    std::vector<QByteArray> scripts; // the chain; the tail is in the last one
    QByteArray firstPosition;
    QString problem;        // set instead of the texts when the path is not made of finite numbers
    bool startFile = false; // ET Pro auto start: the header goes into a start file of its own
    int32_t pointCount = 0; // path points written
    qint64 elapsedMs = 0;   // building the path and its lines
};

ScriptLineOptions LineOptionsOf(const Trace& trace, int game);

// Two decimals with ".", whatever the locale; a value that rounds to zero is "0.00".
void AppendScriptNumber(QByteArray& out, double v);
// One point line; newSegment adds the segment message when messages are on.
void AppendScriptLine(QByteArray& out, const PointRecord& p, bool newSegment,
                      const ScriptLineOptions& o);
// The opening block; first is the path's first point (fov and timescale).
QByteArray ScriptHeader(const Trace& trace, int game, const PointRecord& first);
QByteArray ScriptTail(const ScriptRunOptions& options);
QByteArray FirstPositionScript(const PointRecord& first, int game);

// Builds the script's path (pitch in the game's convention) and all texts. Empty scripts when
// the trace has fewer than two control points.
CameraScript GenerateCameraScript(Trace& trace, int game, UniformRandom& rng = AppRandom());

// Name of the file holding script i, and the text that ends it to run script i + 1.
QString ChainFileName(const ScriptLocation& location, int index, bool startFile);
QByteArray ChainText(const ScriptLocation& location, const ScriptRunOptions& options, int index);
// The ET Pro start file: the header, then the chain's start at the chosen demo time.
QByteArray StartFileText(const CameraScript& script, const ScriptLocation& location,
                         const ScriptRunOptions& options);

enum class ScriptWriteStatus {
    Written,
    NoPath,    // fewer than two control points
    Declined,  // the user would not write outside a mod folder
    Refused,   // more chained files than three digits can number, or a name the game would
               // read as commands
    Cancelled, // a failed start file was not retried
    Failed,    // some chained files could not be written
    NotChosen  // the save dialog was cancelled
};

struct ScriptWriteResult {
    ScriptWriteStatus status = ScriptWriteStatus::NoPath;
    ScriptLocation location;
    int32_t pointCount = 0;
    qint64 elapsedMs = 0;
    QStringList files; // written, in order ("1stPos.cfg" first)
};

// Writes a generated script: "1stPos.cfg", deletes the chained files of an earlier run, the
// start file, then the chain. Failures ask Retry or Cancel; success shows the timed box.
ScriptWriteResult WriteCameraScript(const CameraScript& script, const ScriptLocation& location,
                                    const ScriptRunOptions& options, Dialogs& dialogs);

// The whole run from a chosen save path: location (with its question when outside a mod
// folder), generation, writing; on success the trace remembers the base name.
ScriptWriteResult CreateCameraScript(const QString& savePath, Trace& trace, int game,
                                     Dialogs& dialogs, UniformRandom& rng = AppRandom());

// The editor's command: the save dialog, the chosen folder remembered in lastFolder (the
// game's DftPathCfg), then CreateCameraScript.
ScriptWriteResult CreateScriptFromDialog(Trace& trace, int game, QString& lastFolder,
                                         Dialogs& dialogs, UniformRandom& rng = AppRandom());

} // namespace kestrova
