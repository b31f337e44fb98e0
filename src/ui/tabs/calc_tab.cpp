#include "ui/tabs/calc_tab.h"

#include "core/calc/look_target.h"
#include "core/calc/point_calcs.h"
#include "core/numbers.h"
#include "ui/widgets/number_edit.h"
#include "ui/widgets/points_grid.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrova::ui {
namespace {

constexpr int kConversionTitleString = 521;

QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A typed number shown with two decimals in the user's format; false when it is not a number.
bool TwoDecimals(NumberEdit* edit) {
    bool ok = false;
    const double v = ParseLocaleNumber(edit->text().trimmed(), &ok);
    if (ok)
        edit->setText(FormatLocaleFixed(v, 2));
    return ok;
}

TableSelection SelectionOf(const PointsGrid* grid) {
    return grid->Selection();
}

} // namespace

CalcTab::CalcTab(Document& doc, std::array<PointsGrid*, 2> grids, QWidget* parent)
    : QWidget(parent), doc_(doc), grids_(grids) {
    setObjectName(QStringLiteral("CalcTab"));

    // Invert and Average side by side: both act on whole rows.
    auto* order = new QHBoxLayout;
    cmdInvert_ = MakeButton(QStringLiteral("cmdInvert"), QString(), this);
    cmdAverage_ = MakeButton(QStringLiteral("cmdAverage"), QString(), this);
    order->addWidget(cmdInvert_);
    order->addWidget(cmdAverage_);
    connect(cmdInvert_, &QPushButton::clicked, this, &CalcTab::InvertTrace);
    connect(cmdAverage_, &QPushButton::clicked, this, &CalcTab::AverageSelection);

    auto* increment = new QGroupBox(this);
    increment->setObjectName(QStringLiteral("fraC_Increment"));
    auto* inc = new QGridLayout(increment);
    txtAddSubVal_ = new NumberEdit(QStringLiteral("txtAddSubVal"), {true, true, false}, increment);
    txtAddSubVal_->SetDialogs(doc_.dialogs);
    txtAddSubVal_->ShowValue(FormatLocaleFixed(1.0, 2));
    txtAddSubVal_->SetValidator([this](const QString&) { return TwoDecimals(txtAddSubVal_); });
    txtAddSubVal_->installEventFilter(this);
    cmdAddVal_ = MakeButton(QStringLiteral("cmdAddVal"), QStringLiteral("+"), increment);
    cmdSubVal_ = MakeButton(QStringLiteral("cmdSubVal"), QStringLiteral("-"), increment);
    inc->addWidget(txtAddSubVal_, 0, 0);
    inc->addWidget(cmdAddVal_, 0, 1);
    inc->addWidget(cmdSubVal_, 0, 2);
    const auto fieldValue = [this] { return ParseLocaleNumber(txtAddSubVal_->text().trimmed()); };
    connect(cmdAddVal_, &QPushButton::clicked, this,
            [this, fieldValue] { AddToSelection(fieldValue(), true); });
    connect(cmdSubVal_, &QPushButton::clicked, this,
            [this, fieldValue] { AddToSelection(fieldValue(), false); });
    for (int i = 0; i < 6; ++i) {
        const double step = kAddSubSteps[static_cast<size_t>(i)];
        const QString caption =
            (step > 0 ? QStringLiteral("+") : QString()) + QString::number(step);
        cmdAddSubVal_[i] = MakeButton(QStringLiteral("cmdAddSubVal%1").arg(i), caption, increment);
        // Additions on the top row, subtractions under them.
        inc->addWidget(cmdAddSubVal_[i], 1 + i % 2, i / 2);
        connect(cmdAddSubVal_[i], &QPushButton::clicked, this,
                [this, step] { AddToSelection(step, true); });
    }

    auto* convert = new QGroupBox(this);
    convert->setObjectName(QStringLiteral("fraC_Convert"));
    auto* conv = new QHBoxLayout(convert);
    const QString captions[2] = {QStringLiteral("Ctl \u2192 Ref"),
                                 QStringLiteral("Ref \u2192 Ctl")};
    for (int i = 0; i < 2; ++i) {
        cmdConvPoints_[i] =
            MakeButton(QStringLiteral("cmdConvPoints%1").arg(i), captions[i], convert);
        cmdConvPoints_[i]->installEventFilter(this);
        conv->addWidget(cmdConvPoints_[i]);
        // A left click (or the keyboard) moves the points; a right click copies them.
        connect(cmdConvPoints_[i], &QPushButton::clicked, this,
                [this, i] { ConvertPoints(i, 1 - i, true); });
    }

    auto* target = new QGroupBox(this);
    target->setObjectName(QStringLiteral("fraC_Target"));
    auto* tg = new QGridLayout(target);
    for (int i = 0; i < 3; ++i) {
        optLkTarget_[i] = new QRadioButton(target);
        optLkTarget_[i]->setObjectName(QStringLiteral("optLkTarget%1").arg(i));
        connect(optLkTarget_[i], &QRadioButton::clicked, this, [this, i] { ChooseLookMode(i); });
    }
    optLkTarget_[0]->setChecked(true);
    auto* fields = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        lblLkTarget_[i] = new QLabel(QString(QLatin1Char("xyz"[i])), target);
        lblLkTarget_[i]->setObjectName(QStringLiteral("lblLkTarget%1").arg(i));
        txtLkTarget_[i] =
            new NumberEdit(QStringLiteral("txtLkTarget%1").arg(i), {true, true, false}, target);
        txtLkTarget_[i]->SetDialogs(doc_.dialogs);
        lkValid_[static_cast<size_t>(i)] = FormatLocaleFixed(0.0, 2);
        txtLkTarget_[i]->ShowValue(lkValid_[static_cast<size_t>(i)]);
        txtLkTarget_[i]->setMinimumWidth(60);
        txtLkTarget_[i]->installEventFilter(this);
        lblLkTarget_[i]->setBuddy(txtLkTarget_[i]);
        fields->addWidget(lblLkTarget_[i]);
        fields->addWidget(txtLkTarget_[i], 1);
    }
    cmdLkApply_ = MakeButton(QStringLiteral("cmdLkApply"), QString(), target);
    connect(cmdLkApply_, &QPushButton::clicked, this, &CalcTab::ApplyLookTarget);
    tg->addWidget(optLkTarget_[0], 0, 0);
    tg->addLayout(fields, 0, 1);
    tg->addWidget(optLkTarget_[1], 1, 0, 1, 2);
    tg->addWidget(optLkTarget_[2], 2, 0, 1, 2);
    tg->addWidget(cmdLkApply_, 3, 1, Qt::AlignRight);
    tg->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(increment, 3);
    bottom->addWidget(convert, 2, Qt::AlignTop);
    convert->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* page = new QVBoxLayout(this);
    page->addLayout(order);
    page->addLayout(bottom);
    page->addWidget(target);
    page->addStretch(1);

    // The calculations work on the table the user last worked in.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* w = now; w; w = w->parentWidget())
            for (int k = 0; k < 2; ++k)
                if (w == grids_[k])
                    shownKind_ = k;
    });
    Refresh();
}

