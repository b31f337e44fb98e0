#include "core/map/solid_brushes.h"

#include "core/map/bsp_lumps.h"
#include "core/map/bsp_reader.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrova {

namespace {

using namespace bsp;

constexpr qsizetype kPlaneSize = 16;
constexpr qsizetype kBrushSize = 12;
constexpr qsizetype kBrushSideSize = 8; // the same in version 46 and 47
// The game's own bound on coordinates; a brush open on one side reaches this far.
constexpr float kBrushWorldLimit = 65536;

struct Lumps {
    const char* data[kLumpCount]{};
    qsizetype count[kLumpCount]{};
};

QString LumpRecords(QByteArrayView file, int32_t lump, qsizetype size, Lumps& l) {
    LumpView view;
    if (QString e = LocateLump(file, lump, view); !e.isEmpty())
        return e;
    if (QString e = CountRecords(lump, view, size, l.count[lump]); !e.isEmpty())
        return e;
    l.data[lump] = view.data;
    return {};
}

// The box the axial planes give; the world's bound where a side is open.
void BoxOf(const std::vector<BrushPlane>& planes, SolidBrush& b) {
    b.min = {-kBrushWorldLimit, -kBrushWorldLimit, -kBrushWorldLimit};
    b.max = {kBrushWorldLimit, kBrushWorldLimit, kBrushWorldLimit};
    for (uint32_t i = b.firstPlane; i < b.firstPlane + b.planeCount; ++i) {
        const BrushPlane& p = planes[i];
        for (int32_t axis = 0; axis < 3; ++axis) {
            const int32_t u = (axis + 1) % 3, v = (axis + 2) % 3;
            if (p.normal[u] != 0 || p.normal[v] != 0)
                continue;
            if (p.normal[axis] == 1)
                b.max[axis] = std::min(b.max[axis], p.dist);
            else if (p.normal[axis] == -1)
                b.min[axis] = std::max(b.min[axis], -p.dist);
        }
    }
}

// The plane with a normal of length 1, so that heights are distances; false when it has no
// direction (every point would be behind it) or is not a number.
bool UnitPlane(const char* p, BrushPlane& out) {
    const double n[3] = {ReadFloat(p), ReadFloat(p + 4), ReadFloat(p + 8)};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0) || !std::isfinite(length))
        return false;
    out = {{float(n[0] / length), float(n[1] / length), float(n[2] / length)},
           float(ReadFloat(p + 12) / length)};
    return std::isfinite(out.dist);
}

} // namespace

QString ReadSolidBrushes(QByteArrayView data, SolidBrushes& out) {
    out = SolidBrushes{};
    if (data.size() < kBspHeaderSize)
        return QStringLiteral("the file is too short for a map header");
    Lumps l;
    const std::pair<int32_t, qsizetype> lumps[] = {{kShaders, kShaderSize},
                                                   {kPlanes, kPlaneSize},
                                                   {kModels, kModelSize},
                                                   {kBrushes, kBrushSize},
                                                   {kBrushSides, kBrushSideSize}};
    for (const auto& [lump, size] : lumps) {
        if (QString e = LumpRecords(data, lump, size, l); !e.isEmpty())
            return e;
    }
    if (l.count[kModels] == 0)
        return QStringLiteral("the map has no world model");
    const int32_t firstBrush = ReadInt(l.data[kModels] + 32);
    const int32_t numBrushes = ReadInt(l.data[kModels] + 36);
    if (firstBrush < 0 || numBrushes < 0 || int64_t(firstBrush) + numBrushes > l.count[kBrushes])
        return QStringLiteral("the world model uses brushes %1 to %2, but the map has %3")
            .arg(firstBrush)
            .arg(int64_t(firstBrush) + numBrushes - 1)
            .arg(l.count[kBrushes]);

    // Counted before anything is copied: a refused file costs no memory.
    int64_t planeTotal = 0;
    int64_t solidTotal = 0;
    for (int32_t i = firstBrush; i < firstBrush + numBrushes; ++i) {
        const char* brush = l.data[kBrushes] + qsizetype(i) * kBrushSize;
        const int32_t firstSide = ReadInt(brush);
        const int32_t numSides = ReadInt(brush + 4);
        const int32_t shader = ReadInt(brush + 8);
        if (shader < 0 || shader >= l.count[kShaders])
            return QStringLiteral("brush %1 uses shader %2, but the map has %3")
                .arg(i)
                .arg(shader)
                .arg(l.count[kShaders]);
        if (firstSide < 0 || numSides < 0 || int64_t(firstSide) + numSides > l.count[kBrushSides])
            return QStringLiteral("brush %1 uses sides %2 to %3, but the map has %4")
                .arg(i)
                .arg(firstSide)
                .arg(int64_t(firstSide) + numSides - 1)
                .arg(l.count[kBrushSides]);
        if (ReadInt(l.data[kShaders] + qsizetype(shader) * kShaderSize + 68) & kContentsSolid) {
            planeTotal += numSides;
            ++solidTotal;
        }
        if (solidTotal > kMaxSolidBrushes)
            return QStringLiteral("the world has more than %1 solid brushes, far more than any "
                                  "real map holds")
                .arg(kMaxSolidBrushes);
        if (planeTotal > kMaxBrushPlanes)
            return QStringLiteral("the solid brushes have more than %1 sides, far more than any "
                                  "real map holds")
                .arg(kMaxBrushPlanes);
    }

    SolidBrushes result;
    result.planes.reserve(size_t(planeTotal));
    for (int32_t i = firstBrush; i < firstBrush + numBrushes; ++i) {
        const char* brush = l.data[kBrushes] + qsizetype(i) * kBrushSize;
        const int32_t firstSide = ReadInt(brush);
        const int32_t numSides = ReadInt(brush + 4);
        const int32_t shader = ReadInt(brush + 8);
        if (!(ReadInt(l.data[kShaders] + qsizetype(shader) * kShaderSize + 68) & kContentsSolid))
            continue;
        SolidBrush b;
        b.firstPlane = uint32_t(result.planes.size());
        bool usable = numSides > 0; // no sides would hold the whole world
        for (int32_t s = 0; s < numSides && usable; ++s) {
            const int32_t plane = ReadInt(l.data[kBrushSides] + qsizetype(firstSide + s) * 8);
            if (plane < 0 || plane >= l.count[kPlanes])
                return QStringLiteral("brush %1 uses plane %2, but the map has %3")
                    .arg(i)
                    .arg(plane)
                    .arg(l.count[kPlanes]);
            const char* p = l.data[kPlanes] + qsizetype(plane) * kPlaneSize;
            BrushPlane bp;
            usable = UnitPlane(p, bp);
            result.planes.push_back(bp);
        }
        if (usable) {
            b.planeCount = uint32_t(result.planes.size()) - b.firstPlane;
            BoxOf(result.planes, b);
            usable = b.min[0] <= b.max[0] && b.min[1] <= b.max[1] && b.min[2] <= b.max[2];
        }
        if (!usable) {
            result.planes.resize(b.firstPlane);
            ++result.skippedBrushes;
            continue;
        }
        result.brushes.push_back(b);
    }
    out = std::move(result);
    return {};
}

} // namespace kestrova
