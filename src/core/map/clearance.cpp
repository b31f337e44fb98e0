#include "core/map/clearance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace kestrova {

namespace {

// A box of points goes to its points one by one when it holds this few, or meets this few
// brushes: splitting further would cost more than it saves.
constexpr ptrdiff_t kLeafPoints = 4;
constexpr size_t kLeafBrushes = 4;
// The split at the median halves the points, so this is never reached with real paths.
constexpr int32_t kMaxDepth = 64;

// How far in front of the plane a point is. The box tests below evaluate this same expression
// at a corner: rounding is monotonic, so a corner's value bounds every point's of the box.
inline float Height(const BrushPlane& q, float x, float y, float z) {
    return q.normal[0] * x + q.normal[1] * y + q.normal[2] * z - q.dist;
}

struct Box {
    MapVec3 lo, hi;
};

enum class Reach : uint8_t { None, Some, Whole };

} // namespace

class ClearanceWalker {
public:
    using Cull = ClearanceIndex::Cull;
    ClearanceWalker(const ClearanceIndex& index, const std::vector<MapVec3>& points, float distance,
                    std::vector<Clearance>& out)
        : s_(index.brushes_), cull_(index.cull_), points_(points), distance_(distance), out_(out) {}

    void Run(std::vector<uint32_t>& order) {
        lists_.resize(s_.brushes.size());
        for (uint32_t i = 0; i < lists_.size(); ++i)
            lists_[i] = i;
        if (!order.empty())
            Visit(order.data(), order.data() + order.size(), 0, lists_.size(), 0);
    }

private:
    template <typename B> bool OutsideBox(const B& b, const MapVec3& lo, const MapVec3& hi) const {
        for (int32_t k = 0; k < 3; ++k)
            if (hi[k] < b.min[k] - distance_ || lo[k] > b.max[k] + distance_)
                return true;
        return false;
    }

    // None: no point of the box is near or inside the brush; Whole: every one is inside. The
    // box stands for the axial planes (a strict inequality against a bound is exact).
    Reach Meet(uint32_t brush, const Box& box) const {
        const Cull& c = cull_[brush];
        if (OutsideBox(c, box.lo, box.hi))
            return Reach::None;
        bool whole = true;
        for (int32_t k = 0; k < 3; ++k)
            whole = whole && box.lo[k] > c.min[k] && box.hi[k] < c.max[k];
        for (uint32_t i = 0; i < c.slanted; ++i) {
            const BrushPlane& q = i == 0 ? c.first : s_.planes[s_.brushes[brush].firstPlane + i];
            const MapVec3& nx = q.normal[0] < 0 ? box.hi : box.lo;
            const MapVec3& ny = q.normal[1] < 0 ? box.hi : box.lo;
            const MapVec3& nz = q.normal[2] < 0 ? box.hi : box.lo;
            if (!(Height(q, nx[0], ny[1], nz[2]) < distance_))
                return Reach::None;
            const MapVec3& fx = q.normal[0] < 0 ? box.lo : box.hi;
            const MapVec3& fy = q.normal[1] < 0 ? box.lo : box.hi;
            const MapVec3& fz = q.normal[2] < 0 ? box.lo : box.hi;
            whole = whole && Height(q, fx[0], fy[1], fz[2]) < 0;
        }
        return whole ? Reach::Whole : Reach::Some;
    }

    Clearance Test(const SolidBrush& b, const MapVec3& p) const {
        if (OutsideBox(b, p, p))
            return Clearance::Clear;
        bool inside = true;
        for (uint32_t i = b.firstPlane; i < b.firstPlane + b.planeCount; ++i) {
            const float d = Height(s_.planes[i], p[0], p[1], p[2]);
            if (!(d < distance_))
                return Clearance::Clear;
            if (!(d < 0))
                inside = false;
        }
        return inside ? Clearance::Inside : Clearance::Near;
    }

    Clearance TestPoint(const MapVec3& p, size_t from, size_t to) const {
        Clearance best = Clearance::Clear;
        for (size_t e = from; e < to && best != Clearance::Inside; ++e)
            best = std::max(best, Test(s_.brushes[lists_[e]], p));
        return best;
    }

    void Fill(const uint32_t* first, const uint32_t* last, Clearance v) {
        for (const uint32_t* i = first; i < last; ++i)
            out_[*i] = v;
    }

