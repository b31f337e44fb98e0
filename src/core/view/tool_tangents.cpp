// The tangent tool: picking a handle end, dragging it (alone, as a corner, or keeping the
// other handle's length), and putting handles back to their computed value.
#include "core/view/tools.h"

#include "core/path/build_path.h"
#include "core/path/tangents.h"

#include <cmath>

namespace kestrova {
namespace {

// Stands in for a zero difference so that the ratios stay finite.
constexpr double kTiny = 1e-6;

} // namespace

HoverState ToolMachine::HitTestTangents(float h, float v) const {
    HoverState hit;
    if (nav_.Is3D())
        return hit;
    const ViewAxes a = Axes();
    const double tol = Tolerance();
    const auto& c = trace_.points.rec[kControl];
    const int n = trace_.points.count[kControl];
    // Handles of segment i: tanA drawn at P(i) + tanA, tanB at P(i+1) - tanB.
    for (int i = 1; i < n; ++i) {
        if (c[i].hide)
            continue;
        const double ah = static_cast<double>(Axis(c[i], a.h)) + Axis(c[i].tanA, a.h);
        const double av = static_cast<double>(Axis(c[i], a.v)) + Axis(c[i].tanA, a.v);
        const double bh = static_cast<double>(Axis(c[i + 1], a.h)) - Axis(c[i].tanB, a.h);
        const double bv = static_cast<double>(Axis(c[i + 1], a.v)) - Axis(c[i].tanB, a.v);
        if (std::fabs(ah - h) <= tol && std::fabs(av - v) <= tol)
            return {i, kControl, HandleHit::A};
        if (std::fabs(bh - h) <= tol && std::fabs(bv - v) <= tol)
            return {i, kControl, HandleHit::B};
    }
    return hit;
}

void ToolMachine::DragTangent(const ToolInput& in) {
    const ViewAxes a = Axes();
    PointTables& t = trace_.points;
    auto& c = t.rec[kControl];
    const int n = t.count[kControl];
    const int i = hover_.index;
    if (i < 1 || i >= n)
        return;
    const bool isA = hover_.handle == HandleHit::A;
    const PointRecord& anchor = isA ? c[i] : c[i + 1];
    const double s = isA ? 1 : -1;
    const double ph = static_cast<double>(in.world[a.h]) - Axis(anchor, a.h);
    const double pv = static_cast<double>(in.world[a.v]) - Axis(anchor, a.v);
    double H, V;
    if (!in.mods.shift) {
        H = s * ph;
        V = s * pv;
    } else {
        // Parallel to the segment's chord.
        double dH = static_cast<double>(Axis(c[i + 1], a.h)) - Axis(c[i], a.h);
        double dV = static_cast<double>(Axis(c[i + 1], a.v)) - Axis(c[i], a.v);
        if (dH == 0)
            dH = kTiny;
        if (dV == 0)
            dV = kTiny;
        if (std::fabs(dH) <= std::fabs(dV)) {
            V = s * pv;
            H = V * dH / dV;
        } else {
            H = s * ph;
            V = H * dV / dH;
        }
    }
    TangentHandle& dragged = isA ? c[i].tanA : c[i].tanB;
    dragged.fixedAxes |= a.viewMode;
    Axis(dragged, a.h) = static_cast<float>(H);
    Axis(dragged, a.v) = static_cast<float>(V);

    // The other handle at the same point; the first and last points have none.
    TangentHandle* other = nullptr;
    if (isA && i >= 2)
        other = &c[i - 1].tanB;
    else if (!isA && i + 1 <= n - 1)
        other = &c[i + 1].tanA;
    if (other) {
        other->fixedAxes |= a.viewMode;
        if (in.mods.ctrl) {
            // A corner: the other handle stays.
        } else if (in.mods.alt) {
            // Its own length, the dragged handle's direction.
            const double len =
                std::hypot(static_cast<double>(Axis(*other, a.h)), Axis(*other, a.v));
            const double dir = std::hypot(H, V);
            Axis(*other, a.h) = dir > 0 ? static_cast<float>(H / dir * len) : 0.0f;
            Axis(*other, a.v) =
                dir > 0 ? static_cast<float>(V / dir * len) : static_cast<float>(len);
        } else {
            other->x = dragged.x;
            other->y = dragged.y;
            other->z = dragged.z;
        }
    }
    RefreshPhantoms(t);
}

void ToolMachine::ResetTangentsAtHover(bool currentViewOnly, ToolEffect& e) {
    PointTables& t = trace_.points;
    const int32_t mask = currentViewOnly ? nav_.ViewMode() : 7;
    const int i = hover_.index;
    switch (hover_.handle) {
    case HandleHit::A:
        RecomputeHandle(t, i, Handle::A, mask, true);
        break;
    case HandleHit::B:
        RecomputeHandle(t, i, Handle::B, mask, true);
        break;
    case HandleHit::None:
        // The two handles drawn at the point: its outgoing one and the previous incoming one.
        RecomputeHandle(t, i, Handle::A, mask, true);
        if (i >= 2)
            RecomputeHandle(t, i - 1, Handle::B, mask, true);
        break;
    }
    RefreshPhantoms(t);
    RebuildPath(trace_);
    e.recordUndo = true;
    e.redraw = true;
}

ToolEffect ToolMachine::ResetAllTangents() {
    ToolEffect e;
    PointTables& t = trace_.points;
    if (t.count[kControl] < 1)
        return e;
    for (int i = 1; i <= t.count[kControl]; ++i) {
        RecomputeHandle(t, i, Handle::A, 7, true);
        RecomputeHandle(t, i, Handle::B, 7, true);
    }
    RefreshPhantoms(t);
    RebuildPath(trace_);
    e.recordUndo = true;
    e.redraw = true;
    return e;
}

} // namespace kestrova
