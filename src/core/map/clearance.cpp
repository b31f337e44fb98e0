#include "core/map/clearance.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// Enough cells to split a large map finely, few enough to stay a few megabytes.
constexpr int64_t kMaxCells = 1 << 20;
constexpr int64_t kMaxCellEntries = 8 << 20;
constexpr float kFirstCellSize = 128;

} // namespace

ClearanceIndex::ClearanceIndex(SolidBrushes brushes) : brushes_(std::move(brushes)) {
    if (brushes_.brushes.empty())
        return;
    MapVec3 lo = brushes_.brushes.front().min;
    MapVec3 hi = brushes_.brushes.front().max;
    for (const SolidBrush& b : brushes_.brushes) {
        for (int32_t k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], b.min[k]);
            hi[k] = std::max(hi[k], b.max[k]);
        }
    }
    origin_ = lo;
    // Coarser until both the cells and the entries fit: brushes spanning many cells (or a file
    // made to look so) only make the grid coarser, never larger.
    for (cellSize_ = kFirstCellSize;; cellSize_ *= 2) {
        int64_t cells = 1;
        for (int32_t k = 0; k < 3; ++k) {
            dims_[k] = std::max(1, int32_t(std::ceil((hi[k] - lo[k]) / cellSize_)));
            cells *= dims_[k];
        }
        if (cells > kMaxCells)
            continue;
        int64_t entries = 0;
        for (const SolidBrush& b : brushes_.brushes) {
            int32_t from[3], to[3];
            if (CellRange(b.min, b.max, from, to))
                entries +=
                    int64_t(to[0] - from[0] + 1) * (to[1] - from[1] + 1) * (to[2] - from[2] + 1);
        }
        if (entries <= kMaxCellEntries || cells == 1)
            break;
    }
    // Counting sort of the brushes into their cells.
    const size_t cells = size_t(dims_[0]) * dims_[1] * dims_[2];
    cellStart_.assign(cells + 1, 0);
    auto forEachCell = [this](const SolidBrush& b, auto&& f) {
        int32_t from[3], to[3];
        if (!CellRange(b.min, b.max, from, to))
            return;
        for (int32_t z = from[2]; z <= to[2]; ++z)
            for (int32_t y = from[1]; y <= to[1]; ++y)
                for (int32_t x = from[0]; x <= to[0]; ++x)
                    f((size_t(z) * dims_[1] + y) * dims_[0] + x);
    };
    for (const SolidBrush& b : brushes_.brushes)
        forEachCell(b, [this](size_t c) { ++cellStart_[c + 1]; });
    for (size_t c = 0; c < cells; ++c)
        cellStart_[c + 1] += cellStart_[c];
    cellBrushes_.resize(cellStart_[cells]);
    std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (uint32_t i = 0; i < brushes_.brushes.size(); ++i)
        forEachCell(brushes_.brushes[i], [&](size_t c) { cellBrushes_[fill[c]++] = i; });
}

bool ClearanceIndex::CellRange(const MapVec3& lo, const MapVec3& hi, int32_t from[3],
                               int32_t to[3]) const {
    for (int32_t k = 0; k < 3; ++k) {
        const float a = std::floor((lo[k] - origin_[k]) / cellSize_);
        const float b = std::floor((hi[k] - origin_[k]) / cellSize_);
        if (!(b >= 0) || !(a < float(dims_[k])))
            return false;
        from[k] = int32_t(std::max(a, 0.0f));
        to[k] = int32_t(std::min(b, float(dims_[k] - 1)));
    }
    return true;
}

Clearance ClearanceIndex::Test(const SolidBrush& b, const MapVec3& p, float distance) const {
    bool inside = true;
    for (uint32_t i = b.firstPlane; i < b.firstPlane + b.planeCount; ++i) {
        const BrushPlane& q = brushes_.planes[i];
        const float d = q.normal[0] * p[0] + q.normal[1] * p[1] + q.normal[2] * p[2] - q.dist;
        if (!(d < distance))
            return Clearance::Clear;
        if (!(d < 0))
            inside = false;
    }
    return inside ? Clearance::Inside : Clearance::Near;
}

std::vector<Clearance> ClearanceIndex::Classify(const std::vector<MapVec3>& points,
                                                float distance) const {
    std::vector<Clearance> verdicts(points.size(), Clearance::Clear);
    if (Empty())
        return verdicts;
    distance = distance > 0 ? std::min(distance, kMaxClearance) : 0;
    // A brush met in several cells is tested once per point.
    std::vector<uint32_t> seen(brushes_.brushes.size(), UINT32_MAX);
    for (size_t n = 0; n < points.size(); ++n) {
        const MapVec3& p = points[n];
        const MapVec3 lo{p[0] - distance, p[1] - distance, p[2] - distance};
        const MapVec3 hi{p[0] + distance, p[1] + distance, p[2] + distance};
        int32_t from[3], to[3];
        if (!CellRange(lo, hi, from, to))
            continue;
        Clearance best = Clearance::Clear;
        for (int32_t z = from[2]; z <= to[2] && best != Clearance::Inside; ++z)
            for (int32_t y = from[1]; y <= to[1] && best != Clearance::Inside; ++y)
                for (int32_t x = from[0]; x <= to[0] && best != Clearance::Inside; ++x) {
                    const size_t c = (size_t(z) * dims_[1] + y) * dims_[0] + x;
                    for (uint32_t e = cellStart_[c]; e < cellStart_[c + 1]; ++e) {
                        const uint32_t i = cellBrushes_[e];
                        if (seen[i] == uint32_t(n))
                            continue;
                        seen[i] = uint32_t(n);
                        const SolidBrush& b = brushes_.brushes[i];
                        if (p[0] < b.min[0] - distance || p[0] > b.max[0] + distance ||
                            p[1] < b.min[1] - distance || p[1] > b.max[1] + distance ||
                            p[2] < b.min[2] - distance || p[2] > b.max[2] + distance)
                            continue;
                        best = std::max(best, Test(b, p, distance));
                        if (best == Clearance::Inside)
                            break;
                    }
                }
        verdicts[n] = best;
    }
    return verdicts;
}

ClearanceReport SummariseClearance(const std::vector<Clearance>& verdicts) {
    ClearanceReport r;
    for (int32_t i = 0; i < int32_t(verdicts.size()); ++i) {
        const Clearance v = verdicts[size_t(i)];
        if (v == Clearance::Clear)
            continue;
        (v == Clearance::Inside ? r.inside : r.near).push_back(i);
        if (r.stretches.empty() || r.stretches.back().last != i - 1)
            r.stretches.push_back({i, i, false});
        r.stretches.back().last = i;
        r.stretches.back().inside |= v == Clearance::Inside;
    }
    return r;
}

} // namespace kestrova
