#include "ui/tabs/script_tab.h"

#include "core/numbers.h"
#include "core/script/auto_start.h"
#include "core/script/bind_keys.h"
#include "core/script/camera_modes.h"
#include "core/script/script_pause.h"
#include "core/settings/language.h"
#include "ui/dialogs/script_picker.h"
#include "ui/widgets/busy_pointer.h"
#include "ui/widgets/number_edit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {

constexpr int kBindKeyVisibleRows = 20;
constexpr int kFreeCameraString = 58;

void Tighten(QLayout* layout) {
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
}

QGroupBox* Frame(const char* name, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// The camera-mode tip as rich text: the title in bold over the text's lines.
QString TipHtml(const CameraModeTip& tip) {
    QString text = tip.text.toHtmlEscaped();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return QStringLiteral("<b>%1</b><br>%2").arg(tip.title.toHtmlEscaped(), text);
}

} // namespace

QRect GapCheckBox::GapRect() const {
    const QString t = text();
    const qsizetype start = t.indexOf(QStringLiteral("  "));
    if (start < 0)
        return QRect();
    qsizetype end = start;
    while (end < t.size() && t[end] == QLatin1Char(' '))
        ++end;
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QRect contents = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
    const QFontMetrics fm = fontMetrics();
    const int x = contents.x() + fm.horizontalAdvance(t.left(start));
    return QRect(x, 0, fm.horizontalAdvance(t.mid(start, end - start)), height());
}

void GapCheckBox::paintEvent(QPaintEvent* event) {
    QCheckBox::paintEvent(event);
    const QRect gap = GapRect();
    if (gap != lastGap_) {
        lastGap_ = gap;
        emit GapMoved(gap);
    }
}

ScriptTab::ScriptTab(Document& doc, GameState& game, FrmGameConfigs& picker, QWidget* parent)
    : QWidget(parent), doc_(doc), game_(game), picker_(picker) {
    setObjectName(QStringLiteral("ScriptTab"));
    QGroupBox* includes = Frame("fraS_Includes", this);
    QGroupBox* camera = Frame("fraS_CameraMode", this);
    QGroupBox* pause = Frame("fraS_Pause", this);
    fraSAutoStart_ = Frame("fraSAutoStart", this);
    QGroupBox* commands = Frame("fraS_Commands", this);
    BuildIncludes(includes);
    BuildCameraMode(camera);
    BuildPause(pause);
    BuildAutoStart(fraSAutoStart_);
    BuildCommands(commands);

    cmdCreateScript_ = Named(new QPushButton(this), QStringLiteral("cmdCreateScript"));
    cmdCreateScript_->setMinimumHeight(32);
    connect(cmdCreateScript_, &QPushButton::clicked, this, [this] { CreateScript(); });

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(includes);
    left->addWidget(camera);
    left->addWidget(pause);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(fraSAutoStart_);
    right->addWidget(commands);
    right->addStretch(1);
    right->addWidget(cmdCreateScript_);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    page->addLayout(left, 1);
    page->addLayout(right, 1);

    ApplyGame();
    Refresh();
}

void ScriptTab::BuildIncludes(QGroupBox* box) {
    chkSIncFov_ = Named(new QCheckBox(box), QStringLiteral("chkSIncFov"));
    chkSIncTS_ = Named(new QCheckBox(box), QStringLiteral("chkSIncTS"));
    chkSIncConMsg_ = Named(new QCheckBox(box), QStringLiteral("chkSIncConMsg"));
    auto* row = new QHBoxLayout(box);
    Tighten(row);
    row->addWidget(chkSIncFov_);
    row->addWidget(chkSIncTS_);
    row->addWidget(chkSIncConMsg_);
    row->addStretch(1);
    ScriptRunOptions& o = doc_.trace.script;
    connect(chkSIncFov_, &QCheckBox::toggled, this, [&o](bool on) { o.includeFov = on; });
    connect(chkSIncTS_, &QCheckBox::toggled, this, [&o](bool on) { o.includeTs = on; });
    connect(chkSIncConMsg_, &QCheckBox::toggled, this, [&o](bool on) { o.includeMsg = on; });
}

