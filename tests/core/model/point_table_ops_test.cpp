#include "core/model/point_table_ops.h"

#include "core/model/point_fields.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "support/scripted_dialogs.h"

#include "support/scoped_locale.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::MakeTrace;

TEST(PointTableOps, FirstControlPointGetsDefaultsAndTheNextInheritsFromIt) {
    Trace t;
    ASSERT_TRUE(AppendPointXYZ(t, kControl, 1.234, 2, 3, Angles{10, 20, 30}, true));
    const PointRecord& first = t.points.At(kControl, 1);
    EXPECT_FLOAT_EQ(first.x, 1.23f);
    EXPECT_EQ(first.ts, 1.0f);
    EXPECT_EQ(first.fov, 90.0f);
    EXPECT_EQ(first.pitch, 10.0f);

    SetPointField(t.points, kControl, 1, kFieldWgA, 5.0f);
    SetPointField(t.points, kControl, 1, kFieldHide, 1.0f);
    SetPointField(t.points, kControl, 1, kFieldFov, 70.0f);
    ASSERT_TRUE(AppendPoint(t, kControl, kViewXZ, 100.004, -50, true));
    const PointRecord& second = t.points.At(kControl, 2);
    EXPECT_EQ(second.x, 100.0f);
    EXPECT_EQ(second.y, 2.0f); // the plan's third axis is kept
    EXPECT_EQ(second.z, -50.0f);
    EXPECT_EQ(second.fov, 70.0f);
    EXPECT_EQ(second.wgA, 5.0f);
    EXPECT_EQ(second.yaw, 20.0f);
    EXPECT_EQ(second.hide, 0);
    EXPECT_EQ(t.pathUpper + 1, 1000); // 1000 with two points normalizes to itself
}

TEST(PointTableOps, AppendStopsAtTheLimitAndCanAddPointSaysWhy) {
    Trace t;
    for (int i = 0; i < kMaxPoints; ++i)
        ASSERT_TRUE(AppendPointXYZ(t, kReference, i, 0, 0, std::nullopt, false));
    EXPECT_FALSE(AppendPointXYZ(t, kReference, 1, 1, 1, std::nullopt, false));
    EXPECT_EQ(t.ReferenceCount(), kMaxPoints);

    test::ScriptedDialogs dialogs;
    EXPECT_TRUE(CanAddPoint(t, kControl, QStringLiteral("Addition"), dialogs));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(CanAddPoint(t, kReference, QStringLiteral("Addition"), dialogs));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Addition"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Limit of points reached"));
}

TEST(PointTableOps, AppendingAReferencePointShowsReferencePoints) {
    Trace t;
    t.showReferencePoints = false;
    AppendPoint(t, kReference, kViewXY, 1, 2, true);
    EXPECT_TRUE(t.showReferencePoints);
    EXPECT_TRUE(t.points.At(kReference, 1).visible);
    EXPECT_EQ(t.pathUpper, -1);
}

TEST(PointTableOps, DeletingTheLastPointKeepsThePhantoms) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 5, 0}});
    DeletePoint(t, kControl, 3, true);
    const auto& c = t.points.rec[kControl];
    ASSERT_EQ(t.ControlCount(), 2);
    EXPECT_EQ(c[3].x, c[2].x);
    EXPECT_EQ(c[3].y, c[2].y);
    EXPECT_EQ(c[4].x, 0.0f);
    EXPECT_EQ(c[4].fov, 0.0f);
    EXPECT_EQ(c[0].x, c[1].x);
    // Only the point before the deleted one gets new handles, from its new neighbours (the
    // phantom copy of itself after it); point 1 keeps the handles it had.
    EXPECT_FLOAT_EQ(c[2].tanA.x, 1.1f * 10 / 4);
    EXPECT_EQ(c[2].tanB.x, 0.0f);
    EXPECT_FLOAT_EQ(c[1].tanB.x, 1.1f * 20 / 4);
    EXPECT_FLOAT_EQ(c[1].tanB.y, 1.1f * 5 / 4);
}

TEST(PointTableOps, DeletingTheOnlyPointWithAutoAdjustSetsThePresetToOne) {
    Trace t = MakeTrace({{0, 0, 0}});
    t.counts.autoAdjust[0] = true;
    DeletePoint(t, kControl, 1, true);
    EXPECT_EQ(t.ControlCount(), 0);
    EXPECT_EQ(t.counts.presetText[0], QStringLiteral("1"));
}

