#include "core/path/constant_speed.h"

#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

double Distance(const PointRecord& a, const PointRecord& b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double dz = static_cast<double>(b.z) - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float Lerp(float a, float b, double f) {
    return static_cast<float>(a + (static_cast<double>(b) - a) * f);
}

void Shift(PointRecord& p, const std::array<float, 3>& d, float sign) {
    p.x += sign * d[0];
    p.y += sign * d[1];
    p.z += sign * d[2];
}

// Puts out[1..n-2] at the polyline lengths `at` (increasing); both walk forward once, so this is
// linear in the point count. A run of points at one place (the camera standing still) is passed
// to its end.
void PlaceAt(const std::vector<PointRecord>& path, const std::vector<double>& along,
             const std::vector<double>& at, std::vector<PointRecord>& out, bool whole) {
    const size_t n = path.size();
    size_t j = 0;
    for (size_t i = 1; i + 1 < n; ++i) {
        const double d = at[i];
        while (j + 2 < n && along[j + 1] <= d)
            ++j;
        const double step = along[j + 1] - along[j];
        const double f = step > 0.0 ? std::clamp((d - along[j]) / step, 0.0, 1.0) : 1.0;
        const PointRecord& a = path[j];
        const PointRecord& b = path[j + 1];
        PointRecord& p = out[i];
        if (!whole) {
            p.x = Lerp(a.x, b.x, f);
            p.y = Lerp(a.y, b.y, f);
            p.z = Lerp(a.z, b.z, f);
            continue;
        }
        p = a;
        p.x = Lerp(a.x, b.x, f);
        p.y = Lerp(a.y, b.y, f);
        p.z = Lerp(a.z, b.z, f);
        // Angles as plain numbers, as the builder interpolates them.
        p.pitch = Lerp(a.pitch, b.pitch, f);
        p.yaw = Lerp(a.yaw, b.yaw, f);
        p.roll = Lerp(a.roll, b.roll, f);
        p.fov = Lerp(a.fov, b.fov, f);
        p.ts = Lerp(a.ts, b.ts, f);
    }
}

// Where a frame's step spans a bend, its straight chord is shorter than the arc; a few passes
// move the points along the curve until the chords themselves are equal.
constexpr int kChordPasses = 4;
constexpr double kChordTolerance = 0.001;

} // namespace

void RespaceByArcLength(std::vector<PointRecord>& path,
                        const std::vector<std::array<float, 3>>* shake) {
    const size_t n = path.size();
    if (n < 3)
        return;
    const bool shaken = shake && shake->size() >= n;
    if (shaken)
        for (size_t i = 0; i < n; ++i)
            Shift(path[i], (*shake)[i], -1.0f);

    std::vector<double> along(n);
    along[0] = 0.0;
    for (size_t i = 1; i < n; ++i)
        along[i] = along[i - 1] + Distance(path[i - 1], path[i]);
    const double total = along[n - 1];
    if (!(total > 0.0) || !std::isfinite(total)) {
        if (shaken)
            for (size_t i = 0; i < n; ++i)
                Shift(path[i], (*shake)[i], 1.0f);
        return;
    }

    const double last = static_cast<double>(n - 1);
    std::vector<double> at(n);
    for (size_t i = 0; i < n; ++i)
        at[i] = total * (static_cast<double>(i) / last);
    at[n - 1] = total;
    std::vector<PointRecord> out(n);
    out[0] = path[0];
    out[n - 1] = path[n - 1];
    // The passes move positions only; the whole records are placed once at the end.
    PlaceAt(path, along, at, out, false);

    std::vector<double> chords(n);
    std::vector<double> next(n);
    for (int pass = 0; pass < kChordPasses; ++pass) {
        chords[0] = 0.0;
        for (size_t i = 1; i < n; ++i)
            chords[i] = chords[i - 1] + Distance(out[i - 1], out[i]);
        const double length = chords[n - 1];
        const double mean = length / last;
        double worst = 0.0;
        for (size_t i = 1; i < n; ++i)
            worst = std::max(worst, std::fabs(chords[i] - chords[i - 1] - mean));
        if (!(mean > 0.0) || worst <= kChordTolerance * mean)
            break;
        // Read the place along the curve back from the equal shares of the chords' sum.
        next[0] = 0.0;
        next[n - 1] = total;
        size_t k = 0;
        for (size_t i = 1; i + 1 < n; ++i) {
            const double target = length * (static_cast<double>(i) / last);
            while (k + 2 < n && chords[k + 1] <= target)
                ++k;
            const double span = chords[k + 1] - chords[k];
            const double f = span > 0.0 ? std::clamp((target - chords[k]) / span, 0.0, 1.0) : 1.0;
            next[i] = at[k] + f * (at[k + 1] - at[k]);
        }
        at.swap(next);
        PlaceAt(path, along, at, out, false);
    }
    PlaceAt(path, along, at, out, true);
    path.swap(out);
    if (shaken)
        for (size_t i = 0; i < n; ++i)
            Shift(path[i], (*shake)[i], 1.0f);
}

bool SetConstantSpeed(Trace& trace, bool on) {
    if (trace.points.constantSpeed == on)
        return false;
    trace.points.constantSpeed = on;
    RebuildPath(trace);
    UpdateTimeLabels(trace);
    return true;
}

std::vector<double> PassingFractions(const Trace& trace) {
    const int n = trace.ControlCount();
    const int32_t upper = trace.pathUpper;
    if (n < 2 || upper < 1 || static_cast<int32_t>(trace.path.size()) <= upper)
        return {};
    const std::vector<PointRecord>& path = trace.path;
    std::vector<double> at(static_cast<size_t>(n) + 1, 1.0);
    at[1] = 0.0;
    int32_t i = 1;
    for (int point = 2; point < n; ++point) {
        while (i < upper && path[i].segment < point)
            ++i;
        // The control point lies between points i - 1 and i: place it by distance.
        const PointRecord& cp = trace.points.rec[kControl][point];
        const double step = Distance(path[i - 1], path[i]);
        const double f = step > 0.0 ? std::clamp(Distance(path[i - 1], cp) / step, 0.0, 1.0) : 1.0;
        at[point] = (i - 1 + f) / upper;
    }
    return at;
}

} // namespace kestrova
