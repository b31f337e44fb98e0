#pragma once
// Writes small id Tech 3 maps for tests: shaders, draw vertices, indices, surfaces, models and
// the solid brushes with their planes.

#include "core/map/map_geometry.h"
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

class BspBuilder {
public:
    struct Vertex {
        MapVec3 position;
        MapVec3 normal;
    };
    struct Surface {
        int32_t shader = 0;
        int32_t type = 1;
        int32_t firstVert = 0, numVerts = 0, firstIndex = 0, numIndexes = 0;
        int32_t patchWidth = 0, patchHeight = 0;
    };
    struct Model {
        int32_t firstSurface = 0, numSurfaces = 0;
    };

    int32_t version = 46;
    QByteArray entities = "{\n\"classname\" \"worldspawn\"\n}\n";
    std::vector<BspShader> shaders;
    std::vector<Vertex> vertices;
    std::vector<int32_t> indices;
    std::vector<Surface> surfaces;
    std::vector<Model> models; // empty: one world model over every surface
    std::vector<TestBrush> brushes;
    std::vector<int32_t> brushesPerModel; // how many of the brushes, in order, each model owns

    int32_t AddShader(const char* name, int32_t surfaceFlags = 0, int32_t contentFlags = 1) {
        shaders.push_back({QByteArray(name), surfaceFlags, contentFlags});
        return int32_t(shaders.size()) - 1;
    }
    // A planar quad a-b-c-d (in order around it) seen from the side `normal` points to.
    void AddQuad(int32_t shader, MapVec3 a, MapVec3 b, MapVec3 c, MapVec3 d, MapVec3 normal) {
        surfaces.push_back({shader, 1, int32_t(vertices.size()), 4, int32_t(indices.size()), 6});
        for (const MapVec3& p : {a, b, c, d})
            vertices.push_back({p, normal});
        indices.insert(indices.end(), {0, 1, 2, 0, 2, 3});
    }
    void AddPatch(int32_t shader, int32_t width, int32_t height,
                  const std::vector<Vertex>& controls) {
        surfaces.push_back(
            {shader, 2, int32_t(vertices.size()), int32_t(controls.size()), 0, 0, width, height});
        vertices.insert(vertices.end(), controls.begin(), controls.end());
    }

    QByteArray Build() const {
        std::vector<QByteArray> l(17);
        l[0] = entities + QByteArray(1, '\0');
        for (const BspShader& s : shaders) {
            const QByteArray name = s.name.left(63);
            l[1] += name + QByteArray(64 - name.size(), '\0');
            Put(l[1], {s.surfaceFlags, s.contentFlags});
        }
        std::vector<Model> ms = models;
        if (ms.empty())
            ms.push_back({0, int32_t(surfaces.size())});
        int32_t firstBrush = 0;
        for (size_t m = 0; m < ms.size(); ++m) {
            const int32_t n = m < brushesPerModel.size() ? brushesPerModel[m] : 0;
            PutFloats(l[7], {0, 0, 0, 0, 0, 0});
            Put(l[7], {ms[m].firstSurface, ms[m].numSurfaces, firstBrush, n});
            firstBrush += n;
        }
        int32_t side = 0;
        for (const TestBrush& b : brushes) {
            Put(l[8], {side, int32_t(b.planes.size()), b.shader});
            for (const BrushPlane& p : b.planes) {
                PutFloats(l[2], {p.normal[0], p.normal[1], p.normal[2], p.dist});
                Put(l[9], {side++, b.shader}); // one plane per side
            }
        }
        for (const Vertex& v : vertices) {
            PutFloats(l[10], {v.position[0], v.position[1], v.position[2], 0, 0, 0, 0, v.normal[0],
                              v.normal[1], v.normal[2]});
            Put(l[10], {-1}); // colour
        }
        for (int32_t i : indices)
            Put(l[11], {i});
        for (const Surface& s : surfaces) {
            Put(l[13], {s.shader, -1, s.type, s.firstVert, s.numVerts, s.firstIndex, s.numIndexes,
                        0, 0, 0, 0, 0});
            PutFloats(l[13], std::vector<float>(12, 0.0f));
            Put(l[13], {s.patchWidth, s.patchHeight});
        }
        QByteArray out("IBSP");
        Put(out, {version});
        int32_t offset = 8 + 17 * 8;
        for (const QByteArray& lump : l) {
            Put(out, {offset, int32_t(lump.size())});
            offset += int32_t((lump.size() + 3) & ~qsizetype(3));
        }
        for (const QByteArray& lump : l)
            out += lump + QByteArray((4 - lump.size() % 4) % 4, '\0');
        return out;
    }

