#include "ui/dialogs/export_dialog.h"

#include "core/settings/language.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrova::ui {

FrmExport::FrmExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmExport"));
    setWindowTitle(QStringLiteral(" ") + MenuCaptionAsTitle(fStr(5)));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Animation frames"), this);
    txtAnimationFrames_ = new QLineEdit(this);
    txtAnimationFrames_->setObjectName(QStringLiteral("txtAnimationFrames"));
    txtAnimationFrames_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    txtAnimationFrames_->setMaximumWidth(90);
    txtAnimationFrames_->installEventFilter(this);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(label);
    fieldRow->addWidget(txtAnimationFrames_);
    fieldRow->addStretch(1);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fraExportTo3DSMax"));
    optExportTo_ = new QRadioButton(QStringLiteral("Discreet 3DSMax 7"), frame);
    optExportTo_->setObjectName(QStringLiteral("optExportTo0"));
    optExportTo_->setChecked(true);
    frame->setTitle(fStr(750));
    optExportCam_ = new QRadioButton(fStr(751), frame);
    optExportCam_->setObjectName(QStringLiteral("optExportTo1"));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(optExportTo_);
    frameLayout->addWidget(optExportCam_);
    // The camera file has one frame per path point as the scripts play it: no count to choose.
    connect(optExportCam_, &QRadioButton::toggled, this, [this](bool cam) {
        txtAnimationFrames_->setEnabled(!cam);
        cmdValid_->setEnabled(cam || !txtAnimationFrames_->text().isEmpty());
    });

    cmdValid_ = new QPushButton(QStringLiteral("OK"), this);
    cmdValid_->setObjectName(QStringLiteral("cmdValid"));
    cmdValid_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdValid_);
    buttons->addWidget(cmdCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(txtAnimationFrames_, &QLineEdit::textChanged, this, [this](const QString& text) {
        cmdValid_->setEnabled(!text.isEmpty() || optExportCam_->isChecked());
    });
    connect(cmdValid_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool FrmExport::eventFilter(QObject* watched, QEvent* event) {
    // The whole number is selected whenever the field gets the focus, ready to be typed over.
    if (watched == txtAnimationFrames_ && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtAnimationFrames_, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

std::optional<QString> FrmExport::Ask(int32_t pointCount) {
    txtAnimationFrames_->setText(QString::number(pointCount));
    txtAnimationFrames_->setFocus();
    txtAnimationFrames_->selectAll();
    if (exec() != Accepted)
        return std::nullopt;
    exportTo_ = optExportCam_->isChecked() ? 1 : 0;
    return txtAnimationFrames_->text();
}

} // namespace kestrova::ui
