// The path through the west wall of a box room, in the editor: the warning colour in the views,
// the Display item that hides it, and the window that lists the stretches and goes to them.
#include "core/files/trace_file.h"
#include "core/map/brush_builder.h"
#include "core/path/build_path.h"
#include "support/main_window_fixture.h"
#include "support/recording_gl.h"
#include "support/test_files.h"
#include "ui/dialogs/clearance_window.h"
#include "ui/view/preview_panel.h"

#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QTreeWidget>
#include <algorithm>

namespace kestrova::ui {
namespace {

// From x -40 (outside the room) to x 128 (its middle), at y 128 and z 64.
const char kFlight[] = "game_mod 1\r\nstep_idx 0\r\nstep1 201\r\navi_demo 50\r\n"
                       "ctl:-40;128;64;0;0;0;90;1;\r\nctl:128;128;64;0;0;0;90;1;\r\n";

class ClearanceView : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        test::WriteFile(Path("flight.dfkv"), kFlight);
        ASSERT_TRUE(LoadTraceFile(w->Doc(), Path("flight.dfkv")));
        w->RefreshAfterPointChange();
        // With a brush whose only plane has no normal: left out of the check, and said so.
        test::BspBuilder room = test::BoxRoom();
        room.brushes.insert(room.brushes.begin(), test::TestBrush{0, {{{0, 0, 0}, 1}}});
        room.brushesPerModel = {9, 1};
        test::WriteFile(Path("room.bsp"), room.Build());
        dialogs.paths = {QFileInfo(Path("room.bsp")).absolutePath(), Path("room.bsp")};
        Trigger("mnuMapLoad");
        ASSERT_TRUE(dialogs.messages.isEmpty());
    }
    const PointRecord& At(int32_t i) const { return w->CurrentTrace().path[size_t(i)]; }
    // The answer of the check started by asking for it, once it has come back.
    const ClearanceReport* Checked() {
        View()->UpdateClearance();
        View()->ClearanceCheck().Wait();
        return View()->UpdateClearance();
    }

    // Worked out from the path itself: the west wall holds -16 < x < 0.
    std::vector<int32_t> InsideByHand() const {
        std::vector<int32_t> out;
        for (int32_t i = 0; i <= w->CurrentTrace().pathUpper; ++i)
            if (At(i).x > -16 && At(i).x < 0)
                out.push_back(i);
        return out;
    }
};

TEST_F(ClearanceView, DrawsTheStretchInTheWallInTheWarningColours) {
    ASSERT_TRUE(Action("mnuV_ShowClearance")->isChecked()) << "on by default";
    const ClearanceReport* r = Checked();
    ASSERT_TRUE(r);
    ASSERT_FALSE(InsideByHand().empty());
    EXPECT_EQ(r->inside, InsideByHand());
    EXPECT_FALSE(r->near.empty());

    for (int32_t viewIndex : {0, 1, 3}) {
        View()->SelectView(viewIndex);
        SceneInput in = View()->CurrentSceneInput();
        in.thinDots = false; // every warning dot, to count them
        test::RecordingGl gl;
        ASSERT_TRUE(Redraw(gl, in).drawn);
        size_t insideDots = 0, nearDots = 0;
        for (const test::DrawnPrimitive& p : gl.primitives) {
            if (p.type != GlPrimitive::Points || p.pointSize != kClearancePointSize)
                continue;
            const Rgb3 c = kClearanceInsideColour, n = kClearanceNearColour;
            if (p.colour.Is(c.r, c.g, c.b))
                insideDots += p.vertices.size();
            else if (p.colour.Is(n.r, n.g, n.b))
                nearDots += p.vertices.size();
        }
        EXPECT_EQ(insideDots, r->inside.size()) << viewIndex;
        if (viewIndex == 3) {
            // Seen through the floor that hides it: the depth test (cap 0) is off, then back on.
            const auto& c = gl.calls;
            const auto off = std::find(c.begin(), c.end(), QStringLiteral("Disable(0)"));
            ASSERT_NE(off, c.end());
            EXPECT_NE(std::find(off, c.end(), QStringLiteral("Enable(0)")), c.end());
        }
        EXPECT_EQ(nearDots, r->near.size()) << viewIndex;
    }

    Trigger("mnuV_ShowClearance");
    EXPECT_FALSE(View()->CurrentSceneInput().clearance) << "the Display item hides it";
    Trigger("mnuMapNone");
    EXPECT_FALSE(View()->UpdateClearance()) << "no map, nothing to check";
}

