#pragma once
// Wall clearance: which path points lie inside a solid brush of the world, or closer to one than
// a clearance distance. A camera there shows the void in the demo. Inside: strictly behind every
// plane of a brush. Near: strictly behind every plane moved out by the distance (as the game's
// collision grows brushes for a box), and not inside.

#include "core/map/solid_brushes.h"

#include <cstdint>
#include <vector>

namespace kestrova {

inline constexpr float kDefaultClearance = 8;
// Larger distances are taken as this: a query box larger than a room says nothing useful and
// would visit the whole grid for every point.
inline constexpr float kMaxClearance = 1024;

enum class Clearance : uint8_t { Clear = 0, Near = 1, Inside = 2 };

// The brushes sorted into a uniform grid of boxes, so that a point is tested only against the
// brushes whose box reaches its cell.
class ClearanceIndex {
public:
    ClearanceIndex() = default;
    explicit ClearanceIndex(SolidBrushes brushes);

    bool Empty() const { return brushes_.brushes.empty(); }
    size_t BrushCount() const { return brushes_.brushes.size(); }

    // One verdict per point; the distance is clamped to 0..kMaxClearance.
    std::vector<Clearance> Classify(const std::vector<MapVec3>& points, float distance) const;

private:
    // Cells overlapped by [lo, hi] on each axis, clamped to the grid.
    bool CellRange(const MapVec3& lo, const MapVec3& hi, int32_t from[3], int32_t to[3]) const;
    Clearance Test(const SolidBrush& b, const MapVec3& p, float distance) const;

    SolidBrushes brushes_;
    MapVec3 origin_{0, 0, 0};
    float cellSize_ = 1;
    int32_t dims_[3] = {0, 0, 0};
    std::vector<uint32_t> cellStart_; // per cell, into cellBrushes_; one more at the end
    std::vector<uint32_t> cellBrushes_;
};

// A run of consecutive path points that are near or inside.
struct ClearanceStretch {
    int32_t first = 0; // path indices, both included
    int32_t last = 0;
    bool inside = false; // at least one point is inside a brush
};

struct ClearanceReport {
    std::vector<int32_t> inside; // path indices, ascending
    std::vector<int32_t> near;
    std::vector<ClearanceStretch> stretches;
};

ClearanceReport SummariseClearance(const std::vector<Clearance>& verdicts);

} // namespace kestrova