void CalcTab::Refresh() {
    const CommandStates& s = doc_.commands;
    cmdInvert_->setEnabled(s.invert);
    cmdAverage_->setEnabled(s.average);
    for (int i = 0; i < 2; ++i)
        cmdConvPoints_[i]->setEnabled(s.convPoints[i] && !conversionLocked_);
    for (int i = 0; i < 3; ++i)
        optLkTarget_[i]->setEnabled(s.lookTarget[i]);
    cmdLkApply_->setEnabled(s.lookApply);
    ChooseLookMode(FirstEnabledLookMode(s.lookTarget, lookMode_));
}

void CalcTab::SetConversionLocked(bool locked) {
    conversionLocked_ = locked;
    Refresh();
}

void CalcTab::ChooseLookMode(int mode) {
    lookMode_ = mode;
    optLkTarget_[mode]->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        txtLkTarget_[i]->setEnabled(mode == kLookTyped);
        lblLkTarget_[i]->setEnabled(mode == kLookTyped);
    }
}

void CalcTab::AbandonEdits() {
    txtAddSubVal_->RestoreText();
    for (int i = 0; i < 3; ++i)
        txtLkTarget_[i]->setText(lkValid_[static_cast<size_t>(i)]);
}

void CalcTab::SetLookTarget(double x, double y, double z) {
    const double v[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        lkValid_[static_cast<size_t>(i)] = FormatLocaleFixed(v[i], 2);
        txtLkTarget_[i]->ShowValue(lkValid_[static_cast<size_t>(i)]);
    }
}

void CalcTab::SetLookTargetTexts(const QString& x, const QString& y, const QString& z) {
    const QString v[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        lkValid_[static_cast<size_t>(i)] = v[i];
        txtLkTarget_[i]->ShowValue(v[i]);
    }
}

