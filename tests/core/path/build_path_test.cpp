#include "core/path/build_path.h"

#include "core/model/point_fields.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"
#include "core/support_trace.h"

#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::MakeTrace;

std::vector<PointRecord> Build(Trace& t, int32_t n, bool keepPitch = true, uint64_t seed = 1) {
    UniformRandom rng(seed);
    std::vector<PointRecord> path;
    int32_t count = n, upper = -1;
    BuildPath(t.points, t.counts.pointCount, path, keepPitch, count, upper, rng);
    EXPECT_EQ(upper + 1, static_cast<int32_t>(path.size()));
    return path;
}

TEST(BuildPath, NormalizedCountGivesEqualStepsPerSegment) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}, {0, 0, 50}});
    ASSERT_TRUE(ValidatePresetText(t, 0, QStringLiteral("100")));
    EXPECT_EQ(t.counts.presetText[0], QStringLiteral("101"));
    ASSERT_EQ(t.pathUpper, 100);
    for (int seg = 1; seg <= 4; ++seg) {
        // 25 points per segment, the first one exactly on its control point.
        const PointRecord& p = t.path[(seg - 1) * 25];
        EXPECT_EQ(p.segment, seg);
        EXPECT_EQ(p.x, t.points.At(kControl, seg).x);
        EXPECT_EQ(p.y, t.points.At(kControl, seg).y);
    }
    EXPECT_EQ(t.path[100].segment, 5);
    EXPECT_EQ(t.path[100].z, 50.0f);
}

TEST(BuildPath, NoMorePathPointsThanControlPointsGivesTheControlPoints) {
    Trace t = MakeTrace({{1, 2, 3}, {4, 5, 6}});
    SetPointField(t.points, kControl, 2, kFieldPitch, 30.0f);
    auto path = Build(t, 2, false);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ((std::array{path[0].x, path[1].x}), (std::array{1.0f, 4.0f}));
    EXPECT_EQ((std::array{path[0].segment, path[1].segment}), (std::array{1, 2}));
    EXPECT_EQ(path[1].pitch, -30.0f); // the script convention negates pitch

    t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {30, 0, 0}});
    path = Build(t, 3);
    ASSERT_EQ(path.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(path[i].x, 10.0f * i);
}

TEST(BuildPath, AnglesAreInterpolatedAsPlainNumbers) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}});
    SetPointField(t.points, kControl, 1, kFieldYaw, 170.0f);
    SetPointField(t.points, kControl, 2, kFieldYaw, -170.0f);
    const auto path = Build(t, 101);
    bool crossedZero = false;
    for (const auto& p : path) {
        EXPECT_LE(p.yaw, 170.0f);
        EXPECT_GE(p.yaw, -170.0f);
        crossedZero |= std::abs(p.yaw) < 4.0f;
    }
    EXPECT_TRUE(crossedZero);
    EXPECT_EQ(path[50].yaw, 0.0f);
}

TEST(BuildPath, ExtremeValuesGiveAFinitePathOrNameTheirControlPoint) {
    // Yaw 3e38 to -3e38: the spline's terms pass the float range, the path does not. Halfway
    // the curve is (2 v1 + (v2 - v0) / 2 + ...) / 2 = 0 by symmetry.
    Trace t = MakeTrace({{-3e38, 0, 0}, {3e38, 0, 0}});
    SetPointField(t.points, kControl, 1, kFieldYaw, 3e38f);
    SetPointField(t.points, kControl, 2, kFieldYaw, -3e38f);
    auto path = Build(t, 3);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[1].yaw, 0.0f);
    EXPECT_TRUE(std::isfinite(path[1].x));
    EXPECT_LT(std::abs(path[1].x), 3e38f);
    EXPECT_FALSE(FindNonFinitePathValue(path).has_value());

    // -a, a, a/2 (a = 3.4e38): leaving control point 2 the spline rises on to about 1.05 a at
    // t = 0.1, beyond the float range.
    Trace over = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}});
    for (const auto& [i, yaw] : {std::pair{1, -3.4e38f}, {2, 3.4e38f}, {3, 1.7e38f}})
        SetPointField(over.points, kControl, i, kFieldYaw, yaw);
    path = Build(over, 21);
    const auto fault = FindNonFinitePathValue(path);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->controlPoint, 2);
    EXPECT_EQ(fault->field, QStringLiteral("yaw"));
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE(std::isfinite(path[k].yaw)) << "the first segment stays within " << k;
}

