#include "core/files/obj_export.h"
#include "core/map/bsp_builder.h"
#include "core/map/bsp_reader.h"

#include <gtest/gtest.h>

#include <QList>

namespace kestrova::test {
namespace {

TEST(ObjExport, ABrushFaceAndAPatchByShaderWithTheOriginOffset) {
    BspBuilder b;
    const int32_t wall = b.AddShader("textures/base/wall");
    const int32_t curve = b.AddShader("textures/base/curve");
    const int32_t sky = b.AddShader("textures/skies/night", 0x4);
    b.AddQuad(wall, {0, 0, 0}, {64, 0, 0}, {64, 32, 0}, {0, 32, 0}, {0, 0, 1});
    std::vector<BspBuilder::Vertex> flat;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            flat.push_back({{100.0f + 8 * i, 200.0f + 8 * j, 50}, {0, 0, 1}});
    b.AddPatch(curve, 3, 3, flat);
    b.AddQuad(sky, {0, 0, 900}, {0, 32, 900}, {64, 32, 900}, {64, 0, 900}, {0, 0, -1});
    MapGeometry g;
    ASSERT_EQ(ReadBsp(b.Build(), kMapOptionPatches, g), QString());

    const QList<QByteArray> lines = ObjFileText(g, {10, 0, -5.5f}).split('\n');
    // The quad's corners shifted by the offset, first in the file, with its two triangles.
    const qsizetype v1 = lines.indexOf("v 10 0 -5.5");
    ASSERT_GE(v1, 0);
    EXPECT_EQ(lines[v1 + 1], "v 74 0 -5.5");
    EXPECT_EQ(lines[v1 + 2], "v 74 32 -5.5");
    EXPECT_EQ(lines[v1 + 3], "v 10 32 -5.5");
    const qsizetype wallGroup = lines.indexOf("g textures/base/wall");
    ASSERT_GE(wallGroup, 0);
    EXPECT_EQ(lines[wallGroup + 1], "f 1 2 3");
    EXPECT_EQ(lines[wallGroup + 2], "f 1 3 4");
    // The patch: its own group, every vertex on its plane z = 50 - 5.5 within its square.
    const qsizetype curveGroup = lines.indexOf("g textures/base/curve");
    ASSERT_GT(curveGroup, wallGroup);
    EXPECT_GE(lines.size() - curveGroup, 4) << "at least two triangles";
    int patchVertices = 0;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> w = line.split(' ');
        if (w[0] != "v" || w[3] != "44.5")
            continue;
        ++patchVertices;
        EXPECT_GE(w[1].toDouble(), 110);
        EXPECT_LE(w[1].toDouble(), 126);
        EXPECT_GE(w[2].toDouble(), 200);
        EXPECT_LE(w[2].toDouble(), 216);
    }
    EXPECT_GE(patchVertices, 4);
    EXPECT_EQ(lines.count("g textures/skies/night"), 0) << "no sky";
    for (const QByteArray& line : lines)
        EXPECT_FALSE(line.startsWith("v ") && line.endsWith(" 894.5")) << "no sky vertex";
}

} // namespace
} // namespace kestrova::test
