// The Calculations tab in the main window: its buttons follow the points, work on the table
// last focused and go through the history.
#include "support/main_window_fixture.h"
#include "ui/tabs/calc_tab.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kestrova::ui {
namespace {

class CalcTabTest : public test::MainWindowFixture {
protected:
    void SetUp() override { Start(); }
    void Click(const char* name, Qt::MouseButton button = Qt::LeftButton) {
        auto* b = Find<QPushButton>(name);
        QTest::mouseClick(b, button, Qt::NoModifier, b->rect().center());
    }
    PointRecord& Point(int kind, int i) { return w->CurrentTrace().points.At(kind, i); }
    QString Cell(int kind, int row, int column) {
        return w->Grid(kind)->item(row - 1, column)->text();
    }
    bool Enabled(const char* name) { return Find(name)->isEnabled(); }
    QStringList Target() {
        return {Find<QLineEdit>("txtLkTarget0")->text(), Find<QLineEdit>("txtLkTarget1")->text(),
                Find<QLineEdit>("txtLkTarget2")->text()};
    }
};

TEST_F(CalcTabTest, ButtonsAndOptionsFollowThePointCounts) {
    for (const char* name : {"cmdInvert", "cmdAverage", "cmdConvPoints0", "cmdConvPoints1",
                             "optLkTarget0", "optLkTarget1", "optLkTarget2", "cmdLkApply"})
        EXPECT_FALSE(Enabled(name)) << name;
    Add(kControl, 0, 0, 0);
    EXPECT_TRUE(Enabled("cmdConvPoints0"));
    EXPECT_FALSE(Enabled("cmdInvert"));
    Add(kControl, 100, 0, 0);
    Add(kReference, 0, 100, 0);
    Add(kReference, 0, 200, 0);
    for (const char* name :
         {"cmdInvert", "cmdConvPoints1", "optLkTarget1", "optLkTarget2", "txtLkTarget0"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_FALSE(Enabled("cmdAverage"));

    // Choosing the reference points turns the typed target off; losing them falls back.
    Find<QRadioButton>("optLkTarget2")->click();
    EXPECT_FALSE(Enabled("txtLkTarget1"));
    DeletePoint(w->CurrentTrace(), kReference, 2, false); // one is enough to look at
    DeletePoint(w->CurrentTrace(), kReference, 1, false);
    w->PointsEdited();
    EXPECT_TRUE(Find<QRadioButton>("optLkTarget0")->isChecked());
    EXPECT_TRUE(Enabled("txtLkTarget1"));

    // The preview lock holds the conversions back.
    w->Calculations()->SetConversionLocked(true);
    EXPECT_FALSE(Enabled("cmdConvPoints0"));
    w->Calculations()->SetConversionLocked(false);
    EXPECT_TRUE(Enabled("cmdConvPoints0"));
}

TEST_F(CalcTabTest, InvertAndLookTargetThroughTheTab) {
    Add(kControl, 0, 0, 0);
    Add(kControl, 100, 0, 0);
    Add(kControl, 100, 100, 0);
    Click("cmdInvert");
    EXPECT_EQ(Cell(kControl, 1, kFieldY), QStringLiteral("100.00"));

    // Points 1 and 2 look at (100, 300, 0): from (100, 100) along +y, from (100, 0) too.
    w->Calculations()->SetLookTarget(100, 300, 0);
    EXPECT_EQ(Target(), (QStringList{"100.00", "300.00", "0.00"}));
    w->Grid(kControl)->SetSelection({1, 2, 1, 11});
    Click("cmdLkApply");
    EXPECT_EQ(Cell(kControl, 2, kFieldYaw), QStringLiteral("90.00"));
    EXPECT_EQ(Cell(kControl, 3, kFieldYaw), QStringLiteral("0.00"));
    EXPECT_EQ(w->Grid(kControl)->Selection().lastRow, 2); // kept for the next step
    EXPECT_TRUE(dialogs.messages.isEmpty());

    w->Action(QStringLiteral("mnuE_Undo"))->trigger();
    EXPECT_EQ(Point(kControl, 1).yaw, 0.0f);

    // What the box shows is applied: text that is no number is named, nothing changes.
    Find<QLineEdit>("txtLkTarget1")->setText(QStringLiteral("3OO"));
    Click("cmdLkApply");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The target's y box does not hold a number: \"3OO\"."));
    EXPECT_EQ(Point(kControl, 1).yaw, 0.0f);
}

TEST_F(CalcTabTest, AverageRefusalIncrementsAndTheTableLastFocused) {
    for (double x : {0.0, 10.0, 20.0})
        Add(kControl, x, 0, 0);
    w->Grid(kControl)->SetSelection({2, 3, 1, 1});
    Click("cmdAverage"); // two rows: nothing between them to fill
    EXPECT_EQ(dialogs.messages.size(), 1);

    auto* field = Find<QLineEdit>("txtAddSubVal");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("2.5"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), QStringLiteral("2.50"));
    QTest::keyClicks(field, QStringLiteral("7"));
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), QStringLiteral("2.50"));
    Click("cmdSubVal");
    EXPECT_EQ(Cell(kControl, 3, kFieldX), QStringLiteral("17.50"));
    Click("cmdAddSubVal3"); // -180 on x
    EXPECT_EQ(Cell(kControl, 3, kFieldX), QStringLiteral("-162.50"));

