// Editing with the mouse in the main window, as a user does it: points added, dragged, deleted
// in the X-Y plan, undone, and the tables following every step. The tools' own rules are
// checked on the tools; here, that the mouse reaches them and the tables show the result.
#include "core/numbers.h"
#include "support/main_window_fixture.h"

#include <QToolButton>

namespace kestrova::ui {
namespace {

class EditingTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        w->resize(1200, 700);
        Show();
        view = View();
        grid = w->Grid(kControl);
    }
    void Click(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        QTest::mouseClick(view, Qt::LeftButton, mods, p);
    }
    void Drag(QPoint from, QPoint to) const {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    }
    // The row shows the plan coordinates under the pixel, worked out from the centre and the
    // scale (two decimals, as a new point stores them).
    void ExpectRow(int row, QPoint p) const {
        const PlanMetrics& m = view->Metrics();
        const PlanView& c = view->Navigator().Current();
        const double x = RoundTo2(c.centreH + (p.x() - m.viewportWidth / 2.0) / m.scale);
        const double y = RoundTo2(c.centreV - (p.y() - m.viewportHeight / 2.0) / m.scale);
        EXPECT_NEAR(ParseLocaleNumber(grid->item(row - 1, kFieldX)->text()), x, 0.006) << row;
        EXPECT_NEAR(ParseLocaleNumber(grid->item(row - 1, kFieldY)->text()), y, 0.006) << row;
    }
    void Tool(const char* name) const {
        auto* button = w->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_TRUE(button && button->isEnabled()) << name;
        button->click();
    }

    GlView* view = nullptr;
    PointsGrid* grid = nullptr;
};

TEST_F(EditingTest, AddDragShiftDeleteAndUndoInTheXYPlan) {
    ASSERT_EQ(view->Tool(), kToolPoints);
    const QPoint a(120, 110), b(260, 190), c(400, 120), to(300, 260);
    for (QPoint p : {a, b, c})
        Click(p);
    ASSERT_EQ(grid->rowCount(), 3);
    ExpectRow(1, a);
    ExpectRow(3, c);
    EXPECT_EQ(grid->Selection().firstRow, 3); // the new row is selected

    Drag(b, to);
    ExpectRow(2, to);
    EXPECT_EQ(grid->Selection().firstRow, 2);

    Click(c, Qt::ShiftModifier); // deletes and selects the row before
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->Selection().firstRow, 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    Trigger("mnuE_Undo");
    ASSERT_EQ(grid->rowCount(), 3);
    ExpectRow(3, c);
    Trigger("mnuE_Undo");
    ExpectRow(2, b);
}

TEST_F(EditingTest, HiddenReferencePointsCannotBePicked) {
    view->SetTableList(kReference);
    Click({150, 150});
    Trigger("mnuV_ShowRefPoints");        // hidden
    Click({150, 150}, Qt::ShiftModifier); // would delete a shown point
    Tool("optTools0");
    Drag({100, 100}, {300, 200});
    EXPECT_EQ(SelectedCount(kReference), 0);
    EXPECT_EQ(w->CurrentTrace().ReferenceCount(), 1);
}

TEST_F(EditingTest, RubberBandThenDeleteKeyEmptiesTheTables) {
    Click({150, 150});
    Click({200, 160});
    Tool("optTools0");
    ASSERT_EQ(view->Tool(), kToolSelect);
    Drag({100, 100}, {230, 200});
    EXPECT_EQ(SelectedCount(kControl), 2);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(view->Tool(), kToolPoints) << "the select tool needs points";
}

TEST_F(EditingTest, TheTangentToolShowsTangentsAndItsDoubleClickResetsThem) {
    if (Action("mnuV_ShowTangent")->isChecked())
        Trigger("mnuV_ShowTangent");
    Click({150, 150});
    Click({300, 200});
    Trace& trace = w->CurrentTrace();
    trace.points.rec[kControl][1].tanA = {999, 999, 999, kViewXY};
    w->PointsEdited(); // as a drag would record it

    Tool("optTools2");
    EXPECT_EQ(view->Tool(), kToolTangents);
    EXPECT_TRUE(Action("mnuV_ShowTangent")->isChecked());
    QTest::mouseDClick(w->findChild<QToolButton*>(QStringLiteral("optTools2")), Qt::LeftButton);
    const PointRecord& p1 = trace.points.At(kControl, 1);
    const PointRecord& p2 = trace.points.At(kControl, 2);
    // Automatic again: 1.1 x (P2 - P1) / 4, the first point standing in for the one before.
    EXPECT_EQ(p1.tanA.fixedAxes, 0);
    EXPECT_NEAR(p1.tanA.x, 1.1 * (p2.x - p1.x) / 4, 0.01);
    Trigger("mnuE_Undo"); // the reset is an edit like any other
    EXPECT_EQ(trace.points.At(kControl, 1).tanA.fixedAxes, kViewXY);
}

} // namespace
} // namespace kestrova::ui
