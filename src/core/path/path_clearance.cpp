#include "core/path/path_clearance.h"

#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <algorithm>

namespace kestrova {

std::vector<MapVec3> PathPositions(const std::vector<PointRecord>& path, int32_t upper,
                                   const std::array<float, 3>& mapOffset) {
    std::vector<MapVec3> out;
    const int32_t n = std::min<int32_t>(upper + 1, int32_t(path.size()));
    out.reserve(size_t(std::max(n, 0)));
    for (int32_t i = 0; i < n; ++i) {
        const PointRecord& p = path[size_t(i)];
        out.push_back({p.x - mapOffset[0], p.y - mapOffset[1], p.z - mapOffset[2]});
    }
    return out;
}

bool BuildScriptPath(Trace& trace, UniformRandom& rng, std::vector<PointRecord>& path,
                     int32_t& upper) {
    upper = -1;
    path.clear();
    if (trace.ControlCount() < 2)
        return false;
    int32_t setting = trace.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, trace.ControlCount());
    int32_t count = -1;
    BuildPath(trace.points, setting, path, false, count, upper, rng);
    return upper >= 0;
}

const ClearanceReport&
PathClearanceCache::Update(const ClearanceIndex* index, const std::vector<PointRecord>& path,
                           int32_t upper, const std::array<float, 3>& mapOffset, float distance) {
    std::vector<MapVec3> positions = PathPositions(path, index ? upper : -1, mapOffset);
    if (valid_ && index == index_ && distance == distance_ && positions == positions_)
        return report_;
    valid_ = true;
    index_ = index;
    distance_ = distance;
    positions_ = std::move(positions);
    report_ = index ? SummariseClearance(index->Classify(positions_, distance)) : ClearanceReport{};
    ++computed_;
    return report_;
}

} // namespace kestrova
