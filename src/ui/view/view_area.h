#pragma once
// The view area of the main window: the surface `picView`, the buttons above it, the captions
// under it and the map menu, bound to the window's trace, views, settings and games.

#include <QObject>
#include <array>

class QFrame;
class QLabel;
class QWidget;

namespace kestrova::ui {

class ClearanceWindow;
class FrmMain;
class GlView;
class MapController;
class PreviewPanel;
class ViewToolBar;

class ViewArea : public QObject {
    Q_OBJECT
public:
    // toolBarFrame: `fraToolBar`; labels: `lblPans` 0..2 (scale, pointer, view name).
    ViewArea(FrmMain& window, QWidget* parent, QFrame* toolBarFrame,
             const std::array<QLabel*, 3>& labels);

    GlView* View() const { return view_; }
    ViewToolBar* ToolBar() const { return toolBar_; }
    MapController* Map() const { return map_; }
    // The 3D panel with the path preview.
    PreviewPanel* Preview() const { return preview_; }
    // "Path in the walls" (Display menu).
    ClearanceWindow* Clearance() const { return clearance_; }

    bool Is3D() const;
    bool Keep4by3() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The view's size rules changed (another view, the 4:3 box): lay the window out again.
    void LayoutRequested();

private:
    void FollowViewState();
    void InstallClearance();

    FrmMain& window_;
    GlView* view_ = nullptr;
    ViewToolBar* toolBar_ = nullptr;
    MapController* map_ = nullptr;
    PreviewPanel* preview_ = nullptr;
    ClearanceWindow* clearance_ = nullptr;
};

} // namespace kestrova::ui
