#include "core/map/bsp_builder.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/clearance.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace kestrova {
namespace {

using test::BoxPlanes;
using test::BoxRoom;
using test::BspBuilder;
using test::TestBrush;

void FindsPointsInAndNearTheWalls(const BspBuilder& room, float scale);

TEST(Clearance, FindsPointsInAndNearTheWallsOfABoxRoom) {
    // The same room with every plane written with a normal 1000 long: the same answers.
    for (const float scale : {1.0f, 1000.0f}) {
        BspBuilder room = BoxRoom();
        for (TestBrush& b : room.brushes)
            for (BrushPlane& q : b.planes) {
                for (float& n : q.normal)
                    n *= scale;
                q.dist *= scale;
            }
        FindsPointsInAndNearTheWalls(room, scale);
    }
}

void FindsPointsInAndNearTheWalls(const BspBuilder& room, float scale) {
    SCOPED_TRACE(scale);
    BspMap map;
    ASSERT_EQ(map.LoadFromBytes(room.Build(), kMapOptionPatches), QString());
    ASSERT_EQ(map.BrushError(), QString());
    EXPECT_EQ(map.Clearances().BrushCount(), 7u) << "six walls and the wedge";

    struct Case {
        MapVec3 p;
        float distance;
        Clearance expected;
        const char* what;
    };
    const Case cases[] = {
        {{128, 128, 64}, 8, Clearance::Clear, "the middle of the room"},
        {{128, 128, -8}, 8, Clearance::Inside, "in the floor"},
        {{-8, 128, 64}, 8, Clearance::Inside, "in the west wall"},
        {{128, 128, 4}, 8, Clearance::Near, "4 above the floor"},
        {{128, 128, 8}, 8, Clearance::Clear, "exactly the clearance away"},
        {{128, 128, 4}, 0, Clearance::Clear, "no clearance asked"},
        {{128, 128, 4}, -5, Clearance::Clear, "a negative clearance counts as none"},
        {{128, 128, 0}, 8, Clearance::Near, "on the floor's face"},
        {{-20, 128, 64}, 8, Clearance::Near, "outside, 4 beyond the west wall"},
        {{-20, -20, 64}, 8, Clearance::Near, "off the outer corner: the brush grows as a box"},
        {{128, 128, 100}, 40, Clearance::Near, "28 under the ceiling with a clearance of 40"},
        {{250, 220, 20}, 8, Clearance::Inside, "under the wedge's slope"},
        {{210, 220, 20}, 8, Clearance::Clear, "10 above the slope"},
        {{210, 220, 20}, 12, Clearance::Near, "10 above the slope, clearance 12"},
        {{125, 125, 20}, 8, Clearance::Clear, "in the water: not solid"},
        {{190, 128, 64}, 8, Clearance::Clear, "in the door: a mover"},
        {{5000, 5000, 5000}, 8, Clearance::Clear, "far outside every brush"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(map.Clearances().Classify({c.p}, c.distance), std::vector{c.expected}) << c.what;
}

TEST(Clearance, HugeOverlappingBrushesAnswerAsTestingEachOne) {
    // A round room: brush i holds everything beyond the tangent plane i of a sphere, within a box
    // far larger than the room, so every brush's box holds every point. Each brush is given
    // twice. Points inside, near and beyond the wall, and a run at one place (a camera standing
    // still). Expected by testing every plane of every brush here, in double precision.
    BspBuilder b;
    const int32_t wall = b.AddShader("wall", 0, 1);
    b.AddQuad(wall, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1});
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(-1, 1), at(-700, 700);
    std::vector<MapVec3> normals;
    while (normals.size() < 300) {
        const MapVec3 n{unit(random), unit(random), unit(random)};
        const float length = std::hypot(n[0], n[1], n[2]);
        if (length > 0.2f && length < 1)
            normals.push_back({n[0] / length, n[1] / length, n[2] / length});
    }
    const float radius = 500;
    for (const MapVec3& n : normals)
        for (int32_t twice = 0; twice < 2; ++twice) {
            b.brushes.push_back({wall, BoxPlanes({-9000, -9000, -9000}, {9000, 9000, 9000})});
            b.brushes.back().planes.push_back({{-n[0], -n[1], -n[2]}, -radius});
        }
    b.brushesPerModel = {int32_t(b.brushes.size())};
    BspMap map;
    ASSERT_EQ(map.LoadFromBytes(b.Build(), 0), QString());
    EXPECT_EQ(map.Clearances().BrushCount(), 300u) << "a brush given twice is kept once";

    std::vector<MapVec3> points(4000);
    for (MapVec3& p : points)
        p = {at(random), at(random), at(random)};
    std::fill(points.begin() + 100, points.begin() + 150, MapVec3{0, 0, 490});
    const float d = 16;
    const std::vector<Clearance> v = map.Clearances().Classify(points, d);
    int32_t counts[3] = {};
    for (size_t i = 0; i < points.size(); ++i) {
        const MapVec3& p = points[i];
        Clearance expected = Clearance::Clear;
        for (const MapVec3& n : normals) {
            const double h = radius - (double(n[0]) * p[0] + double(n[1]) * p[1] + n[2] * p[2]);
            if (h < 0)
                expected = Clearance::Inside;
            else if (h < d && expected == Clearance::Clear)
                expected = Clearance::Near;
        }
        ++counts[int(expected)];
        ASSERT_EQ(v[i], expected) << i;
    }
    EXPECT_GT(counts[0], 500);
    EXPECT_GT(counts[1], 50);
    EXPECT_GT(counts[2], 500);
    EXPECT_EQ(v[120], Clearance::Near) << "a little inside the wall's top, clearance 16";
}

TEST(Clearance, GathersTheRunsOfPointsThatAreNearOrInside) {
    using C = Clearance;
    struct Case {
        std::vector<Clearance> verdicts;
        std::vector<int32_t> inside, near;
        std::vector<std::array<int32_t, 3>> stretches; // first, last, inside
    };
    const Case cases[] = {
        {{}, {}, {}, {}},
        {{C::Clear, C::Clear}, {}, {}, {}},
        {{C::Clear, C::Near, C::Inside, C::Near, C::Clear, C::Clear, C::Near, C::Clear},
         {2},
         {1, 3, 6},
         {{1, 3, 1}, {6, 6, 0}}},
        {{C::Inside, C::Inside, C::Clear, C::Near}, {0, 1}, {3}, {{0, 1, 1}, {3, 3, 0}}},
        {{C::Near, C::Near, C::Near}, {}, {0, 1, 2}, {{0, 2, 0}}},
    };
    for (const Case& c : cases) {
        const ClearanceReport r = SummariseClearance(c.verdicts);
        EXPECT_EQ(r.inside, c.inside);
        EXPECT_EQ(r.near, c.near);
        std::vector<std::array<int32_t, 3>> got;
        for (const auto& st : r.stretches)
            got.push_back({st.first, st.last, st.inside ? 1 : 0});
        EXPECT_EQ(got, c.stretches);
    }
}

TEST(Clearance, AgreesWithTestingEveryBrushOverACrowdedMap) {
    // Many small boxes on a 3-unit lattice: a point's answer must not depend on which grid cells
    // the index put a brush in. Expected by a plain box test, worked out here per point.
    BspBuilder b;
    const int32_t wall = b.AddShader("wall", 0, 1);
    b.AddQuad(wall, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1});
    std::vector<std::pair<MapVec3, MapVec3>> boxes;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> at(-2000, 2000), size(4, 400);
    for (int32_t i = 0; i < 400; ++i) {
        const MapVec3 lo{at(random), at(random), at(random)};
        const MapVec3 hi{lo[0] + size(random), lo[1] + size(random), lo[2] + size(random)};
        b.brushes.push_back({wall, BoxPlanes(lo, hi)});
        boxes.push_back({lo, hi});
    }
    b.brushesPerModel = {400};
    BspMap map;
    ASSERT_EQ(map.LoadFromBytes(b.Build(), 0), QString());
    std::vector<MapVec3> points(3000);
    for (MapVec3& p : points)
        p = {at(random), at(random), at(random)};
    const float d = 24;
    const std::vector<Clearance> v = map.Clearances().Classify(points, d);
    int32_t flagged = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const MapVec3& p = points[i];
        Clearance expected = Clearance::Clear;
        for (const auto& [lo, hi] : boxes) {
            auto within = [&](float grow) {
                for (int32_t k = 0; k < 3; ++k)
                    if (!(p[k] > lo[k] - grow && p[k] < hi[k] + grow))
                        return false;
                return true;
            };
            if (within(0))
                expected = Clearance::Inside;
            else if (within(d) && expected == Clearance::Clear)
                expected = Clearance::Near;
        }
        flagged += expected != Clearance::Clear;
        ASSERT_EQ(v[i], expected) << i;
    }
    EXPECT_GT(flagged, 50) << "the lattice should catch a good share of the points";
}

