#include "ui/widgets/number_edit.h"

#include <QKeyEvent>

namespace kestrova::ui {

bool NumberKeyAllowed(const NumberKeys& keys, QChar ch) {
    if (keys.any || ch.isDigit() || ch == QLatin1Char('\b'))
        return true;
    if (ch == QLatin1Char('-'))
        return keys.minus;
    if (ch == QLatin1Char('.') || ch == QLatin1Char(','))
        return keys.decimal;
    return false;
}

NumberEdit::NumberEdit(const QString& objectName, NumberKeys keys, QWidget* parent)
    : QLineEdit(parent), keys_(keys) {
    setObjectName(objectName);
}

void NumberEdit::ShowValue(const QString& text) {
    stored_ = text;
    setText(text);
}

void NumberEdit::RestoreText() {
    setText(stored_);
}

bool NumberEdit::ValidateNow() {
    if (!validate_ || validate_(text())) {
        stored_ = text();
        return true;
    }
    if (dialogs_)
        dialogs_->Beep();
    setFocus();
    selectAll();
    return false;
}

void NumberEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    stored_ = text();
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        RestoreText();
        selectAll();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ValidateNow();
        event->accept();
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    // Shortcuts (Ctrl+C, Ctrl+V...) go through; typed characters pass the filter.
    const QString typed = event->text();
    if ((event->modifiers() & Qt::ControlModifier) || typed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    for (QChar ch : typed) {
        if (!NumberKeyAllowed(keys_, ch)) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace kestrova::ui
