// Which control a key reaches: the text boxes and cell editors keep their own editing keys, the
// views and tables get the point commands, and the window's shortcuts.
#include "core/files/text_file.h"
#include "support/main_window_fixture.h"
#include "ui/dialogs/notes_window.h"
#include "ui/widgets/number_edit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace kestrova::ui {
namespace {

class KeysAndFocus : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        Show();
    }
    static void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(target, key, mods);
    }
    int Controls() const { return w->CurrentTrace().ControlCount(); }
};

TEST_F(KeysAndFocus, TextBoxesAndCellEditorsKeepTheirEditingKeys) {
    AddPoints(kControl, 2); // an edit that the window's undo would take back
    Find<QTabWidget>("tabTools")->setCurrentIndex(1);
    auto* box = Find<NumberEdit>("txtSteps0");
    box->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box->hasFocus());
    const QString before = box->text();
    Press(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), before);
    EXPECT_EQ(SelectedCount(kControl), 0) << "Ctrl+A in a box is not Select all";
    QTest::keyClicks(box, QStringLiteral("100"));
    EXPECT_EQ(box->text(), QStringLiteral("100"));
    Press(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text(), before);
    EXPECT_EQ(Controls(), 2) << "the box's undo, not the trace's";

    // A cell editor keeps Ctrl+A and the keypad minus, even with the 3D view shown.
    View()->SelectView(3);
    PointsGrid* grid = w->Grid(kControl);
    grid->setFocus();
    grid->setCurrentCell(0, 1);
    grid->editItem(grid->item(0, 1));
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    const float speed = View()->Navigator().moveSpeed;
    Press(editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor->selectedText(), editor->text());
    EXPECT_EQ(SelectedCount(kControl), 0);
    QTest::keyClick(editor, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(editor->text(), QStringLiteral("-"));
    EXPECT_FLOAT_EQ(View()->Navigator().moveSpeed, speed) << "a minus sign, not a slower camera";
}

