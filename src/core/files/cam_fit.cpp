#include "core/files/cam_fit.h"

#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace kestrova {
namespace {

// Channels of the fit: position, then the angles with the scripts' pitch sign, then fov.
enum { kFx, kFy, kFz, kFPitch, kFYaw, kFRoll, kFFov, kFitChannels };

using Sample = std::array<double, kFitChannels>;

// Angles made continuous: each differs from the previous frame's by at most half a turn, so a
// yaw going past 180 keeps turning the same way instead of jumping back through zero.
std::vector<Sample> ContinuousSamples(const std::vector<CamFrame>& frames) {
    std::vector<Sample> out(frames.size());
    for (size_t j = 0; j < frames.size(); ++j) {
        const CamFrame& f = frames[j];
        out[j] = {f.x, f.y, f.z, f.pitch, f.yaw, f.roll, f.fov};
        if (j == 0)
            continue;
        for (int c = kFPitch; c <= kFRoll; ++c)
            out[j][c] -= 360.0 * std::round((out[j][c] - out[j - 1][c]) / 360.0);
    }
    return out;
}

// Normal equations of a least-squares fit whose samples each touch four consecutive unknowns:
// a symmetric band of half-width 3, solved by Cholesky in its own storage.
class BandedFit {
public:
    static constexpr int kBand = 3;

    BandedFit(int size, int rhsCount)
        : size_(size), rhsCount_(rhsCount), a_(size_t(size) * (kBand + 1), 0.0),
          b_(size_t(size) * rhsCount, 0.0) {}

    void Add(int first, const double basis[4], const double* values, int valueStride) {
        for (int p = 0; p < 4; ++p) {
            const int i = first + p;
            for (int q = 0; q <= p; ++q)
                A(i, first + q) += basis[p] * basis[q];
            for (int r = 0; r < rhsCount_; ++r)
                b_[size_t(i) * rhsCount_ + r] += basis[p] * values[r * valueStride];
        }
    }
    // Keeps an unknown that no sample decides near zero instead of undefined.
    void Ridge(int i, double weight) { A(i, i) += weight; }
    // Pulls unknown i toward value with the given weight (all right-hand sides alike).
    void Pull(int i, double weight, double value) {
        A(i, i) += weight;
        for (int r = 0; r < rhsCount_; ++r)
            B(i, r) += weight * value;
    }

    // Solution of unknown i for right-hand side r, after Solve.
    double X(int i, int r) const { return b_[size_t(i) * rhsCount_ + r]; }

    void Solve() {
        for (int i = 0; i < size_; ++i) {
            for (int j = std::max(0, i - kBand); j <= i; ++j) {
                double sum = A(i, j);
                for (int k = std::max(0, i - kBand); k < j; ++k)
                    sum -= A(i, k) * A(j, k);
                A(i, j) = i == j ? std::sqrt(std::max(sum, 1e-300)) : sum / A(j, j);
            }
        }
        for (int r = 0; r < rhsCount_; ++r) {
            for (int i = 0; i < size_; ++i) {
                double sum = B(i, r);
                for (int k = std::max(0, i - kBand); k < i; ++k)
                    sum -= A(i, k) * B(k, r);
                B(i, r) = sum / A(i, i);
            }
            for (int i = size_ - 1; i >= 0; --i) {
                double sum = B(i, r);
                for (int k = i + 1; k <= std::min(size_ - 1, i + kBand); ++k)
                    sum -= A(k, i) * B(k, r);
                B(i, r) = sum / A(i, i);
            }
        }
    }

private:
    double& A(int i, int j) { return a_[size_t(i) * (kBand + 1) + (i - j)]; }
    double& B(int i, int r) { return b_[size_t(i) * rhsCount_ + r]; }

