#include "ui/tabs/curve_tab.h"

#include "core/path/constant_speed.h"
#include "core/path/point_count.h"
#include "ui/widgets/number_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrova::ui {

CurveTab::CurveTab(Document& doc, GameState& game, QWidget* parent)
    : QWidget(parent), doc_(doc), game_(game) {
    setObjectName(QStringLiteral("CurveTab"));

    auto* speed = new QGroupBox(this);
    speed->setObjectName(QStringLiteral("fraS_CurveSpeed"));
    auto* grid = new QVBoxLayout(speed);
    for (int i = 0; i < 2; ++i) {
        optSteps_[i] = new QRadioButton(speed);
        optSteps_[i]->setObjectName(QStringLiteral("optSteps%1").arg(i));
        txtSteps_[i] = new NumberEdit(QStringLiteral("txtSteps%1").arg(i), {}, speed);
        txtSteps_[i]->SetDialogs(doc_.dialogs);
        txtSteps_[i]->setMaximumWidth(80);
        chkStepAutoAdjust_[i] = new QCheckBox(speed);
        chkStepAutoAdjust_[i]->setObjectName(QStringLiteral("chkStepAutoAdjust%1").arg(i));
        auto* row = new QHBoxLayout;
        row->addWidget(optSteps_[i]);
        row->addWidget(txtSteps_[i]);
        row->addWidget(chkStepAutoAdjust_[i]);
        row->addStretch(1);
        grid->addLayout(row);

        connect(optSteps_[i], &QRadioButton::clicked, this, [this, i] { ChoosePreset(i); });
        txtSteps_[i]->SetValidator([this, i](const QString& text) {
            if (!ValidatePresetText(doc_.trace, i, text))
                return false;
            AfterCountChange();
            return true;
        });
        connect(chkStepAutoAdjust_[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (filling_)
                return;
            doc_.trace.counts.autoAdjust[i] = on;
            if (RecordCurveEdit(doc_))
                emit TraceChanged();
        });
    }
    lblTransSpeed_ = new QLabel(speed);
    lblTransSpeed_->setObjectName(QStringLiteral("lblTransSpeed"));
    txtTransSpeed_ = new NumberEdit(QStringLiteral("txtTransSpeed"), {}, speed);
    txtTransSpeed_->SetDialogs(doc_.dialogs);
    txtTransSpeed_->setMaximumWidth(80);
    txtTransSpeed_->SetValidator([this](const QString& text) {
        ValidateTransSpeedText(doc_.trace, text);
        txtTransSpeed_->setText(doc_.trace.counts.transSpeedText);
        RecordCurveEdit(doc_);
        emit TraceChanged();
        return true;
    });
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(lblTransSpeed_);
    speedRow->addWidget(txtTransSpeed_);
    speedRow->addStretch(1);
    grid->addLayout(speedRow);
    chkConstantSpeed_ = new QCheckBox(speed);
    chkConstantSpeed_->setObjectName(QStringLiteral("chkConstantSpeed"));
    grid->addWidget(chkConstantSpeed_);
    connect(chkConstantSpeed_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_ || !SetConstantSpeed(doc_.trace, on))
            return;
        RecordCurveEdit(doc_);
        emit TraceChanged();
    });

    auto* duration = new QGroupBox(this);
    duration->setObjectName(QStringLiteral("fraS_Duration"));
    auto* row = new QHBoxLayout(duration);
    txtTraceDuration_ =
        new NumberEdit(QStringLiteral("txtTraceDuration"), {false, true, false}, duration);
    txtTraceDuration_->SetDialogs(doc_.dialogs);
    txtTraceDuration_->setMaximumWidth(90);
    txtTraceDuration_->SetValidator([this](const QString& text) {
        if (!ValidateDurationText(doc_.trace, text))
            return false;
        const int preset = doc_.trace.counts.activePreset;
        txtSteps_[preset]->ShowValue(doc_.trace.counts.presetText[preset]);
        AfterCountChange();
        return true;
    });
    auto* seconds = new QLabel(QStringLiteral("s"), duration);
    cboAviDemo_ = new QComboBox(duration);
    cboAviDemo_->setObjectName(QStringLiteral("cboAviDemo"));
    cboAviDemo_->setEditable(true);
    cboAviDemo_->setInsertPolicy(QComboBox::NoInsert);
    cboAviDemo_->setMaximumWidth(90);
    cboAviDemo_->lineEdit()->installEventFilter(this);
    cboAviDemo_->installEventFilter(this);
    cboAviDemo_->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    auto* fps = new QLabel(QStringLiteral("fps"), duration);
    lblTraceDuration_ = new QLabel(duration);
    lblTraceDuration_->setObjectName(QStringLiteral("lblTraceDuration"));
    lblTraceDuration_->setMinimumWidth(90);
    row->addWidget(txtTraceDuration_);
    row->addWidget(seconds);
    row->addSpacing(8);
    row->addWidget(cboAviDemo_);
    row->addWidget(fps);
    row->addSpacing(8);
    row->addWidget(lblTraceDuration_);
    row->addStretch(1);
    connect(cboAviDemo_, &QComboBox::activated, this, &CurveTab::ChooseAviDemo);

    mnuAviDemo_ = new QMenu(this);
    mnuAviDemo_->setObjectName(QStringLiteral("mnuAviDemo"));
    mnuAD_SetAsDefault_ = mnuAviDemo_->addAction(QStringLiteral("Set as default"));
    mnuAD_SetAsDefault_->setObjectName(QStringLiteral("mnuAD_SetAsDefault"));
    mnuAD_SetAsDefault_->setCheckable(true);
    mnuAD_Remove_ = mnuAviDemo_->addAction(QStringLiteral("Remove"));
    mnuAD_Remove_->setObjectName(QStringLiteral("mnuAD_Remove"));
    connect(mnuAD_SetAsDefault_, &QAction::triggered, this, [this] {
        game_.aviDemos.SetAsDefault(menuIndex_);
        RefreshAviDemo();
    });
    connect(mnuAD_Remove_, &QAction::triggered, this, [this] {
        const FrameRateList::Removal r = game_.aviDemos.Remove(menuIndex_);
        if (r.temporary && doc_.trace.ControlCount() >= 1)
            doc_.trace.modified = true;
        if (r.removed) {
            RefreshAviDemo();
            ApplyRate();
        }
    });

    auto* page = new QVBoxLayout(this);
    page->addWidget(speed);
    page->addWidget(duration);
    page->addStretch(1);

    ApplyGame();
    Refresh();
}

