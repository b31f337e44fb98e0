#pragma once
// The Curve tab: the two point-count presets, the transition speed, the constant-speed option
// and the duration frame with the demo's frame-rate list.

#include "core/files/document.h"
#include "core/game/game_state.h"

#include <QWidget>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QRadioButton;

namespace kestrova::ui {

class NumberEdit;

class CurveTab : public QWidget {
    Q_OBJECT
public:
    CurveTab(Document& doc, GameState& game, QWidget* parent = nullptr);

    // Shows the trace's counts, speed and duration (after a load, a new trace, an adjustment).
    void Refresh();
    // Refills cboAviDemo from the current game's frame-rate list and shows its text.
    void RefreshAviDemo();
    // The game changed: its own controls and its frame rates.
    void ApplyGame();
    // The pending edits of the boxes go back to their remembered texts (a menu opens).
    void AbandonEdits();

    // The frame-rate box's context menu as it would open now; nullptr when no item matches.
    QMenu* PrepareAviDemoMenu();
    // Enter in the frame-rate box; false when the text was refused.
    bool ValidateAviDemo();

signals:
    // The point count, the duration or the path changed.
    void TraceChanged();
    // A frame rate was chosen from the list: the view takes the focus back.
    void FocusView();
    // The frame-rate box has the focus: the window's shortcuts wait meanwhile.
    void EditingChanged(bool editing);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChoosePreset(int index);
    void AfterCountChange();
    void ChooseAviDemo(int index);
    void ApplyRate();
    void ShowDuration();

    Document& doc_;
    GameState& game_;
    std::array<QRadioButton*, 2> optSteps_{};
    std::array<NumberEdit*, 2> txtSteps_{};
    std::array<QCheckBox*, 2> chkStepAutoAdjust_{};
    QLabel* lblTransSpeed_ = nullptr;
    NumberEdit* txtTransSpeed_ = nullptr;
    QCheckBox* chkConstantSpeed_ = nullptr;
    NumberEdit* txtTraceDuration_ = nullptr;
    QComboBox* cboAviDemo_ = nullptr;
    QLabel* lblTraceDuration_ = nullptr;
    QMenu* mnuAviDemo_ = nullptr;
    QAction* mnuAD_SetAsDefault_ = nullptr;
    QAction* mnuAD_Remove_ = nullptr;
    int menuIndex_ = -1;
    QString aviRemembered_;
    bool filling_ = false;
};

} // namespace kestrova::ui
