#include "ui/tabs/game_demo_panel.h"

#include "core/game/game_home.h"
#include "core/game/game_launch.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "ui/dialogs/demo_browser.h"
#include "ui/widgets/number_edit.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace kestrova::ui {

namespace {

QToolButton* ToolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(parent->style()->standardIcon(icon));
    return b;
}

// Whole numbers only, as the trace file keeps them.
int32_t BoxNumber(const QString& text, int32_t most) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::clamp(v, 0, most) : 0;
}

} // namespace

GameDemoPanel::GameDemoPanel(EditorTraceHost& host, GameState& game, Dialogs& dialogs,
                             FrmDemos& demos, GameWindowSystem& windows, QWidget* parent)
    : QGroupBox(parent), host_(host), game_(game), dialogs_(dialogs), demos_(demos),
      windows_(windows) {
    setObjectName(QStringLiteral("fraGDemo"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(4);

    txtDemo_ = new QLineEdit(this);
    txtDemo_->setObjectName(QStringLiteral("txtDemo"));
    txtDemo_->setReadOnly(true);
    // Right-click empties the box instead of showing its menu.
    txtDemo_->setContextMenuPolicy(Qt::NoContextMenu);
    txtDemo_->installEventFilter(this);
    cmdGDemoPick_ = ToolButton(this, "cmdGDemoPick", QStyle::SP_FileDialogContentsView);
    cmdGDemoReload_ = ToolButton(this, "cmdGDemoReload", QStyle::SP_BrowserReload);
    auto* demoRow = new QHBoxLayout;
    demoRow->addWidget(txtDemo_, 1);
    demoRow->addWidget(cmdGDemoPick_);
    demoRow->addWidget(cmdGDemoReload_);
    grid->addLayout(demoRow, 0, 0, 1, 3);

    cmdGameLoad_ = new QPushButton(this);
    cmdGameLoad_->setObjectName(QStringLiteral("cmdGameLoad"));
    cmdGameLoad_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdGameClose_ = new QPushButton(this);
    cmdGameClose_->setObjectName(QStringLiteral("cmdGameClose"));
    cmdGameClose_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    cmdDelSShots_ = ToolButton(this, "cmdDelSShots", QStyle::SP_TrashIcon);
    grid->addWidget(cmdGameLoad_, 1, 0);
    grid->addWidget(cmdGameClose_, 1, 1);
    grid->addWidget(cmdDelSShots_, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    fraGDemoControl_ = new QGroupBox(this);
    fraGDemoControl_->setObjectName(QStringLiteral("fraGDemoControl"));
    fraGDemoControl_->setFlat(true);
    auto* time = new QHBoxLayout(fraGDemoControl_);
    time->setContentsMargins(0, 2, 0, 0);
    time->setSpacing(3);
    const int maxLength[3] = {3, 4, 4};
    for (int i = 0; i < 3; ++i) {
        auto* box =
            new NumberEdit(QStringLiteral("txtDemoTime%1").arg(i), NumberKeys{}, fraGDemoControl_);
        box->setMaxLength(maxLength[i]);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8);
        box->setAlignment(Qt::AlignRight);
        box->SetDialogs(dialogs_);
        box->installEventFilter(this);
        box->SetValidator([this, i](const QString& text) {
            const DemoTimeText r = ValidateDemoTime(i, text, txtDemoTime_[0]->text());
            if (!r.minutes.isEmpty())
                txtDemoTime_[0]->ShowValue(r.minutes);
            txtDemoTime_[i]->setText(r.text);
            txtDemoTime_[i]->selectAll();
            return true;
        });
        connect(box, &QLineEdit::textChanged, this, [this] { StoreDemoTimes(); });
        txtDemoTime_[i] = box;
    }
    cmdDemoGoto_ = ToolButton(fraGDemoControl_, "cmdDemoGoto", QStyle::SP_MediaSeekBackward);
    cmdDemoFd_ = ToolButton(fraGDemoControl_, "cmdDemoFd", QStyle::SP_MediaSeekForward);
    time->addWidget(txtDemoTime_[0]);
    time->addWidget(new QLabel(QStringLiteral(":"), fraGDemoControl_));
    time->addWidget(txtDemoTime_[1]);
    time->addWidget(cmdDemoGoto_);
    time->addSpacing(10);
    time->addWidget(new QLabel(QStringLiteral("+"), fraGDemoControl_));
    time->addWidget(txtDemoTime_[2]);
    time->addWidget(cmdDemoFd_);
    time->addStretch(1);
    grid->addWidget(fraGDemoControl_, 2, 0, 1, 3);
    // Which program the start button ran: several engines may be installed.
    lblGameStarted_ = new QLabel(this);
    lblGameStarted_->setObjectName(QStringLiteral("lblGameStarted"));
    lblGameStarted_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblGameStarted_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(lblGameStarted_, 3, 0, 1, 3);

    connect(cmdGDemoPick_, &QToolButton::clicked, this, &GameDemoPanel::cmdGDemoPick_Click);
    connect(cmdGDemoReload_, &QToolButton::clicked, this, &GameDemoPanel::cmdGDemoReload_Click);
    connect(cmdGameLoad_, &QPushButton::clicked, this, &GameDemoPanel::cmdGameLoad_Click);
    connect(cmdGameClose_, &QPushButton::clicked, this, &GameDemoPanel::cmdGameClose_Click);
    connect(cmdDelSShots_, &QToolButton::clicked, this, &GameDemoPanel::cmdDelSShots_Click);
    connect(cmdDemoGoto_, &QToolButton::clicked, this, &GameDemoPanel::cmdDemoGoto_Click);
    connect(cmdDemoFd_, &QToolButton::clicked, this, &GameDemoPanel::cmdDemoFd_Click);
    connect(&demos_, &FrmDemos::DemoSelected, this, &GameDemoPanel::DemoSelected);
    connect(&demos_, &FrmDemos::DemoListUpdated, this, &GameDemoPanel::DemoListUpdated);
    ApplyGame();
    Refresh();
}

void GameDemoPanel::Refresh() {
    txtDemo_->setText(host_.demoName);
    const int32_t values[3] = {host_.demoMinutes, host_.demoSeconds, host_.demoForward};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(txtDemoTime_[i]);
        txtDemoTime_[i]->ShowValue(QString::number(values[i]));
    }
}

void GameDemoPanel::ApplyGame() {
    const GameProfile& profile = game_.CurrentProfile();
    fraGDemoControl_->setVisible(game_.Visible().demoControl);
    // The game's name stands where its logo would.
    cmdGameLoad_->setText(profile.displayName);
    cmdGameClose_->setText(profile.displayName);
    cmdDemoGoto_->setToolTip(fStr(171));
    cmdDemoFd_->setToolTip(fStr(170));
    cmdGDemoPick_->setToolTip(fStr(600));
    if (!windows_.CanDrive()) {
        // The game can still be started; only driving it is out of reach.
        const QString why = fStr(561);
        cmdGameClose_->setToolTip(why);
        cmdDemoGoto_->setToolTip(why);
        cmdDemoFd_->setToolTip(why);
    }
}

void GameDemoPanel::AbandonEdits() {
    for (NumberEdit* box : txtDemoTime_)
        if (box->text() != box->StoredText())
            box->RestoreText();
}

void GameDemoPanel::SetDemo(const QString& name) {
    host_.demoName = name;
    txtDemo_->setText(name);
}

void GameDemoPanel::StoreDemoTimes() {
    host_.demoMinutes = BoxNumber(txtDemoTime_[0]->text(), 999);
    host_.demoSeconds = BoxNumber(txtDemoTime_[1]->text(), 9999);
    host_.demoForward = BoxNumber(txtDemoTime_[2]->text(), 9999);
}

void GameDemoPanel::cmdGameLoad_Click() {
    const QString modPath = game_.Current().ModPath;
    if (GameLoad(windows_, game_, dialogs_,
                 {game_.gameConfigs.SelectedScript(), txtDemo_->text()}) == GameLoadResult::Started)
        lblGameStarted_->setText(fStr(567, QDir::toNativeSeparators(game_.startedExecutable)));
    if (game_.Current().ModPath != modPath)
        emit ModPathChanged();
}

void GameDemoPanel::cmdGameClose_Click() {
    GameClose(windows_, game_, dialogs_);
}

void GameDemoPanel::cmdDemoGoto_Click() {
    DemoGoto(windows_, game_, dialogs_, txtDemoTime_[0]->text(), txtDemoTime_[1]->text());
}

void GameDemoPanel::cmdDemoFd_Click() {
    DemoAdvance(windows_, game_, dialogs_, txtDemoTime_[2]->text());
}

void GameDemoPanel::cmdDelSShots_Click() {
    DelScreenshots(ModSearchPath(game_.Current(), game_.Game()), dialogs_);
}

void GameDemoPanel::cmdGDemoPick_Click() {
    demos_.SetPosition(window(), cmdGDemoPick_);
    demos_.show();
    demos_.raise();
    demos_.activateWindow();
    // Placed again once the window manager has framed it, so it fits the screen exactly.
    QTimer::singleShot(0, &demos_, [this] { demos_.SetPosition(window(), cmdGDemoPick_); });
}

void GameDemoPanel::cmdGDemoReload_Click() {
    demos_.RefreshList();
    cmdGDemoPick_Click();
}

void GameDemoPanel::DemoSelected(const QString& name) {
    SetDemo(name);
}

void GameDemoPanel::DemoListUpdated() {
    const QString name = txtDemo_->text();
    if (name.isEmpty() || demos_.SelectItem(name))
        return;
    dialogs_.Message(fStr(541), fStr(540, name), MessageIcon::Information, MessageButtons::Ok);
    SetDemo(QString());
}

bool GameDemoPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDemo_) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            SetDemo(QString());
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        emit EditingChanged(true);
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
    } else if (event->type() == QEvent::FocusOut) {
        emit EditingChanged(false);
    }
    return false;
}

} // namespace kestrova::ui
