#pragma once
// The view surface `picView`: one OpenGL context showing one of the four views of the trace and
// the map, with the navigation of the plans and of the 3D camera. Painting and commands are in
// gl_view.cpp, the keyboard and mouse in gl_view_input.cpp.

#include "core/dialogs.h"
#include "core/path/path_clearance.h"
#include "core/settings/settings.h"
#include "core/view/navigation.h"
#include "core/view/tools.h"
#include "ui/view/real_gl.h"
#include "ui/view/scene.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>
#include <functional>

namespace kestrova::ui {

class BspMapComponent;

// While the preview lock is on, the 3D view's keys go here first and its turning, shifting,
// wheel and field of view edit the current control point instead of moving the camera.
class PreviewInput {
public:
    virtual ~PreviewInput() = default;
    virtual bool PreviewLocked() const = 0;
    virtual bool PreviewPlaying() const = 0;
    // True when the key was used.
    virtual bool PreviewKey(QKeyEvent* event) = 0;
    virtual void PreviewTurn(double dx, double dy, Qt::KeyboardModifiers m, bool roll) = 0;
    virtual void PreviewShift(double dx, double dy, float panSpeed) = 0;
    virtual void PreviewWheel(float v) = 0;
    virtual void PreviewFov(float fov) = 0;
    // The drag, the held key or the wheel turn that edited through the lock ended.
    virtual void PreviewEditEnded() = 0;
};

class GlView : public QOpenGLWidget {
    Q_OBJECT
    // The 3D drags; the plans' drags belong to the tools.
    enum class Drag { None, Turn3D, Shift3D };

public:
    // dialogs: where the tools say "Limit of points reached" (nullptr: nowhere).
    GlView(Trace& trace, ViewState& views, Settings& settings, QWidget* parent = nullptr,
           Dialogs* dialogs = nullptr);
    ~GlView() override;

    ViewNavigator& Navigator() { return nav_; }
    const PlanMetrics& Metrics() const { return nav_.metrics; }

    // The map drawn under the trace (nullptr: none) and its origin offset.
    void SetMap(BspMapComponent* map, const Vec3& offset);
    const MapBoundsArray* MapBounds() const { return map_ ? &mapBounds_ : nullptr; }

    // Schedules a repaint; nothing is drawn while redraws are suspended.
    void Redraw();
    void SetRedrawSuspended(bool suspended);
    // The rows selected in a points table, highlighted in the views (first < 1: none).
    void SetTableHighlight(int kind, int firstRow, int lastRow);
    bool RedrawSuspended() const { return suspended_; }

    void SelectView(int index);
    void FitAll();
    // Fits the three plans to the map's bounds, keeping the current view.
    void FitPlansToMap();
    // Fits the three plans to the points (to the map without points), keeping the current view.
    void FitPlans();
    // Moves the 3D camera back to see every point.
    void LookAtPoints();
    void ApplyPreset(int slot);
    void SetTool(int tool);
    void SetPreviewInput(PreviewInput* input) { preview_ = input; }
    // No mouse action in progress (the tool keys wait for it).
    bool Idle() const { return drag_ == Drag::None && tools_.Drag() == ToolDrag::None; }
    int Tool() const { return tools_.context.tool; }
    ToolMachine& Tools() { return tools_; }
    // The table new points go to (the one the user last worked in).
    void SetTableList(int kind) { tools_.context.tableList = kind; }
    void SetGame(int game) { tools_.context.game = game; }
    // Double-click on the tangent tool.
    void ResetAllTangents();

    // The path checked against the walls of the map shown (nullptr: no map, its walls could not
    // be read, or the check is still running). Checked again, off the window's thread, only when
    // the path, the map or the distance changed; ClearanceChanged tells when the answer is in.
    const ClearanceReport* UpdateClearance();
    bool ClearanceChecking() const { return clearance_.Pending(); }
    PathClearanceCheck& ClearanceCheck() { return clearance_; }
    void SetClearanceDistance(float distance);
    float ClearanceDistance() const { return clearanceDistance_; }
    // Centres the three plans on a world position.
    void CentrePlansOn(const Vec3& at);

    // Pixel (y from the top) of the current plan back to world X, Y, Z.
    Vec3 UnProject(float x, float y) const;
    // The input a SceneInput needs right now (tests draw it with their own GlApi).
    SceneInput CurrentSceneInput();

