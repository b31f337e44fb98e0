#pragma once
// The demo time at which the camera script starts by itself, in milliseconds and as a clock.

#include "core/model/trace.h"

#include <QString>
#include <cstdint>

namespace kestrova {

constexpr int32_t kMaxStartMs = 2147483647;

struct ClockTime {
    int32_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};

// Largest value of each clock field (hours, minutes, seconds, milliseconds) for its spin
// control; the hours reach the clamp of the total.
int32_t ClockFieldMaximum(int field);

ClockTime MsToClock(int32_t ms);
// Summed in double so that large fields cannot overflow; 2147483647 or more is clamped there,
// and a negative total counts as 0.
int32_t ClockToMs(double hours, double minutes, double seconds, double milliseconds);
int32_t ClockToMs(const ClockTime& clock);

// A typed millisecond text: its leading number rounded down, clamped to 0..2147483647.
int32_t StartMsFromText(const QString& text);
// Validation of the millisecond box: the text is rewritten as that whole number.
void ValidateAutoStartMsText(ScriptRunOptions& options, const QString& text);
// Validation of one clock field (0..3) or a move of its spin control: the total is recomputed.
void SetAutoStartClockField(ScriptRunOptions& options, int field, double value);

// The auto-start switch; a trace with control points that is not being loaded becomes modified.
void SetAutoStartEnabled(Trace& trace, bool on, bool loading);

} // namespace kestrova
