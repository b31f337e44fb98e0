// Editing with the mouse in the main window, as a user does it: points added, dragged, deleted
// in the X-Y plan, undone, and the tables following every step.
#include "core/numbers.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

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

    // World plan coordinates under a pixel of the X-Y plan, worked out from the centre and
    // the scale (two decimals, as a new point stores them).
    std::pair<double, double> WorldAt(QPoint p) const {
        const PlanMetrics& m = view->Metrics();
        const PlanView& c = view->Navigator().Current();
        return {RoundTo2(c.centreH + (p.x() - m.viewportWidth / 2.0) / m.scale),
                RoundTo2(c.centreV - (p.y() - m.viewportHeight / 2.0) / m.scale)};
    }
    double Cell(int row, int column) const {
        bool ok = false;
        const double v = ParseLocaleNumber(grid->item(row - 1, column)->text(), &ok);
        EXPECT_TRUE(ok);
        return v;
    }
    void ExpectRow(int row, std::pair<double, double> xy) const {
        EXPECT_NEAR(Cell(row, 1), xy.first, 0.006) << "row " << row;
        EXPECT_NEAR(Cell(row, 2), xy.second, 0.006) << "row " << row;
    }

    GlView* view = nullptr;
    PointsGrid* grid = nullptr;
};

TEST_F(EditingTest, AddDragShiftDeleteAndUndoInTheXYPlan) {
    ASSERT_EQ(view->Tool(), kToolPoints);
    const QPoint a(120, 110), b(260, 190), c(400, 120);
    for (QPoint p : {a, b, c})
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
    ASSERT_EQ(grid->rowCount(), 3);
    ExpectRow(1, WorldAt(a));
    ExpectRow(2, WorldAt(b));
    ExpectRow(3, WorldAt(c));
    EXPECT_EQ(grid->Selection().firstRow, 3); // the new row is selected

    // Drag the second point; its row follows and is selected.
    const QPoint to(300, 260);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, b);
    QTest::mouseMove(view, QPoint(280, 220));
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_EQ(grid->rowCount(), 3);
    ExpectRow(2, WorldAt(to));
    EXPECT_EQ(grid->Selection().firstRow, 2);

    // Shift+click deletes the third point and selects the row before it.
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, c);
    ASSERT_EQ(grid->rowCount(), 2);
    ExpectRow(2, WorldAt(to));
    EXPECT_EQ(grid->Selection().firstRow, 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Undo brings it back, then undoes the drag.
    QAction* undo = w->Action(QStringLiteral("mnuE_Undo"));
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    ASSERT_EQ(grid->rowCount(), 3);
    ExpectRow(3, WorldAt(c));
    ExpectRow(2, WorldAt(to));
    undo->trigger();
    ExpectRow(2, WorldAt(b));
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 3);
}

TEST_F(EditingTest, RubberBandThenDeleteKeyEmptiesTheTables) {
    for (QPoint p : {QPoint(150, 150), QPoint(200, 160)})
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
    ASSERT_EQ(grid->rowCount(), 2);
    auto* select = w->findChild<QToolButton*>(QStringLiteral("optTools0"));
    ASSERT_TRUE(select && select->isEnabled());
    select->click();
    ASSERT_EQ(view->Tool(), kToolSelect);

    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(180, 180));
    QTest::mouseMove(view, QPoint(230, 200));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(230, 200));
    EXPECT_TRUE(w->CurrentTrace().points.At(kControl, 1).selected);
    EXPECT_TRUE(w->CurrentTrace().points.At(kControl, 2).selected);

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 0);
    // The select tool needs points: the tool falls back to adding.
    EXPECT_EQ(view->Tool(), kToolPoints);
}

TEST_F(EditingTest, TheTangentToolShowsTangentsAndItsDoubleClickResetsThem) {
    QAction* shown = w->Action(QStringLiteral("mnuV_ShowTangent"));
    if (shown->isChecked())
        shown->trigger();
    ASSERT_FALSE(w->CurrentSettings().showTangent);
    for (QPoint p : {QPoint(150, 150), QPoint(300, 200)})
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
    Trace& trace = w->CurrentTrace();
    trace.points.rec[kControl][1].tanA = {999, 999, 999, kViewXY};
    w->PointsEdited(); // as a drag would record it

    auto* tangents = w->findChild<QToolButton*>(QStringLiteral("optTools2"));
    ASSERT_TRUE(tangents && tangents->isEnabled());
    tangents->click();
    EXPECT_EQ(view->Tool(), kToolTangents);
    EXPECT_TRUE(shown->isChecked());
    EXPECT_TRUE(w->CurrentSettings().showTangent);

    QTest::mouseDClick(tangents, Qt::LeftButton);
    const PointRecord& p1 = trace.points.At(kControl, 1);
    const PointRecord& p2 = trace.points.At(kControl, 2);
    // Automatic again: 1.1 x (P2 - P1) / 4, the first point standing in for the one before.
    EXPECT_EQ(p1.tanA.fixedAxes, 0);
    EXPECT_NEAR(p1.tanA.x, 1.1 * (p2.x - p1.x) / 4, 0.01);
    EXPECT_NEAR(p1.tanA.z, 0, 0.01);
    // The reset is an edit like any other.
    w->Action(QStringLiteral("mnuE_Undo"))->trigger();
    EXPECT_EQ(trace.points.At(kControl, 1).tanA.fixedAxes, kViewXY);
}

} // namespace
} // namespace kestrova::ui
