// The editing tools driven through their input state, as the surface drives them.
#include "core/view/tools.h"

#include "core/model/point_table_ops.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kestrova {
namespace {

using test::MakeTrace;

struct Mods {
    bool shift = false, ctrl = false, alt = false;
};
const Mods kShift{true, false, false}, kCtrl{false, true, false}, kAlt{false, false, true};

void ExpectXYZ(const PointRecord& p, float x, float y, float z, const std::string& what = {}) {
    EXPECT_FLOAT_EQ(p.x, x) << what;
    EXPECT_FLOAT_EQ(p.y, y) << what;
    EXPECT_FLOAT_EQ(p.z, z) << what;
}

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageOffset(kLanguageEnglish);
        nav.metrics.Resize(800, 600);
        nav.metrics.SetScale(1.0); // 4 pixels pick 4 world units
    }
    // A pointer at plan coordinates (h, v); one pixel per unit.
    ToolInput At(float h, float v, Mods m = {}, MouseButton b = MouseButton::Left) const {
        ToolInput in;
        in.button = b;
        in.mods = {m.shift, m.ctrl, m.alt};
        in.px = h;
        in.py = -v;
        const ViewAxes a = nav.Axes();
        in.world = {0, 0, 0};
        in.world[a.h] = h;
        in.world[a.v] = v;
        return in;
    }
    ToolEffect Click(float h, float v, Mods m = {}, MouseButton b = MouseButton::Left) {
        ToolEffect e = tools.Press(At(h, v, m, b));
        tools.Release(At(h, v, m, b));
        return e;
    }
    // Press, one move per waypoint, release at the last one.
    ToolEffect Drag(std::initializer_list<std::pair<float, float>> path, Mods m = {},
                    Mods atPress = {}) {
        auto it = path.begin();
        tools.Press(At(it->first, it->second, atPress));
        for (++it; it != path.end(); ++it)
            tools.Move(At(it->first, it->second, m));
        const auto& last = *(path.end() - 1);
        return tools.Release(At(last.first, last.second, m));
    }
    PointRecord& Ctl(int i) { return trace.points.rec[kControl][i]; }
    PointRecord& Ref(int i) { return trace.points.rec[kReference][i]; }

    Trace trace;
    ViewState views;
    ViewNavigator nav{views};
    test::ScriptedDialogs dialogs;
    ToolMachine tools{trace, nav, dialogs};
};

TEST_F(ToolsTest, PickingTakesTheLowestIndexWithinFourPixelsAndSkipsHiddenPoints) {
    trace = MakeTrace({{0, 0, 0}, {3, 3, 0}, {100, 100, 0}});
    AppendPointXYZ(trace, kReference, 100, 100, 0, std::nullopt, false);
    AppendPointXYZ(trace, kReference, 200, 200, 0, std::nullopt, false);
    struct Case {
        float h, v;
        int index, list;
    } cases[] = {
        {1.5f, 1.5f, 1, kControl}, // both within reach: the lower index
        {4, -4, 1, kControl},      // the square's corner still counts
        {7.5f, 3, -1, kNoList},    // 4.5 away on one axis
        {100, 100, 3, kControl},   // control points before reference points
        {203, 197, 2, kReference},
    };
    for (const Case& c : cases) {
        const HoverState h = tools.HitTest(c.h, c.v);
        EXPECT_EQ(h.index, c.index) << c.h << "," << c.v;
        EXPECT_EQ(h.list, c.list) << c.h << "," << c.v;
    }
    Ctl(1).hide = 1;
    EXPECT_EQ(tools.HitTest(1.5f, 1.5f).index, 2);
    tools.context.showReferencePoints = false; // reference points not drawn, not picked
    EXPECT_EQ(tools.HitTest(203, 197).index, -1);
    nav.metrics.SetScale(2.0); // four pixels are two units now
    EXPECT_EQ(tools.HitTest(4.5f, 4.5f).index, 2);
    EXPECT_EQ(tools.HitTest(5.5f, 3).index, -1);
}

