#include "core/calc/point_calcs.h"

#include "calc_fixture.h"
#include "core/numbers.h"

#include <cmath>
#include <cstring>

namespace kestrova::test {
namespace {

using F = std::vector<float>;

TEST_F(CalcFixture, InvertReversesTheControlPoints) {
    const std::vector<F> cases = {{1}, {1, 2}, {1, 2, 3, 4}};
    for (const F& xs : cases) {
        doc.trace = Trace{};
        SetUp();
        for (float x : xs)
            Add(kControl, x);
        const bool changes = xs.size() > 1;
        EXPECT_EQ(InvertTrace(doc), changes);
        EXPECT_EQ(Column(kControl, kFieldX), F(xs.rbegin(), xs.rend()));
        EXPECT_EQ(UndoSteps(), changes ? 1 : 0);
        EXPECT_EQ(doc.trace.modified, changes);
    }
}

TEST_F(CalcFixture, InvertedTraceRunsTheSameCurveBackwards) {
    doc.trace.counts.pointCount = 61; // 20 steps on each of three segments
    Add(kControl, 0, 0, 0);
    Add(kControl, 300, 120, 40);
    Add(kControl, 320, 500, -60);
    Add(kControl, -100, 650, 10);
    // A handle placed by hand must survive: it is exchanged, not recomputed.
    PointRecord& second = T().At(kControl, 2);
    second.tanA = {40.0f, -250.0f, 90.0f, kViewXY | kViewXZ};
    RebuildPath(doc.trace);
    const std::vector<PointRecord> before(doc.trace.path.begin(),
                                          doc.trace.path.begin() + doc.trace.pathUpper + 1);
    ASSERT_GT(before.size(), 40u);

    ASSERT_TRUE(InvertTrace(doc));
    ASSERT_EQ(doc.trace.pathUpper + 1, static_cast<int>(before.size()));
    for (size_t k = 0; k < before.size(); ++k) {
        const PointRecord &now = doc.trace.path[k], &old = before[before.size() - 1 - k];
        EXPECT_LT(std::hypot(now.x - old.x, now.y - old.y, now.z - old.z), 0.01) << k;
    }
    // Segment 2 of the inverted trace is the old segment 2 backwards: the hand-placed handle is
    // now its incoming one, reversed, with its fixed-axes word untouched.
    const TangentHandle& moved = T().At(kControl, 2).tanB;
    EXPECT_EQ((F{moved.x, moved.y, moved.z}), (F{-40, 250, -90}));
    EXPECT_EQ(moved.fixedAxes, kViewXY | kViewXZ);
    // The end records copy the new first and last points.
    EXPECT_EQ(T().At(kControl, 0).x, -100.0f);
    EXPECT_EQ(T().At(kControl, 5).x, 0.0f);
}

TEST_F(CalcFixture, AverageFillsTheRowsBetweenTheEnds) {
    AddControls({0, 50, 50, 50, 8, 99});
    Set(kControl, 2, kFieldX, 0);
    Set(kControl, 6, kFieldX, 8);
    ASSERT_TRUE(AverageSelection(doc, kControl, {2, 6, 1, 1}));
    EXPECT_EQ(Column(kControl, kFieldX), (F{0, 0, 2, 4, 6, 8}));
    // The moved points drag their handles along: tanA(4) = 1.1 * (x5 - x3) / 4.
    EXPECT_FLOAT_EQ(T().At(kControl, 4).tanA.x, 1.1f * 4.0f / 4.0f);
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(CalcFixture, AverageOverColumnsZeroToNineLeavesHideAndWiggle) {
    AddControls({0, 1, 2, 3});
    for (int i = 1; i <= 4; ++i) {
        Set(kControl, i, kFieldTs, i == 4 ? 4.0f : 1.0f);
        Set(kControl, i, kFieldHide, i == 2 ? 1.0f : 0.0f);
        Set(kControl, i, kFieldWgA, static_cast<float>(i * 10));
    }
    Set(kControl, 1, kFieldPitch, -30.0f);
    Set(kControl, 4, kFieldPitch, 30.0f);
    ASSERT_TRUE(AverageSelection(doc, kControl, {1, 4, 0, 9}));
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{-30, -10, 10, 30}));
    EXPECT_EQ(Column(kControl, kFieldTs), (F{1, 2, 3, 4}));
    EXPECT_EQ(Column(kControl, kFieldHide), (F{0, 1, 0, 0}));
    EXPECT_EQ(Column(kControl, kFieldWgA), (F{10, 20, 30, 40}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CalcFixture, AverageRoundsEachRowToTwoDecimalsAndBuildsOnIt) {
    // Thirds: 0.33, then 0.33 + 0.333.. = 0.66 (not 0.67), on the reference table.
    for (double x : {0.0, 5.0, 5.0, 1.0})
        Add(kReference, x);
    ASSERT_TRUE(AverageSelection(doc, kReference, {1, 4, 1, 1}));
    EXPECT_EQ(Column(kReference, kFieldX), (F{0, 0.33f, 0.66f, 1}));
}

TEST_F(CalcFixture, IncrementAddsToEverySelectedCellButHide) {
    AddControls({0, 10, 20});
    Set(kControl, 2, kFieldHide, 1);
    ASSERT_TRUE(AddToSelection(doc, kControl, {1, 2, 4, 9}, kAddSubSteps[0], true));
    EXPECT_EQ(Column(kControl, kFieldPitch), (F{90, 90, 0}));
    EXPECT_EQ(Column(kControl, kFieldYaw), (F{90, 90, 0}));
    EXPECT_EQ(Column(kControl, kFieldFov), (F{179.99f, 179.99f, 90})); // clamped by the rules
    EXPECT_EQ(Column(kControl, kFieldTs), (F{91, 91, 1}));
    EXPECT_EQ(Column(kControl, kFieldHide), (F{0, 1, 0}));

    ASSERT_TRUE(AddToSelection(doc, kControl, {2, 3, 0, 1}, 2.5, false));
    EXPECT_EQ(Column(kControl, kFieldX), (F{0, 7.5f, 17.5f}));
    // Coordinates keep their automatic handles: tanA(2) = 1.1 * (17.5 - 0) / 4.
    EXPECT_FLOAT_EQ(T().At(kControl, 2).tanA.x, 1.1f * 17.5f / 4.0f);
    EXPECT_EQ(UndoSteps(), 2);
}

TEST_F(CalcFixture, IncrementOfZeroOrEmptySelectionDoesNothing) {
    AddControls({0, 10});
    EXPECT_FALSE(AddToSelection(doc, kControl, {1, 2, 1, 3}, 0.0, true));
    EXPECT_FALSE(AddToSelection(doc, kControl, {5, 6, 1, 1}, 90.0, true)); // past the end
    EXPECT_EQ(Column(kControl, kFieldX), (F{0, 10}));
    EXPECT_EQ(UndoSteps(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Refusals: a message, nothing changed, no undo step.
struct RefusalCase {
    const char* name;
    bool average; // else increment
    TableSelection sel;
    const char* title;
    const char* text;
};

class CalcRefusal : public CalcFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CalcRefusal, ShowsItsMessageAndChangesNothing) {
    const RefusalCase& c = GetParam();
    AddControls({0, 10, 20, 30});
    const PointTables before = T();
    const bool done = c.average ? AverageSelection(doc, kControl, c.sel)
                                : AddToSelection(doc, kControl, c.sel, 90.0, true);
    EXPECT_FALSE(done);
    ExpectOneMessage(QString::fromUtf8(c.title), QString::fromUtf8(c.text));
    EXPECT_EQ(std::memcmp(&before.rec, &T().rec, sizeof before.rec), 0);
    EXPECT_EQ(UndoSteps(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CalcRefusal,
    ::testing::Values(
        RefusalCase{"AverageOnTwoRows",
                    true,
                    {2, 3, 1, 3},
                    "Calculation of average values",
                    "The selection must include an initial value,\r\none or several intermediate "
                    "values (those which will be calculated)\r\nand an ending value."},
        RefusalCase{"AverageOnHide",
                    true,
                    {1, 4, 9, 9},
                    "Calculation of average values",
                    "Cannot be applied to this column."},
        RefusalCase{"IncrementOnHide",
                    false,
                    {1, 2, 9, 9},
                    "Addition/Subtraction of values",
                    "Cannot be applied to this column."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalcFixture, ConversionPastTheLimitIsRefused) {
    for (int i = 0; i < 248; ++i)
        Add(kControl, i);
    for (int i = 0; i < 3; ++i)
        Add(kReference, i);
    EXPECT_FALSE(ConvertPoints(doc, kReference, kControl, {1, 3, 1, 6}, true));
    ExpectOneMessage(QStringLiteral("Points conversion"),
                     QStringLiteral("The max. number of points is 250.\r\nYou must have 3 "
                                    "point(s) to be able to convert them."));
    EXPECT_EQ(T().count, (std::array<int32_t, 2>{248, 3}));
    // Two fit.
    EXPECT_TRUE(ConvertPoints(doc, kReference, kControl, {2, 3, 1, 1}, true));
    EXPECT_EQ(T().count[kControl], 250);
    EXPECT_EQ(Column(kReference, kFieldX), (F{0}));
}

TEST_F(CalcFixture, ReferencePointsBecomeControlPointsWithFovAndTimescale) {
    AddControls({0, 10});
    for (const auto& [field, v] :
         {std::pair{kFieldFov, 60.0f}, {kFieldTs, 0.5f}, {kFieldWgA, 3.0f}, {kFieldHide, 1.0f}})
        Set(kControl, 2, field, v);
    Add(kReference, 100, 200, 300);
    Add(kReference, 400, 500, 600);
    for (const auto& [field, v] :
         {std::pair{kFieldPitch, 12.5f}, {kFieldYaw, -45.0f}, {kFieldRoll, 3.0f}})
        Set(kReference, 2, field, v);

    ASSERT_TRUE(ConvertPoints(doc, kReference, kControl, {1, 2, 2, 4}, true)); // a left click
    EXPECT_EQ(T().count[kReference], 0);
    ASSERT_EQ(T().count[kControl], 4);
    const PointRecord& p = T().At(kControl, 4);
    EXPECT_EQ(std::vector<float>({p.x, p.y, p.z, p.pitch, p.yaw, p.roll}),
              (F{400, 500, 600, 12.5f, -45, 3}));
    EXPECT_EQ(Column(kControl, kFieldFov), (F{90, 60, 90, 90}));
    EXPECT_EQ(Column(kControl, kFieldTs), (F{1, 0.5f, 1, 1}));
    // What a new point gets anyway: the last point's wiggle, shown.
    EXPECT_EQ(Column(kControl, kFieldWgA), (F{0, 3, 3, 3}));
    EXPECT_EQ(Column(kControl, kFieldHide), (F{0, 1, 0, 0}));
    // Handles of the new points: tanA(3) = 1.1 * (x4 - x2) / 4.
    EXPECT_FLOAT_EQ(T().At(kControl, 3).tanA.x, 1.1f * 390.0f / 4.0f);
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(CalcFixture, ARightClickCopiesControlPointsAndKeepsThem) {
    AddControls({0, 10, 20});
    Set(kControl, 3, kFieldYaw, 90);
    ASSERT_TRUE(ConvertPoints(doc, kControl, kReference, {2, 3, 0, 11}, false));
    EXPECT_EQ(Column(kControl, kFieldX), (F{0, 10, 20}));
    EXPECT_EQ(Column(kReference, kFieldX), (F{10, 20}));
    EXPECT_EQ(Column(kReference, kFieldYaw), (F{0, 90}));
    EXPECT_TRUE(doc.trace.showReferencePoints);
    // Moving them instead leaves the first point.
    ASSERT_TRUE(ConvertPoints(doc, kControl, kReference, {2, 3, 1, 1}, true));
    EXPECT_EQ(Column(kControl, kFieldX), (F{0}));
    EXPECT_EQ(Column(kReference, kFieldX), (F{10, 20, 10, 20}));
    EXPECT_EQ(doc.trace.pathUpper, -1);
}

} // namespace
} // namespace kestrova::test
