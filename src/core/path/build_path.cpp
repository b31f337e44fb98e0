#include "core/path/build_path.h"

#include "core/numbers.h"
#include "core/path/constant_speed.h"
#include "core/path/point_count.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

enum Channel { kPitch, kYaw, kRoll, kFov, kTs, kChannelCount };

float& ChannelField(PointRecord& r, int ch) {
    switch (ch) {
    case kPitch:
        return r.pitch;
    case kYaw:
        return r.yaw;
    case kRoll:
        return r.roll;
    case kFov:
        return r.fov;
    default:
        return r.ts;
    }
}

float ChannelField(const PointRecord& r, int ch) {
    return ChannelField(const_cast<PointRecord&>(r), ch);
}

// Writing past the end grows the path to that index + 128, keeping its contents.
void EnsureIndex(std::vector<PointRecord>& path, int32_t k) {
    if (k >= static_cast<int32_t>(path.size()))
        path.resize(static_cast<size_t>(k) + 129);
}

} // namespace

int32_t StepsPerSegment(int32_t total, int32_t controlCount) {
    if (controlCount - 1 < 1)
        return 0;
    return static_cast<int32_t>(
        std::floor(static_cast<double>(total) / static_cast<double>(controlCount - 1)));
}

void HermiteCoefficients(const PointTables& t, int i, PositionCoefficients& out) {
    const PointRecord& p1 = t.rec[kControl][i];
    const PointRecord& p2 = t.rec[kControl][i + 1];
    for (int c = 0; c < 3; ++c) {
        const double P1 = Axis(p1, c), P2 = Axis(p2, c);
        const double A = Axis(p1.tanA, c), B = Axis(p1.tanB, c);
        out.wide[0][c] = 2 * P1 + 2 * A + 2 * B - 2 * P2;
        out.wide[1][c] = -3 * P1 - 4 * A - 2 * B + 3 * P2;
        out.wide[2][c] = 2 * A;
        out.wide[3][c] = P1;
    }
    out.useWide = false;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            out.term[r][c] = static_cast<float>(out.wide[r][c]);
            out.useWide = out.useWide || !std::isfinite(out.term[r][c]);
        }
    }
}

// t is a Single, so t*t is exact in double and t*t*t rounds once: the same as the power
// function, without its cost.
void HermiteEvaluate(const PositionCoefficients& k, float t, PointRecord& out) {
    const double td = t;
    const float t2 = static_cast<float>(td * td);
    const float t3 = static_cast<float>(td * td * td);
    for (int c = 0; c < 3; ++c) {
        if (k.useWide) {
            Axis(out, c) = static_cast<float>(k.wide[1][c] * t2 + k.wide[0][c] * t3 +
                                              td * k.wide[2][c] + k.wide[3][c]);
            continue;
        }
        const double v = static_cast<double>(k.term[1][c]) * t2 +
                         static_cast<double>(k.term[0][c]) * t3 +
                         td * static_cast<double>(k.term[2][c]) + k.term[3][c];
        Axis(out, c) = static_cast<float>(v);
    }
}

void CatmullRomCoefficients(const float* values, int i, ChannelCoefficients& out) {
    const double v0 = values[i - 1], v1 = values[i], v2 = values[i + 1], v3 = values[i + 2];
    out.wide[0] = -v0 + 3 * v1 - 3 * v2 + v3;
    out.wide[1] = 2 * v0 - 5 * v1 + 4 * v2 - v3;
    out.wide[2] = -v0 + v2;
    out.wide[3] = 2 * v1;
    out.useWide = false;
    for (int r = 0; r < 4; ++r) {
        out.c[r] = static_cast<float>(out.wide[r]);
        out.useWide = out.useWide || !std::isfinite(out.c[r]);
    }
}

// Unlike the position, the angle channels keep t² and t³ in double precision.
float CatmullRomEvaluate(const ChannelCoefficients& k, float t) {
    const double td = t;
    const double t2 = td * td;
    const double t3 = td * td * td;
    if (k.useWide)
        return static_cast<float>((k.wide[1] * t2 + k.wide[0] * t3 + k.wide[2] * td + k.wide[3]) /
                                  2.0);
    const double v = static_cast<double>(k.c[1]) * t2 + static_cast<double>(k.c[0]) * t3 +
                     static_cast<double>(k.c[2]) * td + k.c[3];
    return static_cast<float>(v / 2.0);
}

