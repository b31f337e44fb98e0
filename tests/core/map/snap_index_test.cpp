#include "core/map/bsp_builder.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/snap_index.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace kestrova {
namespace {

TEST(SnapIndex, FindsTheNearestVertexWithinTheRadiusOnly) {
    const std::vector<MapVec3> v = {{0, 0, 0}, {31.5f, 0, 0}, {32.5f, 0, 0}, {-40, -40, 7}};
    SnapIndex index(v, MapPlane::XY);
    MapVec3 found;
    ASSERT_TRUE(index.Nearest(33, 1, 10, found)); // across a cell border
    EXPECT_EQ(found, (MapVec3{32.5f, 0, 0}));
    ASSERT_TRUE(index.Nearest(31.9f, 0, 10, found));
    EXPECT_EQ(found, (MapVec3{31.5f, 0, 0}));
    ASSERT_TRUE(index.Nearest(-36, -34, 10, found)); // negative cells
    EXPECT_EQ(found, (MapVec3{-40, -40, 7}));
    EXPECT_FALSE(index.Nearest(15.75f, 0, 10, found)) << "15.75 from both";
    EXPECT_TRUE(index.Nearest(15.75f, 0, 15.75f, found)) << "the radius itself counts";
    EXPECT_FALSE(index.Nearest(0, 0, -1, found));
    EXPECT_FALSE(SnapIndex({}, MapPlane::XY).Nearest(0, 0, 10, found));
}

TEST(SnapIndex, PrefersTheVertexNearestTheViewerOfThePlan) {
    const std::vector<MapVec3> v = {{5, 5, 0},  {5, 5, 100}, {5, -20, 5},
                                    {5, 30, 5}, {-8, 5, 5},  {90, 5, 5}};
    MapSnapper snapper(v);
    MapVec3 p{6, 6, 0};
    ASSERT_TRUE(snapper.Snap(p[0], p[1], p[2], MapPlane::XY, 10));
    EXPECT_EQ(p[2], 100) << "X-Y is seen from above";
    p = {5, 0, 5};
    ASSERT_TRUE(snapper.Snap(p[0], p[1], p[2], MapPlane::XZ, 10));
    EXPECT_EQ(p[1], -20) << "X-Z is seen from negative Y";
    p = {0, 5, 5};
    ASSERT_TRUE(snapper.Snap(p[0], p[1], p[2], MapPlane::YZ, 10));
    EXPECT_EQ(p[0], 90) << "Y-Z is seen from positive X";
    p = {500, 500, 1};
    EXPECT_FALSE(snapper.Snap(p[0], p[1], p[2], MapPlane::XY, 10));
    EXPECT_EQ(p, (MapVec3{500, 500, 1})) << "no snap leaves the point alone";
}

TEST(SnapIndex, AgreesWithAPlainSearch) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coord(-300, 300);
    std::vector<MapVec3> v(3000);
    for (MapVec3& p : v)
        p = {std::round(coord(random)), std::round(coord(random)), coord(random)};
    for (MapPlane plane : {MapPlane::XY, MapPlane::XZ, MapPlane::YZ}) {
        const int32_t a = plane == MapPlane::YZ ? 1 : 0;
        const int32_t b = plane == MapPlane::XY ? 1 : 2;
        SnapIndex index(v, plane);
        for (int32_t q = 0; q < 500; ++q) {
            const float qa = coord(random);
            const float qb = coord(random);
            const float radius = (q % 5 == 0) ? 40.0f : 10.0f;
            float best = radius * radius;
            bool any = false;
            for (const MapVec3& p : v) {
                const float d = (p[a] - qa) * (p[a] - qa) + (p[b] - qb) * (p[b] - qb);
                if (d <= best) {
                    best = d;
                    any = true;
                }
            }
            MapVec3 found;
            ASSERT_EQ(index.Nearest(qa, qb, radius, found), any);
            if (any) {
                const float d =
                    (found[a] - qa) * (found[a] - qa) + (found[b] - qb) * (found[b] - qb);
                EXPECT_EQ(d, best);
            }
        }
    }
}

TEST(BspMap, LoadsSnapsAndBoundsTheDrawnGeometry) {
    QTemporaryDir dir;
    const QString path = dir.filePath("room.bsp");
    test::WriteFile(path, test::RoomWithPatch().Build());

    BspMap map;
    ASSERT_EQ(map.Load(path, kMapOptionPatches), QString());
    const MapBoundsArray b = map.GetBounds();
    // The sky and door faces are not counted.
    EXPECT_EQ(b, (MapBoundsArray{{{0, 256}, {0, 256}, {0, 128}}}));

    MapVec3 p{250, 3, 0};
    ASSERT_TRUE(map.SnapToMap(p[0], p[1], p[2], 0, 10));
    EXPECT_EQ(p, (MapVec3{256, 0, 128})) << "the top corner, seen from above";
    p = {128, 128, 0};
    ASSERT_TRUE(map.SnapToMap(p[0], p[1], p[2], 0, 10));
    EXPECT_EQ(p, (MapVec3{128, 128, 32})) << "the top of the patch";
    EXPECT_FALSE(map.SnapToMap(p[0], p[1], p[2], 3, 10));

    EXPECT_FALSE(map.Load(dir.filePath("missing.bsp"), 4).isEmpty());
    EXPECT_FALSE(map.IsLoaded());
    EXPECT_EQ(map.GetBounds()[0], (std::array<float, 2>{0, 0}));
    EXPECT_FALSE(map.SnapToMap(p[0], p[1], p[2], 0, 10));
}

} // namespace
} // namespace kestrova
