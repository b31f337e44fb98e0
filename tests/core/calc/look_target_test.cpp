#include "core/calc/look_target.h"

#include "calc_fixture.h"

namespace kestrova::test {
namespace {

using F = std::vector<float>;

TEST(LookMath, AnglesTowardsATargetFromTheOrigin) {
    const struct {
        double tx, ty, tz;
        float pitch, yaw;
    } cases[] = {
        {100, 0, 0, 0, 0},
        {-100, 0, 0, 0, 180},
        {0, 0, 100, 90, 90}, // ahead, behind, above
        {0, 0, -100, -90, 90},
        {0, -100, 0, 0, -90},
        {100, 0, 100, 45, 0},
        {-100, -100, 0, 0, 225},
        {300, 0, -400, -53.130102f, 0},
    };
    for (const auto& c : cases) {
        const LookAngles a = AnglesTowards(PointRecord{}, c.tx, c.ty, c.tz);
        EXPECT_NEAR(a.pitch, c.pitch, 1e-4) << c.tx << " " << c.ty << " " << c.tz;
        EXPECT_NEAR(a.yaw, c.yaw, 1e-4) << c.tx << " " << c.ty << " " << c.tz;
    }
}

TEST(LookMath, UnwindTurnsTheShortWay) {
    const float cases[][4] = {
        // value, previous, limit, expected
        {-170, 170, 180, 190}, {170, -170, 180, -190}, {10, 0, 180, 10},
        {180, 0, 180, 180}, // not beyond the limit
        {-270, 270, 180, 450}, {725, 0, 360, 5},       {350, -20, 360, -10},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(Unwind(c[0], c[1], c[2]), c[3]) << c[0] << " after " << c[1];
}

TEST(LookMath, NarrowingKeepsTheAngleColumns) {
    const int cases[][4] = {{1, 11, 4, 5}, {1, 4, 4, 4}, {5, 5, 5, 5}, {6, 6, 4, 5}, {0, 9, 4, 5}};
    for (const auto& c : cases) {
        TableSelection s{1, 1, c[0], c[1]};
        NarrowToAngleColumns(s);
        EXPECT_EQ((std::array{s.firstColumn, s.lastColumn}), (std::array{c[2], c[3]})) << c[0];
    }
}

using LookTarget = CalcFixture;

TEST_F(LookTarget, TypedTargetWritesTheSelectedAngleColumns) {
    AddControls({0, 0, 0});
    Set(kControl, 2, kFieldX, 200);
    for (int i = 1; i <= 3; ++i)
        Set(kControl, i, kFieldPitch, 7);
    // Columns 1..11 become pitch and yaw; target 300 ahead, 200 up from point 1.
    ASSERT_TRUE(ComputeLookAngles(doc, kLookTyped, {1, 2, 1, 11}, {}, {300, 0, 200}));
    // Point 1: atan(200 / 300) = 33.690067; point 2: atan(200 / 100) = 63.434949.
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{33.69f, 63.43f, 7}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 0, 0}));
    EXPECT_EQ(UndoSteps(), 1);

    // Only the yaw column: the pitch stays. Target behind point 3.
    ASSERT_TRUE(ComputeLookAngles(doc, kLookTyped, {3, 3, 5, 5}, {}, {-50, 0, 1000}));
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{33.69f, 63.43f, 7}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 0, 180}));
    // Columns 1..4: only the pitch.
    ASSERT_TRUE(ComputeLookAngles(doc, kLookTyped, {3, 3, 1, 4}, {}, {0, 100, 0}));
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{33.69f, 63.43f, 0}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 0, 180}));
}

TEST_F(LookTarget, ConsecutivePointsUnwindFromThePointBefore) {
    AddControls({0, 0});
    Set(kControl, 1, kFieldYaw, -170);
    // From point 2, dx = 100 > 0 and atan(dy/dx) = -10: yaw 170, written as -190.
    ASSERT_TRUE(ComputeLookAngles(doc, kLookTyped, {2, 2, 5, 5}, {}, {-100, 17.6327, 0}));
    EXPECT_FLOAT_EQ(Field(kControl, 2, kFieldYaw), -190.0f);

    // With the first row selected, the point after it is the reference: 350 then 0 -> 360.
    Set(kControl, 2, kFieldYaw, 350);
    ASSERT_TRUE(ComputeLookAngles(doc, kLookTyped, {1, 1, 5, 5}, {}, {100, 0, 0}));
    EXPECT_FLOAT_EQ(Field(kControl, 1, kFieldYaw), 360.0f);
}