void ScriptTab::BuildCameraMode(QGroupBox* box) {
    auto* lblCamMode = Named(new QLabel(box), QStringLiteral("lblCamMode"));
    cboCamMode_ = Named(new QComboBox(box), QStringLiteral("cboCamMode"));
    auto* lblPlayer = Named(new QLabel(box), QStringLiteral("lblCmLookPlayer"));
    cboCmLookPlayer_ = Named(new QComboBox(box), QStringLiteral("cboCmLookPlayer"));
    cboCmLookPlayer_->addItems(PlayerItems());
    cboCmLookPlayer_->setMaxVisibleItems(16);
    auto* row = new QHBoxLayout(box);
    Tighten(row);
    row->addWidget(lblCamMode);
    row->addWidget(cboCamMode_, 1);
    row->addSpacing(6);
    row->addWidget(lblPlayer);
    row->addWidget(cboCmLookPlayer_);
    connect(cboCamMode_, &QComboBox::currentIndexChanged, this, &ScriptTab::CameraModeChanged);
    connect(cboCmLookPlayer_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_ && index >= 0)
            doc_.trace.script.player = index;
    });
}

void ScriptTab::BuildPause(QGroupBox* box) {
    chkSP_Enabled_ = Named(new GapCheckBox(box), QStringLiteral("chkSP_Enabled"));
    txtSP_Nb_ = new NumberEdit(QStringLiteral("txtSP_Nb"), {}, box);
    txtSP_Nb_->SetDialogs(doc_.dialogs);
    txtSP_Nb_->setAlignment(Qt::AlignCenter);
    lblStopBind_ = Named(new QLabel(box), QStringLiteral("lblStopBind"));
    cboSP_BindKey_ = Named(new QComboBox(box), QStringLiteral("cboSP_BindKey"));
    for (int i = 0; i < kBindKeyCount; ++i)
        cboSP_BindKey_->addItem(BindKeyText(i));
    // The separators only group the keys: they cannot be picked.
    if (auto* model = qobject_cast<QStandardItemModel*>(cboSP_BindKey_->model())) {
        for (int i = 0; i < kBindKeyCount; ++i) {
            if (IsBindKeySeparator(i))
                model->item(i)->setFlags(Qt::NoItemFlags);
            else if (const QString tip = BindKeyTip(i); !tip.isEmpty())
                model->item(i)->setToolTip(tip);
        }
    }
    // About 500 pixels of list, whatever the style.
    cboSP_BindKey_->setMaxVisibleItems(kBindKeyVisibleRows);
    cboSP_BindKey_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cboSP_BindKey_->installEventFilter(this);
    cboSP_BindKey_->view()->installEventFilter(this);
    auto* grid = new QGridLayout(box);
    Tighten(grid);
    grid->addWidget(chkSP_Enabled_, 0, 0, 1, 3);
    grid->addWidget(lblStopBind_, 1, 0);
    grid->addWidget(cboSP_BindKey_, 1, 1);
    grid->setColumnStretch(2, 1);

    // The number box sits in the blanks of the check box's caption.
    connect(chkSP_Enabled_, &GapCheckBox::GapMoved, this, [this](QRect gap) {
        if (gap.isEmpty()) {
            txtSP_Nb_->setGeometry(QRect());
            return;
        }
        const int h = std::min(gap.height(), txtSP_Nb_->sizeHint().height());
        const QPoint at = chkSP_Enabled_->mapTo(chkSP_Enabled_->parentWidget(),
                                                QPoint(gap.x() + 2, (gap.height() - h) / 2));
        txtSP_Nb_->setGeometry(at.x(), at.y(), std::max(gap.width() - 4, 24), h);
        txtSP_Nb_->raise();
    });
    connect(chkSP_Enabled_, &QCheckBox::toggled, this, &ScriptTab::PauseSwitched);
    txtSP_Nb_->SetValidator([this](const QString& text) {
        const QString kept = ValidatePauseEveryText(text, txtSP_Nb_->StoredText());
        txtSP_Nb_->setText(kept);
        doc_.trace.script.pauseEveryText = kept;
        return true;
    });
    connect(cboSP_BindKey_, &QComboBox::currentIndexChanged, this, &ScriptTab::BindKeyChanged);
}

