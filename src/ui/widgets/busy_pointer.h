#pragma once
// The busy mouse pointer during a long operation. The program's dialogs show the normal pointer
// while they are open (QtDialogs), so questions asked meanwhile look as usual.

#include <QApplication>
#include <QCursor>

namespace kestrova::ui {

class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The normal pointer for the life of a dialog shown during a busy operation.
class NormalPointer {
public:
    NormalPointer() : busy_(QApplication::overrideCursor() != nullptr) {
        if (busy_)
            QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~NormalPointer() {
        if (busy_)
            QApplication::restoreOverrideCursor();
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool busy_;
};

} // namespace kestrova::ui
