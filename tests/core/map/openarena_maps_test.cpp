// Every map that OpenArena installs: each loads, its bounds hold its vertices, and snapping at a
// drawn vertex finds that place.

#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"

#include <QDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

const char* const kBaseOa = "/usr/share/games/openarena/baseoa";

TEST(OpenArenaMaps, EveryInstalledMapLoadsBoundsAndSnaps) {
    const QDir base(QString::fromLatin1(kBaseOa));
    if (!base.exists())
        GTEST_SKIP() << kBaseOa << " is missing: install openarena-data (scripts/setup does)";
    int32_t maps = 0;
    for (const QString& pk3 : base.entryList({QStringLiteral("*.pk3")}, QDir::Files, QDir::Name)) {
        QString error;
        const QStringList entries = ListArchiveMaps(base.filePath(pk3), error);
        ASSERT_EQ(error, QString()) << pk3.toStdString();
        for (const QString& entry : entries) {
            const QString path = base.filePath(pk3) + QLatin1Char(':') + entry;
            SCOPED_TRACE(path.toStdString());
            BspMap map;
            ASSERT_EQ(map.Load(path, kMapOptionPatches), QString());
            ++maps;
            const MapGeometry& g = map.Geometry();
            ASSERT_GT(g.TriangleCount(), 0u);
            EXPECT_EQ(map.BrushError(), QString());
            EXPECT_FALSE(map.Clearances().Empty());
            const MapBoundsArray b = map.GetBounds();
            for (const MapVec3& v : g.vertices) {
                for (int32_t k = 0; k < 3; ++k)
                    ASSERT_TRUE(v[k] >= b[k][0] && v[k] <= b[k][1]);
            }
            // About forty vertices spread over the map, in each plan.
            const size_t step = std::max<size_t>(1, g.vertices.size() / 40);
            for (size_t i = 0; i < g.vertices.size(); i += step) {
                const MapVec3& v = g.vertices[i];
                // Same place in the plan; the answer may be a vertex nearer the viewer (above,
                // at lower Y, at higher X).
                const int32_t depth[3] = {2, 1, 0}, sign[3] = {1, -1, 1};
                for (int32_t plane = 0; plane < 3; ++plane) {
                    MapVec3 p = v;
                    ASSERT_TRUE(map.SnapToMap(p[0], p[1], p[2], plane, 10.0f));
                    for (int32_t k = 0; k < 3; ++k)
                        ASSERT_TRUE(k == depth[plane] ? (p[k] - v[k]) * sign[plane] >= 0
                                                      : p[k] == v[k]);
                }
            }
        }
    }
    std::printf("[ maps     ] %d OpenArena maps checked\n", maps);
    EXPECT_GE(maps, 90);
}

} // namespace
} // namespace kestrova