void ScriptTab::BuildAutoStart(QGroupBox* box) {
    chkSAStartEnabled_ = Named(new QCheckBox(box), QStringLiteral("chkSAStartEnabled"));
    txtSAStartTimeMs_ = new NumberEdit(QStringLiteral("txtSAStartTimeMs"), {}, box);
    txtSAStartTimeMs_->SetDialogs(doc_.dialogs);
    txtSAStartTimeMs_->setMaximumWidth(90);
    auto* ms = new QLabel(QStringLiteral("ms"), box);
    auto* top = new QHBoxLayout;
    top->addWidget(chkSAStartEnabled_);
    top->addStretch(1);
    top->addWidget(txtSAStartTimeMs_);
    top->addWidget(ms);
    auto* clock = new QHBoxLayout;
    clock->setSpacing(0);
    const char* separators[] = {":", ":", ".", ""};
    for (int i = 0; i < 4; ++i) {
        txtSAStartTime_[i] = new NumberEdit(QStringLiteral("txtSAStartTime%1").arg(i), {}, box);
        txtSAStartTime_[i]->SetDialogs(doc_.dialogs);
        txtSAStartTime_[i]->setAlignment(Qt::AlignRight);
        txtSAStartTime_[i]->setFixedWidth(i == 3 ? 40 : 32);
        vsbSAStartTime_[i] =
            Named(new QScrollBar(Qt::Vertical, box), QStringLiteral("vsbSAStartTime%1").arg(i));
        vsbSAStartTime_[i]->setRange(0, ClockFieldMaximum(i));
        // The up arrow counts up.
        vsbSAStartTime_[i]->setInvertedAppearance(true);
        vsbSAStartTime_[i]->setFixedSize(14, txtSAStartTime_[i]->sizeHint().height());
        clock->addWidget(txtSAStartTime_[i]);
        clock->addWidget(vsbSAStartTime_[i]);
        if (*separators[i]) {
            auto* sep = new QLabel(QString::fromLatin1(separators[i]), box);
            sep->setContentsMargins(2, 0, 2, 0);
            clock->addWidget(sep);
        }
        txtSAStartTime_[i]->SetValidator([this, i](const QString& text) {
            SetAutoStartClockField(doc_.trace.script, i, LeadingNumber(text));
            ShowAutoStart();
            return true;
        });
        connect(vsbSAStartTime_[i], &QScrollBar::valueChanged, this, [this, i](int value) {
            if (filling_)
                return;
            SetAutoStartClockField(doc_.trace.script, i, value);
            ShowAutoStart();
        });
    }
    clock->addStretch(1);
    auto* v = new QVBoxLayout(box);
    Tighten(v);
    v->addLayout(top);
    v->addLayout(clock);
    txtSAStartTimeMs_->SetValidator([this](const QString& text) {
        ValidateAutoStartMsText(doc_.trace.script, text);
        ShowAutoStart();
        return true;
    });
    connect(chkSAStartEnabled_, &QCheckBox::toggled, this, [this](bool on) {
        SetAutoStartEnabled(doc_.trace, on, filling_);
        if (!filling_)
            emit TraceChanged();
    });
}