TEST(BuildPath, ACoincidentSegmentHoldsThePreviousLastPosition) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 50, 0}, {100, 50, 0}, {200, 0, 0}});
    const auto path = Build(t, 31); // 10 points per segment
    EXPECT_NE(path[9].x, 100.0f);   // evaluated at t = 0.9, short of the point
    for (int k = 10; k < 20; ++k) {
        EXPECT_EQ(path[k].segment, 2);
        EXPECT_EQ((std::array{path[k].x, path[k].y}), (std::array{path[9].x, path[9].y})) << k;
    }
    EXPECT_EQ(path[20].x, 100.0f); // the next segment starts on its point
}

TEST(BuildPath, ConstantChannelsKeepTheirValueToTheEnd) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 5, 0}});
    for (int i = 1; i <= 3; ++i)
        SetPointField(t.points, kControl, i, kFieldPitch, 12.5f);
    for (const auto& p : Build(t, 41, false))
        EXPECT_EQ(p.pitch, -12.5f);
    for (const auto& p : Build(t, 41, true))
        EXPECT_EQ(p.pitch, 12.5f);
}

TEST(BuildPath, WiggleIsAStepFunctionOnTheGlobalIndex) {
    Trace t = MakeTrace({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    SetPointField(t.points, kControl, 1, kFieldWgA, 10.0f);
    SetPointField(t.points, kControl, 1, kFieldWgF, 4.0f);
    const auto path = Build(t, 21); // a still camera: only the offsets move it
    // Offsets are drawn at k = 1, 5, 9 and held in between; point 0 draws nothing.
    EXPECT_EQ(path[0].x, 0.0f);
    for (int k = 1; k < 10; ++k) {
        const int drawnAt = 1 + (k - 1) / 4 * 4;
        EXPECT_EQ(path[k].x, path[drawnAt].x) << k;
        EXPECT_LE(std::abs(path[k].x), 10.0f);
    }
    EXPECT_NE(path[1].x, path[5].x);
    // The next segment has no amplitude: it keeps the last offset on the held position.
    EXPECT_EQ(path[10].x, path[9].x);
    EXPECT_EQ(path[20].x, 0.0f); // the final point is the control point itself
}

TEST(BuildPath, WiggleIntervalIsClampedAndStaysLowered) {
    Trace t = MakeTrace({{0, 0, 0}, {50, 0, 0}, {100, 0, 0}});
    SetPointField(t.points, kControl, 1, kFieldWgA, 2.0f);
    SetPointField(t.points, kControl, 1, kFieldWgF, 50.0f);
    Build(t, 21); // (21 - 1) / 3 = 6.67 points per control point
    Build(t, 201);
    EXPECT_EQ(t.points.At(kControl, 1).wgF, 7);

    // 1 / 2 rounds to 0: drawn at every point from k = 0 on.
    t = MakeTrace({{0, 0, 0}, {50, 0, 0}});
    SetPointField(t.points, kControl, 1, kFieldWgA, 3.0f);
    const auto path = Build(t, 2);
    EXPECT_EQ(t.points.At(kControl, 1).wgF, 0);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_NE(path[0].x, 0.0f);
}

TEST(BuildPath, TheSeedDecidesTheWiggleAndNothingElse) {
    Trace t = MakeTrace({{0, 0, 0}, {50, 0, 0}, {80, 40, 0}});
    const auto still1 = Build(t, 101, true, 1), still2 = Build(t, 101, true, 2);
    ASSERT_EQ(still1.size(), still2.size());
    EXPECT_EQ(std::memcmp(still1.data(), still2.data(), still1.size() * sizeof(PointRecord)), 0);

    SetPointField(t.points, kControl, 1, kFieldWgA, 3.0f);
    SetPointField(t.points, kControl, 2, kFieldWgA, 3.0f);
    const auto a = Build(t, 101, true, 42);
    EXPECT_EQ(a[30].x, Build(t, 101, true, 42)[30].x);
    EXPECT_NE(a[30].x, Build(t, 101, true, 43)[30].x);
}

TEST(Tangents, HandPlacedComponentsSurviveUpkeepUntilForced) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}});
    PointRecord& p2 = t.points.rec[kControl][2];
    EXPECT_FLOAT_EQ(p2.tanA.x, 1.1f * 200 / 4);
    EXPECT_FLOAT_EQ(p2.tanA.y, 1.1f * 100 / 4);
    // The user drags tanA in the X-Y plan: x and y are now fixed, z is not.
    p2.tanA = {5, 6, 7, kViewXY};
    UpdateTangentsAround(t.points, 2);
    EXPECT_EQ(p2.tanA.x, 5.0f);
    EXPECT_EQ(p2.tanA.y, 6.0f);
    EXPECT_EQ(p2.tanA.z, 0.0f); // z is shown in X-Z and Y-Z, never fixed here
    // A reset in the X-Z plan recomputes x and z and clears that bit only.
    RecomputeHandle(t.points, 2, Handle::A, kViewXZ, true);
    EXPECT_FLOAT_EQ(p2.tanA.x, 1.1f * 200 / 4);
    EXPECT_EQ(p2.tanA.y, 6.0f);
    EXPECT_EQ(p2.tanA.fixedAxes, kViewXY);
    RecomputeHandle(t.points, 9, Handle::A, 7, true); // outside 1..n: nothing
}

