#include "core/path/tangents.h"

#include <algorithm>

namespace kestrova {
namespace {

// Plans that show each axis: x in X-Y and X-Z, y in X-Y and Y-Z, z in X-Z and Y-Z.
constexpr int32_t kAxisViews[3] = {kViewXY | kViewXZ, kViewXY | kViewYZ, kViewXZ | kViewYZ};

} // namespace

void RefreshPhantoms(PointTables& t) {
    const int n = t.count[kControl];
    if (n < 1)
        return;
    auto& c = t.rec[kControl];
    c[0] = c[1];
    c[n + 1] = c[n];
}

void RecomputeHandle(PointTables& t, int i, Handle handle, int32_t viewMask, bool force) {
    const int n = t.count[kControl];
    if (i < 1 || i > n)
        return;
    auto& c = t.rec[kControl];
    // tanA spans the neighbours of i, tanB those of i+1; past the end the phantom stands in.
    const int lo = handle == Handle::A ? i - 1 : i;
    const int hi = std::min(handle == Handle::A ? i + 1 : i + 2, n + 1);
    TangentHandle& h = handle == Handle::A ? c[i].tanA : c[i].tanB;
    constexpr float kScale = 1.1f;
    for (int axis = 0; axis < 3; ++axis) {
        if (!(viewMask & kAxisViews[axis]))
            continue;
        if (!force && (h.fixedAxes & kAxisViews[axis]))
            continue;
        const double delta = static_cast<double>(Axis(c[hi], axis)) - Axis(c[lo], axis);
        Axis(h, axis) = static_cast<float>(static_cast<double>(kScale) * delta / 4.0);
    }
    if (force)
        h.fixedAxes &= ~viewMask;
}

void UpdateTangentsAround(PointTables& t, int i) {
    const int n = t.count[kControl];
    if (n < 1)
        return;
    RefreshPhantoms(t);
    // tanA(j) reads j-1..j+1 and tanB(j) reads j..j+2.
    for (int j = std::max(1, i - 2); j <= std::min(n, i + 1); ++j) {
        RecomputeHandle(t, j, Handle::A, 7, false);
        RecomputeHandle(t, j, Handle::B, 7, false);
    }
    RefreshPhantoms(t);
}

} // namespace kestrova