    // Keys the main window hands over while the 3D view is shown; true when used.
    bool HandleKeyDown(QKeyEvent* event);
    bool HandleKeyUp(QKeyEvent* event);

    // The captions of the view frame: 1 scale, 2 transient and pointer, 3 view name.
    QString Caption(int element) const;
    void ShowTransientCaption(const QString& text);
    void RefreshScaleCaption();
    // The captions that come from the language strings: the scale and the view's name.
    void ApplyLanguage();

    // Asked before a point is added (false: the limit message was shown, nothing is added).
    std::function<bool(int kind)> canAddPoint;

    // Whether a context could be made (after the first initializeGL).
    bool HasContext() const { return contextOk_; }
    // What the last redraws kept and reused; dropped, the next redraw draws everything.
    const LayerCache& Layers() const { return layers_; }
    void DropLayers() { layers_ = {}; }
    // Off, every dot of the path is drawn (the timings compare both).
    void SetPathThinning(bool on) { pathThinning_ = on; }
    // Off, the trace's tangents, arrows and times are drawn segment by segment and the times
    // glyph by glyph (the look the grouped drawing keeps).
    void SetGroupedDrawing(bool on) {
        groupedDrawing_ = on;
        gl_.SetBatchedLabels(on);
    }
    const PathDotCache& PathDots() const { return pathDots_; }

signals:
    void CaptionChanged(int element, const QString& text);
    // A view was selected: the window lays itself out again.
    void ViewSelected(int view);
    // The view edited the trace: record the undo state, refresh the tables.
    void PointsEdited();
    // A point moves: its table row follows.
    void RowChanged(int kind, int index);
    // Select one row of a table (row 0: none).
    void SelectRow(int kind, int row);
    // Ctrl+Shift (or Ctrl+Alt) over a point: its x, y, z for the look-target fields.
    void LookTargetPicked(const QString& x, const QString& y, const QString& z);
    // A reference point was added: their display goes on.
    void ReferenceDisplayOn();
    // The clearance check gave a new answer, started again, or the map changed.
    void ClearanceChanged();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintGL() override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The captions and signal of a view just made current (by its button or a preset).
    void ShowSelectedView();
    void Apply(const NavEffect& e);
    void SyncSize();
    void SetCaption(int element, const QString& text);
    void BeginHold(QMouseEvent* event);
    QPointF HeldDelta(const QPointF& global);
    void EndHold();
    void AddPointAtCamera(bool reference);
    ToolInput InputOf(const QMouseEvent* event, MouseButton button);
    void SyncToolContext();
    void ApplyTool(const ToolEffect& e);
    void UpdatePointer();
    bool HandlePlanKey(QKeyEvent* event, bool press);

    Trace& trace_;
    ViewState& views_;
    Settings& settings_;
    ViewNavigator nav_;
    RealGl gl_;
    BspMapComponent* map_ = nullptr;
    MapBoundsArray mapBounds_{};
    Vec3 mapOffset_{0, 0, 0};
    bool suspended_ = false;
    bool highlight_ = false;
    int highlightKind_ = kControl;
    int highlightFirst_ = 0;
    int highlightLast_ = 0;
    bool contextOk_ = false;
    PathDotCache pathDots_;
    bool pathThinning_ = true;
    bool groupedDrawing_ = true;
    LayerCache layers_;
    PathClearanceCheck clearance_;
    ClearanceDots clearanceDots_;
    int32_t clearanceShown_ = -1; // the cache's check count the dots were made from
    bool clearanceIndexShown_ = false;
    float clearanceDistance_ = kDefaultClearance;
    SilentDialogs silentDialogs_;
    ToolMachine tools_;
    ToolPointer pointer_ = ToolPointer::Arrow;
    Drag drag_ = Drag::None;
    QTimer keyboardTimer_; // tmrKeyboardMoveUpdate
    QTimer clearPans2_;    // tmrClearPans2
    std::array<QString, 4> captions_;
    // Pointer held while the 3D view is dragged.
    QPoint savedPointer_;
    QPoint holdAt_;
    QPointF lastGlobal_;
    bool warpWorks_ = true;
    PreviewInput* preview_ = nullptr;
};

} // namespace kestrova::ui
