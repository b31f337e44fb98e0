#include "ui/main_window.h"

#include "core/settings/language.h"

#include <QFrame>
#include <QHBoxLayout>

namespace kestrova::ui {

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Kestrova 3D"));
    setMinimumSize(520, 513);
    resize(1024, 720);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    auto* views = new QFrame(central);
    views->setObjectName(QStringLiteral("picView"));
    views->setFrameShape(QFrame::StyledPanel);
    auto* right = new QFrame(central);
    right->setObjectName(QStringLiteral("fraRight"));
    right->setFrameShape(QFrame::StyledPanel);
    right->setFixedWidth(360);
    layout->addWidget(views, 1);
    layout->addWidget(right);
    setCentralWidget(central);
}

} // namespace kestrova::ui