void ScriptTab::BuildCommands(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    Tighten(grid);
    const std::pair<const char*, ScriptListKind> rows[] = {{"Before", ScriptListKind::CmdsBefore},
                                                           {"After", ScriptListKind::CmdsAfter}};
    int r = 0;
    for (const auto& [caption, kind] : rows) {
        const QString name = QString::fromLatin1(caption);
        auto* label = Named(new QLabel(name, box), QStringLiteral("lblSCmds") + name);
        auto* combo = Named(new QComboBox(box), QStringLiteral("cboSCmds") + name);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(12);
        combo->view()->setMinimumWidth(200);
        auto* button = Named(new QToolButton(box), QStringLiteral("cmdSCmds") + name);
        button->setText(QStringLiteral("..."));
        grid->addWidget(label, r, 0);
        grid->addWidget(combo, r, 1);
        grid->addWidget(button, r, 2);
        ++r;
        const ScriptListKind k = kind;
        connect(combo, &QComboBox::activated, this, [this, k](int index) {
            SelectScriptByUser(game_, k, index, doc_.trace);
            emit TraceChanged();
        });
        connect(button, &QToolButton::clicked, this, [this, k] { PickScripts(k); });
        if (kind == ScriptListKind::CmdsBefore) {
            cboSCmdsBefore_ = combo;
            cmdSCmdsBefore_ = button;
        } else {
            cboSCmdsAfter_ = combo;
            cmdSCmdsAfter_ = button;
        }
    }
    grid->setColumnStretch(1, 1);
}

void ScriptTab::ApplyLanguage() {
    for (int i = 0; i < kBindKeyCount; ++i)
        cboSP_BindKey_->setItemText(i, BindKeyText(i));
    cboCamMode_->setItemText(0, fStr(kFreeCameraString));
    RefreshScriptLists();
}

void ScriptTab::Refresh() {
    filling_ = true;
    const ScriptRunOptions& o = doc_.trace.script;
    chkSIncFov_->setChecked(o.includeFov);
    chkSIncTS_->setChecked(o.includeTs);
    chkSIncConMsg_->setChecked(o.includeMsg);
    RefreshCameraModes();
    cboCmLookPlayer_->setCurrentIndex(std::clamp(o.player, 0, kPlayerCount - 1));
    chkSP_Enabled_->setChecked(o.pauseEnabled);
    txtSP_Nb_->ShowValue(o.pauseEveryText);
    cboSP_BindKey_->setCurrentIndex(std::clamp(o.bindKeyIndex, 0, kBindKeyCount - 1));
    PauseSwitched(o.pauseEnabled);
    chkSAStartEnabled_->setChecked(o.autoStartEnabled);
    filling_ = false;
    ShowAutoStart();
    RefreshScriptLists();
    UpdateCommandStates();
}

void ScriptTab::ApplyGame() {
    fraSAutoStart_->setVisible(game_.Visible().autoStart);
    filling_ = true;
    FillCameraModes(doc_.trace.script, game_.Game());
    RefreshCameraModes();
    filling_ = false;
    RefreshScriptLists();
}

void ScriptTab::RefreshCameraModes() {
    const bool wasFilling = filling_;
    filling_ = true;
    ScriptRunOptions& o = doc_.trace.script;
    const QStringList modes = CameraModes(game_.Game());
    cboCamMode_->clear();
    cboCamMode_->addItems(modes);
    cboCamMode_->setItemText(0, fStr(kFreeCameraString)); // the game's own names stay
    if (o.cameraMode < 0 || o.cameraMode >= modes.size())
        o.cameraMode = 0;
    cboCamMode_->setCurrentIndex(o.cameraMode);
    filling_ = wasFilling;
    CameraModeChanged(o.cameraMode);
}

void ScriptTab::CameraModeChanged(int index) {
    if (index < 0)
        return;
    if (!filling_)
        doc_.trace.script.cameraMode = index;
    cboCmLookPlayer_->setEnabled(IsLookPlayer(index));
    cboCamMode_->setToolTip(CameraModeTipText());
}

QString ScriptTab::CameraModeTipText() const {
    return TipHtml(CameraModeTipFor(game_.Game(), cboCamMode_->currentIndex()));
}

