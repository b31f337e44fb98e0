// The demo browser and the Game tab's demo part inside the main window.
#include "core/game/game_home.h"
#include "ui/dialogs/demo_browser.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/game_windows.h"
#include "ui/tabs/game_demo_panel.h"
#include "ui/tabs/game_tab.h"

namespace kestrova::ui {

void FrmMain::InstallGamePanel() {
    gameWindows_ = MakeGameWindowSystem();
    demos_ = new FrmDemos(this);
    demoPanel_ = new GameDemoPanel(host_, game_, dialogs_, *demos_, *gameWindows_);
    gameTab_->AddPanel(demoPanel_);

    // The browser always shows the current game's demos, from its home and install folders.
    demos_->searchPath = [this] { return ModSearchPath(game_.Current(), game_.Game()); };
    const auto followModPath = [this] {
        demos_->RefreshList();
        ApplyTooltips();
        demoPanel_->ApplyGame();
    };
    // The demo box shows the new game's (empty) demo before the rescan checks it.
    connect(this, &FrmMain::GameSwitched, this, [this, followModPath] {
        demoPanel_->Refresh();
        followModPath();
    });
    connect(gameTab_, &GameTab::ModPathChanged, this, followModPath);
    connect(demoPanel_, &GameDemoPanel::ModPathChanged, this, [this, followModPath] {
        gameTab_->Refresh();
        followModPath();
    });
    connect(this, &FrmMain::TraceChanged, demoPanel_, &GameDemoPanel::Refresh);
    connect(this, &FrmMain::AbandonEdits, demoPanel_, &GameDemoPanel::AbandonEdits);
    connect(this, &FrmMain::LanguageChanged, this, [this] {
        demos_->ApplyLanguage();
        demoPanel_->ApplyGame();
    });
    connect(demoPanel_, &GameDemoPanel::EditingChanged, this, &FrmMain::SetEditingFlag);

    // A loaded trace keeps its demo only when the browser knows it.
    host_.knowsDemo = [this](const QString& name) { return demos_->FindDemo(name); };
}

} // namespace kestrova::ui
