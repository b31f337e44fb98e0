// Path rebuild speed: it runs after every edit, including every mouse move of a drag.
#include "core/path/build_path.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/path/constant_speed.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace kestrova;

Trace MakeLargeTrace(bool wiggle) {
    Trace t;
    for (int i = 0; i < kMaxPoints; ++i) {
        const double a = i * 0.1;
        AppendPointXYZ(t, kControl, 1000 * std::cos(a), 1000 * std::sin(a), i * 4.0,
                       Angles{float(i % 30), float(i * 3 % 360), 0}, false);
        SetPointField(t.points, kControl, i + 1, kFieldFov, 80.0f + i % 20);
        if (wiggle)
            SetPointField(t.points, kControl, i + 1, kFieldWgA, 3.0f);
    }
    t.counts.pointCount = FindFeasiblePointCount(40000, t.ControlCount());
    return t;
}

void BM_BuildPath(benchmark::State& state) {
    Trace t = MakeLargeTrace(state.range(0) != 0);
    UniformRandom rng(7);
    for (auto _ : state) {
        RebuildPath(t, rng);
        benchmark::DoNotOptimize(t.path.data());
    }
    state.counters["points"] = t.pathUpper + 1;
}
BENCHMARK(BM_BuildPath)->Arg(0)->Arg(1)->ArgNames({"wiggle"})->Unit(benchmark::kMicrosecond);

// One step of a drag: move a point, keep its tangents up, rebuild.
void BM_EditCycle(benchmark::State& state) {
    Trace t = MakeLargeTrace(false);
    UniformRandom rng(7);
    int step = 0;
    for (auto _ : state) {
        const int i = 1 + step++ % kMaxPoints;
        PointRecord& p = t.points.rec[kControl][i];
        p.x += 0.5f;
        UpdateTangentsAround(t.points, i);
        RebuildPath(t, rng);
        benchmark::DoNotOptimize(t.path.data());
    }
}
BENCHMARK(BM_EditCycle)->Unit(benchmark::kMicrosecond);

// Re-spacing alone, on the largest path as built (the copy back is not timed).
void BM_RespaceByArcLength(benchmark::State& state) {
    Trace t = MakeLargeTrace(false);
    UniformRandom rng(7);
    RebuildPath(t, rng);
    std::vector<PointRecord> path;
    for (auto _ : state) {
        state.PauseTiming();
        path = t.path;
        state.ResumeTiming();
        RespaceByArcLength(path);
        benchmark::DoNotOptimize(path.data());
    }
    state.counters["points"] = static_cast<double>(path.size());
}
BENCHMARK(BM_RespaceByArcLength)->Unit(benchmark::kMicrosecond);

// The editor's rebuild with the option on: the build, the re-spacing and the time labels.
void BM_BuildPathConstantSpeed(benchmark::State& state) {
    Trace t = MakeLargeTrace(state.range(0) != 0);
    t.points.constantSpeed = true;
    UniformRandom rng(7);
    for (auto _ : state) {
        RebuildPath(t, rng);
        benchmark::DoNotOptimize(t.path.data());
    }
    state.counters["points"] = t.pathUpper + 1;
}
BENCHMARK(BM_BuildPathConstantSpeed)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"wiggle"})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