TEST_F(ToolsTest, TangentHandlesArePickedAtTheirEnds) {
    // Automatic handles are 1.1 x the neighbours' chord / 4: tanA(1) 27.5, tanB(1) 55,
    // tanA(2) 55, tanB(2) 27.5 on X.
    trace = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 0, 0}});
    struct Case {
        float h;
        int index;
        HandleHit handle;
    } cases[] = {{27.5f, 1, HandleHit::A},
                 {45, 1, HandleHit::B},
                 {172.5f, 2, HandleHit::B},
                 {0, -1, HandleHit::None}};
    for (const Case& c : cases) {
        const HoverState h = tools.HitTestTangents(c.h, 1);
        EXPECT_EQ(h.index, c.index) << c.h;
        EXPECT_EQ(h.handle, c.handle) << c.h;
    }
}

TEST_F(ToolsTest, RubberBandSelectsAddsOrTogglesAndAClickSelectsOnePoint) {
    trace = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {5, 1, 0}});
    AppendPointXYZ(trace, kReference, 5, 5, 0, std::nullopt, false);
    Ctl(4).hide = 1; // inside the band, never selected
    tools.context.tool = kToolSelect;
    struct Case {
        Mods mods;
        std::array<bool, 4> before, after; // control 1..3, reference 1
    } cases[] = {
        {{}, {true, false, true, false}, {true, true, false, true}},
        {kShift, {false, false, true, false}, {true, true, true, true}},
        {kCtrl, {true, false, true, true}, {false, true, true, false}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i)
            Ctl(i + 1).selected = c.before[i];
        Ref(1).selected = c.before[3];
        Ctl(4).selected = false;
        // The band goes from (12, 6) to (-1, -1): covers control 1 and 2 and the reference.
        Drag({{12, 6}, {4, 2}, {-1, -1}}, c.mods, c.mods);
        const std::array<bool, 4> got{Ctl(1).selected, Ctl(2).selected, Ctl(3).selected,
                                      Ref(1).selected};
        EXPECT_EQ(got, c.after);
        EXPECT_FALSE(Ctl(4).selected);
    }
    Ctl(2).selected = Ctl(3).selected = false; // a press on a selected point would move it
    Ctl(1).selected = true;
    Click(13, 3); // widened to 9..17 x -1..7
    EXPECT_EQ((std::array<bool, 3>{Ctl(1).selected, Ctl(2).selected, Ctl(3).selected}),
              (std::array<bool, 3>{false, true, false}));
    Click(50, 50);
    EXPECT_FALSE(Ctl(2).selected);
}

TEST_F(ToolsTest, MovingAPointFollowsThePointerWithTheModifierConstraints) {
    struct Case {
        int view;
        Mods mods;
        float toH, toV;
        float x, y, z;
    } cases[] = {
        {0, {}, 15.126f, 27.125f, 15.13f, 27.12f, 30}, // two decimals, halves to even
        {0, kShift, 15.126f, 27.125f, 10, 27.12f, 30},
        {0, kCtrl, 15.126f, 27.125f, 15.13f, 20, 30},
        {1, {}, 12, -40.004f, 12, 20, -40}, // X-Z: y stays
        {2, {}, -7.5f, 0.001f, 10, -7.5f, 0},
    };
    for (const Case& c : cases) {
        trace = MakeTrace({{10, 20, 30}, {500, 500, 500}});
        views.activeView = c.view;
        const ViewAxes a = nav.Axes();
        const ToolEffect e =
            Drag({{a.h == 0 ? 10.0f : 20.0f, a.v == 1 ? 20.0f : 30.0f}, {c.toH, c.toV}}, c.mods);
        ExpectXYZ(Ctl(1), c.x, c.y, c.z, std::to_string(c.view));
        EXPECT_TRUE(e.recordUndo && e.selectKind == kControl && e.selectRow == 1);
    }
    // A click on a point without moving it changes nothing worth an undo step.
    views.activeView = 0;
    trace = MakeTrace({{10, 20, 30}});
    EXPECT_FALSE(Drag({{10, 20}}).recordUndo);
}