void BuildPath(PointTables& t, int32_t settingCount, std::vector<PointRecord>& path,
               bool keepPitchSign, int32_t& pointCount, int32_t& upper, UniformRandom& rng) {
    auto& cp = t.rec[kControl];
    const int n = t.count[kControl];
    if (n < 1) {
        path.clear();
        upper = -1;
        return;
    }
    cp[0] = cp[1];
    cp[n + 1] = cp[n];

    if (pointCount == -1)
        pointCount = settingCount;
    const int32_t M = pointCount - 1;
    pointCount = M;

    // Channel samples with their phantom ends; pitch negated for the game's convention.
    float values[kChannelCount][kTableSlots];
    for (int ch = 0; ch < kChannelCount; ++ch) {
        for (int i = 1; i <= n; ++i) {
            float v = ChannelField(cp[i], ch);
            values[ch][i] = (ch == kPitch && !keepPitchSign) ? -v : v;
        }
        values[ch][0] = values[ch][1];
        values[ch][n + 1] = values[ch][n];
    }
    // Sized once for the expected count; records are written before they are read.
    path.resize(static_cast<size_t>(RoundHalfEven(1.5 * std::max(M, n))) + 1);

    PointRecord current = cp[1];
    if (!keepPitchSign)
        current.pitch = -current.pitch;
    bool first = true;
    int32_t k = -1;
    float wiggle[4] = {0, 0, 0, 0};
    // Re-spacing moves the smooth curve and puts each frame's shake back on top.
    const bool respace = t.constantSpeed;
    std::vector<std::array<float, 3>> shake;
    if (respace)
        shake.resize(path.size());
    bool shaken = false;

    PositionCoefficients pos;
    ChannelCoefficients chan[kChannelCount];
    bool chanConst[kChannelCount];

    for (int i = 1; i <= n - 1; ++i) {
        PointRecord& p1 = cp[i];
        const PointRecord& p2 = cp[i + 1];
        const bool posConst = p1.x == p2.x && p1.y == p2.y && p1.z == p2.z;
        if (!posConst)
            HermiteCoefficients(t, i, pos);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            chanConst[ch] = ChannelField(p1, ch) == ChannelField(p2, ch);
            if (!chanConst[ch])
                CatmullRomCoefficients(values[ch], i, chan[ch]);
        }
        // A wiggle interval longer than a segment's share of the path is lowered for good.
        const double L = static_cast<double>(M) / n;
        if (L < p1.wgF && L >= 0.0)
            p1.wgF = RoundHalfEven(L);
        // An interval clamped to 0 draws on every point.
        const int32_t interval = std::max<int32_t>(p1.wgF, 1);

        for (int64_t j = 0; j <= static_cast<int64_t>(M) - 1; j += n - 1) {
            ++k;
            EnsureIndex(path, k);
            PointRecord& out = path[k];
            if (first) {
                out = current;
                first = false;
            } else {
                const float tt =
                    static_cast<float>(static_cast<double>(j) / static_cast<double>(M));
                if (posConst) {
                    out = current;
                } else {
                    out = PointRecord{};
                    HermiteEvaluate(pos, tt, out);
                }
                for (int ch = 0; ch < kChannelCount; ++ch)
                    ChannelField(out, ch) = chanConst[ch] ? ChannelField(current, ch)
                                                          : CatmullRomEvaluate(chan[ch], tt);
            }
            if (p1.wgA > 0.0f) {
                // The remainder keeps the dividend's sign, so k = 0 draws only for interval 1.
                if ((k - 1) % interval == 0) {
                    wiggle[0] = p1.wgA;
                    for (int c = 1; c <= 3; ++c)
                        wiggle[c] = static_cast<float>((rng.Next() - 0.5) * (2.0 * wiggle[0]));
                }
                out.x += wiggle[1];
                out.y += wiggle[2];
                out.z += wiggle[3];
                if (respace) {
                    if (shake.size() <= static_cast<size_t>(k))
                        shake.resize(static_cast<size_t>(k) + 129);
                    shake[k] = {wiggle[1], wiggle[2], wiggle[3]};
                    shaken = true;
                }
            }
            out.segment = i;
        }
        if (k >= 0)
            current = path[k];
    }

    ++k;
    EnsureIndex(path, k);
    path[k] = cp[n];
    path[k].segment = n;
    if (!keepPitchSign)
        path[k].pitch = -path[k].pitch;
    path.resize(static_cast<size_t>(k) + 1);
    upper = k;
    if (respace) {
        shake.resize(path.size());
        RespaceByArcLength(path, shaken ? &shake : nullptr);
    }
}

std::optional<PathValueFault> FindNonFinitePathValue(const std::vector<PointRecord>& path) {
    static const char* const names[] = {"x", "y", "z", "pitch", "yaw", "roll", "fov", "ts"};
    for (const PointRecord& p : path) {
        const float values[] = {p.x, p.y, p.z, p.pitch, p.yaw, p.roll, p.fov, p.ts};
        for (int f = 0; f < 8; ++f) {
            if (!std::isfinite(values[f]))
                return PathValueFault{p.segment, QString::fromLatin1(names[f])};
        }
    }
    return std::nullopt;
}

QString NonFinitePathMessage(const PathValueFault& fault) {
    return QStringLiteral("The path leaves the range of numbers after control point %1 (field "
                          "%2): lower its values or those of its neighbours.")
        .arg(fault.controlPoint)
        .arg(fault.field);
}

void RebuildPath(Trace& trace, UniformRandom& rng) {
    if (trace.ControlCount() < 2) {
        trace.path.clear();
        trace.pathUpper = -1;
        return;
    }
    // A count from outside (a file, a typed text) never makes an unbounded path.
    int32_t setting = trace.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, trace.ControlCount());
    int32_t count = -1;
    BuildPath(trace.points, setting, trace.path, true, count, trace.pathUpper, rng);
    // The camera passes the control points at other times than the even split.
    if (trace.points.constantSpeed)
        UpdateTimeLabels(trace);
}

} // namespace kestrova