    int size_;
    int rhsCount_;
    std::vector<double> a_;
    std::vector<double> b_;
};

struct Candidate {
    PointTables points;
    int32_t pointCount = 0;
    double unitsError = 0;
    double degreesError = 0;
    bool ok = false;
};

// Where path point k lies: its segment (0-based) and parameter, as the path builder steps.
void Locate(int32_t k, int32_t segments, int32_t steps, int& segment, double& t) {
    segment = std::min<int32_t>(k / steps, segments - 1);
    t = static_cast<float>(static_cast<double>(k - segment * steps) / steps);
}

// How far the frames after `from` wander from it.
double EndDrift(const std::vector<Sample>& samples, int32_t from) {
    double most = 0;
    const Sample& a = samples[size_t(from)];
    for (size_t k = size_t(from) + 1; k < samples.size(); ++k) {
        const Sample& b = samples[k];
        most = std::max(most, std::hypot(b[kFx] - a[kFx], b[kFy] - a[kFy], b[kFz] - a[kFz]));
    }
    return most;
}

double AngleGap(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// Catmull-Rom weights of the control values around segment i at t, folded onto the ends (the
// first and last value stand in for the phantoms) and laid on four unknowns from `first`.
void CatmullRomRow(int i, double t, int controls, int& first, double folded[4]) {
    const double t2 = t * t, t3 = t2 * t;
    const double cr[4] = {0.5 * (-t3 + 2 * t2 - t), 0.5 * (3 * t3 - 5 * t2 + 2),
                          0.5 * (-3 * t3 + 4 * t2 + t), 0.5 * (t3 - t2)};
    first = std::clamp(i - 1, 0, std::max(controls - 4, 0));
    for (int p = 0; p < 4; ++p)
        folded[p] = 0;
    for (int p = 0; p < 4; ++p)
        folded[std::clamp(i - 1 + p, 0, controls - 1) - first] += cr[p];
}

// The segments over which the camera keeps a channel's value (within 0.01), with that value.
// The path builder holds a channel still over a segment whose two control values are equal,
// where the spline would swing with its neighbours; such a segment is held exactly.
std::vector<std::optional<double>> SteadySegments(const std::vector<Sample>& samples, int c,
                                                  int32_t segments, int32_t steps) {
    std::vector<std::optional<double>> held(static_cast<size_t>(segments));
    const int32_t last = int32_t(samples.size()) - 1;
    for (int32_t i = 0; i < segments; ++i) {
        // The segment's own points: the next one starts with the spline's value again (and the
        // path's last point is the last control value itself).
        const int32_t from = std::min(i * steps, last);
        const int32_t to = std::min((i + 1) * steps - 1, last);
        double lo = samples[size_t(from)][c], hi = lo;
        for (int32_t k = from + 1; k <= to; ++k) {
            lo = std::min(lo, samples[size_t(k)][c]);
            hi = std::max(hi, samples[size_t(k)][c]);
        }
        if (hi - lo <= 0.01)
            held[size_t(i)] = RoundTo2(samples[size_t(from)][c]);
    }
    return held;
}

// One channel fitted again around its steady segments: their two control values fixed at the
// steady value, their samples left to the builder's hold.
std::vector<double> FitAroundSteady(const std::vector<Sample>& samples, int c, int32_t segments,
                                    int32_t steps, int32_t count,
                                    const std::vector<std::optional<double>>& held) {
    const int controls = segments + 1;
    const int unknowns = std::max(controls, 4);
    const int32_t frames = int32_t(samples.size());
    BandedFit fit(unknowns, 1);
    for (int32_t k = 0; k < count; ++k) {
        int i = 0;
        double t = 0;
        Locate(k, segments, steps, i, t);
        if (held[size_t(i)])
            continue;
        int first = 0;
        double row[4];
        CatmullRomRow(i, t, controls, first, row);
        fit.Add(first, row, &samples[size_t(std::min(k, frames - 1))][c], 1);
    }
    for (int i = 0; i < unknowns; ++i)
        fit.Ridge(i, 1e-12);
    for (int32_t i = 0; i < segments; ++i) {
        if (held[size_t(i)]) {
            fit.Pull(i, 1e9, *held[size_t(i)]);
            fit.Pull(i + 1, 1e9, *held[size_t(i)]);
        }
    }
    fit.Solve();
    std::vector<double> out(static_cast<size_t>(controls));
    for (int i = 0; i < controls; ++i)
        out[size_t(i)] = fit.X(i, 0);
    for (int32_t i = 0; i < segments; ++i)
        if (held[size_t(i)])
            out[size_t(i)] = out[size_t(i) + 1] = *held[size_t(i)];
    return out;
}

Candidate FitSegments(const std::vector<Sample>& samples, int32_t segments,
                      const CamFitTolerance& tolerance) {
    const int32_t frames = int32_t(samples.size());
    const int32_t steps = std::max<int32_t>(1, RoundHalfEven(double(frames - 1) / segments));
    const int32_t count = segments * steps + 1;
    const int controls = segments + 1;

    // Positions: a Hermite curve per segment through points P and tangents D shared at each
    // control point (unknowns P0, D0, P1, D1, ...). Angles and fov: the uniform Catmull-Rom of
    // the control values, the first and last value standing in for the phantoms.
    BandedFit position(2 * controls, 3);
    // At least four unknowns, so that a two- or three-point fit keeps the band's shape.
    const int channelUnknowns = std::max(controls, 4);
    BandedFit channels(channelUnknowns, 4);
    for (int32_t k = 0; k < count; ++k) {
        const Sample& s = samples[size_t(std::min(k, frames - 1))];
        int i = 0;
        double t = 0;
        Locate(k, segments, steps, i, t);
        const double t2 = t * t, t3 = t2 * t;
        const double hermite[4] = {2 * t3 - 3 * t2 + 1, t3 - 2 * t2 + t, -2 * t3 + 3 * t2, t3 - t2};
        position.Add(2 * i, hermite, &s[kFx], 1);
        int first = 0;
        double row[4];
        CatmullRomRow(i, t, controls, first, row);
        channels.Add(first, row, &s[kFPitch], 1);
    }
    for (int i = 0; i < controls; ++i)
        position.Ridge(2 * i + 1, 1e-9);
    for (int i = 0; i < channelUnknowns; ++i)
        channels.Ridge(i, 1e-12);
    position.Solve();
    channels.Solve();
    std::array<std::vector<double>, 4> values;
    for (int c = 0; c < 4; ++c) {
        const auto held = SteadySegments(samples, kFPitch + c, segments, steps);
        if (std::any_of(held.begin(), held.end(), [](const auto& h) { return h.has_value(); })) {
            values[size_t(c)] = FitAroundSteady(samples, kFPitch + c, segments, steps, count, held);
        } else {
            values[size_t(c)].resize(size_t(controls));
            for (int i = 0; i < controls; ++i)
                values[size_t(c)][size_t(i)] = channels.X(i, c);
        }
    }

    Candidate c;
    c.pointCount = count;
    PointTables& t = c.points;
    t.count[kControl] = controls;
    for (int i = 0; i < controls; ++i) {
        PointRecord& r = t.rec[kControl][i + 1];
        r = PointRecord{};
        const int next = std::min(i + 1, controls - 1);
        for (int a = 0; a < 3; ++a) {
            Axis(r, a) = static_cast<float>(RoundTo2(position.X(2 * i, a)));
            Axis(r.tanA, a) = static_cast<float>(RoundTo2(position.X(2 * i + 1, a) / 2));
            Axis(r.tanB, a) = static_cast<float>(RoundTo2(position.X(2 * next + 1, a) / 2));
        }
        // All three plans: the fitted handles survive later edits of neighbouring points.
        r.tanA.fixedAxes = r.tanB.fixedAxes = kViewXY | kViewXZ | kViewYZ;
        r.pitch = static_cast<float>(RoundTo2(-values[0][size_t(i)]));
        r.yaw = static_cast<float>(RoundTo2(values[1][size_t(i)]));
        r.roll = static_cast<float>(RoundTo2(values[2][size_t(i)]));
        r.fov = static_cast<float>(std::clamp(RoundTo2(values[3][size_t(i)]), 0.1, 179.99));
        r.ts = 1.0f;
        r.visible = true;
    }

    // The verdict comes from the path builder itself, on the values as a trace file keeps them.
    PointTables built = t;
    std::vector<PointRecord> path;
    int32_t pointCount = -1, upper = -1;
    BuildPath(built, count, path, false, pointCount, upper);
    const int32_t last = std::max(count, frames);
    for (int32_t k = 0; k < last; ++k) {
        const PointRecord& p = path[size_t(std::min(k, upper))];
        const Sample& s = samples[size_t(std::min(k, frames - 1))];
        const double dx = p.x - s[kFx], dy = p.y - s[kFy], dz = p.z - s[kFz];
        c.unitsError = std::max(c.unitsError, std::sqrt(dx * dx + dy * dy + dz * dz));
        c.degreesError =
            std::max({c.degreesError, AngleGap(p.pitch, s[kFPitch]), AngleGap(p.yaw, s[kFYaw]),
                      AngleGap(p.roll, s[kFRoll]), std::fabs(p.fov - s[kFFov])});
    }
    c.ok = c.unitsError <= tolerance.units && c.degreesError <= tolerance.degrees;
    return c;
}

} // namespace

int32_t CamFrameRate(const std::vector<CamFrame>& frames) {
    std::vector<double> gaps;
    gaps.reserve(frames.size());
    for (size_t j = 1; j < frames.size(); ++j)
        gaps.push_back(frames[j].time - frames[j - 1].time);
    if (gaps.empty())
        return 1;
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    const double gap = gaps[gaps.size() / 2];
    const double rate = gap > 0 ? 1.0 / gap : 1.0;
    return std::clamp<int32_t>(RoundHalfEven(std::min(rate, 1e6)), 1, 100000);
}

CamFit FitCamFrames(const std::vector<CamFrame>& frames, const CamFitTolerance& tolerance) {
    CamFit fit;
    fit.frameRate = CamFrameRate(frames);
    if (frames.size() < 2)
        return fit;
    const std::vector<Sample> samples = ContinuousSamples(frames);
    const int32_t frameCount = int32_t(frames.size());
    const int32_t most = std::min<int32_t>(kMaxPoints - 1, frameCount - 1);

    // The fewest segments that follow the motion. More segments do not always follow it better
    // (a path made of 5 segments is followed exactly by 5, not by 8), so every count is tried
    // in turn. A count that does not divide the frames evenly makes the path a few points
    // shorter or longer than the animation; it is passed over at once when the frames past the
    // path's end move too far from where it stops.
    Candidate best;
    double bestScore = -1;
    for (int32_t m = 1; m <= most; ++m) {
        const int32_t steps = std::max<int32_t>(1, RoundHalfEven(double(frameCount - 1) / m));
        const int32_t count = m * steps + 1;
        if (count < frameCount && m < most && EndDrift(samples, count - 1) > 2 * tolerance.units)
            continue;
        Candidate c = FitSegments(samples, m, tolerance);
        const double score =
            std::max(c.unitsError / tolerance.units, c.degreesError / tolerance.degrees);
        if (bestScore < 0 || score < bestScore || c.ok) {
            bestScore = score;
            best = std::move(c);
        }
        if (best.ok)
            break;
    }
    fit.points = best.points;
    fit.pointCount = best.pointCount;
    fit.unitsError = best.unitsError;
    fit.degreesError = best.degreesError;
    fit.withinTolerance = best.ok;
    return fit;
}

Trace CamFitTrace(const CamFit& fit) {
    Trace trace;
    trace.points = fit.points;
    trace.counts.frameRate = fit.frameRate;
    trace.counts.presetText = {QString::number(fit.pointCount), QString::number(fit.pointCount)};
    trace.counts.activePreset = 0;
    ApplyPointCount(trace);
    return trace;
}

} // namespace kestrova
