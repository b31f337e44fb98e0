#include "ui/dialogs/about_dialog.h"

#include "core/settings/language.h"
#include "ui/program_icon.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrova::ui {

QDate ReleaseDate() {
    static const QDate date =
        QFileInfo(QCoreApplication::applicationFilePath()).lastModified().date();
    return date;
}

FrmAbout::FrmAbout(QWidget* owner) : QDialog(owner), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral(" Kestrova 3D"));
    setWindowIcon(ProgramIcon());

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    auto* name = new QLabel(QStringLiteral("<b style='font-size:16pt'>Kestrova 3D</b>"), this);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(RawString(kVersionStringId)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* date = new QLabel(QLocale().toString(ReleaseDate(), QLocale::LongFormat), this);
    date->setObjectName(QStringLiteral("lblReleaseDate"));
    auto* blurb = new QLabel(QStringLiteral("Camera paths for Quake 3 Defrag and "
                                            "Enemy Territory ET Pro demos."),
                             this);
    blurb->setWordWrap(true);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(date);
    text->addSpacing(6);
    text->addWidget(blurb);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &QWidget::hide);
}

void FrmAbout::ShowSplash() {
    splash_ = true;
    show();
    timer_->start(kSplashMs);
}

void FrmAbout::ShowModeless() {
    splash_ = false;
    timer_->stop();
    show();
}

void FrmAbout::ShowModal() {
    splash_ = false;
    timer_->stop();
    hide(); // a modeless window cannot turn modal while shown
    exec();
}

void FrmAbout::mousePressEvent(QMouseEvent* event) {
    // A click dismisses the splash early.
    if (splash_)
        hide();
    QDialog::mousePressEvent(event);
}

} // namespace kestrova::ui
