#pragma once
// The buttons above the view: the four views `optViews`, the tools `optTools`, the twelve view
// presets `optViewPreset` with their menu `mnuViewPreset`, and the 4:3 box `chkView3D4_3`.

#include "core/model/trace.h"

#include <QWidget>
#include <array>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QMenu;
class QToolButton;

namespace kestrova::ui {

class GlView;

class ViewToolBar : public QWidget {
    Q_OBJECT
public:
    ViewToolBar(GlView& view, Trace& trace, QWidget* parent = nullptr);

    QToolButton* ViewButton(int i) const { return views_[i]; }
    QToolButton* ToolButton(int i) const { return tools_[i]; }
    QToolButton* PresetButton(int i) const { return presets_[i]; }
    QCheckBox* Keep4by3() const { return keep4by3_; }
    QMenu* PresetMenu() const { return presetMenu_; }

    // Enables the tools the view and the trace allow and selects the remembered one.
    void UpdateToolButtons();
    // Colours of used and empty preset slots (after a trace is loaded or a slot changes).
    void RefreshPresetButtons();
    // Follows a view chosen elsewhere (a preset, a loaded trace).
    void ShowView(int view);
    void ChooseTool(int tool);
    // Right-click menu of a preset slot.
    void SavePreset(int slot);
    void ClearPreset(int slot);

signals:
    // The 4:3 box changed: the window lays the view out again.
    void LayoutRequested();
    // A preset was saved or cleared.
    void TraceModified();
    // The tangent tool was chosen: the tangents must be shown.
    void TangentToolChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* MakeButton(const QString& name, const QString& text, bool checkable);

    GlView& view_;
    Trace& trace_;
    std::array<QToolButton*, 4> views_{};
    std::array<QToolButton*, 5> tools_{};
    std::array<QToolButton*, 12> presets_{};
    QButtonGroup* viewGroup_ = nullptr;
    QButtonGroup* toolGroup_ = nullptr;
    QButtonGroup* presetGroup_ = nullptr;
    QCheckBox* keep4by3_ = nullptr;
    QMenu* presetMenu_ = nullptr;
    int menuSlot_ = 0; // the slot whose menu is open (the button's Tag)
    int planTool_ = 1;
    int tool3D_ = 4;
};

} // namespace kestrova::ui
