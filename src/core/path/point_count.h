#pragma once
// The number of path points N: its two presets, normalization so that every segment gets the
// same whole number of steps, the automatic adjustment on point edits, and the duration.

#include "core/model/trace.h"

#include <QString>

namespace kestrova {

constexpr int32_t kMaxPathPoints = 40000;

struct NormalizedCount {
    int32_t count = 0;
    bool ok = false; // within 40000 and not below the control count
};

// controlCount -1 stands for nothing here: callers pass the count they mean.
NormalizedCount NormalizePointCount(int32_t n, int32_t controlCount);
// The largest normalized count not above value (or the first feasible one below it).
int32_t FindFeasiblePointCount(int32_t value, int32_t controlCount);

// The integer a preset or count text stands for (its leading number, rounded; 0 if none).
int32_t CountFromText(const QString& text);

// Called just before a control point is added (adding) or removed, with the old count.
void AdjustPointCountForEdit(Trace& trace, bool adding);
// Makes a preset's count the one in force (-1: the active preset): duration, path, preview.
void ApplyPointCount(Trace& trace, int preset = -1);
// N / frame rate, its texts and the control points' time labels.
void UpdateDuration(Trace& trace);
// The demo's frame rate changed: the duration follows (N stays).
void ApplyFrameRate(Trace& trace, int32_t rate);
// Recomputes every control point's time label from the duration.
void UpdateTimeLabels(Trace& trace);

// h:mm:ss.mmm, carrying into the seconds when the milliseconds round to 1000.
QString DurationClock(double seconds);

// A preset text typed by the user; false when it is not a number (nothing changes).
bool ValidatePresetText(Trace& trace, int preset, const QString& text);
// A duration typed in seconds; false when it is not a number in 0..40000.
bool ValidateDurationText(Trace& trace, const QString& text);
// Transition speed: leading number rounded, written back.
void ValidateTransSpeedText(Trace& trace, const QString& text);

// Keeps the preview on the same share of the path when N changes.
void RescalePreview(Trace& trace, int32_t oldCount, int32_t newCount);

} // namespace kestrova
