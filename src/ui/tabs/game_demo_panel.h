#pragma once
// The Game tab's demo part: the chosen demo, the demo browser's buttons, starting and closing
// the game, the screenshots button and, for ET Pro, the demo-time frame.

#include "core/dialogs.h"
#include "core/files/editor_host.h"
#include "core/game/game_state.h"
#include "core/game/game_window.h"

#include <QGroupBox>
#include <array>

class QLabel;
class QLineEdit;
class QToolButton;
class QPushButton;

namespace kestrova::ui {

class FrmDemos;
class NumberEdit;

class GameDemoPanel : public QGroupBox {
    Q_OBJECT
public:
    GameDemoPanel(EditorTraceHost& host, GameState& game, Dialogs& dialogs, FrmDemos& demos,
                  GameWindowSystem& windows, QWidget* parent = nullptr);

    // The host's demo fields and the current game's controls.
    void Refresh();
    void ApplyGame();
    // A top-level menu opens: a demo-time box gives up its pending text.
    void AbandonEdits();

    void cmdGameLoad_Click();
    void cmdGameClose_Click();
    void cmdDemoGoto_Click();
    void cmdDemoFd_Click();
    void cmdDelSShots_Click();
    void cmdGDemoPick_Click();
    void cmdGDemoReload_Click();

signals:
    void EditingChanged(bool editing);
    // The start button asked for the modification folder and it changed.
    void ModPathChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DemoSelected(const QString& name);
    void DemoListUpdated();
    void SetDemo(const QString& name);
    void StoreDemoTimes();

    EditorTraceHost& host_;
    GameState& game_;
    Dialogs& dialogs_;
    FrmDemos& demos_;
    GameWindowSystem& windows_;

    QLineEdit* txtDemo_;
    QToolButton* cmdGDemoPick_;
    QToolButton* cmdGDemoReload_;
    QPushButton* cmdGameLoad_;
    QPushButton* cmdGameClose_;
    QToolButton* cmdDelSShots_;
    QGroupBox* fraGDemoControl_;
    std::array<NumberEdit*, 3> txtDemoTime_{};
    QToolButton* cmdDemoGoto_;
    QToolButton* cmdDemoFd_;
    QLabel* lblGameStarted_;
};

} // namespace kestrova::ui
