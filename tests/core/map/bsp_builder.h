#pragma once
// Writes small id Tech 3 maps for tests: shaders, draw vertices, indices, surfaces and models.

#include "core/map/map_geometry.h"

#include <QByteArray>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace kestrova::test {

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

    int32_t AddShader(const char* name, int32_t surfaceFlags = 0, int32_t contentFlags = 1) {
        shaders.push_back({QByteArray(name), surfaceFlags, contentFlags});
        return static_cast<int32_t>(shaders.size()) - 1;
    }

    // A planar quad a-b-c-d (in order around it) seen from the side `normal` points to.
    int32_t AddQuad(int32_t shader, MapVec3 a, MapVec3 b, MapVec3 c, MapVec3 d, MapVec3 normal,
                    int32_t type = 1) {
        Surface s{shader,
                  type,
                  static_cast<int32_t>(vertices.size()),
                  4,
                  static_cast<int32_t>(indices.size()),
                  6};
        for (const MapVec3& p : {a, b, c, d})
            vertices.push_back({p, normal});
        indices.insert(indices.end(), {0, 1, 2, 0, 2, 3});
        surfaces.push_back(s);
        return static_cast<int32_t>(surfaces.size()) - 1;
    }

    int32_t AddPatch(int32_t shader, int32_t width, int32_t height,
                     const std::vector<Vertex>& controls) {
        Surface s{shader,
                  2,
                  static_cast<int32_t>(vertices.size()),
                  static_cast<int32_t>(controls.size()),
                  0,
                  0,
                  width,
                  height};
        vertices.insert(vertices.end(), controls.begin(), controls.end());
        surfaces.push_back(s);
        return static_cast<int32_t>(surfaces.size()) - 1;
    }

    QByteArray Build() const {
        std::vector<QByteArray> lumps(17);
        lumps[0] = entities + QByteArray(1, '\0');
        for (const BspShader& s : shaders) {
            QByteArray name = s.name.left(63);
            name.append(QByteArray(64 - name.size(), '\0'));
            lumps[1] += name;
            PutInt(lumps[1], s.surfaceFlags);
            PutInt(lumps[1], s.contentFlags);
        }
        std::vector<Model> ms = models;
        if (ms.empty())
            ms.push_back({0, static_cast<int32_t>(surfaces.size())});
        for (const Model& m : ms) {
            for (int32_t k = 0; k < 6; ++k)
                PutFloat(lumps[7], 0);
            PutInt(lumps[7], m.firstSurface);
            PutInt(lumps[7], m.numSurfaces);
            PutInt(lumps[7], 0);
            PutInt(lumps[7], 0);
        }
        for (const Vertex& v : vertices) {
            for (float f : v.position)
                PutFloat(lumps[10], f);
            for (int32_t k = 0; k < 4; ++k)
                PutFloat(lumps[10], 0); // texture and lightmap coordinates
            for (float f : v.normal)
                PutFloat(lumps[10], f);
            PutInt(lumps[10], -1); // colour
        }
        for (int32_t i : indices)
            PutInt(lumps[11], i);
        for (const Surface& s : surfaces) {
            for (int32_t f : {s.shader, -1, s.type, s.firstVert, s.numVerts, s.firstIndex,
                              s.numIndexes, 0, 0, 0, 0, 0})
                PutInt(lumps[13], f);
            for (int32_t k = 0; k < 12; ++k)
                PutFloat(lumps[13], 0);
            PutInt(lumps[13], s.patchWidth);
            PutInt(lumps[13], s.patchHeight);
        }
        QByteArray out("IBSP");
        PutInt(out, version);
        int32_t offset = 8 + 17 * 8;
        for (const QByteArray& l : lumps) {
            PutInt(out, offset);
            PutInt(out, static_cast<int32_t>(l.size()));
            offset += static_cast<int32_t>((l.size() + 3) & ~qsizetype(3));
        }
        for (const QByteArray& l : lumps) {
            out += l;
            out.append(QByteArray((4 - l.size() % 4) % 4, '\0'));
        }
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
    static void PutInt(QByteArray& b, int32_t v) {
        char raw[4];
        qToLittleEndian<qint32>(v, raw);
        b.append(raw, 4);
    }
    static void PutFloat(QByteArray& b, float f) {
        int32_t v;
        std::memcpy(&v, &f, 4);
        PutInt(b, v);
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
        for (int32_t i = 0; i < 3; ++i) {
            const float z = (i == 1 && j == 1) ? 128.0f : 0.0f;
            controls.push_back({{96.0f + 32 * i, 96.0f + 32 * j, z}, {0, 0, 1}});
        }
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

} // namespace kestrova::test
