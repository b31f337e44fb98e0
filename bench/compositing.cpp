// The road to compositing tools: a 40000-point path written as a camera file, a 40000-frame
// camera fitted back into a trace, and the largest OpenArena map written as a Wavefront file.

#include "core/files/cam_file.h"
#include "core/files/cam_fit.h"
#include "core/files/obj_export.h"
#include "core/files/text_file.h"
#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/path/tangents.h"
#include "openarena_maps.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace kestrova {
namespace {

// 12 control points sweeping through a large map with turns past 180 and a changing fov.
Trace LongTrace(bool wiggle) {
    Trace t;
    const int controls = 12;
    for (int i = 1; i <= controls; ++i) {
        PointRecord& r = t.points.rec[kControl][i];
        r.x = 1500.0f * std::cos(0.6f * i);
        r.y = 1500.0f * std::sin(0.6f * i) + 100.0f * i;
        r.z = 200.0f + 40.0f * (i % 3);
        r.pitch = float((i % 5) - 2) * 8.0f;
        r.yaw = 40.0f * i;
        r.roll = float((i % 3) - 1) * 3.0f;
        r.fov = 80.0f + float(i % 4) * 6.0f;
        r.ts = 1.0f;
        r.wgA = wiggle && i % 4 == 0 ? 0.3f : 0.0f;
        r.wgF = 4;
    }
    t.points.count[kControl] = controls;
    for (int i = 1; i <= controls; ++i)
        UpdateTangentsAround(t.points, i);
    t.counts.pointCount = 39997; // 11 segments of 3636 steps and the last point
    t.counts.frameRate = 125;
    return t;
}

// 0: the path and its text; 1: written to disk as well (replaced atomically and flushed).
void BM_CamExport40000(benchmark::State& state) {
    QTemporaryDir temp;
    const QString path = temp.filePath("fly.cam");
    const Trace trace = LongTrace(true);
    int32_t points = 0;
    for (auto _ : state) {
        UniformRandom rng(1);
        const QByteArray text = TraceCamFileText(trace, rng, &points);
        if (state.range(0) && !WriteWholeFile(path, text))
            state.SkipWithError("cannot write the camera file");
        benchmark::DoNotOptimize(text.size());
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_CamExport40000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A hand-held camera wandering for 320 s: more than 250 control points would be needed, so every
// count of segments is tried (the slowest case).
std::vector<CamFrame> Wandering() {
    std::vector<CamFrame> frames(40000);
    for (size_t k = 0; k < frames.size(); ++k) {
        const double t = double(k) / 125;
        frames[k] = {t,
                     800 * std::sin(t * 0.05) + 40 * std::sin(t * 1.3),
                     600 * std::cos(t * 0.031),
                     100 + 30 * std::sin(t * 0.7),
                     0,
                     10 * std::sin(t * 0.2),
                     std::fmod(t * 7, 360.0) - 180,
                     90 + 10 * std::sin(t * 0.1)};
    }
    return frames;
}

void BM_CamFit40000(benchmark::State& state) {
    UniformRandom rng(1);
    std::vector<CamFrame> frames;
    if (state.range(0) == 2)
        frames = Wandering();
    else
        ReadCamFile(TraceCamFileText(LongTrace(state.range(0) != 0), rng), frames);
    CamFit fit;
    for (auto _ : state)
        fit = FitCamFrames(frames);
    state.counters["frames"] = double(frames.size());
    state.counters["controls"] = fit.points.count[kControl];
    state.counters["within"] = fit.withinTolerance;
    state.counters["units"] = fit.unitsError;
    state.counters["degrees"] = fit.degreesError;
}
// 0: the smooth path; 1: with a wiggle; 2: the wandering camera.
BENCHMARK(BM_CamFit40000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_MapObjLargestOpenArena(benchmark::State& state) {
    const QString source = bench::LargestMap();
    BspMap map;
    if (source.isEmpty() || !map.Load(source, kMapOptionPatches).isEmpty()) {
        state.SkipWithError("no OpenArena map installed");
        return;
    }
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = ObjFileText(map.Geometry(), {0, 0, 0}).size();
    state.counters["triangles"] = map.Geometry().TriangleCount();
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_MapObjLargestOpenArena)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrova

BENCHMARK_MAIN();
