#pragma once
// Which keys the window may take for itself and which belong to the control being typed into.

class QKeyEvent;
class QWidget;

namespace kestrova::ui {

// A control that edits text itself: line edits (cell editors included), spin boxes, text areas.
bool TypesText(const QWidget* widget);

// The window's own editing and file shortcuts (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, Ctrl+N, Ctrl+O,
// Ctrl+S, Ctrl+Q): a text box keeps them while it is typed into.
bool IsWindowShortcut(const QKeyEvent* event);

// The Trace menu command of Ctrl+N, Ctrl+O, Ctrl+S or Ctrl+Q ("mnuT_Save"...), else nullptr.
const char* FileCommandAction(const QKeyEvent* event);

// Commits what is typed in a one-line box or a cell as Enter does, before a file command runs
// from inside it. False when the box refused its text (it beeped and keeps the focus).
bool CommitTypedText(QWidget* widget);

// Ctrl+Y and Ctrl+Shift+Z redo the text of a line edit, whatever the platform's own redo key is.
bool RedoInTextBox(QWidget* widget, const QKeyEvent* event);

} // namespace kestrova::ui
