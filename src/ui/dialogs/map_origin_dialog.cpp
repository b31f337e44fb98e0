#include "ui/dialogs/map_origin_dialog.h"

#include "core/numbers.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace kestrova::ui {

FrmBspOrigin::FrmBspOrigin(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FrmBspOrigin"));
    setWindowTitle(QStringLiteral(" Map origin"));
    auto* grid = new QGridLayout(this);
    const char* const names[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(names[i]), this), i, 0);
        boxes_[i] = new QLineEdit(FormatLocaleFixed(0, 2), this);
        boxes_[i]->setObjectName(QStringLiteral("txtOffsets%1").arg(i));
        boxes_[i]->installEventFilter(this);
        grid->addWidget(boxes_[i], i, 1);
    }
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("cmdOk"));
    ok_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    cancel_->setAutoDefault(false);
    grid->addWidget(ok_, 3, 0);
    grid->addWidget(cancel_, 3, 1);
    connect(ok_, &QPushButton::clicked, this, [this] {
        // A box that is not a number would be read as 0: it is refused as Enter refuses it.
        for (int i = 0; i < 3; ++i) {
            bool number = false;
            ParseLocaleNumber(boxes_[i]->text(), &number);
            if (!number) {
                ValidateBox(i);
                return;
            }
        }
        canceled_ = false;
        hide();
        setResult(QDialog::Accepted);
        done(QDialog::Accepted);
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        canceled_ = true;
        done(QDialog::Rejected);
    });
}

void FrmBspOrigin::SetOffsets(float x, float y, float z) {
    const float v[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        boxes_[i]->setText(FormatLocaleFixed(v[i], 2));
}

void FrmBspOrigin::GetOffsets(float& x, float& y, float& z) const {
    float* out[3] = {&x, &y, &z};
    for (int i = 0; i < 3; ++i)
        *out[i] = static_cast<float>(ParseLocaleNumber(boxes_[i]->text()));
}

int FrmBspOrigin::IndexOf(QObject* o) const {
    for (int i = 0; i < 3; ++i)
        if (boxes_[i] == o)
            return i;
    return -1;
}

bool FrmBspOrigin::ValidateBox(int i) {
    bool ok = false;
    const double v = ParseLocaleNumber(boxes_[i]->text(), &ok);
    if (!ok) {
        dialogs_.Beep();
        validating_ = true;
        boxes_[i]->setFocus();
        boxes_[i]->selectAll();
        validating_ = false;
        return false;
    }
    boxes_[i]->setText(FormatLocaleFixed(static_cast<float>(v), 2));
    validating_ = true;
    boxes_[(i + 1) % 3]->setFocus();
    validating_ = false;
    return true;
}

bool FrmBspOrigin::eventFilter(QObject* watched, QEvent* event) {
    const int i = IndexOf(watched);
    if (i < 0)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        remembered_[i] = boxes_[i]->text();
        // After Qt's own focus handling, which would place the cursor.
        QTimer::singleShot(0, boxes_[i], [box = boxes_[i]] { box->selectAll(); });
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving for another window or a popup is no leave of the box.
        if (!validating_ && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            bool ok = false;
            ParseLocaleNumber(boxes_[i]->text(), &ok);
            if (!ok)
                QTimer::singleShot(0, this, [this, i] { ValidateBox(i); });
            else
                boxes_[i]->setText(
                    FormatLocaleFixed(static_cast<float>(ParseLocaleNumber(boxes_[i]->text())), 2));
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter moves on to the next box; in the last one it confirms the dialog.
            if (ValidateBox(i) && i == 2)
                ok_->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            // As in the other small windows: Escape closes, and what was typed goes with it.
            cancel_->click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmBspOrigin::closeEvent(QCloseEvent* event) {
    canceled_ = true;
    QDialog::closeEvent(event);
}

} // namespace kestrova::ui
