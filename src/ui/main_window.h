#pragma once

#include <QMainWindow>

namespace kestrova::ui {

// The editor's main window. For now it shows the view area and the right-hand panel frame.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
};

} // namespace kestrova::ui
