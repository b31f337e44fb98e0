#include "core/map/snap_index.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// Cells a little larger than the usual snap radius: a query reads at most four cells.
constexpr float kCellSize = 32.0f;
constexpr int32_t kCellLimit = 1 << 29;
// Beyond this many cells per query a plain scan is faster than the cell walk.
constexpr int64_t kMaxCellsPerQuery = 4096;

struct PlanAxes {
    int32_t a, b, depth;
    bool viewerAtHigh; // the viewer sits on the high side of the depth axis
};

PlanAxes AxesOf(MapPlane plane) {
    switch (plane) {
    case MapPlane::XZ:
        return {0, 2, 1, false};
    case MapPlane::YZ:
        return {1, 2, 0, true};
    case MapPlane::XY:
    default:
        return {0, 1, 2, true};
    }
}

} // namespace

int32_t SnapIndex::CellOf(float v) {
    const float c = std::floor(v / kCellSize);
    return static_cast<int32_t>(std::clamp(c, float(-kCellLimit), float(kCellLimit)));
}

SnapIndex::SnapIndex(const std::vector<MapVec3>& vertices, MapPlane plane) {
    const PlanAxes axes = AxesOf(plane);
    axisA_ = axes.a;
    axisB_ = axes.b;
    axisDepth_ = axes.depth;
    points_.reserve(vertices.size());
    for (const MapVec3& v : vertices) {
        const float a = v[axes.a];
        const float b = v[axes.b];
        points_.push_back({CellOf(a), CellOf(b), a, b, v[axes.depth]});
    }
    // Same place: the vertex nearest the viewer first, then drop the others.
    std::sort(points_.begin(), points_.end(), [&](const Entry& l, const Entry& r) {
        if (l.column != r.column)
            return l.column < r.column;
        if (l.row != r.row)
            return l.row < r.row;
        if (l.a != r.a)
            return l.a < r.a;
        if (l.b != r.b)
            return l.b < r.b;
        return axes.viewerAtHigh ? l.depth > r.depth : l.depth < r.depth;
    });
    points_.erase(std::unique(points_.begin(), points_.end(),
                              [](const Entry& l, const Entry& r) {
                                  return l.column == r.column && l.row == r.row && l.a == r.a &&
                                         l.b == r.b;
                              }),
                  points_.end());
    points_.shrink_to_fit();
}

bool SnapIndex::Nearest(float a, float b, float radius, MapVec3& found) const {
    if (points_.empty() || !(radius >= 0) || !std::isfinite(a) || !std::isfinite(b))
        return false;
    const float limit = radius * radius;
    float best = limit;
    const Entry* bestEntry = nullptr;
    auto consider = [&](const Entry& e) {
        const float da = e.a - a;
        const float db = e.b - b;
        const float dist = da * da + db * db;
        // Ties go to the first in index order, so a query always gives the same answer.
        if (dist < best || (dist == best && !bestEntry)) {
            best = dist;
            bestEntry = &e;
        }
    };
    const int32_t c0 = CellOf(a - radius);
    const int32_t c1 = CellOf(a + radius);
    const int32_t r0 = CellOf(b - radius);
    const int32_t r1 = CellOf(b + radius);
    if (int64_t(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerQuery) {
        for (const Entry& e : points_)
            consider(e);
    } else {
        // Rows of one column are contiguous in key order: one search per column.
        for (int32_t c = c0; c <= c1; ++c) {
            auto it = std::lower_bound(
                points_.begin(), points_.end(), r0,
                [c](const Entry& e, int32_t row) { return CellBefore(e, c, row); });
            for (; it != points_.end() && it->column == c && it->row <= r1; ++it)
                consider(*it);
        }
    }
    if (!bestEntry)
        return false;
    found[axisA_] = bestEntry->a;
    found[axisB_] = bestEntry->b;
    found[axisDepth_] = bestEntry->depth;
    return true;
}

MapSnapper::MapSnapper(const std::vector<MapVec3>& vertices)
    : planes_{SnapIndex(vertices, MapPlane::XY), SnapIndex(vertices, MapPlane::XZ),
              SnapIndex(vertices, MapPlane::YZ)} {}

bool MapSnapper::Snap(float& x, float& y, float& z, MapPlane plane, float radius) const {
    const int32_t p = static_cast<int32_t>(plane);
    if (p < 0 || p > 2)
        return false;
    const PlanAxes axes = AxesOf(plane);
    const float in[3] = {x, y, z};
    MapVec3 found;
    if (!planes_[p].Nearest(in[axes.a], in[axes.b], radius, found))
        return false;
    x = found[0];
    y = found[1];
    z = found[2];
    return true;
}

} // namespace kestrova
