#include "core/model/point_table_ops.h"

#include "core/model/point_fields.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::MakeTrace;
using V = std::vector<float>;

// Position, angles, fov, timescale, wiggle amplitude and hide of a point.
V Fields(const PointRecord& p) {
    return {p.x, p.y, p.z, p.pitch, p.yaw, p.roll, p.fov, p.ts, p.wgA, float(p.hide)};
}
V Handles(const PointRecord& p) {
    return {p.tanA.x, p.tanA.y, p.tanA.z, p.tanB.x, p.tanB.y, p.tanB.z};
}

TEST(PointTableOps, FirstControlPointGetsDefaultsAndTheNextInheritsFromIt) {
    Trace t;
    ASSERT_TRUE(AppendPointXYZ(t, kControl, 1.234, 2, 3, Angles{10, 20, 30}, true));
    EXPECT_EQ(Fields(t.points.At(kControl, 1)), (V{1.23f, 2, 3, 10, 20, 30, 90, 1, 0, 0}));

    SetPointField(t.points, kControl, 1, kFieldWgA, 5.0f);
    SetPointField(t.points, kControl, 1, kFieldHide, 1.0f);
    SetPointField(t.points, kControl, 1, kFieldFov, 70.0f);
    ASSERT_TRUE(AppendPoint(t, kControl, kViewXZ, 100.004, -50, true));
    // The plan's third axis is kept; everything but hide is inherited.
    EXPECT_EQ(Fields(t.points.At(kControl, 2)), (V{100, 2, -50, 10, 20, 30, 70, 1, 5, 0}));
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
    EXPECT_EQ(Fields(c[3]), Fields(c[2]));
    EXPECT_EQ(Fields(c[0]), Fields(c[1]));
    EXPECT_EQ(Fields(c[4]), V(10, 0.0f));
    // Only the point before the deleted one gets new handles, from its new neighbours (the
    // phantom copy of itself after it); point 1 keeps the handles it had (1.1 x 20 / 4, 5 / 4).
    EXPECT_FLOAT_EQ(c[2].tanA.x, 2.75f);
    EXPECT_EQ(c[2].tanB.x, 0.0f);
    EXPECT_FLOAT_EQ(c[1].tanB.x, 5.5f);
    EXPECT_FLOAT_EQ(c[1].tanB.y, 1.375f);
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
    EXPECT_EQ(Fields(c[2]), (V{50, -6.88f, -3.44f, 0, 20, 0, 95, 1, 0, 0}));
    EXPECT_EQ(c[3].x, 100.0f); // the old second point moved up
    EXPECT_EQ(c[4].z, 50.0f);
    EXPECT_FALSE(InsertPointInSegment(t, 4)); // no segment starts at the last point
}

TEST(PointTableOps, DeleteAndDuplicateLeaveTheOtherHandlesAlone) {
    const Trace before =
        MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}, {300, 100, 40}, {400, 0, 0}});
    const auto& b = before.points.rec[kControl];
    // The copy comes right after its point, phantom included.
    Trace dup = before;
    ASSERT_TRUE(DuplicatePoint(dup, kControl, 3));
    ASSERT_EQ(dup.ControlCount(), 6);
    for (int i = 1; i <= 7; ++i) {
        const PointRecord& was = b[i - (i > 3 ? 1 : 0)];
        EXPECT_EQ(dup.points.rec[kControl][i].x, was.x) << i;
        if (i <= 6) {
            EXPECT_EQ(Handles(dup.points.rec[kControl][i]), Handles(was)) << i;
        }
    }
    // Deleting point 3 recomputes point 2 only; its x and y, placed by hand in the X-Y plan, stay.
    Trace del = before;
    del.points.rec[kControl][2].tanA = {7, -9, 0, kViewXY};
    DeletePoint(del, kControl, 3, true);
    const auto& d = del.points.rec[kControl];
    EXPECT_EQ(Handles(d[1]), Handles(b[1]));
    EXPECT_EQ(Handles(d[3]), Handles(b[4]));
    EXPECT_EQ(Handles(d[4]), Handles(b[5]));
    // Neighbours of point 2 are now (0,0,0) and (300,100,40); of its segment end, (400,0,0).
    EXPECT_EQ(Handles(d[2]), (V{7, -9, 11, 82.5f, 0, 0}));
}

TEST(PointTableOps, MakeRoomOpensSlotsForTheCaller) {
    Trace t;
    for (int i = 1; i <= 3; ++i)
        AppendPointXYZ(t, kReference, i, 0, 0, std::nullopt, false);
    ASSERT_TRUE(MakeRoom(t, kReference, 2, 2));
    EXPECT_EQ(t.ReferenceCount(), 5);
    EXPECT_EQ((V{t.points.At(kReference, 1).x, t.points.At(kReference, 4).x,
                 t.points.At(kReference, 5).x}),
              (V{1, 2, 3}));
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
