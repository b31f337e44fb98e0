#include "core/path/constant_speed.h"

#include "core/files/trace_file.h"
#include "core/model/undo.h"
#include "core/path/point_count.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

double Step(const PointRecord& a, const PointRecord& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z);
}

// Straight segments (handles of half the chord) at x = 0, 100 and 1000, 101 points: as built, 50
// points over the first 100 units and 50 over the next 900, so every value is known by hand.
Trace StraightUneven() {
    Trace t = test::MakeTrace({{0, 0, 0}, {100, 0, 0}, {1000, 0, 0}}, 101);
    t.counts.presetText = {QStringLiteral("101"), QStringLiteral("101")};
    const float values[3][3] = {{0, 90, 1}, {90, 60, 0.5f}, {180, 30, 0.25f}}; // yaw, fov, ts
    for (int i = 1; i <= 3; ++i) {
        PointRecord& p = t.points.rec[kControl][i];
        p.yaw = values[i - 1][0];
        p.fov = values[i - 1][1];
        p.ts = values[i - 1][2];
        if (i < 3)
            p.tanA = p.tanB = TangentHandle{(t.points.rec[kControl][i + 1].x - p.x) / 2, 0, 0};
    }
    RebuildPath(t);
    return t;
}

TEST(ConstantSpeed, StraightPathTakesEvenStepsWithTheValuesWorkedOutByHand) {
    Trace t = StraightUneven();
    ASSERT_TRUE(SetConstantSpeed(t, true));
    ASSERT_EQ(t.path.size(), 101u);
    for (int i = 0; i <= 100; ++i)
        ASSERT_NEAR(t.path[i].x, 10.0 * i, 1e-3) << i;
    // 10 is control point 2; 5 and 55 lie at t = 0.5 of segments 1 and 2.
    const struct {
        int index;
        double yaw, fov, ts;
    } rows[] = {{5, 39.375, 76.875, 0.765625},
                {10, 90, 60, 0.5},
                {55, 140.625, 43.125, 0.34375},
                {100, 180, 30, 0.25}};
    for (const auto& r : rows) {
        const PointRecord& p = t.path[r.index];
        EXPECT_LT(std::hypot(p.yaw - r.yaw, p.fov - r.fov, 100 * (p.ts - r.ts)), 1e-3) << r.index;
    }
}

Trace Curved(const std::vector<test::P>& points, int32_t count, float shake = 0) {
    Trace t;
    for (const test::P& p : points)
        AppendPointXYZ(t, kControl, p.x, p.y, p.z, std::nullopt, false);
    for (int i = 1; i <= t.ControlCount(); ++i) {
        PointRecord& r = t.points.rec[kControl][i];
        r.yaw = 70.0f * i * (i % 2 ? 1 : -1);
        r.fov = 60.0f + 11 * i;
        r.wgA = shake;
        r.wgF = 10;
    }
    t.counts.pointCount = FindFeasiblePointCount(count, t.ControlCount());
    return t;
}

const std::vector<test::P> kTight = {
    {0, 0, 0}, {40, 10, 0}, {60, 60, 20}, {600, 300, 100}, {640, 280, 0}};

