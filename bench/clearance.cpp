// Wall clearance on the largest OpenArena map: a 40000-point path checked against the world's
// solid brushes, as the views do after every edit, and the brushes read and indexed on load.

#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"
#include "core/map/solid_brushes.h"
#include "openarena_maps.h"

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

void BM_Clearance40000(benchmark::State& state) {
    const BspMap* map = Map(state);
    if (!map)
        return;
    const std::vector<MapVec3> points = Flight(map->GetBounds(), 40000);
    int64_t flagged = 0;
    for (auto _ : state) {
        const std::vector<Clearance> v = map->Clearances().Classify(points, kDefaultClearance);
        flagged = 0;
        for (Clearance c : v)
            flagged += c != Clearance::Clear;
        benchmark::DoNotOptimize(flagged);
    }
    state.counters["brushes"] = double(map->Clearances().BrushCount());
    state.counters["flagged"] = double(flagged);
}
BENCHMARK(BM_Clearance40000)->Unit(benchmark::kMillisecond);

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