void ScriptTab::PauseSwitched(bool on) {
    if (!filling_)
        doc_.trace.script.pauseEnabled = on;
    txtSP_Nb_->setEnabled(on);
    lblStopBind_->setEnabled(on);
    cboSP_BindKey_->setEnabled(on);
    if (on && !filling_)
        txtSP_Nb_->setFocus();
    BindKeyChanged(cboSP_BindKey_->currentIndex());
}

void ScriptTab::BindKeyChanged(int index) {
    if (index < 0)
        return;
    const int landed = StepOverSeparator(index, lastBindKeyCode_);
    if (landed != index) {
        // Lands on the neighbour; that change comes back here.
        cboSP_BindKey_->setCurrentIndex(landed);
        return;
    }
    cboSP_BindKey_->setProperty("tag", RefreshBindKeyTag(index));
    if (!filling_)
        doc_.trace.script.bindKeyIndex = index;
}

void ScriptTab::ShowAutoStart() {
    const bool wasFilling = filling_;
    filling_ = true;
    ScriptRunOptions& o = doc_.trace.script;
    const int32_t ms = StartMsFromText(o.autoStartMsText);
    txtSAStartTimeMs_->ShowValue(o.autoStartMsText);
    const ClockTime c = MsToClock(ms);
    const int32_t fields[] = {c.hours, c.minutes, c.seconds, c.milliseconds};
    for (int i = 0; i < 4; ++i) {
        txtSAStartTime_[i]->ShowValue(QString::number(fields[i]));
        vsbSAStartTime_[i]->setValue(fields[i]);
    }
    filling_ = wasFilling;
}

void ScriptTab::FillScriptList(QComboBox* combo, const ScriptList& list) {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(list.Shown());
    combo->setCurrentIndex(list.Selected());
}

void ScriptTab::RefreshScriptLists() {
    FillScriptList(cboSCmdsBefore_, game_.cmdsBefore);
    FillScriptList(cboSCmdsAfter_, game_.cmdsAfter);
}

void ScriptTab::PickScripts(ScriptListKind kind) {
    QWidget* control = kind == ScriptListKind::CmdsBefore ? cboSCmdsBefore_ : cboSCmdsAfter_;
    ChooseScripts(game_, kind, doc_.dialogs, picker_, window(), control);
    RefreshScriptLists();
}

void ScriptTab::AbandonEdits() {
    txtSP_Nb_->RestoreText();
    txtSAStartTimeMs_->RestoreText();
    for (NumberEdit* e : txtSAStartTime_)
        e->RestoreText();
}

void ScriptTab::UpdateCommandStates() {
    cmdCreateScript_->setEnabled(doc_.commands.createScript);
}

void ScriptTab::ToggleMessages() {
    chkSIncConMsg_->setChecked(!chkSIncConMsg_->isChecked());
    chkSIncConMsg_->setFocus();
}

ScriptWriteResult ScriptTab::CreateScript() {
    CopyScriptSelections(game_, doc_.trace.script);
    BusyPointer busy;
    const ScriptWriteResult r =
        CreateScriptFromDialog(doc_.trace, game_.Game(), game_.Current().DftPathCfg, doc_.dialogs,
                               rng_ ? *rng_ : AppRandom());
    if (r.status == ScriptWriteStatus::Written)
        emit TraceChanged();
    return r;
}

bool ScriptTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == cboSP_BindKey_->view()) {
        // In the language shown when the list opens.
        for (int i = 0; i < kBindKeyCount; ++i)
            if (const QString tip = BindKeyTip(i); !tip.isEmpty())
                cboSP_BindKey_->setItemData(i, tip, Qt::ToolTipRole);
    }
    if (event->type() == QEvent::KeyPress &&
        (watched == cboSP_BindKey_ || watched == cboSP_BindKey_->view())) {
        // Which way the selection moved decides how a separator is passed.
        const int key = static_cast<QKeyEvent*>(event)->key();
        lastBindKeyCode_ = key == Qt::Key_Up ? kKeyCodeUp : key;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrova::ui
