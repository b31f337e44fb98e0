#pragma once
// The world's solid brushes, the convex volumes the game collides with: model 0's brushes whose
// shader carries the solid content flag. Movers (the other models) are left out, since a door
// may be open when the camera passes.

#include "core/map/map_geometry.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

namespace kestrova {

inline constexpr int32_t kContentsSolid = 1;

// More planes than any real map's brushes hold (the largest OpenArena maps have a few hundred
// thousand); brushes sharing one range of sides would otherwise let a small file ask for any
// number.
inline constexpr int64_t kMaxBrushPlanes = 2'000'000;
// Twice what the map compiler allows: every point may meet every brush, so their number bounds
// the time of a check too.
inline constexpr int64_t kMaxSolidBrushes = 65536;

// A point p is behind the plane when normal . p < dist; the normal has length 1.
struct BrushPlane {
    MapVec3 normal{0, 0, 0};
    float dist = 0;
};

struct SolidBrush {
    uint32_t firstPlane = 0; // into SolidBrushes::planes
    uint32_t planeCount = 0;
    MapVec3 min{0, 0, 0}; // a box that holds the brush (its axial planes, else the world)
    MapVec3 max{0, 0, 0};
};

struct SolidBrushes {
    std::vector<BrushPlane> planes;
    std::vector<SolidBrush> brushes;
    // Solid brushes with no sides, or a plane that is not a number or has no normal.
    int32_t skippedBrushes = 0;
};

// Reads the solid brushes of a map already accepted by ReadBsp. Returns an empty string on
// success, else what is wrong; `out` is empty then.
QString ReadSolidBrushes(QByteArrayView data, SolidBrushes& out);

} // namespace kestrova