TEST(Hermite, AutomaticHandlesReachTheNextPoint) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 40, -20}, {150, 0, 10}});
    PositionCoefficients k;
    HermiteCoefficients(t.points, 1, k);
    PointRecord at1;
    HermiteEvaluate(k, 1.0f, at1);
    EXPECT_FLOAT_EQ(at1.x, 100.0f);
    EXPECT_FLOAT_EQ(at1.y, 40.0f);
    EXPECT_FLOAT_EQ(at1.z, -20.0f);

    const float values[] = {5, 5, 10, 30, 30};
    ChannelCoefficients c;
    CatmullRomCoefficients(values, 1, c);
    EXPECT_EQ(CatmullRomEvaluate(c, 0.0f), 5.0f);
    EXPECT_EQ(CatmullRomEvaluate(c, 1.0f), 10.0f);
}

TEST(BuildPath, AngleChannelsAreExactInMidSegment) {
    // Expected values worked out by a separate float32 emulation of the interpolation: the
    // powers of t in double precision, coefficients and result rounded to Single. Rounding t²
    // and t³ to Single instead moves each of these in the last bit.
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 0, 0}, {300, 0, 0}}, 301);
    const float yaws[] = {302.17f, 57.33f, -12.58f, 40.5f};
    for (int i = 0; i < 4; ++i)
        SetPointField(t.points, kControl, i + 1, kFieldYaw, yaws[i]);
    const std::vector<PointRecord> path = Build(t, 301);
    ASSERT_EQ(path.size(), 301u);
    EXPECT_EQ(path[48].yaw, 190.05694580078125f);
    EXPECT_EQ(path[62].yaw, 148.55303955078125f);
    EXPECT_EQ(path[81].yaw, 96.5259780883789f);
    EXPECT_EQ(path[91].yaw, 73.749267578125f);
}

} // namespace
} // namespace kestrova
