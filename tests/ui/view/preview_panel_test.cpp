// The path preview inside the main window: the lock, real-time playback from the event loop,
// the keys, editing through the lock and the controls the lock holds.
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "support/main_window_fixture.h"
#include "ui/view/preview_panel.h"
#include "ui/widgets/number_edit.h"

#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class PreviewPanelTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        // Four points; 61 path points: 20 per segment, 400 ms each at 50 frames per second.
        Trace& t = w->CurrentTrace();
        const double xs[] = {0, 400, 400, 0};
        const double ys[] = {0, 0, 400, 400};
        for (int i = 0; i < 4; ++i)
            AppendPointXYZ(t, kControl, xs[i], ys[i], 64, std::nullopt, false);
        t.counts.presetText[0] = QStringLiteral("61");
        t.counts.frameRate = 50;
        ApplyPointCount(t, 0);
        t.modified = false;
        w->RefreshAfterPointChange();
        w->resize(1200, 760);
        w->show();
        Find<QAbstractButton>("optViews3")->click();
        panel = w->Views3D()->Preview();
    }
    int SelectedRow() { return w->Grid(kControl)->Selection().firstRow; }
    QString Time() { return panel->TimeLabel()->text(); }
    // The frame shown, at 50 frames per second.
    QString TimeAt(int pathIndex) {
        return QStringLiteral("Time: ") + FormatLocaleFixed(pathIndex / 50.0, 2);
    }

    PreviewPanel* panel = nullptr;
};

TEST_F(PreviewPanelTest, PlaysInRealTimeAndStopsWithEscape) {
    ASSERT_TRUE(panel->isVisible());
    QCheckBox* lock = panel->LockBox();
    ASSERT_TRUE(lock->isEnabled());
    lock->click();
    ASSERT_TRUE(panel->Preview().Locked());
    EXPECT_TRUE(lock->styleSheet().contains(QStringLiteral("255, 0, 0")));
    EXPECT_EQ(Time(), TimeAt(0));

    QElapsedTimer clock;
    Find<QAbstractButton>("cmdPvwStartStop")->click();
    clock.start();
    ASSERT_TRUE(panel->Preview().Playing());
    EXPECT_EQ(panel->StartStop()->property("Picture").toString(), QStringLiteral("IDB_PVWSTOP"));
    EXPECT_FALSE(w->Action(QStringLiteral("mnuV_Refresh"))->isEnabled());
    EXPECT_FALSE(w->findChild<QMenu*>(QStringLiteral("mnuMap"))->menuAction()->isEnabled());

    // 20 ms frames: 25 frames take 500 ms of clock. A loaded machine may deliver ticks late,
    // so wait for them, but the flight must never run ahead of the clock, and skipping
    // frames keeps it from falling far behind.
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->Preview().PathIndex() >= 25; }, 5000));
    QTest::keyClick(View(), Qt::Key_Escape);
    const qint64 elapsed = clock.elapsed();
    EXPECT_FALSE(panel->Preview().Playing());
    EXPECT_EQ(panel->StartStop()->property("Picture").toString(), QStringLiteral("IDB_PVWPLAY"));
    EXPECT_TRUE(w->Action(QStringLiteral("mnuV_Refresh"))->isEnabled());

    const int32_t shown = panel->Preview().PathIndex();
    EXPECT_LE(shown, elapsed / 20 + 1);
    EXPECT_LT(elapsed, 2000);
    const int32_t point = panel->Preview().PointIndex();
    EXPECT_EQ(point, shown >= 60 ? 4 : shown / 20 + 1);
    EXPECT_EQ(SelectedRow(), point); // the row followed the flight
    EXPECT_EQ(Time(), TimeAt(shown));
    const PointRecord& at = panel->Preview().Path()[shown];
    EXPECT_FLOAT_EQ(w->Views().camera.tx, -at.x);
    EXPECT_FLOAT_EQ(w->Views().camera.ty, -at.y);
}