TEST_F(LookTarget, NextPointAndTheLastPoint) {
    Add(kControl, 0, 0, 0);
    Add(kControl, 0, 100, 0);
    Add(kControl, -100, 100, 0);
    ASSERT_TRUE(ComputeLookAngles(doc, kLookNextPoint, {1, 3, 4, 5}, {}, {}));
    // 1 looks along +y (90), 2 along -x (180), 3 has nothing ahead: 180 - 180 = 0.
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{90, 180, 0}));
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{0, 0, 0}));

    // The last point alone: the angles before it lose their whole turns (400 -> 360).
    Set(kControl, 2, kFieldYaw, 400);
    Set(kControl, 2, kFieldPitch, -30);
    ASSERT_TRUE(ComputeLookAngles(doc, kLookNextPoint, {3, 3, 4, 5}, {}, {}));
    EXPECT_FLOAT_EQ(Field(kControl, 3, kFieldYaw), 360.0f);
    EXPECT_FLOAT_EQ(Field(kControl, 3, kFieldPitch), 0.0f);
}

TEST_F(LookTarget, ReferencePointsArePairedInOrder) {
    AddControls({0, 0, 0});
    Add(kReference, 0, 0, 0);
    Add(kReference, 0, 100, 0);  // straight along +y
    Add(kReference, -100, 0, 0); // behind
    ASSERT_TRUE(ApplyLookTarget(doc, kLookReferences, {2, 3, 5, 5}, {2, 3, 1, 1}, {}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 90, 180}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LookTarget, ReferenceCountMismatchIsRefused) {
    AddControls({0, 10, 20, 30, 40});
    for (double x : {1.0, 2.0, 3.0, 4.0})
        Add(kReference, x, 50);
    EXPECT_FALSE(ApplyLookTarget(doc, kLookReferences, {1, 5, 4, 5}, {1, 4, 1, 1}, {}));
    ExpectOneMessage(QStringLiteral("Look reference points"),
                     QStringLiteral("Select the same number of control and reference points."));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 0, 0, 0, 0}));
    EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(LookTarget, OneReferencePointIsTheTargetOfEverySelectedControlPoint) {
    AddControls({0, 100, -100});
    Add(kReference, 0, 100, 0);
    ASSERT_TRUE(ApplyLookTarget(doc, kLookReferences, {1, 3, 5, 5}, {1, 1, 1, 1}, {}));
    // Straight along +y, then 45 degrees to its left and to its right.
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{90, 135, 45}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(LookTarget, NothingWithoutTwoPointsOrASelection) {
    Add(kControl, 0);
    EXPECT_FALSE(ApplyLookTarget(doc, kLookTyped, {1, 1, 5, 5}, {}, {100, 0, 0}));
    Add(kControl, 10);
    EXPECT_FALSE(ApplyLookTarget(doc, kLookTyped, {0, 0, 5, 5}, {}, {100, 0, 0}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{0, 0}));
    EXPECT_EQ(UndoSteps(), 0);
}

TEST(LookOptions, FollowThePointCounts) {
    const struct {
        int controls, references;
        std::array<bool, 3> enabled;
        bool apply;
    } cases[] = {{0, 5, {false, false, false}, false},
                 {1, 5, {true, false, false}, true},
                 {2, 0, {true, true, false}, true},
                 {2, 1, {true, true, true}, true},
                 {2, 2, {true, true, true}, true}};
    for (const auto& c : cases) {
        Trace t;
        t.points.count = {c.controls, c.references};
        const CommandStates s = ComputeCommandStates(t);
        EXPECT_EQ(s.lookTarget, c.enabled) << c.controls << " " << c.references;
        EXPECT_EQ(s.lookApply, c.apply) << c.controls << " " << c.references;
    }
}

TEST(LookOptionFallback, FirstEnabledOptionReplacesADisabledChoice) {
    EXPECT_EQ(FirstEnabledLookMode({true, true, true}, 2), 2);
    EXPECT_EQ(FirstEnabledLookMode({true, true, false}, 2), 0);
    EXPECT_EQ(FirstEnabledLookMode({false, true, false}, 0), 1);
    EXPECT_EQ(FirstEnabledLookMode({false, false, false}, 1), 1);
}

} // namespace
} // namespace kestrova::test
