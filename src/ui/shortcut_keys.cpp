#include "ui/shortcut_keys.h"

#include <QAbstractSpinBox>
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

bool RedoInTextBox(QWidget* widget, const QKeyEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(widget);
    if (!line || line->isReadOnly() || !IsRedo(event))
        return false;
    line->redo();
    return true;
}

} // namespace kestrova::ui
