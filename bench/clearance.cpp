// Wall clearance: a 40000-point path checked against the world's solid brushes, as the views do
// after every edit, and the brushes read and indexed on load. On the largest OpenArena map, and
// on two hostile ones written here as .pk3 archives: 65536 copies of one huge brush named by a
// 2 KB archive, and a round room made of 65536 different huge brushes that all overlap the path.

#include "core/map/bsp_builder.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"
#include "core/map/solid_brushes.h"
#include "openarena_maps.h"
#include "support/zip_writer.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

using namespace kestrova;
using bench::LargestMap;

const BspMap* Map(benchmark::State& state) {
    static const BspMap* map = [] {
        static BspMap m;
        return m.Load(LargestMap(), kMapOptionPatches).isEmpty() ? &m : nullptr;
    }();
    if (!map) {
        state.SkipWithError("no OpenArena maps installed");
        return nullptr;
    }
    state.SetLabel(LargestMap().section(QLatin1Char(':'), -1).toStdString());
    return map;
}

// A flight that sweeps the map's box back and forth, in and out of its walls.
std::vector<MapVec3> Flight(const MapBoundsArray& b, int32_t n) {
    std::vector<MapVec3> points(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1);
        const double u[3] = {0.5 + 0.5 * std::sin(t * 37.0), 0.5 + 0.5 * std::sin(t * 23.0 + 1),
                             0.5 + 0.5 * std::sin(t * 11.0 + 2)};
        for (int32_t k = 0; k < 3; ++k)
            points[size_t(i)][size_t(k)] = float(b[k][0] + u[k] * (b[k][1] - b[k][0]));
    }
    return points;
}

void Check40000(benchmark::State& state, const BspMap& map, const std::vector<MapVec3>& points) {
    int64_t flagged = 0;
    for (auto _ : state) {
        const std::vector<Clearance> v = map.Clearances().Classify(points, kDefaultClearance);
        flagged = 0;
        for (Clearance c : v)
            flagged += c != Clearance::Clear;
        benchmark::DoNotOptimize(flagged);
    }
    state.counters["brushes"] = double(map.Clearances().BrushCount());
    state.counters["flagged"] = double(flagged);
}

void BM_Clearance40000(benchmark::State& state) {
    if (const BspMap* map = Map(state))
        Check40000(state, *map, Flight(map->GetBounds(), 40000));
}
BENCHMARK(BM_Clearance40000)->Unit(benchmark::kMillisecond);

constexpr int32_t kHostileBrushes = 65536;
constexpr float kRoomRadius = 2000;

// One brush, huge and cut by a slanted plane so that its box holds the whole flight, named by
// every brush of the world: the file stays tiny.
QByteArray RepeatedBrush() {
    test::BspBuilder b;
    const int32_t wall = b.AddShader("wall", 0, 1);
    b.AddQuad(wall, {-2500, -2500, 0}, {2500, -2500, 0}, {2500, 2500, 0}, {-2500, 2500, 0},
              {0, 0, 1});
    b.brushes.assign(kHostileBrushes, test::TestBrush{wall, {}});
    b.brushes[0].planes = test::BoxPlanes({-60000, -60000, -60000}, {60000, 60000, 60000});
    b.brushes[0].planes.push_back({{0.57735f, 0.57735f, 0.57735f}, -1500});
    b.brushesPerModel = {kHostileBrushes};
    QByteArray bytes = b.Build();
    const int32_t at = test::BspBuilder::LumpOffset(bytes, 8);
    for (int32_t i = 1; i < kHostileBrushes; ++i) {
        test::BspBuilder::SetInt(bytes, at + i * 12, 0);
        test::BspBuilder::SetInt(bytes, at + i * 12 + 4, 7);
    }
    return bytes;
}

// A round room: brush i is everything beyond the sphere's tangent plane i, within a box far
// larger than the room. Every brush is different and every box holds the whole flight.
QByteArray RoundRoom() {
    test::BspBuilder b;
    const int32_t wall = b.AddShader("wall", 0, 1);
    b.AddQuad(wall, {-2500, -2500, 0}, {2500, -2500, 0}, {2500, 2500, 0}, {-2500, 2500, 0},
              {0, 0, 1});
    const double golden = 3.14159265358979 * (3 - std::sqrt(5.0));
    for (int32_t i = 0; i < kHostileBrushes; ++i) {
        const double z = 1 - 2 * (i + 0.5) / kHostileBrushes, r = std::sqrt(1 - z * z);
        const MapVec3 n{float(-r * std::cos(golden * i)), float(-r * std::sin(golden * i)),
                        float(-z)};
        test::TestBrush brush{wall, test::BoxPlanes({-8000, -8000, -8000}, {8000, 8000, 8000})};
        brush.planes.push_back({n, -kRoomRadius});
        b.brushes.push_back(brush);
    }
    b.brushesPerModel = {kHostileBrushes};
    return b.Build();
}

// Through the middle of the room and out through its walls.
std::vector<MapVec3> RoomFlight() {
    const float e = 1.1f * kRoomRadius;
    return Flight({{{-e, e}, {-e, e}, {-e, e}}}, 40000);
}

// The map written as maps/hostile.bsp in a .pk3 and loaded from there, as the editor would;
// nullptr when that fails. The label names it and the archive's size.
const BspMap* Hostile(QByteArray (*make)(), const char* name, std::string& label) {
    static QTemporaryDir dir;
    const QString pk3 = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".pk3"));
    auto* map = new BspMap; // kept for the whole run
    if (!test::WriteZip(pk3, {{"maps/hostile.bsp", make()}}) ||
        !map->Load(pk3 + QStringLiteral(":maps/hostile.bsp"), kMapOptionPatches).isEmpty())
        return nullptr;
    label = QStringLiteral("%1, %2-byte pk3")
                .arg(QString::fromLatin1(name))
                .arg(QFileInfo(pk3).size())
                .toStdString();
    return map;
}

void CheckHostile(benchmark::State& state, const BspMap* map, const std::string& label) {
    if (!map) {
        state.SkipWithError("the hostile map could not be written or read");
        return;
    }
    state.SetLabel(label);
    Check40000(state, *map, RoomFlight());
}

void BM_Clearance40000RepeatedBrush(benchmark::State& state) {
    static std::string label;
    static const BspMap* map = Hostile(RepeatedBrush, "one brush 65536 times", label);
    CheckHostile(state, map, label);
}
BENCHMARK(BM_Clearance40000RepeatedBrush)->Unit(benchmark::kMillisecond);

void BM_Clearance40000RoundRoom(benchmark::State& state) {
    static std::string label;
    static const BspMap* map = Hostile(RoundRoom, "round room of 65536 brushes", label);
    CheckHostile(state, map, label);
}
BENCHMARK(BM_Clearance40000RoundRoom)->Unit(benchmark::kMillisecond);

// What a load adds for the clearance: reading the brushes and sorting them into the grid.
void BM_ReadAndIndexBrushes(benchmark::State& state) {
    if (!Map(state))
        return;
    static const QByteArray bytes = [] {
        QByteArray b;
        ReadMapBytes(LargestMap(), b);
        return b;
    }();
    for (auto _ : state) {
        SolidBrushes brushes;
        ReadSolidBrushes(bytes, brushes);
        ClearanceIndex index(std::move(brushes));
        benchmark::DoNotOptimize(index);
    }
}
BENCHMARK(BM_ReadAndIndexBrushes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
