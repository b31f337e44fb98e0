#pragma once
// Adds planes, brushes and brush sides to a map made by BspBuilder, and gives each model its
// range of brushes.

#include "core/map/bsp_builder.h"
#include "core/map/solid_brushes.h"

#include <QByteArray>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace kestrova::test {

struct TestBrush {
    int32_t shader = 0;
    std::vector<BrushPlane> planes;
};

// The six axial planes of a box, in the order the map compiler writes them.
inline std::vector<BrushPlane> BoxPlanes(MapVec3 lo, MapVec3 hi) {
    return {{{-1, 0, 0}, -lo[0]}, {{1, 0, 0}, hi[0]},   {{0, -1, 0}, -lo[1]},
            {{0, 1, 0}, hi[1]},   {{0, 0, -1}, -lo[2]}, {{0, 0, 1}, hi[2]}};
}

// brushesPerModel[m]: how many of the brushes (in order) belong to model m.
inline QByteArray WithBrushes(const QByteArray& built, const std::vector<TestBrush>& brushes,
                              const std::vector<int32_t>& brushesPerModel) {
    auto readInt = [&](qsizetype at) { return qFromLittleEndian<qint32>(built.constData() + at); };
    auto put = [](QByteArray& b, int32_t v) {
        char raw[4];
        qToLittleEndian<qint32>(v, raw);
        b.append(raw, 4);
    };
    auto putFloat = [&](QByteArray& b, float f) {
        int32_t v;
        std::memcpy(&v, &f, 4);
        put(b, v);
    };
    std::vector<QByteArray> lumps(17);
    for (int32_t i = 0; i < 17; ++i)
        lumps[size_t(i)] = built.mid(readInt(8 + i * 8), readInt(12 + i * 8));
    lumps[2].clear();
    lumps[8].clear();
    lumps[9].clear();
    int32_t side = 0;
    for (const TestBrush& b : brushes) {
        put(lumps[8], side);
        put(lumps[8], int32_t(b.planes.size()));
        put(lumps[8], b.shader);
        for (const BrushPlane& p : b.planes) {
            for (float f : p.normal)
                putFloat(lumps[2], f);
            putFloat(lumps[2], p.dist);
            put(lumps[9], side++); // one plane per side
            put(lumps[9], b.shader);
        }
    }
    int32_t first = 0;
    for (size_t m = 0; m < brushesPerModel.size() && qsizetype(m) * 40 < lumps[7].size(); ++m) {
        BspBuilder::SetInt(lumps[7], qsizetype(m) * 40 + 32, first);
        BspBuilder::SetInt(lumps[7], qsizetype(m) * 40 + 36, brushesPerModel[m]);
        first += brushesPerModel[m];
    }
    QByteArray out = built.left(8);
    int32_t offset = 8 + 17 * 8;
    for (const QByteArray& l : lumps) {
        put(out, offset);
        put(out, int32_t(l.size()));
        offset += int32_t((l.size() + 3) & ~qsizetype(3));
    }
    for (const QByteArray& l : lumps) {
        out += l;
        out.append(QByteArray((4 - l.size() % 4) % 4, '\0'));
    }
    return out;
}

// A box room: walls 16 thick around the open space (0..256, 0..256, 0..128), a wedge in one
// corner, a pool of water and a door (a mover) that must not count.
struct Room {
    BspBuilder builder;
    std::vector<TestBrush> brushes;
    std::vector<int32_t> perModel;

    QByteArray Build() const { return WithBrushes(builder.Build(), brushes, perModel); }
};

inline Room BoxRoom() {
    Room r;
    BspBuilder& b = r.builder;
    const int32_t wall = b.AddShader("textures/base_wall/concrete", 0, 1);
    const int32_t water = b.AddShader("textures/liquids/water", 0, 0x20);
    b.AddQuad(wall, {0, 0, 0}, {256, 0, 0}, {256, 256, 0}, {0, 256, 0}, {0, 0, 1});
    b.models = {{0, 1}, {1, 0}};
    auto box = [&](int32_t shader, MapVec3 lo, MapVec3 hi) {
        r.brushes.push_back({shader, BoxPlanes(lo, hi)});
    };
    box(wall, {-16, -16, -16}, {272, 272, 0});   // floor
    box(wall, {-16, -16, 128}, {272, 272, 144}); // ceiling
    box(wall, {-16, 0, 0}, {0, 256, 128});       // west
    box(wall, {256, 0, 0}, {272, 256, 128});     // east
    box(wall, {-16, -16, 0}, {272, 0, 128});     // south
    box(wall, {-16, 256, 0}, {272, 272, 128});   // north
    // A wedge rising from x = 200 to z = 42 at x = 256: -0.6 x + 0.8 z < -120 below its slope.
    TestBrush wedge{wall, BoxPlanes({200, 200, 0}, {256, 256, 56})};
    wedge.planes.push_back({{-0.6f, 0, 0.8f}, -120});
    r.brushes.push_back(wedge);
    box(water, {100, 100, 0}, {150, 150, 40});
    // The door, a mover: model 1.
    box(wall, {180, 0, 0}, {200, 256, 128});
    r.perModel = {8, 1};
    return r;
}

} // namespace kestrova::test
