#pragma once
// Navigation of the four views: view switching, the zoom table, wheel and drag zooms, panning,
// fitting, the 3D camera's keys and mouse, and the twelve presets. The surface feeds it input and
// carries out the returned effect (projection, redraw, layout, captions).

#include "core/map/bsp_map.h"
#include "core/model/trace.h"
#include "core/view/view_math.h"
#include "core/view/view_state.h"

#include <QString>

namespace kestrova {

// Zoom table entry i (1..1000), pixels per world unit.
double ZoomTableEntry(int32_t index);
// The largest index whose entry does not exceed scale (at least the lowest).
int32_t FindZoomIndex(double scale);

struct NavModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};
// Zoom and speed step: 12, 6 with Ctrl, 2 with Shift.
int32_t NavStep(NavModifiers m);

enum class NavKey { Up, Down, Left, Right, F, Z, KeypadPlus, KeypadMinus, R, Insert, Other };

// What the surface does after a navigation step.
struct NavEffect {
    bool projection = false; // reload the projection
    bool redraw = false;
    bool layout = false;       // lay the window out again (ends with a resize and a redraw)
    bool scaleCaption = false; // refresh the scale caption
    bool addPoint = false;     // Insert: add a point at the camera
    bool addReference = false; // ... as a reference point
    QString transient;         // a transient caption to show
};

constexpr float kMoveSpeedMin = 0.1f;
constexpr float kMoveSpeedMax = 2.0f;
constexpr float kFovMin = 0.1f;
constexpr float kFovMax = 179.99f;
// Mouse-look, free or through the preview lock.
constexpr double kLookDegreesPerPixel = 0.12;
constexpr float kZfarMin = 100;
constexpr float kZfarMax = 100000;

class ViewNavigator {
public:
    explicit ViewNavigator(ViewState& views) : views_(views) {}

    ViewState& Views() { return views_; }
    const ViewState& Views() const { return views_; }
    int ActiveView() const { return views_.activeView; }
    ViewAxes Axes() const { return AxesOfView(views_.activeView); }
    int32_t ViewMode() const { return Axes().viewMode; }
    bool Is3D() const { return views_.activeView == 3; }
    PlanView& Current() { return views_.plans[views_.activeView]; }
    const PlanView& Current() const { return views_.plans[views_.activeView]; }

    PlanMetrics metrics;
    CameraMotion motion;
    float moveSpeed = 1.0f;
    float panSpeed = 1.0f;
    bool rollHeld = false;    // R: mouse-look turns the roll
    bool previewLock = false; // the preview owns the camera keys while set
    bool clampedH = false;    // set by PanTo when it had to clamp
    bool clampedV = false;

    // Makes the view current (0..3); plans take the scale of their zoom index.
    NavEffect SelectView(int index);
    // scale from the zoom index, the centre clamped again.
    NavEffect ApplyZoom();
    void PanTo(float h, float v);

    // Plans: notches of the wheel (positive zooms in).
    NavEffect Wheel(int delta, NavModifiers m);
    void BeginZoomDrag(double y);
    NavEffect ZoomDragMove(double y);
    void BeginPanDrag(double x, double y);
    NavEffect PanDragMove(double x, double y);

    // Fits the plan to the points, or without points to the map's bounds (if a map is shown).
    NavEffect FitAll(const Trace& trace, bool showReferencePoints, const MapBoundsArray* mapBounds);

    // 3D view.
    NavEffect KeyDown3D(NavKey key, NavModifiers m);
    NavEffect KeyUp3D(NavKey key);
    // Whether the 20 ms keyboard timer should run (an arrow is held).
    bool KeyboardMoving() const { return motion.keepForward || motion.keepStrafe; }
    NavEffect Wheel3D(int delta, NavModifiers m);
    // Pointer displacement from the held centre (dx = centre - x, dy = centre - y).
    NavEffect Look(double dx, double dy);
    void BeginShift3D() { shifting3D_ = true; }
    void EndShift3D() { shifting3D_ = false; }
    NavEffect Shift3D(double dx, double dy);
    void ResetCamera();

    // Presets: an empty slot applies nothing (returns false).
    bool ApplyPreset(int slot, NavEffect& effect);
    void SavePreset(int slot);
    void ClearPreset(int slot);

private:
    ViewState& views_;
    int32_t zoomDragPreviousY_ = 0;
    double pressX_ = 0;
    double pressY_ = 0;
    float panStartH_ = 0;
    float panStartV_ = 0;
    bool shifting3D_ = false;
};

// A new trace's camera: fov 90, at the origin, level, far plane 50000.
void ResetCamera(ViewCamera& camera);

// A camera that sees the whole flight: from above and to one side of the points' box, looking
// at its centre, far enough back for the field of view to hold it. Keeps the camera as it is
// when there is no point to look at.
void VantageCamera(const Trace& trace, bool showReferencePoints, ViewCamera& camera);

// The scale caption: its prefix, then the visible width with two decimals in nine characters.
QString ScaleCaption(const QString& prefix, double visibleWidth);

} // namespace kestrova