TEST(PointTableOps, InsertingIntoASegmentPutsThePointOnTheCurve) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {100, 100, 50}});
    SetPointField(t.points, kControl, 1, kFieldYaw, 10.0f);
    SetPointField(t.points, kControl, 2, kFieldYaw, 30.0f);
    SetPointField(t.points, kControl, 2, kFieldFov, 100.0f);
    // Hermite at t = 0.5 is (P1 + P2) / 2 + (tanA(1) - tanB(1)) / 4, with the automatic handles
    // tanA(1) = 1.1 (P2 - P1) / 4 = (27.5, 0, 0) and tanB(1) = 1.1 (P3 - P1) / 4
    // = (27.5, 27.5, 13.75): (50, -6.875, -3.4375), to two decimals.
    ASSERT_TRUE(InsertPointInSegment(t, 1));
    ASSERT_EQ(t.ControlCount(), 4);
    const auto& c = t.points.rec[kControl];
    EXPECT_FLOAT_EQ(c[2].x, 50.0f);
    EXPECT_FLOAT_EQ(c[2].y, -6.88f);
    EXPECT_FLOAT_EQ(c[2].z, -3.44f);
    EXPECT_EQ(c[2].yaw, 20.0f);
    EXPECT_EQ(c[2].fov, 95.0f);
    EXPECT_EQ(c[3].x, 100.0f); // the old second point moved up
    EXPECT_EQ(c[4].z, 50.0f);
    EXPECT_FALSE(InsertPointInSegment(t, 4)); // no segment starts at the last point
}

TEST(PointTableOps, DuplicateCopiesThePointRightAfterIt) {
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}});
    ASSERT_TRUE(DuplicatePoint(t, kControl, 2));
    ASSERT_EQ(t.ControlCount(), 4);
    const auto& c = t.points.rec[kControl];
    EXPECT_EQ(c[2].x, 10.0f);
    EXPECT_EQ(c[3].x, 10.0f);
    EXPECT_EQ(c[4].x, 20.0f);
    EXPECT_EQ(c[5].x, 20.0f); // phantom
}

bool SameHandles(const PointRecord& a, const PointRecord& b) {
    return a.tanA.x == b.tanA.x && a.tanA.y == b.tanA.y && a.tanA.z == b.tanA.z &&
           a.tanB.x == b.tanB.x && a.tanB.y == b.tanB.y && a.tanB.z == b.tanB.z;
}

TEST(PointTableOps, DeleteAndDuplicateLeaveTheOtherHandlesAlone) {
    const Trace before =
        MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}, {300, 100, 40}, {400, 0, 0}});
    const auto& b = before.points.rec[kControl];

    Trace dup = before;
    ASSERT_TRUE(DuplicatePoint(dup, kControl, 3));
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(SameHandles(dup.points.rec[kControl][i + (i > 3 ? 1 : 0)], b[i])) << i;
    EXPECT_TRUE(SameHandles(dup.points.rec[kControl][4], b[3]));

    // Deleting point 3 recomputes point 2 only; its x and y, placed by hand in the X-Y plan, stay.
    Trace del = before;
    TangentHandle& hand = del.points.rec[kControl][2].tanA;
    hand.x = 7;
    hand.y = -9;
    hand.fixedAxes = kViewXY;
    DeletePoint(del, kControl, 3, true);
    const auto& d = del.points.rec[kControl];
    EXPECT_TRUE(SameHandles(d[1], b[1]));
    EXPECT_TRUE(SameHandles(d[3], b[4]));
    EXPECT_TRUE(SameHandles(d[4], b[5]));
    // Neighbours of point 2 are now (0,0,0) and (300,100,40); of its segment end, (400,0,0).
    EXPECT_EQ(d[2].tanA.x, 7.0f);
    EXPECT_EQ(d[2].tanA.y, -9.0f);
    EXPECT_FLOAT_EQ(d[2].tanA.z, 11.0f);
    EXPECT_FLOAT_EQ(d[2].tanB.x, 82.5f);
    EXPECT_FLOAT_EQ(d[2].tanB.y, 0.0f);
    EXPECT_FLOAT_EQ(d[2].tanB.z, 0.0f);
}

TEST(PointTableOps, MakeRoomOpensSlotsForTheCaller) {
    Trace t;
    for (int i = 1; i <= 3; ++i)
        AppendPointXYZ(t, kReference, i, 0, 0, std::nullopt, false);
    ASSERT_TRUE(MakeRoom(t, kReference, 2, 2));
    EXPECT_EQ(t.ReferenceCount(), 5);
    EXPECT_EQ(t.points.At(kReference, 1).x, 1.0f);
    EXPECT_EQ(t.points.At(kReference, 4).x, 2.0f);
    EXPECT_EQ(t.points.At(kReference, 5).x, 3.0f);
    EXPECT_FALSE(MakeRoom(t, kReference, 1, kMaxPoints));
}

TEST(PointTableOps, TimeLabelsSpreadTheDurationOverThePoints) {
    test::ScopedLocale french(test::ScopedLocale::French());
    Trace t = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}, 101);
    t.counts.frameRate = 50;
    UpdateDuration(t);
    EXPECT_EQ(t.points.timeLabel[1], QStringLiteral("0,00"));
    EXPECT_EQ(t.points.timeLabel[2], QStringLiteral("1,01"));
    EXPECT_EQ(t.points.timeLabel[3], QStringLiteral("2,02"));
}

} // namespace
} // namespace kestrova
