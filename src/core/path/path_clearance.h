#pragma once
// Wall clearance along a trace's path: the path points taken into the map's space (the map is
// shown shifted by its origin offset), checked against its solid brushes.

#include "core/map/clearance.h"
#include "core/model/trace.h"
#include "core/path/random.h"

#include <array>
#include <vector>

namespace kestrova {

// Path points 0..upper as map positions: each minus the map's origin offset.
std::vector<MapVec3> PathPositions(const std::vector<PointRecord>& path, int32_t upper,
                                   const std::array<float, 3>& mapOffset);

// The path the camera scripts are written from (their point count and pitch sign); false with
// fewer than two control points.
bool BuildScriptPath(Trace& trace, UniformRandom& rng, std::vector<PointRecord>& path,
                     int32_t& upper);

// The last answer, kept while the path, the map and the distance stay the same, so that the
// views can ask at every redraw.
class PathClearanceCache {
public:
    const ClearanceReport& Update(const ClearanceIndex* index, const std::vector<PointRecord>& path,
                                  int32_t upper, const std::array<float, 3>& mapOffset,
                                  float distance);
    const ClearanceReport& Report() const { return report_; }
    // Another map (which may live where the last one did) or other brushes.
    void Invalidate() { valid_ = false; }
    int32_t Computed() const { return computed_; } // how often it checked (tests read it)

private:
    bool valid_ = false;
    const ClearanceIndex* index_ = nullptr;
    std::vector<MapVec3> positions_;
    float distance_ = -1;
    ClearanceReport report_;
    int32_t computed_ = 0;
};

} // namespace kestrova
