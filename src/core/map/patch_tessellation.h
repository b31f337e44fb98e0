#pragma once
// Bézier patches of id Tech 3 maps: a grid of biquadratic pieces turned into triangles.

#include "core/map/map_geometry.h"

#include <cstdint>
#include <vector>

namespace kestrova {

struct PatchControlPoint {
    MapVec3 position;
    MapVec3 normal;
};

struct TessellatedPatch {
    int32_t columns = 0; // vertices per row of the output grid
    int32_t rows = 0;
    std::vector<MapVec3> positions; // rows x columns, row-major
    std::vector<MapVec3> normals;
};

// Largest number of segments one biquadratic piece is cut into along one direction.
inline constexpr int32_t kMaxPatchSegments = 16;

// How many output vertices a width x height patch gives at least (every piece left whole); used
// to refuse absurd patches before their control points are even looked at.
int64_t MinPatchVertices(int32_t width, int32_t height);

// The output grid TessellatePatch makes, without making it.
struct PatchGridSize {
    int32_t columns = 0;
    int32_t rows = 0;
};
PatchGridSize MeasurePatch(const std::vector<PatchControlPoint>& controls, int32_t width,
                           int32_t height, float tolerance = 2.0f);

// Tessellates a patch of width x height control points (both odd, at least 3). Each piece is cut
// so that the curve stays within `tolerance` map units of its segments; neighbouring pieces in
// the same column or row share their cuts so that no cracks open.
TessellatedPatch TessellatePatch(const std::vector<PatchControlPoint>& controls, int32_t width,
                                 int32_t height, float tolerance = 2.0f);

} // namespace kestrova
