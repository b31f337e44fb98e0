#include "core/map/bsp_builder.h"
#include "core/map/bsp_reader.h"
#include "core/map/clearance.h"
#include "core/map/surface_filter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace kestrova {
namespace {

using test::BspBuilder;

QString Read(const QByteArray& bytes, MapGeometry& g, int32_t options = kMapOptionPatches) {
    return ReadBsp(bytes, options, g);
}

TEST(BspReader, ReadsTheRoomWithItsNormalsAndCurvesWithoutToolSkyFlareOrDoor) {
    MapGeometry g;
    ASSERT_EQ(Read(test::RoomWithPatch().Build(), g), QString());
    EXPECT_EQ(g.version, 46);
    EXPECT_TRUE(g.entities.startsWith("{\n\"classname\" \"worldspawn\""));
    EXPECT_EQ(g.shaders.size(), 4u);
    EXPECT_EQ(g.surfaces.size(), 7u); // six faces and the patch
    EXPECT_EQ(g.skippedSurfaces, 3);  // clip, sky, flare; the door is not in the world model
    EXPECT_EQ(g.triangleNormals.size(), g.TriangleCount());
    EXPECT_EQ(g.bounds.min, (MapVec3{0, 0, 0}));
    EXPECT_EQ(g.bounds.max, (MapVec3{256, 256, 128}));

    // The floor is wound one way and the ceiling the other; the stored normals decide.
    const MapVec3 expected[6] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                 {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};
    for (int32_t s = 0; s < 6; ++s) {
        const DrawnSurface& surface = g.surfaces[s];
        ASSERT_EQ(surface.triangleCount, 2u);
        for (uint32_t t = surface.firstTriangle; t < surface.firstTriangle + 2; ++t)
            EXPECT_EQ(g.triangleNormals[t], expected[s]) << s;
        EXPECT_EQ(surface.edgeCount, 4u) << "a quad's outline has no diagonal";
    }

    const DrawnSurface& patch = g.surfaces.back();
    ASSERT_EQ(patch.type, BspSurfaceType::Patch);
    EXPECT_GT(patch.triangleCount, 8u);
    float peak = 0;
    for (uint32_t t = patch.firstTriangle; t < patch.firstTriangle + patch.triangleCount; ++t) {
        EXPECT_GT(g.triangleNormals[t][2], 0.0f) << "the bump faces up";
        for (int32_t k = 0; k < 3; ++k) {
            const MapVec3& p = g.vertices[g.indices[t * 3 + k]];
            // z = 128 * B1(u) * B1(v), B1(t) = 2 t (1 - t)
            const float u = (p[0] - 96) / 64, w = (p[1] - 96) / 64;
            ASSERT_TRUE(u > -1e-4f && u < 1 + 1e-4f) << p[0];
            EXPECT_NEAR(p[2], 128 * (2 * u * (1 - u)) * (2 * w * (1 - w)), 1e-3);
            peak = std::max(peak, p[2]);
        }
    }
    EXPECT_FLOAT_EQ(peak, 32.0f) << "an even cut count puts a vertex on the top";
    // The outline of a grid patch is its border.
    EXPECT_GT(patch.edgeCount, 8u);
    EXPECT_LT(patch.edgeCount, patch.triangleCount * 3 / 2);

    ASSERT_EQ(Read(test::RoomWithPatch().Build(), g, 0), QString());
    EXPECT_EQ(g.surfaces.size(), 6u) << "without option 4 patches are left out";
}

TEST(BspReader, ReadsEnemyTerritoryMapsAndRefusesOtherVersions) {
    BspBuilder b = test::RoomWithPatch();
    b.version = 47;
    MapGeometry g;
    ASSERT_EQ(Read(b.Build(), g), QString());
    EXPECT_EQ(g.version, 47);
    EXPECT_EQ(g.surfaces.size(), 7u);
    b.version = 38; // Quake 2
    EXPECT_EQ(Read(b.Build(), g), QStringLiteral("unsupported map version 38 (versions 46 and 47 "
                                                 "are read)"));
    EXPECT_TRUE(g.vertices.empty()) << "a failed read leaves nothing behind";
}

TEST(BspReader, ReportsWhatIsWrongWithMalformedFiles) {
    const QByteArray good = test::RoomWithPatch().Build();
    MapGeometry g;
    auto errorOf = [&](const QByteArray& bytes) { return Read(bytes, g); };

    EXPECT_EQ(errorOf(good.left(100)),
              QStringLiteral("the file is too short for a map header (100 bytes, 144 needed)"));
    QByteArray magic = good;
    magic[0] = 'V';
    EXPECT_EQ(errorOf(magic),
              QStringLiteral("not an id Tech 3 map: the file does not start with \"IBSP\""));

    // Truncated: the last lumps now run past the end.
    EXPECT_TRUE(errorOf(good.left(good.size() - 10)).contains("lies outside the file"));
    QByteArray past = good;
    BspBuilder::SetInt(past, 8 + 10 * 8, good.size() - 8); // 45 vertices of 44 bytes
    EXPECT_EQ(errorOf(past), QStringLiteral("the draw vertices lump lies outside the file "
                                            "(offset %1, length 1980, file size %2)")
                                 .arg(good.size() - 8)
                                 .arg(good.size()));
    QByteArray ragged = good;
    BspBuilder::SetInt(ragged, 8 + 1 * 8 + 4, 71);
    EXPECT_EQ(errorOf(ragged), QStringLiteral("the shaders lump is 71 bytes long, not a multiple "
                                              "of its record size 72"));
}

TEST(BspReader, RefusesIndicesAndCountsOutOfRange) {
    // The room has 4 shaders, 11 surfaces and 45 vertices; the floor (surface 0) has four.
    const struct {
        std::function<void(BspBuilder&)> damage;
        const char* error; // the whole message, or its start when it ends in "..."
    } cases[] = {
        {[](BspBuilder& b) { b.indices[3] = 4; }, "surface 0: index 3 points at vertex 4 of its 4"},
        {[](BspBuilder& b) { b.surfaces[1].numVerts = 2000000000; },
         "surface 1 uses vertices 4 to 2000000003, but the map has 45"},
        {[](BspBuilder& b) { b.surfaces[2].firstIndex = 0x7fffffff; },
         "surface 2 uses indices 2147483647 to..."},
        {[](BspBuilder& b) { b.surfaces[2].numIndexes = 5; },
         "surface 2 has 5 indices, not a whole number of triangles"},
        {[](BspBuilder& b) { b.surfaces[0].shader = 4; },
         "surface 0 uses shader 4, but the map has 4"},
        {[](BspBuilder& b) { b.surfaces[6].patchWidth = 4; },
         "surface 6 is a patch of 4 x 3 control points with 9 vertices"},
        {[](BspBuilder& b) { b.surfaces[6].patchWidth = b.surfaces[6].patchHeight = 99999; },
         "surface 6 is a patch of 99999 x 99999..."},
        {[](BspBuilder& b) {
             b.models = {{5, 100}};
         },
         "the world model uses surfaces 5 to 104, but the map has 11"},
        {[](BspBuilder& b) { b.vertices[2].position[1] = std::numeric_limits<float>::quiet_NaN(); },
         "vertex 2 has a coordinate that is not a finite number"},
    };
    MapGeometry g;
    for (const auto& c : cases) {
        BspBuilder b = test::RoomWithPatch();
        c.damage(b);
        QString error = QString::fromLatin1(c.error);
        const QString got = Read(b.Build(), g);
        if (error.endsWith(QStringLiteral("..."))) {
            EXPECT_TRUE(got.startsWith(error.chopped(3))) << got.toStdString();
        } else {
            EXPECT_EQ(got, error);
        }
    }
    QByteArray noModels = test::RoomWithPatch().Build();
    BspBuilder::SetInt(noModels, 8 + 7 * 8 + 4, 0);
    EXPECT_EQ(Read(noModels, g), QStringLiteral("the map has no world model"));
}

// One soup of 1024 vertices and `triangles` triangles that `copies` surfaces all reuse: a few
// bytes per copy in the file, a full soup each once expanded.
BspBuilder SharedSoup(int32_t copies, int32_t triangles = 2046) {
    BspBuilder b;
    const int32_t shader = b.AddShader("textures/x/y");
    for (int32_t v = 0; v < 1024; ++v)
        b.vertices.push_back({{float(v % 32) * 16, float(v / 32) * 16, float(v % 7)}, {0, 0, 1}});
    for (int32_t t = 0; t < triangles; ++t) {
        const int32_t a = (t * 37) % 990;
        b.indices.insert(b.indices.end(), {a, a + 1, a + 33});
    }
    for (int32_t k = 0; k < copies; ++k)
        b.surfaces.push_back({shader, 3, 0, 1024, 0, triangles * 3});
    return b;
}

// One n x n patch, `step` apart, every other control point raised by `bump`.
BspBuilder PatchGrid(int32_t n, float step, float bump) {
    BspBuilder b;
    std::vector<BspBuilder::Vertex> controls;
    for (int32_t j = 0; j < n; ++j) {
        for (int32_t i = 0; i < n; ++i)
            controls.push_back({{i * step, j * step, ((i + j) % 2) * bump}, {0, 0, 1}});
    }
    b.AddPatch(b.AddShader("textures/x/y"), n, n, controls);
    return b;
}

TEST(BspReader, BudgetsWhatTheSurfacesExpandToNotTheFileSize) {
    MapGeometry g;
    // Reuse as such is no fault: 10 copies read as 10 soups.
    ASSERT_EQ(Read(SharedSoup(10).Build(), g), QString());
    EXPECT_EQ(g.vertices.size(), 10u * 1024);
    EXPECT_EQ(g.TriangleCount(), 10u * 2046);

    // 489 copies of 4092 triangles ask for 2000988 triangles: refused before anything is
    // expanded.
    EXPECT_EQ(Read(SharedSoup(489, 4092).Build(), g),
              QStringLiteral("the surfaces describe more than 2000000 triangles, far more than "
                             "any real map holds"));
    EXPECT_TRUE(g.vertices.empty());
    // 977 copies without triangles still ask for 1000448 vertices.
    EXPECT_EQ(Read(SharedSoup(977, 0).Build(), g),
              QStringLiteral("the surfaces describe more than 1000000 vertices, far more than "
                             "any real map holds"));

    // Patches count by their tessellated size: copies of a 15 x 15 grid whose every piece bulges
    // by 500 units, cut into 16 x 16 segments: 113 x 113 vertices and 25088 triangles each, so
    // the 79th copy passes 1000000 vertices.
    BspBuilder b = PatchGrid(15, 8, 1000);
    for (int32_t k = 0; k < 2000; ++k)
        b.surfaces.push_back(b.surfaces.front());
    EXPECT_TRUE(Read(b.Build(), g).contains("more than 1000000 vertices"));
    b.surfaces.resize(10);
    ASSERT_EQ(Read(b.Build(), g), QString());
    EXPECT_EQ(g.vertices.size(), 10u * 113 * 113);
    EXPECT_EQ(g.TriangleCount(), 10u * 25088);

    // 7 x 7 flat control points: each of the 3 x 3 pieces stays whole, so the grid is 4 x 4
    // vertices and 18 triangles, however small the file.
    const QByteArray flat = PatchGrid(7, 32, 0).Build();
    ASSERT_LT(flat.size(), 3000);
    ASSERT_EQ(Read(flat, g), QString());
    EXPECT_EQ(g.vertices.size(), 16u);
    EXPECT_EQ(g.TriangleCount(), 18u);
    EXPECT_EQ(g.bounds.max, (MapVec3{192, 192, 0}));
}

TEST(BspReader, RefusesAMapWithNothingToDraw) {
    // Only a clip face, a sky face and a flare: no visible surface, so no empty world either.
    BspBuilder b = test::RoomWithPatch();
    b.models = {{7, 3}};
    MapGeometry g;
    EXPECT_EQ(Read(b.Build(), g), QStringLiteral("the map holds no visible geometry"));
}

TEST(BspReader, GeometryAndBrushReadersSurviveRandomDamage) {
    // Flipping bytes anywhere must give a map or an error, never a crash.
    std::mt19937 random(7);
    for (const QByteArray& good : {test::RoomWithPatch().Build(), test::BoxRoom().Build()}) {
        int32_t failures = 0;
        for (int32_t round = 0; round < 3000; ++round) {
            QByteArray bytes = good;
            for (int32_t f = 0; f <= round % 4; ++f)
                bytes[random() % (round % 2 == 0 ? 144 : bytes.size())] = char(random());
            MapGeometry g;
            if (!Read(bytes, g).isEmpty()) {
                ++failures;
            } else {
                ASSERT_EQ(g.triangleNormals.size(), g.TriangleCount());
            }
            SolidBrushes brushes;
            const bool refused = !ReadSolidBrushes(bytes, brushes).isEmpty();
            ASSERT_EQ(ClearanceIndex(brushes).Classify({{128, 128, 64}, {-8, 128, 64}}, 8).size(),
                      2u);
            ASSERT_TRUE(!refused || brushes.brushes.empty());
        }
        EXPECT_GT(failures, 0);
    }
}

TEST(SurfaceFilter, LeavesOutToolSkyAndHiddenFaces) {
    EXPECT_TRUE(IsVisibleShader("textures/base_wall/concrete", 0, 1));
    EXPECT_TRUE(IsVisibleShader("textures/liquids/clear_calm1", 0, 32)); // water shows
    EXPECT_TRUE(IsVisibleShader("textures/mycommon/clipboard", 0, 1));
    for (const char* tool : {"textures/common/caulk", "common/nodraw", "TEXTURES/COMMON/WEAPCLIP",
                             "textures/common/clip_metal", "noshader"})
        EXPECT_FALSE(IsVisibleShader(tool, 0, 1)) << tool;
    EXPECT_FALSE(IsVisibleShader("textures/skies/xnight", 0, 1));
    EXPECT_FALSE(IsVisibleShader("textures/x/y", kSurfSky, 1));
    EXPECT_FALSE(IsVisibleShader("textures/x/y", kSurfNoDraw, 1));
    EXPECT_FALSE(IsVisibleShader("textures/x/y", 0, kContentsTrigger));
    EXPECT_FALSE(IsVisibleShader("textures/x/y", 0, kContentsPlayerClip));
    EXPECT_FALSE(IsVisibleShader("textures/sfx/fog", 0, kContentsFog));
}

} // namespace
} // namespace kestrova