void CurveTab::Refresh() {
    filling_ = true;
    const PointCountSettings& c = doc_.trace.counts;
    for (int i = 0; i < 2; ++i) {
        txtSteps_[i]->ShowValue(c.presetText[i]);
        txtSteps_[i]->setEnabled(i == c.activePreset);
        optSteps_[i]->setChecked(i == c.activePreset);
        chkStepAutoAdjust_[i]->setChecked(c.autoAdjust[i]);
    }
    txtTransSpeed_->ShowValue(c.transSpeedText);
    chkConstantSpeed_->setChecked(doc_.trace.points.constantSpeed);
    ShowDuration();
    filling_ = false;
}

void CurveTab::ShowDuration() {
    const PointCountSettings& c = doc_.trace.counts;
    txtTraceDuration_->ShowValue(c.durationText);
    lblTraceDuration_->setText(c.durationClock);
}

void CurveTab::RefreshAviDemo() {
    const FrameRateList& list = game_.aviDemos;
    const QSignalBlocker block(cboAviDemo_);
    cboAviDemo_->clear();
    cboAviDemo_->addItems(list.Texts());
    for (int i = 0; i < list.Count(); ++i)
        cboAviDemo_->setItemData(i, list.Items()[i].data);
    if (list.Selected() >= 0)
        cboAviDemo_->setCurrentIndex(list.Selected());
    cboAviDemo_->setEditText(list.EditText());
}

void CurveTab::ApplyGame() {
    const GameOnlyControls shown = game_.Visible();
    lblTransSpeed_->setVisible(shown.transSpeed);
    txtTransSpeed_->setVisible(shown.transSpeed);
    RefreshAviDemo();
}

