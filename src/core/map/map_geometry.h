#pragma once
// What a loaded map keeps: the drawn world geometry, the shader table and the entity text.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace kestrova {

using MapVec3 = std::array<float, 3>;

enum class BspSurfaceType : int32_t { Bad = 0, Planar = 1, Patch = 2, TriangleSoup = 3, Flare = 4 };

struct BspShader {
    QByteArray name;
    int32_t surfaceFlags = 0;
    int32_t contentFlags = 0;
};

// One drawn surface: a run of triangles and a run of outline edges in MapGeometry.
struct DrawnSurface {
    int32_t shader = -1;
    BspSurfaceType type = BspSurfaceType::Planar;
    uint32_t firstTriangle = 0;
    uint32_t triangleCount = 0;
    uint32_t firstEdge = 0; // index into outlineEdges, counted in edges (pairs)
    uint32_t edgeCount = 0;
};

// Bounds of the drawn vertices; all zero when nothing is drawn.
struct MapBounds {
    MapVec3 min{0, 0, 0};
    MapVec3 max{0, 0, 0};
};

struct MapGeometry {
    int32_t version = 0; // 46 Quake 3, 47 Enemy Territory
    QByteArray entities; // entity text, up to its first NUL
    std::vector<BspShader> shaders;
    std::vector<DrawnSurface> surfaces;
    std::vector<MapVec3> vertices;        // drawn vertices (patches tessellated)
    std::vector<uint32_t> indices;        // three per triangle, into vertices
    std::vector<MapVec3> triangleNormals; // unit normal per triangle, facing the visible side
    std::vector<uint32_t> outlineEdges;   // two per edge: the boundary edges of each surface
    MapBounds bounds;
    int32_t skippedSurfaces = 0; // world surfaces left out (tools, sky, flares...)

    uint32_t TriangleCount() const { return static_cast<uint32_t>(indices.size() / 3); }
};

} // namespace kestrova
