#include "ui/tabs/game_tab.h"

#include "ui/frm_game_configs.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrova::ui {

GameTab::GameTab(Document& doc, GameState& game, FrmGameConfigs& picker, QWidget* parent)
    : QWidget(parent), doc_(doc), game_(game), picker_(picker) {
    setObjectName(QStringLiteral("GameTab"));
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("fraGConfig"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(4);

    auto* modLabel = new QLabel(QStringLiteral("MOD"), box);
    lblModPath_ = new QLabel(box);
    lblModPath_->setObjectName(QStringLiteral("lblModPath"));
    lblModPath_->setFrameShape(QFrame::StyledPanel);
    lblModPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblModPath_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cmdModSelectRoot_ = new QToolButton(box);
    cmdModSelectRoot_->setObjectName(QStringLiteral("cmdModSelectRoot"));
    cmdModSelectRoot_->setText(QStringLiteral("..."));
    grid->addWidget(modLabel, 0, 0);
    grid->addWidget(lblModPath_, 0, 1);
    grid->addWidget(cmdModSelectRoot_, 0, 2);

    auto* configLabel = new QLabel(QStringLiteral("Config"), box);
    cboGConfigs_ = new QComboBox(box);
    cboGConfigs_->setObjectName(QStringLiteral("cboGConfigs"));
    cboGConfigs_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboGConfigs_->setMinimumContentsLength(16);
    cmdGConfigManager_ = new QToolButton(box);
    cmdGConfigManager_->setObjectName(QStringLiteral("cmdGConfigManager"));
    cmdGConfigManager_->setText(QStringLiteral("..."));
    grid->addWidget(configLabel, 1, 0);
    grid->addWidget(cboGConfigs_, 1, 1);
    grid->addWidget(cmdGConfigManager_, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(cmdModSelectRoot_, &QToolButton::clicked, this, [this] { SelectModFolder(); });
    connect(cmdGConfigManager_, &QToolButton::clicked, this, [this] {
        // Without a valid folder the user was asked for it instead: refresh either way.
        ChooseScripts(game_, ScriptListKind::GameConfigs, doc_.dialogs, picker_, window(),
                      cboGConfigs_);
        Refresh();
    });
    connect(cboGConfigs_, &QComboBox::activated, this, [this](int index) {
        SelectScriptByUser(game_, ScriptListKind::GameConfigs, index, doc_.trace);
        emit TraceChanged();
    });

    page_ = new QVBoxLayout(this);
    page_->setContentsMargins(4, 4, 4, 4);
    page_->addWidget(box);
    page_->addStretch(1);
    Refresh();
}

void GameTab::AddPanel(QWidget* panel) {
    page_->insertWidget(page_->count() - 2, panel);
}

void GameTab::Refresh() {
    const QString modPath = game_.Current().ModPath;
    lblModPath_->setText(QDir::toNativeSeparators(modPath));
    lblModPath_->setToolTip(QDir::toNativeSeparators(modPath));
    const QSignalBlocker block(cboGConfigs_);
    cboGConfigs_->clear();
    cboGConfigs_->addItems(game_.gameConfigs.Shown());
    cboGConfigs_->setCurrentIndex(game_.gameConfigs.Selected());
}

bool GameTab::SelectModFolder() {
    const bool chosen = AskModFolder(game_, doc_.dialogs);
    Refresh();
    if (chosen)
        emit ModPathChanged();
    return chosen;
}

} // namespace kestrova::ui
