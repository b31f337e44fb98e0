#include "core/map/patch_tessellation.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

MapVec3 Combine3(const MapVec3& a, const MapVec3& b, const MapVec3& c, float wa, float wb,
                 float wc) {
    return {a[0] * wa + b[0] * wb + c[0] * wc, a[1] * wa + b[1] * wb + c[1] * wc,
            a[2] * wa + b[2] * wb + c[2] * wc};
}

// Distance of a quadratic curve's midpoint from its chord's midpoint: |p0 - 2 p1 + p2| / 4.
float Bulge(const MapVec3& p0, const MapVec3& p1, const MapVec3& p2) {
    const float dx = p0[0] - 2 * p1[0] + p2[0];
    const float dy = p0[1] - 2 * p1[1] + p2[1];
    const float dz = p0[2] - 2 * p1[2] + p2[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) / 4;
}

int32_t SegmentsFor(float bulge, float tolerance) {
    // The chord error of n segments of a quadratic is bulge / n^2.
    if (!(bulge > tolerance))
        return 1;
    const float n = std::ceil(std::sqrt(bulge / tolerance));
    return static_cast<int32_t>(std::clamp(n, 1.0f, static_cast<float>(kMaxPatchSegments)));
}

// Output grid coordinate -> (piece, parameter) along one direction.
struct Cut {
    int32_t piece;
    float t;
};

std::vector<Cut> Cuts(const std::vector<int32_t>& segments) {
    std::vector<Cut> cuts;
    for (size_t p = 0; p < segments.size(); ++p) {
        for (int32_t s = 0; s < segments[p]; ++s)
            cuts.push_back({static_cast<int32_t>(p), static_cast<float>(s) / segments[p]});
    }
    cuts.push_back({static_cast<int32_t>(segments.size()) - 1, 1.0f});
    return cuts;
}

// One segment count per column of pieces (the worst row decides) and per row of pieces.
void Segments(const std::vector<PatchControlPoint>& controls, int32_t width, int32_t height,
              float tolerance, std::vector<int32_t>& segU, std::vector<int32_t>& segV) {
    auto at = [&](int32_t i, int32_t j) -> const MapVec3& {
        return controls[static_cast<size_t>(j) * width + i].position;
    };
    segU.assign((width - 1) / 2, 1);
    segV.assign((height - 1) / 2, 1);
    for (int32_t pu = 0; pu < int32_t(segU.size()); ++pu) {
        for (int32_t j = 0; j < height; ++j) {
            const int32_t i = pu * 2;
            segU[pu] = std::max(
                segU[pu], SegmentsFor(Bulge(at(i, j), at(i + 1, j), at(i + 2, j)), tolerance));
        }
    }
    for (int32_t pv = 0; pv < int32_t(segV.size()); ++pv) {
        for (int32_t i = 0; i < width; ++i) {
            const int32_t j = pv * 2;
            segV[pv] = std::max(
                segV[pv], SegmentsFor(Bulge(at(i, j), at(i, j + 1), at(i, j + 2)), tolerance));
        }
    }
}

int32_t Sum(const std::vector<int32_t>& v) {
    int32_t total = 0;
    for (int32_t n : v)
        total += n;
    return total;
}

} // namespace

int64_t MinPatchVertices(int32_t width, int32_t height) {
    return int64_t((width - 1) / 2 + 1) * ((height - 1) / 2 + 1);
}

PatchGridSize MeasurePatch(const std::vector<PatchControlPoint>& controls, int32_t width,
                           int32_t height, float tolerance) {
    std::vector<int32_t> segU;
    std::vector<int32_t> segV;
    Segments(controls, width, height, tolerance, segU, segV);
    return {Sum(segU) + 1, Sum(segV) + 1};
}

TessellatedPatch TessellatePatch(const std::vector<PatchControlPoint>& controls, int32_t width,
                                 int32_t height, float tolerance) {
    TessellatedPatch out;
    auto at = [&](int32_t i, int32_t j) -> const PatchControlPoint& {
        return controls[static_cast<size_t>(j) * width + i];
    };
    std::vector<int32_t> segU;
    std::vector<int32_t> segV;
    Segments(controls, width, height, tolerance, segU, segV);
    const std::vector<Cut> cutsU = Cuts(segU);
    const std::vector<Cut> cutsV = Cuts(segV);
    out.columns = static_cast<int32_t>(cutsU.size());
    out.rows = static_cast<int32_t>(cutsV.size());
    out.positions.reserve(cutsU.size() * cutsV.size());
    out.normals.reserve(cutsU.size() * cutsV.size());

    for (const Cut& v : cutsV) {
        const float bv[3] = {(1 - v.t) * (1 - v.t), 2 * v.t * (1 - v.t), v.t * v.t};
        const int32_t j = v.piece * 2;
        for (const Cut& u : cutsU) {
            const float bu[3] = {(1 - u.t) * (1 - u.t), 2 * u.t * (1 - u.t), u.t * u.t};
            const int32_t i = u.piece * 2;
            MapVec3 rowP[3];
            MapVec3 rowN[3];
            for (int32_t r = 0; r < 3; ++r) {
                rowP[r] = Combine3(at(i, j + r).position, at(i + 1, j + r).position,
                                   at(i + 2, j + r).position, bu[0], bu[1], bu[2]);
                rowN[r] = Combine3(at(i, j + r).normal, at(i + 1, j + r).normal,
                                   at(i + 2, j + r).normal, bu[0], bu[1], bu[2]);
            }
            out.positions.push_back(Combine3(rowP[0], rowP[1], rowP[2], bv[0], bv[1], bv[2]));
            out.normals.push_back(Combine3(rowN[0], rowN[1], rowN[2], bv[0], bv[1], bv[2]));
        }
    }
    return out;
}

} // namespace kestrova