    // The buttons work on the table last focused and give the keys back to the views.
    Add(kReference, 10, 20, 30);
    Show();
    PointsGrid* refs = w->Grid(kReference);
    refs->setFocus();
    refs->SetSelection({1, 1, 3, 3});
    Click("cmdAddSubVal0");
    EXPECT_EQ(Point(kReference, 1).z, 120.0f);
    EXPECT_EQ(Point(kControl, 1).z, 0.0f);
    EXPECT_EQ(QApplication::focusWidget(), View());
}

TEST_F(CalcTabTest, ConversionButtonsMoveOnLeftClickAndCopyOnRightClick) {
    Add(kControl, 0, 0, 0);
    Add(kReference, 5, 6, 7);
    w->Grid(kReference)->SetSelection({1, 1, 1, 3});
    Click("cmdConvPoints1", Qt::RightButton);
    EXPECT_EQ(w->CurrentTrace().ReferenceCount(), 1);
    EXPECT_EQ(Cell(kControl, 2, kFieldZ), QStringLiteral("7.00"));
    w->Grid(kReference)->SetSelection({1, 1, 1, 3});
    Click("cmdConvPoints1");
    EXPECT_EQ(w->CurrentTrace().ReferenceCount(), 0);
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 3);
    EXPECT_FALSE(Enabled("cmdConvPoints1"));
}

TEST_F(CalcTabTest, ShiftClickInAGridOrTypingFillsTheTarget) {
    Add(kControl, 0, 0, 0);
    Add(kControl, 12.5, -40, 300);
    Add(kReference, 1, 2, 3);
    PointsGrid* grid = w->Grid(kControl);
    grid->SetSelection({1, 1, 1, 1});
    const QRect cell = grid->visualItemRect(grid->item(1, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell.center());
    // The clicked row, not the first selected one; the selection stays as it was.
    EXPECT_EQ(Target(), (QStringList{"12.50", "-40.00", "300.00"}));
    EXPECT_EQ(grid->Selection().firstRow, 1);
    EXPECT_EQ(grid->Selection().lastRow, 1);

    PointsGrid* refs = w->Grid(kReference);
    const QRect refCell = refs->visualItemRect(refs->item(0, 1));
    QTest::mouseClick(refs->viewport(), Qt::LeftButton, Qt::NoModifier, refCell.center());
    EXPECT_EQ(Target()[0], QStringLiteral("12.50")); // no Shift
    QTest::mouseClick(refs->viewport(), Qt::LeftButton, Qt::ShiftModifier, refCell.center());
    EXPECT_EQ(Target(), (QStringList{"1.00", "2.00", "3.00"}));

    // Typed, a target is rounded on Enter and restored on Escape.
    auto* field = Find<QLineEdit>("txtLkTarget2");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("-12.345"));
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(field->text(), QStringLiteral("-12.35"));
    field->setText(QStringLiteral("-"));
    QTest::keyClick(field, Qt::Key_Enter); // not a number
    EXPECT_EQ(dialogs.beeps, 1);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), QStringLiteral("-12.35"));
}

} // namespace
} // namespace kestrova::ui