TEST_F(ToolsTest, MovingTheSelectionMovesEverySelectedPointAndRoundsAtTheEnd) {
    trace = MakeTrace({{0, 0, 0}, {10, 0, 5}, {20, 0, 0}});
    AppendPointXYZ(trace, kReference, 50, 50, 1, std::nullopt, false);
    tools.context.tool = kToolSelect;
    Ctl(1).selected = Ctl(2).selected = Ref(1).selected = true;
    // Grabbed at point 2; the first step takes the point to the pointer.
    const ToolEffect e = Drag({{10, 0}, {12, 1}, {13.004f, -2.5f}});
    ExpectXYZ(Ctl(1), 3, -2.5f, 0);
    ExpectXYZ(Ctl(2), 13, -2.5f, 5);
    ExpectXYZ(Ref(1), 53, 47.5f, 1);
    EXPECT_FLOAT_EQ(Ctl(3).x, 20); // not selected
    EXPECT_TRUE(e.recordUndo);
    EXPECT_EQ(e.selectRow, 2);
    // Shift held while moving: only the vertical follows.
    Drag({{13, -2.5f}, {30, 10}}, kShift);
    ExpectXYZ(Ctl(2), 13, 10, 5);
    // A modifier at the press starts a rubber band instead.
    Drag({{13, 10}, {14, 11}}, {}, kCtrl);
    EXPECT_FLOAT_EQ(Ctl(2).x, 13);
}

TEST_F(ToolsTest, AddingTakesThePlanCoordinatesAndStopsAtTheLimit) {
    trace = MakeTrace({{1, 2, 3}});
    views.activeView = 1; // X-Z: y comes from the previous last point
    ToolEffect e = Click(40.456f, -7);
    ASSERT_EQ(trace.ControlCount(), 2);
    ExpectXYZ(Ctl(2), 40.46f, 2, -7);
    EXPECT_TRUE(e.recordUndo);
    EXPECT_EQ(e.selectRow, 2);
    Click(90, 90, kShift); // Shift over nothing does nothing
    EXPECT_EQ(trace.ControlCount(), 2);

    tools.context.tableList = kReference;
    tools.context.showReferencePoints = false;
    e = Click(300, 300);
    EXPECT_EQ(trace.ReferenceCount(), 1);
    EXPECT_TRUE(e.referenceDisplayOn);
    EXPECT_EQ(e.selectKind, kReference);

    tools.context.tableList = kControl;
    while (trace.ControlCount() < kMaxPoints)
        AppendPointXYZ(trace, kControl, 1000, 0, trace.ControlCount(), std::nullopt, false);
    EXPECT_FALSE(Click(-300, -300).recordUndo);
    EXPECT_EQ(trace.ControlCount(), kMaxPoints);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Addition of a point"));
}

TEST_F(ToolsTest, ShiftClickDeletesAndCtrlAltClickInsertsInTheSegmentAfter) {
    trace = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 0, 0}});
    const Mods ctrlAlt{false, true, true};
    ToolEffect e = Click(0, 0, ctrlAlt); // where on the curve: the table operation's own test
    ASSERT_EQ(trace.ControlCount(), 4);
    EXPECT_FLOAT_EQ(Ctl(3).x, 100);
    EXPECT_TRUE(e.recordUndo);
    EXPECT_EQ(e.selectRow, 2);
    EXPECT_FALSE(Click(200, 0, ctrlAlt).recordUndo); // no segment starts at the last point
    EXPECT_EQ(trace.ControlCount(), 4);

    e = Click(100, 0, kShift); // deleting selects the row before
    ASSERT_EQ(trace.ControlCount(), 3);
    EXPECT_FLOAT_EQ(Ctl(3).x, 200);
    EXPECT_TRUE(e.recordUndo);
    EXPECT_EQ(e.selectRow, 2);
    trace = MakeTrace({{0, 0, 0}, {20, 0, 0}});
    e = Click(0, 0, kShift);
    ASSERT_EQ(trace.ControlCount(), 1);
    EXPECT_FLOAT_EQ(Ctl(1).x, 20);
    EXPECT_EQ(e.selectKind, -1); // the first point has no row before it
    EXPECT_FALSE(tools.Hover().Any());
}

