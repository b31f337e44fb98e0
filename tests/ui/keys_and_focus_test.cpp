// Which control a key reaches: the text boxes and cell editors keep their own editing keys, the
// views and tables get the point commands, and the window's shortcuts.
#include "core/model/point_table_ops.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/main_window.h"
#include "ui/points_grid.h"
#include "ui/tabs/number_edit.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class KeysAndFocus : public ::testing::Test {
protected:
    void SetUp() override {
        w.SetDialogs(&dialogs);
        w.Form_Load({QString(), false});
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    void AddPoints(int kind, int n) {
        for (int i = 0; i < n; ++i)
            AppendPointXYZ(w.CurrentTrace(), kind, i * 100.0, 50.0, 0, std::nullopt, false);
        w.PointsEdited();
    }
    // The point-count box, on its tab and with the focus.
    NumberEdit* FocusStepsBox() {
        w.findChild<QTabWidget*>(QStringLiteral("tabTools"))->setCurrentIndex(1);
        auto* box = w.findChild<NumberEdit*>(QStringLiteral("txtSteps0"));
        box->setFocus();
        QApplication::processEvents();
        return box;
    }
    // Opens the editor of a control-point cell; the editor has the focus.
    QLineEdit* OpenCellEditor(int row, int column) {
        PointsGrid* grid = w.Grid(kControl);
        grid->setFocus();
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        QApplication::processEvents();
        return qobject_cast<QLineEdit*>(QApplication::focusWidget());
    }
    GlView* View() { return w.Views3D()->View(); }
    int SelectedCount(int kind) {
        int n = 0;
        for (int i = 1; i <= w.CurrentTrace().points.count[kind]; ++i)
            n += w.CurrentTrace().points.At(kind, i).selected ? 1 : 0;
        return n;
    }
    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(target, key, mods);
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    FrmMain w;
};

TEST_F(KeysAndFocus, ATextBoxKeepsItsEditingKeys) {
    AddPoints(kControl, 2); // an edit that the window's undo would take back
    NumberEdit* box = FocusStepsBox();
    ASSERT_TRUE(box->hasFocus());
    const QString before = box->text();

    Press(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), before);
    EXPECT_EQ(SelectedCount(kControl), 0) << "Ctrl+A in a box is not Select all";
    QTest::keyClicks(box, QStringLiteral("100"));
    EXPECT_EQ(box->text(), QStringLiteral("100"));

    Press(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text(), before);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 2) << "the box's undo, not the trace's";
    Press(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("100"));
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 2);

    // The file shortcuts wait while a box is being typed into.
    Press(box, Qt::Key_S, Qt::ControlModifier);
    Press(box, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
}

TEST_F(KeysAndFocus, ACellEditorKeepsCtrlAAndTheKeypadMinus) {
    AddPoints(kControl, 2);
    View()->SelectView(3);
    QLineEdit* editor = OpenCellEditor(0, 1);
    ASSERT_NE(editor, nullptr);
    const float speed = View()->Navigator().moveSpeed;
    Press(editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor->selectedText(), editor->text());
    EXPECT_EQ(SelectedCount(kControl), 0);
    QTest::keyClick(editor, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(editor->text(), QStringLiteral("-"));
    EXPECT_FLOAT_EQ(View()->Navigator().moveSpeed, speed) << "a minus sign, not a slower camera";
}

TEST_F(KeysAndFocus, The3DKeysActOnlyWhenTheViewHasTheFocus) {
    View()->SelectView(3);
    w.Grid(kControl)->setFocus();
    Press(w.Grid(kControl), Qt::Key_Insert);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 0);
    const float fov = w.Views().camera.fov;
    Press(w.Grid(kControl), Qt::Key_F);
    EXPECT_FLOAT_EQ(w.Views().camera.fov, fov);

    View()->setFocus();
    Press(View(), Qt::Key_Insert);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 1);
}

