#pragma once
// The document being edited: point tables, path, point-count settings and script options.

#include "core/model/point_record.h"
#include "core/script/run_options.h"

#include <QString>
#include <array>
#include <vector>

namespace kestrova {

struct PointTables {
    std::array<std::array<PointRecord, kTableSlots>, 2> rec{};
    std::array<int32_t, 2> count{0, 0};
    // Control points: when the camera passes each one, seconds with two decimals.
    std::array<QString, kTableSlots> timeLabel;
    // The path is re-spaced to an even speed. Kept with the points so that every builder of the
    // path (views, preview, scripts, export) sees it.
    bool constantSpeed = false;

    PointRecord& At(int kind, int index) { return rec[kind][index]; }
    const PointRecord& At(int kind, int index) const { return rec[kind][index]; }
    int Count(int kind) const { return count[kind]; }
};

// The two point-count presets, the count in force and what follows from it.
struct PointCountSettings {
    std::array<QString, 2> presetText{QStringLiteral("1000"), QStringLiteral("1000")};
    std::array<bool, 2> autoAdjust{false, false};
    int activePreset = 0;
    int32_t pointCount = 1000;                       // N, read by the path builder
    int32_t frameRate = 25;                          // the demo's frames per second
    double duration = 0.0;                           // seconds: N / frame rate
    QString durationText;                            // three decimals, regional format
    QString durationClock;                           // h:mm:ss.mmm
    QString transSpeedText = QStringLiteral("1000"); // Defrag camera speed between two points
};

// Where the preview camera stands on the path.
struct PreviewPosition {
    int32_t index = 0;
    int32_t segment = 1;
};

struct Trace {
    PointTables points;
    std::vector<PointRecord> path; // index 0..pathUpper
    int32_t pathUpper = -1;        // -1: no path (fewer than two control points)
    PointCountSettings counts;
    PreviewPosition preview;
    ScriptRunOptions script;
    QString notes;
    bool showReferencePoints = true; // the "Ref. points" display
    bool modified = false;

    int ControlCount() const { return points.count[kControl]; }
    int ReferenceCount() const { return points.count[kReference]; }
};

} // namespace kestrova