TEST_F(PreviewPanelTest, TheLockHoldsTheEditingControlsAndGivesThemBack) {
    const char* names[] = {"optTools0",      "optTools4",       "optViews0",     "optViews3",
                           "optViewPreset0", "fraS_CurveSpeed", "cmdConvPoints0"};
    std::vector<bool> before;
    for (const char* n : names) {
        ASSERT_TRUE(Find(n)) << n;
        before.push_back(Find(n)->isEnabled());
    }
    ASSERT_FALSE(before[0]); // the selection tool is off in 3D: it must stay off
    ASSERT_TRUE(before[6]);  // a conversion inside the page the lock disables as well
    panel->SetLocked(true);
    for (const char* n : names)
        EXPECT_FALSE(Find(n)->isEnabled()) << n;
    EXPECT_EQ(View()->cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(Find("cboAviDemo")->isEnabled()); // the frame rate may change while playing

    // A change of the trace re-enables the tools; the lock keeps them off.
    w->RefreshAfterPointChange();
    EXPECT_FALSE(Find("optTools4")->isEnabled());

    panel->SetLocked(false);
    for (size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(Find(names[i])->isEnabled(), before[i]) << names[i];
    EXPECT_TRUE(Time().isEmpty());
    EXPECT_TRUE(panel->LockBox()->styleSheet().isEmpty());
}

TEST_F(PreviewPanelTest, KeysOfTheViewDriveThePreviewAndTwoPointsAreNeeded) {
    QTest::keyClick(View(), Qt::Key_L);
    ASSERT_TRUE(panel->Preview().Locked());
    QTest::keyClick(View(), Qt::Key_Right);
    EXPECT_EQ(SelectedRow(), 2);
    QTest::keyClick(View(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(panel->Preview().PathIndex(), 21);
    QTest::keyClick(View(), Qt::Key_Down);
    EXPECT_EQ(Time(), TimeAt(60));          // the last point's frame
    QTest::keyClick(View(), Qt::Key_Space); // disabled at the last point
    EXPECT_FALSE(panel->Preview().Playing());
    QTest::keyClick(View(), Qt::Key_Up);
    QTest::keyClick(View(), Qt::Key_Space);
    EXPECT_TRUE(panel->Preview().Playing());
    QTest::keyClick(View(), Qt::Key_Space);
    QTest::keyClick(View(), Qt::Key_L);
    EXPECT_FALSE(panel->LockBox()->isChecked());

    // Fewer than two points release the lock.
    panel->SetLocked(true);
    ASSERT_TRUE(panel->Preview().Locked());
    Trace& t = w->CurrentTrace();
    DeletePoint(t, kControl, 4, true);
    DeletePoint(t, kControl, 3, true);
    DeletePoint(t, kControl, 2, true);
    w->RefreshAfterPointChange();
    EXPECT_FALSE(panel->Preview().Locked());
    EXPECT_FALSE(panel->LockBox()->isEnabled());
    EXPECT_TRUE(Find("optTools4")->isEnabled());
    // With one point the preview refuses the lock, however asked.
    panel->SetLocked(true);
    QTest::keyClick(View(), Qt::Key_L);
    EXPECT_FALSE(panel->LockBox()->isChecked());
}

TEST_F(PreviewPanelTest, EditsThroughTheLockReachTheTableAndTheHistory) {
    panel->SetLocked(true);
    QTest::keyClick(View(), Qt::Key_Right); // point 2, at (400, 0, 64)
    PointRecord& p = w->CurrentTrace().points.At(kControl, 2);
    const int recorded = w->Doc().undo.pos;
    QTest::keyClick(View(), Qt::Key_F);
    EXPECT_FLOAT_EQ(p.fov, 85);
    EXPECT_EQ(w->Grid(kControl)->item(1, kFieldFov)->text(), FormatLocaleFixed(85, 2));
    EXPECT_EQ(w->Doc().undo.pos, recorded + 1); // F records one state

    // One wheel notch forward: 1 * 5 * 12 = 60 units along the view, here yaw 0 (+X).
    QWheelEvent wheel(QPointF(50, 50), View()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &wheel);
    EXPECT_FLOAT_EQ(p.x, 460);
    EXPECT_EQ(w->Grid(kControl)->item(1, kFieldX)->text(), FormatLocaleFixed(460, 2));
    EXPECT_EQ(w->Doc().undo.pos, recorded + 1); // recorded when the wheel rests
    EXPECT_FLOAT_EQ(w->Views().camera.tx, -460);
    Trigger("mnuE_Undo"); // meanwhile, the wheel alone goes back
    EXPECT_TRUE(p.x == 400 && p.fov == 85);
}

TEST_F(PreviewPanelTest, TheCurveCountAndAnFThroughTheLockAreUndoneOneAtATime) {
    Trace& t = w->CurrentTrace(); // three points: 601 and 801 path points share out evenly
    DeletePoint(t, kControl, 4, true);
    t.counts.presetText[0] = QStringLiteral("601");
    w->PointsEdited();
    panel->SetLocked(true);
    QTest::keyClick(View(), Qt::Key_F);
    panel->SetLocked(false);
    auto* steps = Find<NumberEdit>("txtSteps0");
    steps->setText(QStringLiteral("801"));
    ASSERT_TRUE(steps->ValidateNow());
    Trigger("mnuE_Undo");
    EXPECT_TRUE(steps->text() == QStringLiteral("601") && t.counts.pointCount == 601);
    EXPECT_FLOAT_EQ(t.points.At(kControl, 1).fov, 85);
    Trigger("mnuE_Redo");
    EXPECT_TRUE(steps->text() == QStringLiteral("801") && t.counts.pointCount == 801);
    EXPECT_FLOAT_EQ(t.points.At(kControl, 1).fov, 85);
}

TEST_F(PreviewPanelTest, TurningThroughTheLockIsMeasuredFromThePress) {
    panel->SetLocked(true);
    const int recorded = w->Doc().undo.pos;
    const QPoint press(40, 30), to(40, 80); // far from the view's centre
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, press);
    QCursor::setPos(View()->mapToGlobal(to));
    QTest::mouseMove(View(), to);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FLOAT_EQ(w->CurrentTrace().points.At(kControl, 1).pitch, -6); // 50 px x 0.12
    EXPECT_EQ(w->Doc().undo.pos, recorded + 1);                          // one step, at the release
}

TEST_F(PreviewPanelTest, PlaybackStopsForTheTableTheMenusAndTheClose) {
    panel->SetLocked(true);
    panel->StartStop()->click();
    ASSERT_TRUE(panel->Preview().Playing());
    // Ctrl alone keeps it playing; a plain click stops it.
    QWidget* cells = w->Grid(kReference)->viewport();
    QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_TRUE(panel->Preview().Playing());
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(panel->Preview().Playing());
    EXPECT_TRUE(panel->Preview().Locked());

    // Opening the Trace menu leaves the lock.
    emit w->findChild<QMenu*>(QStringLiteral("mnuTrace"))->aboutToShow();
    EXPECT_FALSE(panel->Preview().Locked());

    // The close does not wait for a playback that the close itself stops.
    panel->SetLocked(true);
    panel->StartStop()->click();
    ASSERT_TRUE(panel->Preview().Playing());
    w->close();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !w->isVisible(); }, 3000));
    EXPECT_FALSE(panel->Preview().Playing());
}

} // namespace
} // namespace kestrova::ui