void CurveTab::AbandonEdits() {
    for (NumberEdit* e : {txtSteps_[0], txtSteps_[1], txtTransSpeed_, txtTraceDuration_})
        e->RestoreText();
    if (cboAviDemo_->hasFocus() || cboAviDemo_->lineEdit()->hasFocus())
        cboAviDemo_->setEditText(aviRemembered_);
}

void CurveTab::ChoosePreset(int index) {
    if (filling_)
        return;
    for (int i = 0; i < 2; ++i)
        txtSteps_[i]->setEnabled(i == index);
    doc_.trace.counts.activePreset = index;
    ApplyPointCount(doc_.trace, index);
    ShowDuration();
    RecordCurveEdit(doc_);
    emit TraceChanged();
}

void CurveTab::AfterCountChange() {
    const PointCountSettings& c = doc_.trace.counts;
    for (int i = 0; i < 2; ++i) {
        txtSteps_[i]->ShowValue(c.presetText[i]);
        const QSignalBlocker block(chkStepAutoAdjust_[i]);
        chkStepAutoAdjust_[i]->setChecked(c.autoAdjust[i]);
    }
    ShowDuration();
    // Each change of the curve is a step of its own, so an undo takes back only it.
    RecordCurveEdit(doc_);
    emit TraceChanged();
}

void CurveTab::ApplyRate() {
    const int rate = game_.aviDemos.CurrentRate();
    if (rate < 1)
        return;
    ApplyFrameRate(doc_.trace, rate);
    ShowDuration();
    RecordCurveEdit(doc_);
    emit TraceChanged();
}

void CurveTab::ChooseAviDemo(int index) {
    game_.aviDemos.Select(index);
    cboAviDemo_->setEditText(game_.aviDemos.EditText());
    aviRemembered_ = game_.aviDemos.EditText();
    emit FocusView();
    ApplyRate();
}

bool CurveTab::ValidateAviDemo() {
    QLineEdit* edit = cboAviDemo_->lineEdit();
    const FrameRateList::Validation v = game_.aviDemos.Validate(edit->text());
    if (!v.accepted) {
        doc_.dialogs.Beep();
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    if (v.addedTemporary && doc_.trace.ControlCount() >= 1)
        doc_.trace.modified = true;
    RefreshAviDemo();
    edit->selectAll();
    aviRemembered_ = game_.aviDemos.EditText();
    ApplyRate();
    return true;
}

QMenu* CurveTab::PrepareAviDemoMenu() {
    FrameRateList& list = game_.aviDemos;
    list.SetEditText(cboAviDemo_->currentText());
    const FrameRateList::MenuState state = list.ContextMenu();
    menuIndex_ = state.index;
    if (state.index < 0)
        return nullptr;
    mnuAD_SetAsDefault_->setEnabled(state.setAsDefaultEnabled);
    mnuAD_SetAsDefault_->setChecked(state.setAsDefaultChecked);
    mnuAD_Remove_->setEnabled(state.removeEnabled);
    return mnuAviDemo_;
}

bool CurveTab::eventFilter(QObject* watched, QEvent* event) {
    QLineEdit* edit = cboAviDemo_->lineEdit();
    if (watched != edit && watched != cboAviDemo_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        aviRemembered_ = edit->text();
        emit EditingChanged(true);
        break;
    case QEvent::FocusOut:
        aviRemembered_.clear();
        emit EditingChanged(false);
        break;
    case QEvent::ContextMenu:
        if (QMenu* menu = PrepareAviDemoMenu())
            menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ValidateAviDemo();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            edit->setText(aviRemembered_);
            edit->selectAll();
            return true;
        }
        // Keys typed while the combo box itself has the focus reach its line edit without
        // passing any filter there: both are checked here.
        const QString typed = key->text();
        if (typed.isEmpty() || key->key() == Qt::Key_Delete ||
            (key->modifiers() & Qt::ControlModifier))
            break;
        const QChar ch = key->key() == Qt::Key_Backspace ? QLatin1Char('\b') : typed.front();
        if (!AviDemoKeyAllowed(edit->text(), edit->cursorPosition(), edit->selectedText().size(),
                               ch))
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrova::ui
