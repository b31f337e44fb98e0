#pragma once
// The editing tools of the plan views as a state machine. The surface feeds it pointer and key
// input (button, modifiers, pixel and world position); it edits the trace, drives the zoom and
// pan drags, and says what the surface must show and what the window must refresh. The tangent
// tool's picking, dragging and resetting are in tool_tangents.cpp.

#include "core/dialogs.h"
#include "core/model/trace.h"
#include "core/view/navigation.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace kestrova {

// The option buttons `optTools`.
enum ViewTool : int {
    kToolSelect = 0,
    kToolPoints = 1,
    kToolTangents = 2,
    kToolZoom = 3,
    kTool3D = 4
};

constexpr int kNoList = 2;        // hover list when nothing is hovered
constexpr double kPickPixels = 4; // pick tolerance
constexpr float kSnapRadius = 10;

using WorldPos = std::array<float, 3>;

enum class MouseButton { None, Left, Right };

struct ToolInput {
    MouseButton button = MouseButton::None; // the button pressed or released
    NavModifiers mods;
    double px = 0, py = 0; // pixels, y from the top of the surface
    WorldPos world{};      // the pointer unprojected in the current plan
};

enum class HandleHit { None, A, B };

struct HoverState {
    int index = -1;
    int list = kNoList; // 0 control, 1 reference, 2 none
    HandleHit handle = HandleHit::None;

    bool Any() const { return index >= 1; }
    bool operator==(const HoverState&) const = default;
};

enum class ToolDrag { None, RubberBand, MoveSelection, MovePoint, Tangent, Zoom, Pan };

// What the pointer looks like; the surface picks the picture.
enum class ToolPointer {
    Arrow,
    Select,
    MoveSelection,
    Add,
    NoAdd,
    Move,
    Delete,
    Insert,
    Handle,
    Zoom,
    Pan
};

enum class ToolKey { Delete, Control, Shift, Alt, Other };

// What the surface and the window do after one input.
struct ToolEffect {
    bool redraw = false;
    NavEffect nav; // zoom and pan drags
    // The points changed for good: record the undo state (the tables follow).
    bool recordUndo = false;
    // A row whose values changed while a drag goes on: rewrite it in its table.
    int rowKind = -1;
    int rowIndex = 0;
    // Select this row of a table (kind -1: no change).
    int selectKind = -1;
    int selectRow = 0;
    std::optional<QString> caption;                   // the pointer caption
    std::optional<QString> clipboard;                 // Alt over a point
    std::optional<std::array<QString, 3>> lookTarget; // Ctrl+Shift or Ctrl+Alt over a point
    bool referenceDisplayOn = false;                  // a reference point was added
};

// What the surroundings tell the tools; the surface keeps it up to date.
struct ToolContext {
    int tool = kToolPoints;
    int tableList = kControl;        // the table new points go to
    bool showReferencePoints = true; // "Ref. points" display
    bool snapControl = false;        // Snap2MapCtlPnt
    bool snapReference = false;      // Snap2MapRefPnt
    int game = 1;                    // for the console command copied with Alt
    // Moves the position onto the shown map (plane 0 X-Y, 1 X-Z, 2 Y-Z); empty without a map.
    std::function<bool(WorldPos& at, int plane, float radius)> snapToMap;
};

class ToolMachine {
public:
    ToolMachine(Trace& trace, ViewNavigator& nav, Dialogs& dialogs)
        : trace_(trace), nav_(nav), dialogs_(dialogs) {}

    ToolContext context;

    ToolEffect Press(const ToolInput& in);
    ToolEffect Move(const ToolInput& in);
    ToolEffect Release(const ToolInput& in);
    ToolEffect KeyDown(ToolKey key, NavModifiers mods);
    ToolEffect KeyUp(ToolKey key, NavModifiers mods);
    // Double-click on the tangent tool: every handle automatic again.
    ToolEffect ResetAllTangents();
    // The tool or the view changed: no hover, no marker, no drag.
    void Reset();

    // Pick tolerance in world units: 4 pixels at the plan's scale.
    double Tolerance() const;
    HoverState HitTest(float h, float v) const;
    HoverState HitTestTangents(float h, float v) const;
    HoverState PickAt(float h, float v) const;
    // Shows the marker where the map is near the pointer; true when found.
    bool SnapToMapPoint(int list, bool& changed);

    ToolDrag Drag() const { return drag_; }
    const HoverState& Hover() const { return hover_; }
    bool RubberBandVisible() const { return drag_ == ToolDrag::RubberBand; }
    const WorldPos& RubberA() const { return rubberA_; }
    const WorldPos& RubberB() const { return rubberB_; }
    bool MarkerVisible() const { return markerVisible_; }
    const WorldPos& MarkerAt() const { return marker_; }
    ToolPointer Pointer() const;
    // Where the hovered point or handle end is (the surface marks it); nothing when none.
    std::optional<WorldPos> HoverPosition() const;
    // The last look target copied (x, y, z as the fields show them).
    const std::optional<std::array<QString, 3>>& LookTarget() const { return lookTarget_; }

private:
    ViewAxes Axes() const { return nav_.Axes(); }
    bool ShowsList(int list) const;
    void AddPoint(const ToolInput& in, ToolEffect& e);
    void StartTangentDrag(const ToolInput& in, ToolEffect& e);
    void MoveSelection(const ToolInput& in, ToolEffect& e);
    void MovePoint(const ToolInput& in, ToolEffect& e);
    void DragTangent(const ToolInput& in);
    void EndRubberBand(const ToolInput& in);
    void ResetTangentsAtHover(bool currentViewOnly, ToolEffect& e);
    void HoverMove(const ToolInput& in, ToolEffect& e);
    bool HideMarker();
    void FinishControlEdit();

    Trace& trace_;
    ViewNavigator& nav_;
    Dialogs& dialogs_;
    HoverState hover_;
    ToolDrag drag_ = ToolDrag::None;
    NavModifiers mods_;
    ToolInput last_;    // the last pointer position seen
    double pressX_ = 0; // pixel position of the press
    double pressY_ = 0;
    bool moved_ = false; // the drag changed something worth an undo step
    WorldPos start_{};   // move: the point's position at the press; selection: the last step
    WorldPos rubberA_{};
    WorldPos rubberB_{};
    bool markerVisible_ = false;
    WorldPos marker_{};
    HoverState ctrlSelected_; // the row Ctrl last selected while hovering
    HoverState altCopied_;    // the point Alt last copied
    std::optional<std::array<QString, 3>> lookTarget_;
};

// "x" + ten characters + " " + "y" + ten characters: the pointer's plan coordinates.
QString PointerCaption(const ViewAxes& axes, const WorldPos& world);
// The console command that puts the game's camera at a point, as the camera scripts write it.
QString PositionCommand(const PointRecord& p, int game);

} // namespace kestrova
