#include "core/script/auto_start.h"

#include "core/numbers.h"

#include <cmath>

namespace kestrova {

int32_t ClockFieldMaximum(int field) {
    switch (field) {
    case 0:
        return kMaxStartMs / 3600000;
    case 1:
    case 2:
        return 59;
    default:
        return 999;
    }
}

ClockTime MsToClock(int32_t ms) {
    if (ms < 0)
        ms = 0;
    ClockTime c;
    c.hours = ms / 3600000;
    c.minutes = (ms / 60000) % 60;
    c.seconds = (ms / 1000) % 60;
    c.milliseconds = ms % 1000;
    return c;
}

int32_t ClockToMs(double hours, double minutes, double seconds, double milliseconds) {
    const double ms = hours * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 + milliseconds;
    if (!(ms < kMaxStartMs)) // NaN too
        return kMaxStartMs;
    if (ms <= 0.0)
        return 0;
    return static_cast<int32_t>(std::floor(ms));
}

int32_t ClockToMs(const ClockTime& c) {
    return ClockToMs(c.hours, c.minutes, c.seconds, c.milliseconds);
}

int32_t StartMsFromText(const QString& text) {
    const double v = std::floor(LeadingNumber(text));
    if (v >= kMaxStartMs)
        return kMaxStartMs;
    if (v <= 0.0)
        return 0;
    return static_cast<int32_t>(v);
}

void ValidateAutoStartMsText(ScriptRunOptions& options, const QString& text) {
    options.autoStartMsText = QString::number(StartMsFromText(text));
}

void SetAutoStartClockField(ScriptRunOptions& options, int field, double value) {
    ClockTime c = MsToClock(StartMsFromText(options.autoStartMsText));
    double f[4] = {double(c.hours), double(c.minutes), double(c.seconds), double(c.milliseconds)};
    if (field >= 0 && field < 4)
        f[field] = value;
    options.autoStartMsText = QString::number(ClockToMs(f[0], f[1], f[2], f[3]));
}

void SetAutoStartEnabled(Trace& trace, bool on, bool loading) {
    trace.script.autoStartEnabled = on;
    if (!loading && trace.ControlCount() > 0)
        trace.modified = true;
}

} // namespace kestrova