TEST_F(KeysAndFocus, FileShortcutsInABoxOrACellCommitTheTypingThenRun) {
    AddPoints(kControl, 2);
    Find<QTabWidget>("tabTools")->setCurrentIndex(1);
    auto* box = Find<NumberEdit>("txtSteps0");
    box->setFocus();
    QApplication::processEvents();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("250"));
    const QString file = Path("typed.ep3t"); // the editor starts on ET Pro
    dialogs.paths = {file};
    Press(box, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].kind, test::RecordedFileDialog::Save);
    EXPECT_TRUE(ReadTextFileBytes(file).value_or("").contains("\tstep1            250\r\n"));

    // A cell: what is typed is stored before the save.
    PointsGrid* grid = w->Grid(kControl);
    grid->setFocus();
    grid->setCurrentCell(0, kFieldX);
    grid->editItem(grid->item(0, kFieldX));
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("77"));
    dialogs.paths = {file};
    Press(editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_TRUE(ReadTextFileBytes(file).value_or(QByteArray()).contains("ctl:77; "));

    // A refused count is not saved: the box beeps and keeps the focus.
    box->setFocus();
    QApplication::processEvents();
    box->selectAll();
    Press(box, Qt::Key_Backspace); // an empty count
    Press(box, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(box->hasFocus());
}

TEST_F(KeysAndFocus, SelectAllAndDeleteInATableFollowTheMenuStates) {
    PointsGrid* grid = w->Grid(kControl);
    grid->setFocus();
    // Disabled commands let their keys through.
    EXPECT_FALSE(Key(Qt::Key_Space, Qt::ControlModifier)) << "no script to make";
    EXPECT_FALSE(Key(Qt::Key_A, Qt::ControlModifier)) << "no point to select";
    AddPoints(kControl, 3);
    AddPoints(kReference, 2);
    Press(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedCount(kControl), 3);
    EXPECT_EQ(w->Grid(kReference)->SelectedRowCount(), 2);
    EXPECT_EQ(Find<QLabel>("lblSelection0")->text(), QStringLiteral("3 points"));

    Press(grid, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedRowCount(), 0);
    EXPECT_EQ(SelectedCount(kControl), 0);
    // While a box waits for validation the keys are its own.
    w->SetEditingFlag(true);
    Press(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedCount(kControl), 0);
    w->SetEditingFlag(false);

    Press(grid, Qt::Key_A, Qt::ControlModifier);
    Press(grid, Qt::Key_Delete);
    EXPECT_EQ(Controls(), 0);
}

TEST_F(KeysAndFocus, TableEditsAreUndoneFromTheMenuAndByKeyWhichGivesTheViewsTheFocus) {
    AddPoints(kControl, 3);
    PointsGrid* grid = w->Grid(kControl);
    grid->setFocus();
    grid->SetSelection({2, 2, 1, grid->columnCount() - 1});
    Press(grid, Qt::Key_Delete);
    ASSERT_EQ(Controls(), 2);
    Press(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid->item(1, kFieldX)->text(), QStringLiteral("100.00")); // the row is back
    EXPECT_TRUE(View()->hasFocus());
    Press(View(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Controls(), 2);
    Trigger("mnuE_Undo");
    EXPECT_EQ(Controls(), 3);
    Trigger("mnuE_Redo");
    EXPECT_EQ(Controls(), 2);
    Press(View(), Qt::Key_Z, Qt::ControlModifier);
    Press(View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Controls(), 2) << "Ctrl+Shift+Z redoes too";
}

TEST_F(KeysAndFocus, The3DKeysActOnlyWhenTheViewHasTheFocusAndStopAtTheLimit) {
    View()->SelectView(3);
    w->Grid(kControl)->setFocus();
    Press(w->Grid(kControl), Qt::Key_Insert);
    EXPECT_EQ(Controls(), 0);
    const float fov = w->Views().camera.fov;
    Press(w->Grid(kControl), Qt::Key_F);
    EXPECT_FLOAT_EQ(w->Views().camera.fov, fov);

    View()->setFocus();
    Press(View(), Qt::Key_Insert);
    EXPECT_EQ(w->Grid(kControl)->rowCount(), 1);
    EXPECT_TRUE(Action("mnuE_Undo")->isEnabled()) << "the edit was recorded";
    AddPoints(kControl, 249);
    Press(View(), Qt::Key_Insert);
    EXPECT_EQ(Controls(), 250);
    EXPECT_EQ(dialogs.messages.size(), 1); // the limit's message
}

TEST_F(KeysAndFocus, TheTraceMenuHasTheDesktopShortcuts) {
    const struct {
        const char* action;
        const char* keys;
    } rows[] = {{"mnuT_New", "Ctrl+N"},  {"mnuT_Open", "Ctrl+O"}, {"mnuT_Save", "Ctrl+S"},
                {"mnuT_Quit", "Ctrl+Q"}, {"mnuE_Undo", "Ctrl+Z"}, {"mnuE_Redo", "Ctrl+Y"}};
    for (const auto& row : rows)
        EXPECT_EQ(Action(row.action)->shortcut(), QKeySequence(QString::fromLatin1(row.keys)))
            << row.action;

    View()->setFocus();
    Press(View(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].kind, test::RecordedFileDialog::Open);
    AddPoints(kControl, 2);
    Press(View(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(dialogs.fileDialogs[1].kind, test::RecordedFileDialog::Save);
}

TEST_F(KeysAndFocus, CtrlMF2AndCtrlSpaceReachTheScriptTabAndTheNotes) {
    Find<QTabWidget>("tabTools")->setCurrentIndex(1);
    View()->setFocus();
    auto* box = Find<QCheckBox>("chkSIncConMsg");
    const bool before = box->isChecked();
    Press(View(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(w->CurrentTrace().script.includeMsg, !before);
    EXPECT_TRUE(box->isVisible()) << "its tab is in front";
    EXPECT_EQ(Find<QLabel>("lblPans1")->text(),
              before ? QStringLiteral("Messages \u2610") : QStringLiteral("Messages \u2611"));
    EXPECT_TRUE(Key(Qt::Key_M, Qt::ControlModifier));
    EXPECT_EQ(box->isChecked(), before);

    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_TRUE(w->Notes()->isVisible());
    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_FALSE(w->Notes()->isVisible());

    // Ctrl+Space opens the script's save dialog once a script can be made.
    AddPoints(kControl, 3);
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Choose a name and a location for your script."));
}

} // namespace
} // namespace kestrova::ui