TEST(SolidBrushes, RefusesBrushesThatPointOutsideTheirLumps) {
    const QByteArray good = BoxRoom().Build();
    auto lumpAt = [&](int32_t lump) { return BspBuilder::LumpOffset(good, lump); };
    struct Case {
        const char* what;
        qsizetype at;
        int32_t value;
        const char* message;
    };
    const Case cases[] = {
        {"first side past the end", lumpAt(8), 1000, "uses sides"},
        {"negative side count", lumpAt(8) + 4, -1, "uses sides"},
        {"shader out of range", lumpAt(8) + 8, 99, "uses shader 99"},
        {"plane out of range", lumpAt(9), 5000, "uses plane 5000"},
        {"world brushes past the end", lumpAt(7) + 36, 500, "the world model uses brushes"},
        {"negative first brush", lumpAt(7) + 32, -3, "the world model uses brushes"},
        {"planes lump of odd size", 8 + 2 * 8 + 4, 15, "not a multiple"},
        {"brushes lump outside the file", 8 + 8 * 8, 1 << 30, "outside the file"},
    };
    for (const Case& c : cases) {
        QByteArray bad = good;
        BspBuilder::SetInt(bad, c.at, c.value);
        SolidBrushes brushes;
        const QString e = ReadSolidBrushes(bad, brushes);
        EXPECT_TRUE(e.contains(QLatin1String(c.message))) << c.what << ": " << e.toStdString();
        EXPECT_TRUE(brushes.brushes.empty()) << c.what;
    }
}