// Three points P1 (0, 0), P2 (100, 0), P3 (200, 50): tanA(2) and tanB(1) start automatic at
// 1.1 x (P3 - P1) / 4 = (55, 13.75), so the handle tanA(2) ends at (155, 13.75).
class TangentDragTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        trace = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 50, 0}});
        tools.context.tool = kToolTangents;
    }
    const TangentHandle& A(int i) { return Ctl(i).tanA; }
    const TangentHandle& B(int i) { return Ctl(i).tanB; }
};

TEST_F(TangentDragTest, EachModifierTreatsTheOtherHandleItsOwnWay) {
    struct Case {
        const char* what;
        Mods mods;
        float toH;
        float aX, aY, bX, bY; // tanA(2), tanB(1) after
    } cases[] = {
        {"smooth", {}, 130, 30, 40, 30, 40},
        {"corner", kCtrl, 130, 30, 40, 55, 13.75f},
        // Length hypot(55, 13.75) = 56.69268, direction (0.6, 0.8).
        {"alt", kAlt, 130, 30, 40, 34.01561f, 45.35414f},
        {"alt left", kAlt, 70, -30, 40, -34.01561f, 45.35414f},
        // Chord (100, 50) is wider than high: the horizontal follows, the vertical is half.
        {"chord", kShift, 130, 30, 15, 30, 15},
    };
    for (const Case& c : cases) {
        SetUp();
        const ToolEffect e = Drag({{155, 13.75f}, {c.toH, 40}}, c.mods);
        EXPECT_LT(std::hypot(A(2).x - c.aX, A(2).y - c.aY), 1e-3) << c.what;
        EXPECT_LT(std::hypot(B(1).x - c.bX, B(1).y - c.bY), 1e-3) << c.what;
        EXPECT_TRUE(A(2).fixedAxes == kViewXY && B(1).fixedAxes == kViewXY) << c.what;
        EXPECT_TRUE(e.recordUndo && e.selectRow == 2) << c.what;
    }
    // tanB(1) ends at P2 - tanB(1) = (45, -13.75): pulled to (60, -20) it becomes (40, 20).
    SetUp();
    Drag({{45, -13.75f}, {60, -20}});
    EXPECT_FLOAT_EQ(B(1).x, 40);
    EXPECT_FLOAT_EQ(B(1).y, 20);
    EXPECT_FLOAT_EQ(A(2).y, 20); // smooth
    // The first point's outgoing handle, 1.1 x (P2 - P1) / 4 = (27.5, 0), has no partner.
    Drag({{27.5f, 0}, {20, 20}});
    EXPECT_FLOAT_EQ(A(1).x, 20);
    EXPECT_FLOAT_EQ(B(1).x, 40);
}