    // Header access for damaging a built map.
    static int32_t LumpOffset(const QByteArray& bsp, int32_t lump) {
        return qFromLittleEndian<qint32>(bsp.constData() + 8 + lump * 8);
    }
    static void SetInt(QByteArray& bsp, qsizetype at, int32_t value) {
        qToLittleEndian<qint32>(value, bsp.data() + at);
    }

private:
    static void Put(QByteArray& b, std::initializer_list<int32_t> values) {
        for (int32_t v : values) {
            char raw[4];
            qToLittleEndian<qint32>(v, raw);
            b.append(raw, 4);
        }
    }
    static void PutFloats(QByteArray& b, const std::vector<float>& values) {
        for (float f : values) {
            int32_t v;
            std::memcpy(&v, &f, 4);
            Put(b, {v});
        }
    }
};

// A closed room 256 x 256 x 128 from (0, 0, 0), plus a curved patch on the floor, a clip brush
// face, a sky face, a flare and a door model that are not drawn.
inline BspBuilder RoomWithPatch() {
    BspBuilder b;
    const int32_t wall = b.AddShader("textures/base_wall/concrete");
    const int32_t clip = b.AddShader("textures/common/clip", 0, 0x10000);
    const int32_t sky = b.AddShader("textures/skies/blue", 0x4);
    const int32_t flare = b.AddShader("flareShader");
    const float s = 256, h = 128;
    b.AddQuad(wall, {0, 0, 0}, {s, 0, 0}, {s, s, 0}, {0, s, 0}, {0, 0, 1});  // floor
    b.AddQuad(wall, {0, 0, h}, {0, s, h}, {s, s, h}, {s, 0, h}, {0, 0, -1}); // ceiling
    b.AddQuad(wall, {0, 0, 0}, {0, s, 0}, {0, s, h}, {0, 0, h}, {1, 0, 0});  // west wall
    b.AddQuad(wall, {s, 0, 0}, {s, 0, h}, {s, s, h}, {s, s, 0}, {-1, 0, 0}); // east wall
    b.AddQuad(wall, {0, 0, 0}, {0, 0, h}, {s, 0, h}, {s, 0, 0}, {0, 1, 0});  // south wall
    b.AddQuad(wall, {0, s, 0}, {s, s, 0}, {s, s, h}, {0, s, h}, {0, -1, 0}); // north wall
    // A 3 x 3 patch: a bump 64 units wide rising to 32 in the middle of the floor.
    std::vector<BspBuilder::Vertex> controls;
    for (int32_t j = 0; j < 3; ++j) {
        for (int32_t i = 0; i < 3; ++i)
            controls.push_back(
                {{96.0f + 32 * i, 96.0f + 32 * j, i == 1 && j == 1 ? 128.0f : 0}, {0, 0, 1}});
    }
    b.AddPatch(wall, 3, 3, controls);
    b.AddQuad(clip, {10, 10, 10}, {20, 10, 10}, {20, 20, 10}, {10, 20, 10}, {0, 0, 1});
    b.AddQuad(sky, {0, 0, 500}, {0, s, 500}, {s, s, 500}, {s, 0, 500}, {0, 0, -1});
    b.surfaces.push_back({flare, 4, 0, 0, 0, 0});
    // The door: a brush model whose face lies outside the room.
    b.AddQuad(wall, {0, 0, -50}, {s, 0, -50}, {s, s, -50}, {0, s, -50}, {0, 0, 1});
    b.models = {{0, 10}, {10, 1}};
    return b;
}

// A box room: walls 16 thick around the open space (0..256, 0..256, 0..128), a wedge in one
// corner, a pool of water and a door (a mover, model 1) that must not count.
inline BspBuilder BoxRoom() {
    BspBuilder b;
    const int32_t wall = b.AddShader("textures/base_wall/concrete", 0, 1);
    const int32_t water = b.AddShader("textures/liquids/water", 0, 0x20);
    b.AddQuad(wall, {0, 0, 0}, {256, 0, 0}, {256, 256, 0}, {0, 256, 0}, {0, 0, 1});
    b.models = {{0, 1}, {1, 0}};
    auto box = [&](int32_t shader, MapVec3 lo, MapVec3 hi) {
        b.brushes.push_back({shader, BoxPlanes(lo, hi)});
    };
    box(wall, {-16, -16, -16}, {272, 272, 0});   // floor
    box(wall, {-16, -16, 128}, {272, 272, 144}); // ceiling
    box(wall, {-16, 0, 0}, {0, 256, 128});       // west
    box(wall, {256, 0, 0}, {272, 256, 128});     // east
    box(wall, {-16, -16, 0}, {272, 0, 128});     // south
    box(wall, {-16, 256, 0}, {272, 272, 128});   // north
    // A wedge rising from x = 200 to z = 42 at x = 256: -0.6 x + 0.8 z < -120 below its slope.
    box(wall, {200, 200, 0}, {256, 256, 56});
    b.brushes.back().planes.push_back({{-0.6f, 0, 0.8f}, -120});
    box(water, {100, 100, 0}, {150, 150, 40});
    box(wall, {180, 0, 0}, {200, 256, 128}); // the door
    b.brushesPerModel = {8, 1};
    return b;
}

} // namespace kestrova::test