TEST(SolidBrushes, ABadBrushLumpLeavesTheMapDrawnWithoutClearance) {
    QByteArray bad = BoxRoom().Build();
    BspBuilder::SetInt(bad, BspBuilder::LumpOffset(bad, 9), -7);
    BspMap map;
    ASSERT_EQ(map.LoadFromBytes(bad, 0), QString());
    EXPECT_TRUE(map.BrushError().contains(QLatin1String("plane -7")));
    EXPECT_TRUE(map.Clearances().Empty());
    EXPECT_EQ(map.Clearances().Classify({{128, 128, -8}}, 8)[0], Clearance::Clear);
}

TEST(SolidBrushes, SkipsBrushesWithoutSidesOrWithPlanesThatAreNotNumbers) {
    // A brush without sides would hold the whole world; one with a NaN plane holds nothing sure.
    // A plane without a normal would put every point behind it: its brush is left out too.
    BspBuilder r = BoxRoom();
    r.brushes.insert(r.brushes.begin(), TestBrush{0, {}});
    r.brushes.insert(r.brushes.begin(), TestBrush{0, {{{0, 0, 0}, 1}}});
    TestBrush nan{0, BoxPlanes({0, 0, 0}, {10, 10, 10})};
    nan.planes[2].dist = std::numeric_limits<float>::quiet_NaN();
    r.brushes.insert(r.brushes.begin(), nan);
    r.brushesPerModel = {11, 1};
    SolidBrushes brushes;
    ASSERT_EQ(ReadSolidBrushes(r.Build(), brushes), QString());
    EXPECT_EQ(brushes.skippedBrushes, 3);
    EXPECT_EQ(brushes.brushes.size(), 7u);
    const ClearanceIndex index(brushes);
    EXPECT_EQ(index.SkippedBrushes(), 3);
    EXPECT_EQ(index.Classify({{128, 128, 64}, {5, 5, 5}}, 8),
              (std::vector<Clearance>{Clearance::Clear, Clearance::Near}));
}

TEST(SolidBrushes, BudgetsBrushesAndTheSidesTheyShare) {
    // Every brush names the same run of sides: a small file asking for a huge expansion, or for
    // more brushes than the map compiler ever writes. Refused before anything is copied.
    struct Case {
        int32_t brushes, sides;
        const char* message;
    };
    for (const Case& c : {Case{40000, 60, "more than 2000000 sides"},
                          Case{70000, 1, "more than 65536 solid brushes"}}) {
        BspBuilder b = BoxRoom();
        b.brushes.assign(size_t(c.brushes), TestBrush{0, {{{0, 0, 1}, 1}}});
        b.brushes.front().planes.resize(size_t(c.sides), BrushPlane{{0, 0, 1}, 1});
        b.brushesPerModel = {c.brushes};
        QByteArray bytes = b.Build();
        const qsizetype at = BspBuilder::LumpOffset(bytes, 8);
        for (int32_t i = 0; i < c.brushes; ++i) {
            BspBuilder::SetInt(bytes, at + i * 12, 0);
            BspBuilder::SetInt(bytes, at + i * 12 + 4, c.sides);
        }
        SolidBrushes out;
        const QString e = ReadSolidBrushes(bytes, out);
        EXPECT_TRUE(e.contains(QLatin1String(c.message))) << e.toStdString();
        EXPECT_TRUE(out.brushes.empty());
    }
}

} // namespace
} // namespace kestrova
