#pragma once
// The Script tab: what the camera script includes, the camera mode and followed player, the
// pause with its resume key, the ET Pro auto start, the scripts run before and after, and the
// button that creates the script.

#include "core/files/document.h"
#include "core/game/game_state.h"
#include "core/path/random.h"
#include "core/script/script_writer.h"

#include <QCheckBox>
#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace kestrova::ui {

class FrmGameConfigs;
class NumberEdit;

// A check box whose caption leaves a gap of blanks for a box laid over it ("Stop every ___
// scripts"): it reports where the gap is whenever it paints.
class GapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    // The rectangle of the run of blanks in the caption, in the box's coordinates.
    QRect GapRect() const;

signals:
    void GapMoved(QRect gap);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect lastGap_;
};

class ScriptTab : public QWidget {
    Q_OBJECT
public:
    ScriptTab(Document& doc, GameState& game, FrmGameConfigs& picker, QWidget* parent = nullptr);

    // Shows the trace's script options and the game's lists (after a load or a new trace).
    void Refresh();
    // The game changed: its camera modes (the first chosen), the auto start, the lists.
    void ApplyGame();
    // The before/after lists from the game state.
    void RefreshScriptLists();
    // Texts of the lists that come from the language strings.
    void ApplyLanguage();
    // Pending edits of the boxes go back to their remembered texts.
    void AbandonEdits();
    // The enabled state of cmdCreateScript from the document's command states.
    void UpdateCommandStates();

    // cmdCreateScript and Ctrl+Space: save dialog, busy pointer, files, the success box.
    ScriptWriteResult CreateScript();
    // Tests repeat a wiggle with their own sequence.
    void SetRandom(UniformRandom* rng) { rng_ = rng; }

    // The tip shown on the camera-mode list: title and text.
    QString CameraModeTipText() const;
    // Ctrl+M: inverts the messages option and gives it the focus.
    void ToggleMessages();

signals:
    // An option stored in the trace changed (the title may show the modified mark).
    void TraceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildIncludes(QGroupBox* box);
    void BuildCameraMode(QGroupBox* box);
    void BuildPause(QGroupBox* box);
    void BuildAutoStart(QGroupBox* box);
    void BuildCommands(QGroupBox* box);
    void RefreshCameraModes();
    void CameraModeChanged(int index);
    void PauseSwitched(bool on);
    void BindKeyChanged(int index);
    void ShowAutoStart();
    void FillScriptList(QComboBox* combo, const ScriptList& list);
    void PickScripts(ScriptListKind kind);

    Document& doc_;
    GameState& game_;
    FrmGameConfigs& picker_;
    UniformRandom* rng_ = nullptr;
    bool filling_ = false;
    int lastBindKeyCode_ = 0;

    QCheckBox* chkSIncFov_ = nullptr;
    QCheckBox* chkSIncTS_ = nullptr;
    QCheckBox* chkSIncConMsg_ = nullptr;
    QComboBox* cboCamMode_ = nullptr;
    QComboBox* cboCmLookPlayer_ = nullptr;
    GapCheckBox* chkSP_Enabled_ = nullptr;
    NumberEdit* txtSP_Nb_ = nullptr;
    QLabel* lblStopBind_ = nullptr;
    QComboBox* cboSP_BindKey_ = nullptr;
    QGroupBox* fraSAutoStart_ = nullptr;
    QCheckBox* chkSAStartEnabled_ = nullptr;
    NumberEdit* txtSAStartTimeMs_ = nullptr;
    std::array<NumberEdit*, 4> txtSAStartTime_{};
    std::array<QScrollBar*, 4> vsbSAStartTime_{};
    QComboBox* cboSCmdsBefore_ = nullptr;
    QComboBox* cboSCmdsAfter_ = nullptr;
    QToolButton* cmdSCmdsBefore_ = nullptr;
    QToolButton* cmdSCmdsAfter_ = nullptr;
    QPushButton* cmdCreateScript_ = nullptr;
};

} // namespace kestrova::ui
