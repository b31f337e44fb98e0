#include "core/path/point_count.h"

#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/constant_speed.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

NormalizedCount NormalizePointCount(int32_t n, int32_t controlCount) {
    if (n < controlCount)
        n = controlCount;
    // With one segment every count is already exact: (n - 1) steps and the end point. The
    // general rule would turn N into N + 1 there, one more point at every open and validation.
    const int64_t s = StepsPerSegment(n, controlCount);
    const int64_t normalized =
        controlCount == 2 ? n : static_cast<int64_t>(controlCount - 1) * s + 1;
    NormalizedCount r;
    r.count = static_cast<int32_t>(std::clamp<int64_t>(normalized, INT32_MIN, INT32_MAX));
    r.ok = normalized <= kMaxPathPoints && normalized >= controlCount;
    return r;
}

int32_t FindFeasiblePointCount(int32_t value, int32_t controlCount) {
    // Normalizing never decreases with the value and never adds more than one, so walking
    // down from 40000 finds what walking down from any larger value would.
    int32_t v = std::min(value, kMaxPathPoints);
    for (;; --v) {
        const NormalizedCount r = NormalizePointCount(v, controlCount);
        if (r.count <= kMaxPathPoints)
            return r.count;
    }
}

int32_t CountFromText(const QString& text) {
    bool ok = false;
    const double v = ParseLocaleNumber(text, &ok);
    if (ok)
        return RoundHalfEven(v);
    return RoundHalfEven(LeadingNumber(text));
}

void UpdateTimeLabels(Trace& trace) {
    const int n = trace.ControlCount();
    if (n < 2)
        return;
    if (trace.points.constantSpeed) {
        const std::vector<double> at = PassingFractions(trace);
        if (!at.empty()) {
            for (int i = 1; i <= n; ++i)
                trace.points.timeLabel[i] = FormatLocaleFixed(trace.counts.duration * at[i], 2);
            return;
        }
    }
    const double step = trace.counts.duration / (n - 1);
    for (int i = 1; i <= n; ++i)
        trace.points.timeLabel[i] = FormatLocaleFixed(step * (i - 1), 2);
}

QString DurationClock(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const double whole = std::floor(seconds);
    const int64_t totalMs =
        static_cast<int64_t>(whole) * 1000 + RoundHalfEven((seconds - whole) * 1000.0);
    const int64_t hours = totalMs / 3600000;
    const int64_t minutes = totalMs / 60000 % 60;
    const int64_t secs = totalMs / 1000 % 60;
    const int64_t ms = totalMs % 1000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'))
        .arg(ms, 3, 10, QLatin1Char('0'));
}

void UpdateDuration(Trace& trace) {
    PointCountSettings& c = trace.counts;
    c.duration = c.frameRate > 0 ? static_cast<double>(c.pointCount) / c.frameRate : 0.0;
    c.durationText = FormatLocaleFixed(c.duration, 3);
    c.durationClock = DurationClock(c.duration);
    UpdateTimeLabels(trace);
}

void ApplyFrameRate(Trace& trace, int32_t rate) {
    if (rate < 1)
        return;
    trace.counts.frameRate = rate;
    UpdateDuration(trace);
}

void RescalePreview(Trace& trace, int32_t oldCount, int32_t newCount) {
    PreviewPosition& p = trace.preview;
    if (oldCount > 0) {
        const double scaled =
            std::floor(static_cast<double>(p.index + 1) * newCount / oldCount) - 1.0;
        p.index = std::max(0, RoundHalfEven(scaled));
    }
    if (p.index > trace.pathUpper) {
        p.index = std::max(trace.pathUpper, 0);
        p.segment = trace.ControlCount();
    } else {
        p.segment = trace.path[p.index].segment;
    }
}

void ApplyPointCount(Trace& trace, int preset) {
    PointCountSettings& c = trace.counts;
    if (preset < 0 || preset > 1)
        preset = c.activePreset;
    const int32_t oldCount = c.pointCount;
    c.pointCount = CountFromText(c.presetText[preset]);
    UpdateDuration(trace);
    RebuildPath(trace);
    RescalePreview(trace, oldCount, c.pointCount);
}

void AdjustPointCountForEdit(Trace& trace, bool adding) {
    const int n = trace.ControlCount();
    if (n <= 0)
        return;
    PointCountSettings& c = trace.counts;
    for (int i = 0; i < 2; ++i) {
        if (!c.autoAdjust[i])
            continue;
        const double current = CountFromText(c.presetText[i]);
        const int32_t wanted = RoundHalfEven(current * (adding ? n + 1 : n - 1) / n);
        const NormalizedCount r = NormalizePointCount(wanted, n);
        if (r.ok) {
            c.presetText[i] = QString::number(r.count);
            if (i == c.activePreset)
                ApplyPointCount(trace, i);
        } else {
            c.autoAdjust[i] = false;
        }
    }
}

bool ValidatePresetText(Trace& trace, int preset, const QString& text) {
    bool ok = false;
    const double typed = ParseLocaleNumber(text, &ok);
    if (!ok || preset < 0 || preset > 1)
        return false;
    int32_t v = RoundHalfEven(typed);
    if (trace.ControlCount() > 1)
        v = FindFeasiblePointCount(v, trace.ControlCount());
    PointCountSettings& c = trace.counts;
    c.presetText[preset] = QString::number(v);
    trace.modified = true;
    ApplyPointCount(trace, preset);
    c.autoAdjust[preset] = true;
    return true;
}

bool ValidateDurationText(Trace& trace, const QString& text) {
    bool ok = false;
    const double seconds = ParseLocaleNumber(text, &ok);
    if (!ok || seconds < 0 || seconds > 40000)
        return false;
    PointCountSettings& c = trace.counts;
    const int32_t n =
        FindFeasiblePointCount(RoundHalfEven(c.frameRate * seconds), trace.ControlCount());
    return ValidatePresetText(trace, c.activePreset, QString::number(n));
}

void ValidateTransSpeedText(Trace& trace, const QString& text) {
    bool ok = false;
    double v = ParseLocaleNumber(text, &ok);
    if (!ok)
        v = LeadingNumber(text);
    trace.counts.transSpeedText = QString::number(RoundHalfEven(v));
    trace.modified = true;
}

} // namespace kestrova
