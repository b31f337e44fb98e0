#include "core/path/constant_speed.h"

#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

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
// A reversal (the path turning back by more than a right angle at one point) gets a frame of
// its own: a step across it would be far shorter than its arc, and no shifting along the curve
// evens that out. The stretches between reversals take whole numbers of steps; with this many
// at least, rounding changes a stretch's step by under 2.5%.
constexpr int32_t kMinStretchSteps = 20;

struct Stretch {
    size_t first; // point index where it starts; the last stretch ends at the last point
    double from;  // its start along the polyline
};

// The stretches between the reversals, each with the point index it starts at. A reversal too
// near another one or an end is left inside its stretch.
std::vector<Stretch> Stretches(const std::vector<PointRecord>& path,
                               const std::vector<double>& along) {
    const size_t n = path.size();
    const double total = along[n - 1];
    const double step = total / static_cast<double>(n - 1);
    std::vector<double> tips;
    double in[3] = {0, 0, 0};
    for (size_t j = 1; j < n; ++j) {
        const double out[3] = {static_cast<double>(path[j].x) - path[j - 1].x,
                               static_cast<double>(path[j].y) - path[j - 1].y,
                               static_cast<double>(path[j].z) - path[j - 1].z};
        if (out[0] == 0 && out[1] == 0 && out[2] == 0)
            continue; // standing still: the turn is measured across it
        if (in[0] * out[0] + in[1] * out[1] + in[2] * out[2] < 0)
            tips.push_back(along[j - 1]);
        std::copy(out, out + 3, in);
    }
    std::vector<double> cuts{0.0};
    for (double t : tips)
        if (t - cuts.back() >= kMinStretchSteps * step && total - t >= kMinStretchSteps * step)
            cuts.push_back(t);
    // Whole steps per stretch, the remainders going to the largest shares.
    const size_t k = cuts.size();
    cuts.push_back(total);
    std::vector<int64_t> steps(k);
    std::vector<std::pair<double, size_t>> rest(k);
    int64_t given = 0;
    for (size_t i = 0; i < k; ++i) {
        const double share = (cuts[i + 1] - cuts[i]) / step;
        steps[i] = static_cast<int64_t>(share);
        given += steps[i];
        rest[i] = {share - static_cast<double>(steps[i]), i};
    }
    std::sort(rest.begin(), rest.end(), std::greater<>());
    for (size_t i = 0; given < static_cast<int64_t>(n - 1); ++i, ++given)
        ++steps[rest[i % k].second];
    std::vector<Stretch> out;
    size_t first = 0;
    for (size_t i = 0; i < k; ++i) {
        out.push_back({first, cuts[i]});
        first += static_cast<size_t>(steps[i]);
    }
    out.push_back({n - 1, total});
    return out;
}

// Values at equal shares of each stretch: `ends` gives the value at each stretch's start (and
// the last one's end), out[i] the value at point i.
void Share(const std::vector<Stretch>& stretches, const std::vector<double>& ends,
           std::vector<double>& out) {
    for (size_t s = 0; s + 1 < stretches.size(); ++s) {
        const size_t a = stretches[s].first, b = stretches[s + 1].first;
        for (size_t i = a; i < b; ++i)
            out[i] = ends[s] + (ends[s + 1] - ends[s]) *
                                   (static_cast<double>(i - a) / static_cast<double>(b - a));
    }
    out[stretches.back().first] = ends.back();
}

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

    const std::vector<Stretch> stretches = Stretches(path, along);
    std::vector<double> ends(stretches.size());
    for (size_t s = 0; s < stretches.size(); ++s)
        ends[s] = stretches[s].from;
    std::vector<double> at(n);
    Share(stretches, ends, at);
    std::vector<PointRecord> out(n);
    out[0] = path[0];
    out[n - 1] = path[n - 1];
    // The passes move positions only; the whole records are placed once at the end.
    PlaceAt(path, along, at, out, false);

    std::vector<double> chords(n);
    std::vector<double> next(n);
    std::vector<double> targets(n);
    for (int pass = 0; pass < kChordPasses; ++pass) {
        chords[0] = 0.0;
        for (size_t i = 1; i < n; ++i)
            chords[i] = chords[i - 1] + Distance(out[i - 1], out[i]);
        // Each stretch's chords against their own mean.
        double worst = 0.0;
        bool moving = true;
        for (size_t s = 0; s + 1 < stretches.size(); ++s) {
            const size_t a = stretches[s].first, b = stretches[s + 1].first;
            const double mean = (chords[b] - chords[a]) / static_cast<double>(b - a);
            moving = moving && mean > 0.0;
            for (size_t i = a + 1; i <= b; ++i)
                worst = std::max(worst, std::fabs(chords[i] - chords[i - 1] - mean) / mean);
        }
        if (!moving || worst <= kChordTolerance)
            break;
        // Read the place along the curve back from the equal shares of the chords' sums.
        for (size_t s = 0; s < stretches.size(); ++s)
            ends[s] = chords[stretches[s].first];
        Share(stretches, ends, targets);
        next[0] = 0.0;
        next[n - 1] = total;
        size_t k = 0;
        for (size_t i = 1; i + 1 < n; ++i) {
            const double target = targets[i];
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
