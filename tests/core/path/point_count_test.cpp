#include "core/path/point_count.h"

#include "core/model/point_table_ops.h"
#include "core/support_trace.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::MakeTrace;

TEST(PointCount, NormalizationAndFeasibility) {
    EXPECT_EQ(NormalizePointCount(100, 5).count, 101);
    EXPECT_EQ(NormalizePointCount(2, 5).count, 5); // raised to the control count
    // One segment: every count is exact and stays as it is, however often it is validated.
    EXPECT_EQ(NormalizePointCount(1000, 2).count, 1000);
    EXPECT_EQ(FindFeasiblePointCount(FindFeasiblePointCount(1000, 2), 2), 1000);
    EXPECT_TRUE(NormalizePointCount(40000, 2).ok);
    EXPECT_FALSE(NormalizePointCount(40001, 2).ok);
    EXPECT_EQ(FindFeasiblePointCount(40000, 5), 39997);
    EXPECT_EQ(FindFeasiblePointCount(50000, 2), 40000);
    EXPECT_EQ(FindFeasiblePointCount(2000000000, 250), 39841); // 249 x 160 + 1
    EXPECT_EQ(FindFeasiblePointCount(-5, 3), 3);
    EXPECT_EQ(StepsPerSegment(10, 1), 0);
}

TEST(PointCount, AutoAdjustKeepsPointsPerControlPoint) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {30, 0, 0}});
    t.counts.presetText = {QStringLiteral("91"), QStringLiteral("91")};
    t.counts.autoAdjust = {true, false};
    ApplyPointCount(t);
    AppendPointXYZ(t, kControl, 40, 0, 0, std::nullopt, true);
    EXPECT_EQ(t.counts.presetText[0], QStringLiteral("115"));
    EXPECT_EQ(t.counts.presetText[1], QStringLiteral("91")); // not adjusted
    EXPECT_EQ(t.counts.pointCount, 115);
    // 115 was normalized for the old count: over 4 segments each takes 29 steps.
    EXPECT_EQ(t.pathUpper, 116);

    // A preset that cannot follow loses its adjustment instead of failing.
    t.counts.presetText[1] = QStringLiteral("39999");
    t.counts.autoAdjust[1] = true;
    AppendPointXYZ(t, kControl, 50, 0, 0, std::nullopt, true);
    EXPECT_FALSE(t.counts.autoAdjust[1]);
    EXPECT_EQ(t.counts.presetText[1], QStringLiteral("39999"));
}

TEST(PointCount, DurationFollowsTheFrameRate) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}});
    t.counts.frameRate = 50;
    ASSERT_TRUE(ValidatePresetText(t, 0, QStringLiteral("101")));
    EXPECT_DOUBLE_EQ(t.counts.duration, 2.02);
    EXPECT_EQ(t.counts.durationText, QStringLiteral("2.020"));
    EXPECT_EQ(t.counts.durationClock, QStringLiteral("0:00:02.020"));
    EXPECT_TRUE(t.counts.autoAdjust[0]);
    EXPECT_TRUE(t.modified);

    t.counts.frameRate = 30;
    ASSERT_TRUE(ValidateDurationText(t, QStringLiteral("10")));
    EXPECT_EQ(t.counts.presetText[0], QStringLiteral("301"));
    EXPECT_EQ(t.counts.pointCount, 301);
    EXPECT_FALSE(ValidateDurationText(t, QStringLiteral("40001")));
    EXPECT_FALSE(ValidateDurationText(t, QStringLiteral("ten")));
    EXPECT_FALSE(ValidatePresetText(t, 0, QStringLiteral("many")));
    EXPECT_EQ(t.counts.pointCount, 301);
}

TEST(PointCount, ClockCarriesRoundedMilliseconds) {
    EXPECT_EQ(DurationClock(83.456), QStringLiteral("0:01:23.456"));
    EXPECT_EQ(DurationClock(59.9996), QStringLiteral("0:01:00.000"));
    EXPECT_EQ(DurationClock(3725.5), QStringLiteral("1:02:05.500"));
}

TEST(PointCount, PreviewKeepsItsShareOfThePath) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}, 101);
    t.preview.index = 49;
    t.counts.presetText[0] = QStringLiteral("201");
    ApplyPointCount(t, 0);
    EXPECT_EQ(t.preview.index, 98);  // floor(50 * 201 / 101) - 1
    EXPECT_EQ(t.preview.segment, 1); // 100 points per segment now

    t.counts.presetText[0] = QStringLiteral("11");
    ApplyPointCount(t, 0);
    EXPECT_EQ(t.pathUpper, 10);
    EXPECT_EQ(t.preview.index, 4); // floor(99 * 11 / 201) - 1
    // Past the end of a shorter path the preview stops on the last point.
    t.preview.index = 50;
    RescalePreview(t, 11, 11);
    EXPECT_EQ(t.preview.index, 10);
    EXPECT_EQ(t.preview.segment, 3);
}

TEST(PointCount, TransitionSpeedTakesTheLeadingNumber) {
    Trace t;
    ValidateTransSpeedText(t, QStringLiteral("250.5"));
    EXPECT_EQ(t.counts.transSpeedText, QStringLiteral("250"));
    ValidateTransSpeedText(t, QStringLiteral("75abc"));
    EXPECT_EQ(t.counts.transSpeedText, QStringLiteral("75"));
    ValidateTransSpeedText(t, QStringLiteral("abc"));
    EXPECT_EQ(t.counts.transSpeedText, QStringLiteral("0"));
}

} // namespace
} // namespace kestrova