TEST_F(TangentDragTest, RightClickResetsToAutomaticForAllPlansOrWithCtrlThisOne) {
    struct Case {
        Mods mods;
        float z;
        int32_t fixed;
    } cases[] = {{{}, 0, 0}, {kCtrl, 3, kViewXZ | kViewYZ}};
    for (const Case& c : cases) {
        Ctl(2).tanA = {1, 2, 3, 7};
        EXPECT_TRUE(Click(101, 2, c.mods, MouseButton::Right).recordUndo);
        EXPECT_EQ((std::array{A(2).x, A(2).y, A(2).z}), (std::array{55.0f, 13.75f, c.z}));
        EXPECT_EQ(A(2).fixedAxes, c.fixed);
        EXPECT_EQ(tools.Drag(), ToolDrag::None); // no pan
    }
    // On the point itself: the two handles drawn there (their ends well away from it).
    Ctl(2).tanA = {30, 20, 3, 7};
    Ctl(1).tanB = {-30, 20, 3, 7};
    Click(100, 0, {}, MouseButton::Right);
    EXPECT_FLOAT_EQ(A(2).x, 55);
    EXPECT_FLOAT_EQ(B(1).x, 55);
    EXPECT_EQ(B(1).fixedAxes, 0);
}

// A map that has one vertex, at (50, 50, 77) in every plan.
class SnapTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        tools.context.snapToMap = [this](WorldPos& at, int plane, float radius) {
            planes.push_back(plane);
            const ViewAxes a = nav.Axes();
            const WorldPos v{50, 50, 77};
            if (std::hypot(at[a.h] - v[a.h], at[a.v] - v[a.v]) > radius)
                return false;
            at = v;
            return true;
        };
    }
    std::vector<int> planes;
};

TEST_F(SnapTest, ANewPointTakesTheMapPointWhenSnappingIsOn) {
    trace = MakeTrace({{0, 0, 5}});
    Ctl(1).pitch = 30;
    Click(45, 45); // within reach of the map, but snapping is off
    ASSERT_EQ(trace.ControlCount(), 2);
    ExpectXYZ(Ctl(2), 45, 45, 5); // the third coordinate is kept

    tools.context.snapControl = true;
    tools.Move(At(53, 54));
    EXPECT_TRUE(tools.MarkerVisible());
    Click(53, 54);
    ASSERT_EQ(trace.ControlCount(), 3);
    ExpectXYZ(Ctl(3), 50, 50, 77);
    EXPECT_FLOAT_EQ(Ctl(3).pitch, 0);
    EXPECT_EQ(planes.back(), 0);
    tools.Move(At(80, 80));
    EXPECT_FALSE(tools.MarkerVisible());

    // The reference list has its own option.
    tools.context.tableList = kReference;
    Click(58, 56);
    EXPECT_FLOAT_EQ(Ref(1).x, 58);
    views.activeView = 2;
    tools.context.snapReference = true;
    Click(55, 80);
    ExpectXYZ(Ref(2), 50, 50, 77);
    EXPECT_EQ(planes.back(), 2);
}

TEST_F(SnapTest, CtrlShowsTheMarkerAndAMovedPointSnapsUnlessConstrained) {
    trace = MakeTrace({{0, 0, 0}, {100, 100, 0}});
    tools.Move(At(48, 48));
    EXPECT_FALSE(tools.MarkerVisible());
    tools.context.snapControl = true; // Ctrl shows it without the pointer moving
    tools.KeyDown(ToolKey::Control, {false, true, false});
    EXPECT_TRUE(tools.MarkerVisible());
    tools.Move(At(100, 100)); // over a point: a click would move it, no marker
    EXPECT_FALSE(tools.MarkerVisible());

    Drag({{0, 0}, {47, 53}});
    ExpectXYZ(Ctl(1), 50, 50, 77);
    Drag({{50, 50}, {49, 30}}, kShift); // Shift: only the vertical, no snap
    ExpectXYZ(Ctl(1), 50, 30, 77);
    EXPECT_FALSE(tools.MarkerVisible());
}

