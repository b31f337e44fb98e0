#pragma once
// Nearest map vertex to a point of a plan view, through a grid of cells sorted by key.

#include "core/map/map_geometry.h"

#include <cstdint>
#include <vector>

namespace kestrova {

// The plans: 0 X-Y (seen from above), 1 X-Z (seen from negative Y), 2 Y-Z (seen from positive X).
enum class MapPlane : int32_t { XY = 0, XZ = 1, YZ = 2 };

class SnapIndex {
public:
    SnapIndex() = default;
    // Keeps, for every place of the plan, the vertex nearest the plan's viewer.
    SnapIndex(const std::vector<MapVec3>& vertices, MapPlane plane);

    // The vertex whose plan coordinates are nearest (a, b) within `radius`; false when none.
    bool Nearest(float a, float b, float radius, MapVec3& found) const;

    size_t size() const { return points_.size(); }

private:
    // 20 bytes: a map may bring a million vertices, and each plan keeps its own entries.
    struct Entry {
        int32_t column, row; // cell; entries are sorted by column, then row
        float a, b;          // plan coordinates
        float depth;         // the third coordinate
    };

    static int32_t CellOf(float v);
    static bool CellBefore(const Entry& e, int32_t column, int32_t row) {
        return e.column < column || (e.column == column && e.row < row);
    }

    int32_t axisA_ = 0, axisB_ = 1, axisDepth_ = 2;
    std::vector<Entry> points_;
};

// Snapping in the three plans of one map.
class MapSnapper {
public:
    MapSnapper() = default;
    explicit MapSnapper(const std::vector<MapVec3>& vertices);

    // Moves (x, y, z) onto the nearest vertex of the plan within radius; false leaves them.
    bool Snap(float& x, float& y, float& z, MapPlane plane, float radius) const;

private:
    SnapIndex planes_[3];
};

} // namespace kestrova
