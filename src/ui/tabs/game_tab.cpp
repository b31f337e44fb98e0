#include "ui/tabs/game_tab.h"

#include "ui/dialogs/script_picker.h"

#include "core/game/game_home.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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

    // The engines on Linux write into a home folder of their own and title their windows after
    // themselves; the user may name either when the engine's rule does not find it.
    lblHome_ = new QLabel(box);
    lblHomePath_ = new QLabel(box);
    lblHomePath_->setObjectName(QStringLiteral("lblHomePath"));
    lblHomePath_->setFrameShape(QFrame::StyledPanel);
    lblHomePath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblHomePath_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cmdHomeSelect_ = new QToolButton(box);
    cmdHomeSelect_->setObjectName(QStringLiteral("cmdHomeSelect"));
    cmdHomeSelect_->setText(QStringLiteral("..."));
    grid->addWidget(lblHome_, 2, 0);
    grid->addWidget(lblHomePath_, 2, 1);
    grid->addWidget(cmdHomeSelect_, 2, 2);
    lblTitle_ = new QLabel(box);
    txtGameTitle_ = new QLineEdit(box);
    txtGameTitle_->setObjectName(QStringLiteral("txtGameTitle"));
    grid->addWidget(lblTitle_, 3, 0);
    grid->addWidget(txtGameTitle_, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(cmdHomeSelect_, &QToolButton::clicked, this, [this] { SelectHomeFolder(); });
    connect(txtGameTitle_, &QLineEdit::editingFinished, this,
            [this] { game_.Current().WindowTitle = txtGameTitle_->text().trimmed(); });

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

    const int g = game_.Game();
    const QString home = HomeFolder(game_.Current(), g);
    lblHome_->setText(fStr(705));
    lblTitle_->setText(fStr(569));
    lblHomePath_->setText(QDir::toNativeSeparators(home));
    lblHomePath_->setToolTip(fStr(708, HomeFolderCandidates(g)
                                           .join(QStringLiteral(", "))
                                           .replace(QDir::homePath(), QStringLiteral("~"))));
    txtGameTitle_->setText(game_.Current().WindowTitle);
    txtGameTitle_->setToolTip(fStr(707, EngineWindowTitles(g).join(QStringLiteral(", "))));
}

bool GameTab::SelectHomeFolder() {
    const int g = game_.Game();
    const QString start = HomeFolder(game_.Current(), g);
    const std::optional<QString> chosen = doc_.dialogs.ChooseFolder(
        fStr(706, game_.CurrentProfile().displayName, HomeFolderCandidates(g).value(0)),
        start.isEmpty() ? QDir::homePath() : start);
    if (!chosen)
        return false;
    game_.Current().HomePath = *chosen;
    ApplyModPath(game_);
    Refresh();
    emit ModPathChanged();
    return true;
}

bool GameTab::SelectModFolder() {
    const bool chosen = AskModFolder(game_, doc_.dialogs);
    Refresh();
    if (chosen)
        emit ModPathChanged();
    return chosen;
}

} // namespace kestrova::ui