    // Points [first, last) meet at most the brushes lists_[from, to).
    void Visit(uint32_t* first, uint32_t* last, size_t from, size_t to, int32_t depth) {
        Box box{points_[*first], points_[*first]};
        for (const uint32_t* i = first + 1; i < last; ++i)
            for (int32_t k = 0; k < 3; ++k) {
                box.lo[k] = std::min(box.lo[k], points_[*i][k]);
                box.hi[k] = std::max(box.hi[k], points_[*i][k]);
            }
        const size_t mine = lists_.size();
        for (size_t e = from; e < to; ++e) {
            const uint32_t b = lists_[e];
            const Reach r = Meet(b, box);
            if (r == Reach::Whole) {
                Fill(first, last, Clearance::Inside);
                lists_.resize(mine);
                return;
            }
            if (r == Reach::Some)
                lists_.push_back(b);
        }
        const size_t end = lists_.size();
        const ptrdiff_t count = last - first;
        if (end == mine) {
            Fill(first, last, Clearance::Clear);
        } else if (box.lo == box.hi) {
            // The camera standing still: one answer for all.
            Fill(first, last, TestPoint(box.lo, mine, end));
        } else if (count <= kLeafPoints || end - mine <= kLeafBrushes || depth >= kMaxDepth) {
            for (const uint32_t* i = first; i < last; ++i)
                out_[*i] = TestPoint(points_[*i], mine, end);
        } else {
            int32_t axis = 0;
            for (int32_t k = 1; k < 3; ++k)
                if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis])
                    axis = k;
            uint32_t* mid = first + count / 2;
            std::nth_element(first, mid, last, [&](uint32_t a, uint32_t b) {
                return points_[a][axis] < points_[b][axis];
            });
            Visit(first, mid, mine, end, depth + 1);
            Visit(mid, last, mine, end, depth + 1);
        }
        lists_.resize(mine);
    }

    const SolidBrushes& s_;
    const std::vector<Cull>& cull_;
    const std::vector<MapVec3>& points_;
    const float distance_;
    std::vector<Clearance>& out_;
    std::vector<uint32_t> lists_; // the brush lists of the boxes being visited, one after another
};

namespace {

// As the reader takes a plane into a brush's box.
bool IsAxial(const BrushPlane& q) {
    int32_t zeros = 0, units = 0;
    for (float n : q.normal) {
        zeros += n == 0;
        units += n == 1 || n == -1;
    }
    return zeros == 2 && units == 1;
}

uint64_t HashPlanes(const BrushPlane* p, uint32_t count) {
    uint64_t h = 1469598103934665603ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(p);
    for (size_t i = 0; i < count * sizeof(BrushPlane); ++i)
        h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

} // namespace

ClearanceIndex::ClearanceIndex(SolidBrushes brushes) {
    // A brush given twice adds nothing but time: a small file may repeat one brush thousands of
    // times.
    static_assert(sizeof(BrushPlane) == 4 * sizeof(float));
    brushes_.skippedBrushes = brushes.skippedBrushes;
    brushes_.planes.reserve(brushes.planes.size());
    std::unordered_map<uint64_t, std::vector<uint32_t>> kept;
    std::vector<BrushPlane> planes;
    for (const SolidBrush& b : brushes.brushes) {
        // Slanted planes first: the box stands for the axial ones when boxes of points are
        // sorted out, so only these need a look there.
        planes.assign(brushes.planes.begin() + b.firstPlane,
                      brushes.planes.begin() + b.firstPlane + b.planeCount);
        const auto axial = std::stable_partition(planes.begin(), planes.end(),
                                                 [](const BrushPlane& q) { return !IsAxial(q); });
        std::vector<uint32_t>& same = kept[HashPlanes(planes.data(), b.planeCount)];
        const bool repeated = std::any_of(same.begin(), same.end(), [&](uint32_t k) {
            const SolidBrush& o = brushes_.brushes[k];
            return o.planeCount == b.planeCount &&
                   std::memcmp(brushes_.planes.data() + o.firstPlane, planes.data(),
                               b.planeCount * sizeof(BrushPlane)) == 0;
        });
        if (repeated)
            continue;
        same.push_back(uint32_t(brushes_.brushes.size()));
        SolidBrush c = b;
        c.firstPlane = uint32_t(brushes_.planes.size());
        const uint32_t slanted = uint32_t(axial - planes.begin());
        cull_.push_back({b.min, b.max, slanted ? planes.front() : BrushPlane{}, slanted});
        brushes_.planes.insert(brushes_.planes.end(), planes.begin(), planes.end());
        brushes_.brushes.push_back(c);
    }
}

std::vector<Clearance> ClearanceIndex::Classify(const std::vector<MapVec3>& points,
                                                float distance) const {
    std::vector<Clearance> verdicts(points.size(), Clearance::Clear);
    if (Empty())
        return verdicts;
    distance = distance > 0 ? std::min(distance, kMaxClearance) : 0;
    std::vector<uint32_t> order;
    order.reserve(points.size());
    for (uint32_t i = 0; i < points.size(); ++i)
        if (std::isfinite(points[i][0]) && std::isfinite(points[i][1]) &&
            std::isfinite(points[i][2]))
            order.push_back(i);
    ClearanceWalker(*this, points, distance, verdicts).Run(order);
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
