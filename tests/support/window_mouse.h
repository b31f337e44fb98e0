#pragma once
// Clicks sent to the widget's window, as the window system delivers them: the widget sees the
// presses and releases of both clicks, with the double-click event between the second pair.
// (QTest's widget overload of a double-click sends the double-click event alone.)

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace kestrova::test {

inline void WindowClick(QWidget* widget, QPoint pos) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(widget->window(), pos));
}

inline void WindowDoubleClick(QWidget* widget, QPoint pos) {
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                       widget->mapTo(widget->window(), pos));
}

} // namespace kestrova::test
