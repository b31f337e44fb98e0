#include "ui/main_window/shortcut_keys.h"

#include "core/numbers.h"
#include "ui/widgets/number_edit.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kestrova::ui {

namespace {

bool IsRedo(const QKeyEvent* event) {
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return (mods == Qt::ControlModifier && event->key() == Qt::Key_Y) ||
           (mods == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z);
}

} // namespace

bool TypesText(const QWidget* widget) {
    if (!widget)
        return false;
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

bool IsWindowShortcut(const QKeyEvent* event) {
    if (IsRedo(event))
        return true;
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods != Qt::ControlModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Z:
    case Qt::Key_N:
    case Qt::Key_O:
    case Qt::Key_S:
    case Qt::Key_Q:
        return true;
    default:
        return false;
    }
}

const char* FileCommandAction(const QKeyEvent* event) {
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods != Qt::ControlModifier)
        return nullptr;
    switch (event->key()) {
    case Qt::Key_N:
        return "mnuT_New";
    case Qt::Key_O:
        return "mnuT_Open";
    case Qt::Key_S:
        return "mnuT_Save";
    case Qt::Key_Q:
        return "mnuT_Quit";
    default:
        return nullptr;
    }
}

bool CommitTypedText(QWidget* widget) {
    // Enter in a text area adds a line: there is nothing to commit.
    if (!widget || qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget))
        return true;
    // A cell's editor: Enter would commit it only once the event loop runs again, after the
    // command; the delegate's own signals commit it now.
    for (QWidget* p = widget->parentWidget(); p; p = p->parentWidget()) {
        if (auto* view = qobject_cast<QAbstractItemView*>(p)) {
            auto* line = qobject_cast<QLineEdit*>(widget);
            bool number = true;
            if (line)
                ParseLocaleNumber(line->text(), &number);
            QAbstractItemDelegate* delegate = view->itemDelegateForIndex(view->currentIndex());
            emit delegate->commitData(widget);
            emit delegate->closeEditor(widget, QAbstractItemDelegate::SubmitModelCache);
            return number; // the table refuses what is no number, with a beep
        }
    }
    // The real key, so that the box or its tab validates as it always does.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &release);
    // A number box that took its text remembers it; a refused one keeps the focus and the text.
    const auto* number = qobject_cast<const NumberEdit*>(widget);
    return !number || !number->hasFocus() || number->text() == number->StoredText();
}

bool RedoInTextBox(QWidget* widget, const QKeyEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(widget);
    if (!line || line->isReadOnly() || !IsRedo(event))
        return false;
    line->redo();
    return true;
}

} // namespace kestrova::ui