TEST_F(ClearanceView, AnEditDuringTheCheckDropsItsAnswerAndChecksAgain) {
    ASSERT_FALSE(Checked()->inside.empty());
    const int32_t answers = View()->ClearanceCheck().Computed();
    // The wall moves out of the way of the path: a check starts, and the old dots go at once.
    Trace& t = w->CurrentTrace();
    t.points.rec[kControl][1].x = 10;
    RebuildPath(t);
    EXPECT_FALSE(View()->UpdateClearance()) << "no answer while it is checked";
    EXPECT_TRUE(View()->ClearanceChecking());
    EXPECT_FALSE(View()->CurrentSceneInput().clearance);
    // Moved again before the answer came: that answer is dropped, the latest path is checked.
    t.points.rec[kControl][1].x = -22;
    t.points.rec[kControl][2].x = -18;
    RebuildPath(t);
    const ClearanceReport* r = Checked();
    ASSERT_TRUE(r);
    EXPECT_EQ(View()->ClearanceCheck().Computed(), answers + 1) << "only the latest answer taken";
    // From x -22 to -18: within 8 of the west wall's outer face (x -16), never in it.
    std::vector<int32_t> near;
    for (int32_t i = 0; i <= t.pathUpper; ++i)
        if (At(i).x > -24 && At(i).x < -16)
            near.push_back(i);
    EXPECT_EQ(near.size(), size_t(t.pathUpper + 1));
    EXPECT_TRUE(r->inside.empty());
    EXPECT_EQ(r->near, near);
    EXPECT_TRUE(View()->CurrentSceneInput().clearance);
}

TEST_F(ClearanceView, TheWindowListsTheStretchesAndGoesToThem) {
    Trigger("mnuV_ClearanceList");
    ClearanceWindow* f = w->Views3D()->Clearance();
    ASSERT_TRUE(f->isVisible());
    const ClearanceReport* r = Checked();
    ASSERT_TRUE(r);
    ASSERT_EQ(f->List()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = f->List()->topLevelItem(0);
    const ClearanceStretch s = r->stretches[0];
    EXPECT_EQ(row->text(2), QStringLiteral("%1-%2").arg(s.first).arg(s.last));
    EXPECT_EQ(row->text(3), QStringLiteral("in a wall"));

    // In a plan: the plans centre on the stretch's first point and its segment's row is chosen.
    emit f->List()->itemActivated(row, 0);
    const PointRecord& p = At(s.first);
    EXPECT_FLOAT_EQ(w->Views().plans[0].centreH, p.x); // X-Y
    EXPECT_FLOAT_EQ(w->Views().plans[2].centreH, p.y); // Y-Z
    EXPECT_EQ(w->Grid(kControl)->Selection().firstRow, 1);
    // In the 3D view the preview locks and looks from there.
    View()->SelectView(3);
    emit f->List()->itemActivated(row, 0);
    PathPreview& preview = w->Views3D()->Preview()->Preview();
    EXPECT_TRUE(preview.Locked());
    EXPECT_EQ(preview.PathIndex(), s.first);
    w->Views3D()->Preview()->SetLocked(false);

    // A wider clearance reaches further out from the wall; none gives only the inside.
    f->Distance()->setValue(0);
    EXPECT_TRUE(Checked()->near.empty());

    // The path moved into the open: the list empties.
    Trace& t = w->CurrentTrace();
    for (int i = 1; i <= 2; ++i)
        t.points.rec[kControl][i].x += 100;
    RebuildPath(t);
    w->RefreshAfterPointChange();
    EXPECT_EQ(f->List()->topLevelItemCount(), 0);
    EXPECT_EQ(f->Summary()->text(), QStringLiteral("Checking the path against the walls..."));
    Checked();
    EXPECT_EQ(f->List()->topLevelItemCount(), 0);
    EXPECT_EQ(f->Summary()->text(),
              QStringLiteral("The path keeps clear of the walls.\nBrushes left out of the check "
                             "(no direction, no sides or not a number): 1."));

    w->mnuVL_Lang_Click(1);
    EXPECT_EQ(f->List()->headerItem()->text(1), QStringLiteral("Temps"));
    Trigger("mnuMapNone");
    EXPECT_EQ(f->Summary()->text(),
              QStringLiteral("Charge une carte pour vérifier le chemin contre ses murs."));
}

} // namespace
} // namespace kestrova::ui
