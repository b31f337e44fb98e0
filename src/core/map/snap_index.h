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
    struct Entry {
        uint64_t key; // cell column in the high half, cell row in the low half
        float a, b;   // plan coordinates
        MapVec3 position;
    };

    static int32_t CellOf(float v);
    static uint64_t Key(int32_t column, int32_t row);

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