TEST(ConstantSpeed, UnevenCurvesTakeStepsEqualWithinOnePercentAndPassTheirControlPoints) {
    const struct {
        std::vector<test::P> points;
        int32_t count;
    } cases[] = {
        {kTight, 201},
        {{{0, 0, 0}, {500, 0, 0}, {520, 30, 40}, {-300, 400, -200}, {-280, 380, -180}}, 4001},
        {{{0, 0, 0}, {10, 0, 0}, {2000, 50, 0}, {2010, 60, 10}, {2020, 2000, 10}}, 40000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Trace t = Curved(c.points, c.count);
        RebuildPath(t);
        const std::vector<PointRecord> before = t.path;
        ASSERT_TRUE(SetConstantSpeed(t, true));
        ASSERT_EQ(t.path.size(), before.size());
        double shortest = HUGE_VAL, longest = 0, sum = 0;
        for (size_t i = 1; i < before.size(); ++i) {
            shortest = std::min(shortest, Step(before[i - 1], before[i]));
            longest = std::max(longest, Step(before[i - 1], before[i]));
            sum += Step(t.path[i - 1], t.path[i]);
        }
        EXPECT_GT(longest, 3 * shortest); // as built, the steps are far from even
        const double mean = sum / (t.path.size() - 1);
        for (size_t i = 1; i < t.path.size(); ++i)
            ASSERT_NEAR(Step(t.path[i - 1], t.path[i]), mean, 0.01 * mean) << i;
        EXPECT_EQ(std::memcmp(&t.path.back(), &before.back(), sizeof(PointRecord)), 0);
        // A coarse path cuts the bend at a tight control point: it passes by, not through.
        if (c.count < 1000)
            continue;
        for (int k = 2; k < t.ControlCount(); ++k) {
            const PointRecord& cp = t.points.rec[kControl][k];
            size_t i = 1;
            while (t.path[i].segment < k)
                ++i;
            const double a = Step(t.path[i - 1], cp), step = Step(t.path[i - 1], t.path[i]);
            EXPECT_LE(a + Step(cp, t.path[i]), step * 1.001 + 1e-3) << k;
            const double f = a / step;
            EXPECT_NEAR(t.path[i - 1].yaw + f * (t.path[i].yaw - t.path[i - 1].yaw), cp.yaw, 0.2);
            EXPECT_NEAR(t.path[i - 1].fov + f * (t.path[i].fov - t.path[i - 1].fov), cp.fov, 0.05);
        }
    }
}

TEST(ConstantSpeed, SharpReversalsTakeStepsEvenWithinFivePercent) {
    // Straight out to x 1000 and half-way back: the turn falls inside a step of equal length.
    // Then a zigzag whose turns are as sharp, at the largest point count.
    const struct {
        std::vector<test::P> points;
        int32_t count;
    } cases[] = {
        {{{0, 0, 0}, {1000, 0, 0}, {500, 0, 0}}, 201},
        {{{0, 0, 0}, {1000, 0, 0}, {0, 30, 0}, {1000, 60, 0}, {0, 90, 10}, {500, 90, 10}}, 40000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Trace t = Curved(c.points, c.count);
        ASSERT_TRUE(SetConstantSpeed(t, true));
        double sum = 0;
        for (size_t i = 1; i < t.path.size(); ++i)
            sum += Step(t.path[i - 1], t.path[i]);
        const double mean = sum / (t.path.size() - 1);
        for (size_t i = 1; i < t.path.size(); ++i)
            ASSERT_NEAR(Step(t.path[i - 1], t.path[i]), mean, 0.05 * mean) << i;
    }
    // The straight one: the camera still reaches the farthest point of the turn, in a frame of
    // its own.
    Trace t = Curved(cases[0].points, cases[0].count);
    RebuildPath(t);
    auto farthest = [&t] {
        float x = 0;
        for (const PointRecord& p : t.path)
            x = std::max(x, p.x);
        return x;
    };
    const float turn = farthest();
    EXPECT_GT(turn, 1000) << "the handle at the turn carries the path a little beyond";
    ASSERT_TRUE(SetConstantSpeed(t, true));
    EXPECT_NEAR(farthest(), turn, 1e-3);
}

TEST(ConstantSpeed, ShakeKeepsOneOffsetPerTenFrames) {
    std::vector<PointRecord> calm, shaken;
    for (auto* out : {&calm, &shaken}) {
        Trace t = Curved(kTight, 1001, out == &shaken ? 4.0f : 0.0f);
        t.points.constantSpeed = true;
        UniformRandom rng(5);
        int32_t count = -1, upper = -1;
        BuildPath(t.points, t.counts.pointCount, *out, true, count, upper, rng);
    }
    ASSERT_EQ(calm.size(), shaken.size());
    // New offsets are drawn at k = 1, 11, 21...; in between the offset stays.
    for (size_t k = 2; k + 1 < shaken.size(); ++k) {
        const double dx = shaken[k].x - calm[k].x, before = shaken[k - 1].x - calm[k - 1].x;
        ASSERT_LE(std::fabs(dx), 4.0 + 1e-3) << k;
        if ((k - 1) % 10 != 0) {
            ASSERT_NEAR(dx, before, 1e-2) << k;
        }
    }
}

TEST(ConstantSpeed, OffIsAsBeforeAndTheOptionIsSavedAndUndone) {
    const test::ScopedLocale locale(QLocale::c());
    Trace t = StraightUneven();
    ApplyFrameRate(t, 25); // 101 points: 4.04 s
    const std::vector<PointRecord> before = t.path;
    UndoHistory h;
    ClearUndo(h, t);
    h.pos = 0;
    RecordUndo(h, t, false, false);
    ASSERT_TRUE(SetConstantSpeed(t, true));
    RecordUndo(h, t, false, false);
    // Control point 2 is passed after a tenth of the length, no longer half-way.
    EXPECT_EQ(t.points.timeLabel[2], QStringLiteral("0.40"));

    TraceFileContents file;
    file.points = t.points;
    QStringList lines = QString::fromLatin1(TraceFileText(file)).split(QStringLiteral("\r\n"));
    const qsizetype blank = lines.indexOf(QString()); // the header's end: the key comes last
    ASSERT_GT(blank, 0);
    EXPECT_EQ(lines[blank - 1], PadKey(QStringLiteral("constant_speed")) + QStringLiteral("1"));
    TraceFileContents read;
    ReadTraceFile(lines, read);
    EXPECT_TRUE(read.points.constantSpeed);
    lines[blank - 1] = PadKey(QStringLiteral("warp_factor")) + QStringLiteral("9");
    ReadTraceFile(lines, read);
    EXPECT_FALSE(read.points.constantSpeed);
    EXPECT_EQ(read.points.count[kControl], 3);

    ASSERT_TRUE(Undo(h, t));
    EXPECT_FALSE(t.points.constantSpeed);
    ASSERT_EQ(t.path.size(), before.size());
    EXPECT_EQ(std::memcmp(t.path.data(), before.data(), before.size() * sizeof(PointRecord)), 0);
    EXPECT_EQ(t.points.timeLabel[2], QStringLiteral("2.02"));
    file.points = t.points;
    EXPECT_FALSE(TraceFileText(file).contains("constant_speed"));
    ASSERT_TRUE(Redo(h, t));
    EXPECT_NEAR(t.path[10].x, 100.0f, 1e-3);
}

} // namespace
} // namespace kestrova
