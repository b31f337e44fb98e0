#pragma once
// The trace file: a header of keyed values, the point lines and the notes.
// Reading parses into TraceFileContents without touching the program; ApplyTraceFile then sets
// the trace and hands the rest (views, lists, demo, game, map) to a TraceFileHost. Writing takes
// the same value struct, so a file that cannot be read changes nothing.

#include "core/dialogs.h"
#include "core/model/trace.h"
#include "core/script/run_options.h"
#include "core/view/view_state.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

class UndoHistory;

struct TraceFileContents {
    int game = 0;
    // Views: active view, the three plan views (X-Y, X-Z, Y-Z) and the 3D camera.
    int activeView = 0;
    std::array<PlanView, 3> plans{};
    ViewCamera camera;
    // Used preset slots as the file holds them: "slot;mode;h;v;zoom;x;y;z;pitch;yaw;roll;fov;zfar".
    QStringList presetLines;

    int stepIdx = 0;
    std::array<QString, 2> stepText{QStringLiteral("1000"), QStringLiteral("1000")};
    QString demoName;
    QString gameConfig; // text of the chosen game configuration
    QString mapName;    // relative to the game's map folder; empty without a map
    ScriptRunOptions script;
    // Demo time fields: minutes, seconds, frames forward.
    int32_t demoMinutes = 0;
    int32_t demoSeconds = 0;
    int32_t demoForward = 0;
    QString transSpeedText = QStringLiteral("1000");
    int32_t aviDemo = 0;     // chosen frame rate; 0 for the default
    QList<int32_t> aviDemos; // the frame-rate list

    PointTables points;
    QString notes;

    // Reading only: whether the file held any plan view key, and any camera key. A trace made by
    // other means may hold neither; the editor then fits its views to the points.
    bool planViewsRead = false;
    bool cameraRead = false;
    // Reading only: point lines beyond the 250 points of a kind, ignored.
    int droppedControl = 0;
    int droppedReference = 0;
};

// Bounds of the lists that some keys index.
struct TraceReadLimits {
    int bindKeyLast = 100; // 101 resume keys
};
// Last index of the camera-mode list of a game (ET Pro 2 modes, Defrag 4).
int CameraModeLast(int game);

// TAB + key + spaces up to 17 characters.
QString PadKey(const QString& key);
QString HeaderKey(const QString& line);
QString HeaderValue(const QString& line);
// Floats in the general regional form (at most seven significant digits, no grouping), with
// ASCII digits and minus whatever the locale.
QString FormatTraceFloat(double v);
// Reads what FormatTraceFloat writes, and the locale's own minus and digits; 0 and ok false
// when the text is not a number.
double ParseTraceFloat(QStringView text, bool* ok = nullptr);

// Fills point index (1-based) of kind from one "ctl:"/"ref:" line.
void ReadPointLine(PointTables& t, int kind, int index, const QString& line);

// The whole text in the Western Windows code page, CR LF line ends.
QByteArray TraceFileText(const TraceFileContents& c);
// Atomic replace; false when nothing could be written.
bool WriteTraceFile(const QString& path, const TraceFileContents& c, QString* reason = nullptr);

// The file's lines with their empty lines (the one after the points starts the notes); nothing
// when the file cannot be read as text.
std::optional<QStringList> ReadTraceFileLines(const QString& path, QString* reason = nullptr);

// At least one line is a point line or a header line with a key the reader knows.
bool LooksLikeTraceFile(const QStringList& lines);

// Parses the lines into c. c holds the current values on entry: fields without a default keep
// them unless their key occurs (demo time, transition speed, views, camera).
void ReadTraceFile(const QStringList& lines, TraceFileContents& c,
                   const TraceReadLimits& limits = {});

// What the file stores beyond the trace, owned by other modules.
class TraceFileHost {
public:
    virtual ~TraceFileHost() = default;
    // Writing: fills the view, list, demo, game and map values of c.
    virtual void StoreExtras(TraceFileContents& c) = 0;
    // Reading, first of all: the trace's game becomes current, so that what follows (its demo
    // above all) is checked against that game's folders.
    virtual void SwitchToTraceGame(int game) { (void)game; }
    // Reading: whether the demo browser knows a demo of this name.
    virtual bool KnowsDemo(const QString& name) = 0;
    // Reading: switches the game, loads or unloads the map, selects the active view and its
    // plan view, applies the presets, rebuilds the frame-rate list, selects the lists by text
    // and sets the demo fields. The trace part is already applied by then.
    virtual void ApplyExtras(const TraceFileContents& c) = 0;
    // Reading: the notes hold text; the editor opens its notes window.
    virtual void ShowNotes() {}
    // New trace: X-Y view active with its stored plan, presets cleared, the map unloaded when
    // asked, the frame-rate list back to its own entries and its default.
    virtual void ResetForNewTrace(bool unloadMap) { (void)unloadMap; }
    // The frame rate chosen when the file names none.
    virtual int32_t DefaultFrameRate() { return 50; }
};

// Keeps the extras as plain values: the command line and tests.
class KeptTraceExtras : public TraceFileHost {
public:
    void StoreExtras(TraceFileContents& c) override;
    bool KnowsDemo(const QString& name) override { return knownDemos.contains(name); }
    void ApplyExtras(const TraceFileContents& c) override;
    void ShowNotes() override { notesShown = true; }
    void ResetForNewTrace(bool unloadMap) override;

    TraceFileContents extras; // only the non-trace fields are meaningful
    QStringList knownDemos;
    bool notesShown = false;
};

// The values to write: the trace's own part, the rest from the host.
TraceFileContents CaptureTraceFile(const Trace& trace, TraceFileHost& host);
// The current values as reading starts from them.
TraceFileContents CurrentTraceFileValues(const Trace& trace, TraceFileHost& host);

// Sets the trace from c (points, counts, options, notes), restarts the undo history with the
// loaded trace as its only state and hands the rest to the host. A demo the host does not know
// is dropped with the message "%% demo not found.". The trace ends not modified.
void ApplyTraceFile(TraceFileContents c, Trace& trace, UndoHistory& undo, TraceFileHost& host,
                    Dialogs& dialogs);

} // namespace kestrova