TEST_F(ToolsTest, HoverShortcutsSelectCopyAndBuildTheConsoleCommand) {
    test::ScopedLocale french(test::ScopedLocale::French());
    trace = MakeTrace({{0, 0, 0}, {10.5, 20, -30}});
    Ctl(2).pitch = 5;
    Ctl(2).yaw = 45;
    EXPECT_EQ(tools.Move(At(10, 20, kCtrl)).selectRow, 2);
    EXPECT_EQ(tools.Move(At(11, 21, kCtrl)).selectKind, -1); // same point: selected once

    ToolEffect e = tools.Move(At(10, 20, {true, true, false}));
    ASSERT_TRUE(e.lookTarget);
    EXPECT_EQ((*e.lookTarget)[0], QStringLiteral("10,50"));
    EXPECT_EQ((*e.lookTarget)[2], QStringLiteral("-30,00"));

    tools.context.game = 1;
    e = tools.Move(At(10, 20, kAlt));
    ASSERT_TRUE(e.clipboard);
    EXPECT_EQ(*e.clipboard,
              QStringLiteral("/set pos \"placeplayer 10.50 20.00 -30.00 -5.00 45.00 0.00\";"));
    EXPECT_EQ(PointerCaption(nav.Axes(), {12.3456f, -3, 0}),
              QStringLiteral("x    12,346 y    -3,000"));
}

TEST_F(ToolsTest, ThePointerSaysWhatAClickWouldDo) {
    trace = MakeTrace({{0, 0, 0}, {100, 0, 0}});
    Ctl(2).selected = true;
    struct Case {
        int tool;
        float h;
        Mods mods;
        ToolPointer pointer;
    } cases[] = {
        {kToolPoints, 50, {}, ToolPointer::Add},
        {kToolPoints, 50, kShift, ToolPointer::NoAdd},
        {kToolPoints, 0, {}, ToolPointer::Move},
        {kToolPoints, 0, {false, true, true}, ToolPointer::Insert},
        {kToolSelect, 0, {}, ToolPointer::Select},          // not selected
        {kToolSelect, 100, {}, ToolPointer::MoveSelection}, // selected
        {kToolSelect, 100, kCtrl, ToolPointer::Select},
        {kToolTangents, 27.5f, {}, ToolPointer::Handle}, // tanA(1) = 1.1 x 100 / 4
        {kToolTangents, 60, {}, ToolPointer::Arrow},
        {kToolZoom, 0, {}, ToolPointer::Zoom},
    };
    for (const Case& c : cases) {
        tools.context.tool = c.tool;
        tools.Move(At(c.h, 0, c.mods, MouseButton::None));
        EXPECT_EQ(tools.Pointer(), c.pointer) << c.tool << " at " << c.h;
    }
    // A modifier pressed without moving changes it at once.
    tools.context.tool = kToolPoints;
    tools.Move(At(0, 0, {}, MouseButton::None));
    tools.KeyDown(ToolKey::Shift, {true, false, false});
    EXPECT_EQ(tools.Pointer(), ToolPointer::Delete);
    tools.KeyUp(ToolKey::Shift, {});
    EXPECT_EQ(tools.Pointer(), ToolPointer::Move);
    tools.Press(At(0, 0, {}, MouseButton::Right));
    EXPECT_EQ(tools.Pointer(), ToolPointer::Pan);
}

TEST_F(ToolsTest, DeleteKeyRemovesTheSelectionOfBothListsUnlessThePointsToolIsOn) {
    trace = MakeTrace({{0, 0, 0}, {10, 0, 0}, {20, 0, 0}});
    AppendPointXYZ(trace, kReference, 5, 5, 0, std::nullopt, false);
    Ctl(1).selected = Ctl(3).selected = Ref(1).selected = true;
    EXPECT_FALSE(tools.KeyDown(ToolKey::Delete, {}).recordUndo);
    EXPECT_EQ(trace.ControlCount(), 3);
    tools.context.tool = kToolSelect;
    EXPECT_TRUE(tools.KeyDown(ToolKey::Delete, {}).recordUndo);
    ASSERT_EQ(trace.ControlCount(), 1);
    EXPECT_FLOAT_EQ(Ctl(1).x, 10);
    EXPECT_EQ(trace.ReferenceCount(), 0);
}

} // namespace
} // namespace kestrova
