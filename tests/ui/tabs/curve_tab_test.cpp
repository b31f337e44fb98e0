#include "ui/tabs/curve_tab.h"

#include "core/path/point_count.h"
#include "support/scoped_locale.h"
#include "ui/tabs/tab_fixture.h"
#include "ui/widgets/number_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

using ui::CurveTab;
using ui::NumberEdit;

class CurveTabTest : public ::testing::Test {
protected:
    template <typename T> T* Find(const char* name) {
        T* w = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* Rates() { return Find<QComboBox>("cboAviDemo"); }
    void TypeRate(const QString& text) { TypeInto(Rates()->lineEdit(), text); }

    ScopedLocale locale{QLocale::c()};
    TabFixture f;
    CurveTab tab{f.doc, f.game};
};

TEST_F(CurveTabTest, TypedDurationSetsTheActivePresetAndShowsTheResult) {
    f.AddControlPoints(5);
    QSignalSpy changed(&tab, &CurveTab::TraceChanged);
    TypeRate(QStringLiteral("30"));
    EXPECT_EQ(f.doc.trace.counts.frameRate, 30);

    TypeInto(Find<NumberEdit>("txtTraceDuration"), QStringLiteral("10"));
    // 10 s at 30 frames a second: 301 points, and back the duration they really give.
    EXPECT_EQ(Find<NumberEdit>("txtSteps0")->text(), QStringLiteral("301"));
    EXPECT_EQ(Find<NumberEdit>("txtTraceDuration")->text(), QStringLiteral("10.033"));
    EXPECT_EQ(Find<QLabel>("lblTraceDuration")->text(), QStringLiteral("0:00:10.033"));
    EXPECT_EQ(f.doc.trace.pathUpper, 300);
    EXPECT_TRUE(Find<QCheckBox>("chkStepAutoAdjust0")->isChecked());
    EXPECT_TRUE(f.doc.trace.modified);
    EXPECT_GE(changed.count(), 2);
}

TEST_F(CurveTabTest, ConstantSpeedBoxIsAnEditThatMovesThePassingTimes) {
    // A short first segment and a long second one: at an even speed the camera reaches the
    // middle point after about a tenth of the flight instead of half of it.
    for (double x : {0.0, 100.0, 1000.0})
        AppendPointXYZ(f.doc.trace, kControl, x, 0, 0, std::nullopt, false);
    RebuildPath(f.doc.trace);
    tab.Refresh();
    TypeRate(QStringLiteral("30"));
    TypeInto(Find<NumberEdit>("txtTraceDuration"), QStringLiteral("10"));
    EXPECT_EQ(f.doc.trace.points.timeLabel[2], QStringLiteral("5.02")); // 301 frames: 10.033 s
    f.doc.trace.modified = false;

    QCheckBox* box = Find<QCheckBox>("chkConstantSpeed");
    QSignalSpy changed(&tab, &CurveTab::TraceChanged);
    box->click();
    EXPECT_TRUE(f.doc.trace.modified);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_LT(f.doc.trace.points.timeLabel[2].toDouble(), 2.0);

    // Showing a trace whose option differs from the box is not an edit.
    f.doc.trace.modified = false;
    f.doc.trace.points.constantSpeed = false;
    tab.Refresh();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(f.doc.trace.modified);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(CurveTabTest, BoxesRestoreOnEscapeAndRefuseWithABeep) {
    f.AddControlPoints(5);
    NumberEdit* steps = Find<NumberEdit>("txtSteps0");
    steps->ShowValue(QStringLiteral("1000"));
    TypeInto(steps, QStringLiteral("55"), Qt::Key_Escape);
    EXPECT_EQ(steps->text(), QStringLiteral("1000"));
    EXPECT_EQ(f.doc.trace.counts.presetText[0], QStringLiteral("1000"));

    // Letters and the minus sign never reach a count box.
    TypeInto(steps, QStringLiteral("a-1x00"));
    EXPECT_EQ(f.doc.trace.counts.presetText[0], QStringLiteral("101"));

    // An empty count is refused: a beep, the text selected, nothing changed.
    steps->clear();
    QTest::keyClick(steps, Qt::Key_Return);
    EXPECT_EQ(f.dialogs.beeps, 1);
    EXPECT_EQ(f.doc.trace.counts.presetText[0], QStringLiteral("101"));

    // A duration beyond 40000 s is refused the same way; the decimal comma is a key it takes.
    NumberEdit* duration = Find<NumberEdit>("txtTraceDuration");
    TypeInto(duration, QStringLiteral("40001"));
    EXPECT_EQ(f.dialogs.beeps, 2);
    TypeInto(duration, QStringLiteral("-2,5"));
    EXPECT_EQ(duration->text(), QStringLiteral("2,5"));
}

TEST_F(CurveTabTest, OnlyTheActivePresetAndDefragsTransitionSpeedCanBeTyped) {
    f.AddControlPoints(3);
    f.doc.trace.counts.presetText = {QStringLiteral("101"), QStringLiteral("501")};
    tab.Refresh();
    EXPECT_TRUE(Find<NumberEdit>("txtSteps0")->isEnabled());
    EXPECT_FALSE(Find<NumberEdit>("txtSteps1")->isEnabled());

    Find<QRadioButton>("optSteps1")->click();
    EXPECT_FALSE(Find<NumberEdit>("txtSteps0")->isEnabled());
    EXPECT_TRUE(Find<NumberEdit>("txtSteps1")->isEnabled());
    EXPECT_EQ(f.doc.trace.pathUpper, 500);

    // The transition speed is for Defrag only.
    f.doc.trace.modified = false;
    EXPECT_TRUE(Find<NumberEdit>("txtTransSpeed")->isVisibleTo(&tab));
    TypeInto(Find<NumberEdit>("txtTransSpeed"), QStringLiteral("250"));
    EXPECT_EQ(f.doc.trace.counts.transSpeedText, QStringLiteral("250"));
    EXPECT_TRUE(f.doc.trace.modified);

    SwitchGame(f.game, kGameEtPro, false);
    tab.ApplyGame();
    EXPECT_FALSE(Find<NumberEdit>("txtTransSpeed")->isVisibleTo(&tab));
}

// The list's own rules are checked on the list; here, that the box reaches them and the trace.
TEST_F(CurveTabTest, RatesTypedChosenOrRemovedReachTheTrace) {
    f.AddControlPoints(5);
    f.doc.trace.counts.presetText[0] = QStringLiteral("101");
    ApplyPointCount(f.doc.trace);
    f.doc.trace.modified = false;
    TypeRate(QStringLiteral("*45"));
    EXPECT_EQ(Rates()->itemText(0), QStringLiteral("*45"));
    EXPECT_EQ(f.doc.trace.counts.frameRate, 45);
    EXPECT_TRUE(f.doc.trace.modified) << "a temporary rate is the trace's";
    TypeRate(QStringLiteral("0"));
    EXPECT_EQ(f.dialogs.beeps, 1);
    EXPECT_EQ(Rates()->lineEdit()->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(f.doc.trace.counts.frameRate, 45);

    // Letters are swallowed, in the box and with the focus on the combo box itself.
    Rates()->lineEdit()->clear();
    QTest::keyClicks(Rates()->lineEdit(), QStringLiteral("6x0"));
    EXPECT_EQ(Rates()->lineEdit()->text(), QStringLiteral("60"));
    Rates()->lineEdit()->clear();
    QTest::keyClicks(Rates(), QStringLiteral("abc45"));
    EXPECT_EQ(Rates()->lineEdit()->text(), QStringLiteral("45"));

    QMenu* menu = tab.PrepareAviDemoMenu();
    ASSERT_NE(menu, nullptr);
    QAction* setDefault = menu->findChild<QAction*>(QStringLiteral("mnuAD_SetAsDefault"));
    QAction* remove = menu->findChild<QAction*>(QStringLiteral("mnuAD_Remove"));
    ASSERT_TRUE(setDefault && remove);
    EXPECT_FALSE(setDefault->isEnabled()) << "a temporary rate is no default";
    f.doc.trace.modified = false;
    remove->trigger();
    EXPECT_EQ(Rates()->findText(QStringLiteral("*45")), -1);
    EXPECT_TRUE(f.doc.trace.modified);
    EXPECT_EQ(f.doc.trace.counts.frameRate, 25); // item 0 after a removal

    emit Rates()->activated(Rates()->findText(QStringLiteral(" 50")));
    EXPECT_EQ(Find<QLabel>("lblTraceDuration")->text(), QStringLiteral("0:00:02.020"));
    TypeRate(QStringLiteral("60"));
    tab.PrepareAviDemoMenu();
    setDefault->trigger();
    EXPECT_EQ(f.game.aviDemos.DefaultRate(), 60);
    Rates()->lineEdit()->setText(QStringLiteral("77"));
    EXPECT_EQ(tab.PrepareAviDemoMenu(), nullptr) << "no entry, no menu";
}

} // namespace
} // namespace kestrova::test