int CalcTab::TargetIndex(const NumberEdit* edit) const {
    for (int i = 0; i < 3; ++i)
        if (txtLkTarget_[i] == edit)
            return i;
    return 0;
}

bool CalcTab::AcceptTarget(NumberEdit* edit) {
    if (!TwoDecimals(edit))
        return false;
    lkValid_[static_cast<size_t>(TargetIndex(edit))] = edit->text();
    edit->ShowValue(edit->text());
    return true;
}

void CalcTab::AfterChange(int kind, const TableSelection& restore) {
    emit PointsChanged();
    if (!restore.Empty())
        grids_[kind]->SetSelection(restore);
    emit FocusView();
}

void CalcTab::InvertTrace() {
    const TableSelection sel =
        shownKind_ == kControl ? SelectionOf(grids_[kControl]) : TableSelection{};
    if (kestrova::InvertTrace(doc_))
        AfterChange(kControl, sel);
}

void CalcTab::AverageSelection() {
    const int kind = shownKind_;
    const TableSelection sel = SelectionOf(grids_[kind]);
    if (kestrova::AverageSelection(doc_, kind, sel))
        AfterChange(kind, sel);
}

void CalcTab::AddToSelection(double value, bool add) {
    const int kind = shownKind_;
    const TableSelection sel = SelectionOf(grids_[kind]);
    if (kestrova::AddToSelection(doc_, kind, sel, value, add))
        AfterChange(kind, sel);
}

void CalcTab::ConvertPoints(int fromKind, int toKind, bool removeSource) {
    if (kestrova::ConvertPoints(doc_, fromKind, toKind, SelectionOf(grids_[fromKind]),
                                removeSource))
        AfterChange(fromKind, {});
}

void CalcTab::ApplyLookTarget() {
    std::array<double, 3> target{};
    if (lookMode_ == kLookTyped) {
        // What the boxes show is what is applied: a box that is no number is named, not
        // silently replaced by its last valid value.
        const std::optional<std::array<double, 3>> typed =
            ReadLookTarget(doc_.dialogs, {txtLkTarget_[0]->text(), txtLkTarget_[1]->text(),
                                          txtLkTarget_[2]->text()});
        if (!typed)
            return;
        target = *typed;
    }
    const TableSelection control = SelectionOf(grids_[kControl]);
    if (kestrova::ApplyLookTarget(doc_, lookMode_, control, SelectionOf(grids_[kReference]),
                                  target)) {
        AfterChange(kControl, control);
        return;
    }
    emit FocusView();
}

bool CalcTab::eventFilter(QObject* watched, QEvent* event) {
    // Conversion buttons: the right button copies instead of moving.
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = cmdConvPoints_[i];
        if (watched != b)
            continue;
        if (event->type() == QEvent::ContextMenu)
            return true;
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonRelease)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            b->setDown(true);
            return true;
        }
        b->setDown(false);
        if (b->isEnabled() && b->rect().contains(mouse->position().toPoint()))
            ConvertPoints(i, 1 - i, false);
        return true;
    }

    auto* edit = qobject_cast<NumberEdit*>(watched);
    if (!edit)
        return QWidget::eventFilter(watched, event);
    const bool isTarget = edit != txtAddSubVal_;
    // Where Enter and Escape send the focus.
    QWidget* next =
        isTarget ? static_cast<QWidget*>(optLkTarget_[0]) : static_cast<QWidget*>(cmdAddVal_);
    switch (event->type()) {
    case QEvent::FocusIn:
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        break;
    case QEvent::FocusOut: {
        // A target that is not a number cannot be left (switching windows is not leaving it).
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!isTarget || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            !edit->isEnabled())
            break;
        if (!AcceptTarget(edit)) {
            doc_.dialogs.Beep();
            QTimer::singleShot(0, edit, [edit] {
                edit->setFocus();
                edit->selectAll();
            });
        }
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            if (isTarget)
                edit->setText(lkValid_[static_cast<size_t>(TargetIndex(edit))]);
            else
                edit->RestoreText();
            next->setFocus();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!isTarget) {
                if (edit->ValidateNow()) // beeps and selects the text itself when refused
                    next->setFocus();
            } else if (AcceptTarget(edit)) {
                next->setFocus();
            } else {
                doc_.dialogs.Beep();
                edit->selectAll();
            }
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrova::ui