TEST_F(KeysAndFocus, DisabledCommandsLetTheirKeysThrough) {
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(w.Form_KeyDown(&space)) << "no script to make";
    w.Grid(kControl)->setFocus();
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(w.Form_KeyDown(&selectAll)) << "no point to select";
    AddPoints(kControl, 1);
    EXPECT_TRUE(w.Form_KeyDown(&selectAll));
}

TEST_F(KeysAndFocus, SelectAllInATableSelectsEveryRowAndDeleteRemovesThem) {
    AddPoints(kControl, 3);
    AddPoints(kReference, 2);
    PointsGrid* grid = w.Grid(kControl);
    grid->setFocus();
    Press(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedCount(kControl), 3);
    EXPECT_EQ(grid->SelectedRowCount(), 3);
    EXPECT_EQ(w.Grid(kReference)->SelectedRowCount(), 2);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblSelection0"))->text(),
              QStringLiteral("3 points"));

    Press(grid, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedRowCount(), 0);
    EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("lblSelection0"))->text().isEmpty());

    Press(grid, Qt::Key_A, Qt::ControlModifier);
    Press(grid, Qt::Key_Delete);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 0);
}

TEST_F(KeysAndFocus, UndoAndRedoByKeyGiveTheFocusBackToTheViews) {
    AddPoints(kControl, 3);
    PointsGrid* grid = w.Grid(kControl);
    grid->setFocus();
    grid->SetSelection({2, 2, 1, grid->columnCount() - 1});
    Press(grid, Qt::Key_Delete);
    ASSERT_EQ(w.CurrentTrace().ControlCount(), 2);

    Press(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 3);
    EXPECT_TRUE(View()->hasFocus());
    Press(View(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 2);
    Press(View(), Qt::Key_Z, Qt::ControlModifier);
    Press(View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 2) << "Ctrl+Shift+Z redoes too";
}

TEST_F(KeysAndFocus, TheTraceMenuHasTheDesktopShortcuts) {
    const struct {
        const char* action;
        QKeySequence keys;
    } rows[] = {{"mnuT_New", QKeySequence(QStringLiteral("Ctrl+N"))},
                {"mnuT_Open", QKeySequence(QStringLiteral("Ctrl+O"))},
                {"mnuT_Save", QKeySequence(QStringLiteral("Ctrl+S"))},
                {"mnuT_Quit", QKeySequence(QStringLiteral("Ctrl+Q"))},
                {"mnuE_Undo", QKeySequence(QStringLiteral("Ctrl+Z"))},
                {"mnuE_Redo", QKeySequence(QStringLiteral("Ctrl+Y"))}};
    for (const auto& row : rows)
        EXPECT_EQ(w.Action(QString::fromLatin1(row.action))->shortcut(), row.keys) << row.action;

    View()->setFocus();
    Press(View(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].kind, test::RecordedFileDialog::Open);
    AddPoints(kControl, 2);
    Press(View(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(dialogs.fileDialogs[1].kind, test::RecordedFileDialog::Save);
}

TEST_F(KeysAndFocus, CtrlMShowsTheMessagesBoxAndSaysItsState) {
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("tabTools"));
    tabs->setCurrentIndex(1);
    View()->setFocus();
    auto* box = w.findChild<QCheckBox*>(QStringLiteral("chkSIncConMsg"));
    const bool before = box->isChecked();
    Press(View(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_NE(box->isChecked(), before);
    EXPECT_TRUE(box->isVisible()) << "its tab is in front";
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblPans1"))->text(),
              box->isChecked() ? QStringLiteral("Messages \u2611")
                               : QStringLiteral("Messages \u2610"));
}

TEST_F(KeysAndFocus, AddingAtTheCameraStopsAtTheLimitWithTheMessage) {
    AddPoints(kControl, 250);
    View()->SelectView(3);
    View()->setFocus();
    Press(View(), Qt::Key_Insert);
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 250);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Addition of a point"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Limit of points reached"));
}

} // namespace
} // namespace kestrova::ui
