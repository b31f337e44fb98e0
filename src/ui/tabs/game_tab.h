#pragma once
// The Game tab's configuration part: the modification folder and the scripts run when the game
// starts. The demo controls of the tab are added by their own widget (AddPanel).

#include "core/files/document.h"
#include "core/game/game_state.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace kestrova::ui {

class FrmGameConfigs;

class GameTab : public QWidget {
    Q_OBJECT
public:
    GameTab(Document& doc, GameState& game, FrmGameConfigs& picker, QWidget* parent = nullptr);

    // The game's folder and its start-up script list.
    void Refresh();
    // Puts another panel of the tab above the configuration part.
    void AddPanel(QWidget* panel);

    // cmdModSelectRoot: the folder browser until a valid folder or Cancel.
    bool SelectModFolder();
    // cmdHomeSelect: the game's home folder, kept in the settings.
    bool SelectHomeFolder();

signals:
    // ModPath changed: the demo browser rescans, the lists were pruned.
    void ModPathChanged();
    void TraceChanged();

private:
    Document& doc_;
    GameState& game_;
    FrmGameConfigs& picker_;
    QVBoxLayout* page_ = nullptr;
    QLabel* lblModPath_ = nullptr;
    QToolButton* cmdModSelectRoot_ = nullptr;
    QComboBox* cboGConfigs_ = nullptr;
    QToolButton* cmdGConfigManager_ = nullptr;
    QLabel* lblHome_ = nullptr;
    QLabel* lblHomePath_ = nullptr;
    QToolButton* cmdHomeSelect_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLineEdit* txtGameTitle_ = nullptr;
};

} // namespace kestrova::ui
