#include "core/view/tools.h"

#include "core/model/point_table_ops.h"
#include "core/model/undo.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <cmath>

namespace kestrova {
namespace {

constexpr int kAdditionTitle = 280;

bool SamePoint(const HoverState& a, const HoverState& b) {
    return a.index == b.index && a.list == b.list;
}

bool Within(float a, float b, double tol) {
    return std::fabs(static_cast<double>(a) - b) <= tol;
}

int PlaneOf(int32_t viewMode) {
    return viewMode == kViewXZ ? 1 : viewMode == kViewYZ ? 2 : 0;
}

float Round2f(double v) {
    return static_cast<float>(RoundTo2(v));
}

const char* AxisName(int axis) {
    return axis == 0 ? "x" : axis == 1 ? "y" : "z";
}

} // namespace

QString PointerCaption(const ViewAxes& axes, const WorldPos& world) {
    return QLatin1String(AxisName(axes.h)) +
           FormatLocaleFixed(world[axes.h], 3).rightJustified(10) + QLatin1Char(' ') +
           QLatin1String(AxisName(axes.v)) + FormatLocaleFixed(world[axes.v], 3).rightJustified(10);
}

QString PositionCommand(const PointRecord& p, int game) {
    // As the camera scripts write it: "." decimals, pitch before yaw and negated.
    const GameProfile& profile = Profile(game);
    const double values[6] = {p.x, p.y, p.z, -static_cast<double>(p.pitch), p.yaw, p.roll};
    QString s = QLatin1Char('/') + profile.positionPrefix;
    for (int i = 0; i < 6; ++i) {
        if (i)
            s += QLatin1Char(' ');
        s += FormatScriptNumber(values[i]);
    }
    return s + profile.positionSuffix;
}

double ToolMachine::Tolerance() const {
    const double scale = nav_.metrics.scale > 0 ? nav_.metrics.scale : 1;
    return kPickPixels / scale;
}

bool ToolMachine::ShowsList(int list) const {
    return list == kControl || context.showReferencePoints;
}

HoverState ToolMachine::HitTest(float h, float v) const {
    HoverState hit;
    if (nav_.Is3D())
        return hit;
    const ViewAxes a = Axes();
    const double tol = Tolerance();
    const PointTables& t = trace_.points;
    for (int list : {kControl, kReference}) {
        if (!ShowsList(list))
            continue;
        for (int i = 1; i <= t.count[list]; ++i) {
            const PointRecord& r = t.rec[list][i];
            if (list == kControl && r.hide)
                continue;
            if (Within(Axis(r, a.h), h, tol) && Within(Axis(r, a.v), v, tol)) {
                hit.index = i;
                hit.list = list;
                return hit;
            }
        }
    }
    return hit;
}

bool ToolMachine::SnapToMapPoint(int list, bool& changed) {
    bool found = false;
    WorldPos at = last_.world;
    const bool wanted = list == kControl ? context.snapControl : context.snapReference;
    if (!nav_.Is3D() && wanted && context.snapToMap)
        found = context.snapToMap(at, PlaneOf(nav_.ViewMode()), kSnapRadius);
    changed = found != markerVisible_ || (found && at != marker_);
    markerVisible_ = found;
    if (found)
        marker_ = at;
    return found;
}

bool ToolMachine::HideMarker() {
    const bool was = markerVisible_;
    markerVisible_ = false;
    return was;
}

void ToolMachine::Reset() {
    hover_ = {};
    drag_ = ToolDrag::None;
    markerVisible_ = false;
    ctrlSelected_ = {};
    altCopied_ = {};
}

ToolPointer ToolMachine::Pointer() const {
    switch (drag_) {
    case ToolDrag::Pan:
        return ToolPointer::Pan;
    case ToolDrag::Zoom:
        return ToolPointer::Zoom;
    case ToolDrag::RubberBand:
        return ToolPointer::Select;
    case ToolDrag::MoveSelection:
        return ToolPointer::MoveSelection;
    case ToolDrag::MovePoint:
        return ToolPointer::Move;
    case ToolDrag::Tangent:
        return ToolPointer::Handle;
    case ToolDrag::None:
        break;
    }
    if (nav_.Is3D())
        return ToolPointer::Arrow;
    const NavModifiers& m = mods_;
    switch (context.tool) {
    case kToolSelect: {
        const bool onSelected =
            hover_.Any() && trace_.points.At(hover_.list, hover_.index).selected;
        return onSelected && !m.shift && !m.ctrl && !m.alt ? ToolPointer::MoveSelection
                                                           : ToolPointer::Select;
    }
    case kToolPoints:
        if (!hover_.Any())
            return m.shift ? ToolPointer::NoAdd : ToolPointer::Add;
        if (m.shift)
            return ToolPointer::Delete;
        if (m.ctrl && m.alt && hover_.list == kControl)
            return ToolPointer::Insert;
        return ToolPointer::Move;
    case kToolTangents:
        return hover_.handle != HandleHit::None ? ToolPointer::Handle : ToolPointer::Arrow;
    case kToolZoom:
        return ToolPointer::Zoom;
    default:
        return ToolPointer::Arrow;
    }
}

std::optional<WorldPos> ToolMachine::HoverPosition() const {
    if (!hover_.Any() || nav_.Is3D())
        return std::nullopt;
    const PointTables& t = trace_.points;
    if (hover_.index > t.count[hover_.list])
        return std::nullopt;
    const PointRecord& r = t.At(hover_.list, hover_.index);
    switch (hover_.handle) {
    case HandleHit::A:
        return WorldPos{r.x + r.tanA.x, r.y + r.tanA.y, r.z + r.tanA.z};
    case HandleHit::B: {
        if (hover_.index + 1 > t.count[kControl])
            return std::nullopt;
        const PointRecord& next = t.At(kControl, hover_.index + 1);
        return WorldPos{next.x - r.tanB.x, next.y - r.tanB.y, next.z - r.tanB.z};
    }
    case HandleHit::None:
        break;
    }
    return WorldPos{r.x, r.y, r.z};
}

ToolEffect ToolMachine::Press(const ToolInput& in) {
    ToolEffect e;
    if (nav_.Is3D() || drag_ != ToolDrag::None)
        return e;
    last_ = in;
    mods_ = in.mods;
    pressX_ = in.px;
    pressY_ = in.py;
    moved_ = false;
    const ViewAxes a = Axes();
    const float h = in.world[a.h];
    const float v = in.world[a.v];
    // The press decides by what is under it now, whatever the last move saw.
    hover_ = PickAt(h, v);

    if (in.button == MouseButton::Right) {
        if (context.tool == kToolTangents && hover_.Any()) {
            ResetTangentsAtHover(in.mods.ctrl, e);
            return e;
        }
        drag_ = ToolDrag::Pan;
        nav_.BeginPanDrag(in.px, in.py);
        return e;
    }
    if (in.button != MouseButton::Left)
        return e;

    const PointTables& t = trace_.points;
    switch (context.tool) {
    case kToolSelect: {
        const bool noMods = !in.mods.shift && !in.mods.ctrl && !in.mods.alt;
        if (AnyPointSelected(trace_) && hover_.Any() && t.At(hover_.list, hover_.index).selected &&
            noMods) {
            drag_ = ToolDrag::MoveSelection;
            const PointRecord& r = t.At(hover_.list, hover_.index);
            start_ = {r.x, r.y, r.z};
        } else {
            drag_ = ToolDrag::RubberBand;
            rubberA_ = rubberB_ = in.world;
            e.redraw = true;
        }
        break;
    }
    case kToolPoints:
        if (!hover_.Any()) {
            if (!in.mods.shift)
                AddPoint(in, e);
        } else if (in.mods.shift) {
            const int list = hover_.list;
            const int index = hover_.index;
            DeletePoint(trace_, list, index, true);
            e.recordUndo = true;
            e.redraw = true;
            if (index > 1) {
                e.selectKind = list;
                e.selectRow = index - 1;
            }
            hover_ = {};
        } else if (in.mods.ctrl && in.mods.alt) {
            if (hover_.list == kControl && hover_.index < t.count[kControl] &&
                CanAddPoint(trace_, kControl, fStr(kAdditionTitle), dialogs_) &&
                InsertPointInSegment(trace_, hover_.index)) {
                e.recordUndo = true;
                e.redraw = true;
                e.selectKind = kControl;
                e.selectRow = hover_.index + 1;
            }
        } else {
            drag_ = ToolDrag::MovePoint;
            const PointRecord& r = t.At(hover_.list, hover_.index);
            start_ = {r.x, r.y, r.z};
            e.selectKind = hover_.list;
            e.selectRow = hover_.index;
        }
        break;
    case kToolTangents:
        if (hover_.Any()) {
            if (hover_.handle != HandleHit::None)
                drag_ = ToolDrag::Tangent;
            e.selectKind = kControl;
            e.selectRow = hover_.index;
        }
        break;
    case kToolZoom:
        drag_ = ToolDrag::Zoom;
        nav_.BeginZoomDrag(in.py);
        break;
    default:
        break;
    }
    return e;
}

void ToolMachine::AddPoint(const ToolInput& in, ToolEffect& e) {
    const int list = context.tableList == kReference ? kReference : kControl;
    if (!CanAddPoint(trace_, list, fStr(kAdditionTitle), dialogs_))
        return;
    bool changed = false;
    bool ok;
    if (SnapToMapPoint(list, changed)) {
        ok = AppendPointXYZ(trace_, list, marker_[0], marker_[1], marker_[2], Angles{}, true);
    } else {
        const ViewAxes a = Axes();
        ok = AppendPoint(trace_, list, a.viewMode, in.world[a.h], in.world[a.v], true);
    }
    if (!ok)
        return;
    e.recordUndo = true;
    e.redraw = true;
    e.selectKind = list;
    e.selectRow = trace_.points.count[list];
    e.referenceDisplayOn = list == kReference;
    if (list == kReference)
        context.showReferencePoints = true;
}

ToolEffect ToolMachine::Move(const ToolInput& in) {
    ToolEffect e;
    const bool pixelMoved = in.px != last_.px || in.py != last_.py;
    last_ = in;
    mods_ = in.mods;
    if (nav_.Is3D())
        return e;
    switch (drag_) {
    case ToolDrag::Pan:
        e.nav = nav_.PanDragMove(in.px, in.py);
        return e; // the caption keeps still while the view slides
    case ToolDrag::Zoom:
        e.nav = nav_.ZoomDragMove(in.py);
        break;
    case ToolDrag::RubberBand:
        rubberB_ = in.world;
        e.redraw = true;
        break;
    case ToolDrag::MoveSelection:
        if (pixelMoved)
            MoveSelection(in, e);
        break;
    case ToolDrag::MovePoint:
        MovePoint(in, e);
        break;
    case ToolDrag::Tangent:
        DragTangent(in);
        moved_ = true;
        e.redraw = true;
        break;
    case ToolDrag::None:
        HoverMove(in, e);
        break;
    }
    e.caption = PointerCaption(Axes(), in.world);
    return e;
}

void ToolMachine::MoveSelection(const ToolInput& in, ToolEffect& e) {
    const ViewAxes a = Axes();
    const bool shift = in.mods.shift;
    const bool ctrl = in.mods.ctrl;
    bool changed = false;
    // Shift and Ctrl constrain the move as they do for one point, and turn the snap off.
    const bool found =
        !shift && !ctrl ? SnapToMapPoint(hover_.list, changed) : (changed = HideMarker(), false);
    double d[3] = {0, 0, 0};
    if (found) {
        for (int k = 0; k < 3; ++k)
            d[k] = static_cast<double>(marker_[k]) - start_[k];
        start_ = marker_;
    } else {
        if (!shift) {
            d[a.h] = static_cast<double>(in.world[a.h]) - start_[a.h];
            start_[a.h] = in.world[a.h];
        }
        if (!ctrl) {
            d[a.v] = static_cast<double>(in.world[a.v]) - start_[a.v];
            start_[a.v] = in.world[a.v];
        }
    }
    PointTables& t = trace_.points;
    for (int list : {kControl, kReference}) {
        for (int i = 1; i <= t.count[list]; ++i) {
            PointRecord& r = t.rec[list][i];
            if (!r.selected)
                continue;
            for (int k = 0; k < 3; ++k)
                Axis(r, k) = static_cast<float>(Axis(r, k) + d[k]);
            if (list == kControl)
                UpdateTangentsAround(t, i);
        }
    }
    moved_ = true;
    e.redraw = true;
}

void ToolMachine::MovePoint(const ToolInput& in, ToolEffect& e) {
    const ViewAxes a = Axes();
    const NavModifiers& m = in.mods;
    PointRecord& r = trace_.points.At(hover_.list, hover_.index);
    bool changed = false;
    const bool found = !m.shift && !m.ctrl && !m.alt ? SnapToMapPoint(hover_.list, changed)
                                                     : (changed = HideMarker(), false);
    if (found) {
        r.x = Round2f(marker_[0]);
        r.y = Round2f(marker_[1]);
        r.z = Round2f(marker_[2]);
    } else {
        Axis(r, a.h) = m.shift ? start_[a.h] : Round2f(in.world[a.h]);
        Axis(r, a.v) = m.ctrl ? start_[a.v] : Round2f(in.world[a.v]);
        Axis(r, a.depth) = start_[a.depth];
    }
    if (hover_.list == kControl)
        UpdateTangentsAround(trace_.points, hover_.index);
    moved_ = true;
    e.redraw = true;
    e.rowKind = hover_.list;
    e.rowIndex = hover_.index;
}

// What the current tool picks under the pointer: the tangent tool takes handle ends first, then
// control points only.
HoverState ToolMachine::PickAt(float h, float v) const {
    if (context.tool != kToolTangents)
        return HitTest(h, v);
    HoverState hit = HitTestTangents(h, v);
    if (hit.Any())
        return hit;
    hit = HitTest(h, v);
    return hit.list == kControl ? hit : HoverState{};
}

void ToolMachine::HoverMove(const ToolInput& in, ToolEffect& e) {
    const ViewAxes a = Axes();
    const float h = in.world[a.h];
    const float v = in.world[a.v];
    const HoverState before = hover_;
    hover_ = PickAt(h, v);
    e.redraw = !(hover_ == before);

    // The points tool shows where a click would add a point.
    bool changed = false;
    if (context.tool == kToolPoints && !hover_.Any() && !in.mods.shift)
        SnapToMapPoint(context.tableList, changed);
    else
        changed = HideMarker();
    e.redraw = e.redraw || changed;

    const NavModifiers& m = in.mods;
    if (m.ctrl && hover_.Any()) {
        if (!m.shift && !SamePoint(ctrlSelected_, hover_)) {
            e.selectKind = hover_.list;
            e.selectRow = hover_.index;
            ctrlSelected_ = hover_;
        }
        if (m.shift || m.alt) {
            const PointRecord& r = trace_.points.At(hover_.list, hover_.index);
            const std::array<QString, 3> xyz{FormatLocaleFixed(r.x, 2), FormatLocaleFixed(r.y, 2),
                                             FormatLocaleFixed(r.z, 2)};
            if (lookTarget_ != xyz) {
                lookTarget_ = xyz;
                e.lookTarget = xyz;
            }
        }
    } else {
        ctrlSelected_ = {};
    }
    if (m.alt && !m.ctrl && !m.shift && hover_.Any()) {
        if (!SamePoint(altCopied_, hover_)) {
            e.clipboard =
                PositionCommand(trace_.points.At(hover_.list, hover_.index), context.game);
            altCopied_ = hover_;
        }
    } else {
        altCopied_ = {};
    }
}

void ToolMachine::FinishControlEdit() {
    PointTables& t = trace_.points;
    for (int i = 1; i <= t.count[kControl]; ++i) {
        RecomputeHandle(t, i, Handle::A, 7, false);
        RecomputeHandle(t, i, Handle::B, 7, false);
    }
    RefreshPhantoms(t);
    RebuildPath(trace_);
    UpdateTimeLabels(trace_);
}

ToolEffect ToolMachine::Release(const ToolInput& in) {
    ToolEffect e;
    last_ = in;
    mods_ = in.mods;
    const ToolDrag drag = drag_;
    if (drag == ToolDrag::None)
        return e;
    if (drag == ToolDrag::Pan ? in.button != MouseButton::Right : in.button != MouseButton::Left)
        return e;
    drag_ = ToolDrag::None;
    switch (drag) {
    case ToolDrag::RubberBand:
        EndRubberBand(in);
        e.redraw = true;
        break;
    case ToolDrag::MoveSelection: {
        if (!moved_)
            break;
        PointTables& t = trace_.points;
        for (int list : {kControl, kReference})
            for (int i = 1; i <= t.count[list]; ++i) {
                PointRecord& r = t.rec[list][i];
                r.x = Round2f(r.x);
                r.y = Round2f(r.y);
                r.z = Round2f(r.z);
            }
        FinishControlEdit();
        e.recordUndo = true;
        e.selectKind = hover_.list;
        e.selectRow = hover_.index;
        HideMarker();
        e.redraw = true;
        break;
    }
    case ToolDrag::MovePoint:
    case ToolDrag::Tangent:
        if (moved_) {
            if (hover_.list == kControl) {
                RefreshPhantoms(trace_.points);
                RebuildPath(trace_);
                UpdateTimeLabels(trace_);
            }
            e.recordUndo = true;
        }
        e.selectKind = hover_.list;
        e.selectRow = hover_.index;
        e.redraw = HideMarker() || moved_;
        break;
    case ToolDrag::Zoom:
    case ToolDrag::Pan:
    case ToolDrag::None:
        break;
    }
    return e;
}

void ToolMachine::EndRubberBand(const ToolInput& in) {
    rubberB_ = in.world;
    const ViewAxes a = Axes();
    const double tol = Tolerance();
    auto span = [&](int axis, double& lo, double& hi) {
        lo = std::min(rubberA_[axis], rubberB_[axis]);
        hi = std::max(rubberA_[axis], rubberB_[axis]);
        if (lo == hi) {
            lo -= tol;
            hi += tol;
        }
    };
    double h0, h1, v0, v1;
    span(a.h, h0, h1);
    span(a.v, v0, v1);
    const bool add = in.mods.shift;
    const bool toggle = !add && in.mods.ctrl;
    PointTables& t = trace_.points;
    for (int list : {kControl, kReference}) {
        for (int i = 1; i <= t.count[list]; ++i) {
            PointRecord& r = t.rec[list][i];
            const bool testable = list == kControl ? r.hide == 0 : ShowsList(kReference);
            const double ph = Axis(r, a.h);
            const double pv = Axis(r, a.v);
            const bool inside = testable && ph >= h0 && ph <= h1 && pv >= v0 && pv <= v1;
            if (toggle)
                r.selected = inside ? !r.selected : r.selected;
            else if (add)
                r.selected = r.selected || inside;
            else
                r.selected = inside;
        }
    }
}

ToolEffect ToolMachine::KeyDown(ToolKey key, NavModifiers mods) {
    ToolEffect e;
    mods_ = mods;
    if (nav_.Is3D() || drag_ != ToolDrag::None)
        return e;
    if (key == ToolKey::Delete) {
        const bool selectEnabled = trace_.ControlCount() > 0 || trace_.ReferenceCount() > 0;
        if (context.tool == kToolPoints || !selectEnabled)
            return e;
        PointTables& t = trace_.points;
        bool any = false;
        for (int list : {kControl, kReference})
            for (int i = t.count[list]; i >= 1; --i)
                if (t.rec[list][i].selected) {
                    DeletePoint(trace_, list, i, false);
                    any = true;
                }
        if (any) {
            RebuildPath(trace_);
            hover_ = {};
            e.recordUndo = true;
            e.redraw = true;
        }
        return e;
    }
    if (key == ToolKey::Other)
        return e;
    // A modifier changes what a click would do: look again without the pointer moving.
    ToolInput in = last_;
    in.mods = mods;
    HoverMove(in, e);
    if (key == ToolKey::Control && context.tool == kToolPoints) {
        bool changed = false;
        SnapToMapPoint(context.tableList, changed);
        e.redraw = e.redraw || changed;
    }
    return e;
}

ToolEffect ToolMachine::KeyUp(ToolKey key, NavModifiers mods) {
    if (key == ToolKey::Delete)
        return {};
    return KeyDown(key, mods);
}

} // namespace kestrova
