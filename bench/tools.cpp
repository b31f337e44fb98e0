// One pointer move of the editing tools in the X-Y plan: 250 control and 250 reference points,
// a 40000-point path and the largest OpenArena map with snapping on (hover test, snap query and
// pointer caption), without a window.

#include "core/view/tools.h"
#include "core/map/bsp_map.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "openarena_maps.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace kestrova;

struct Setup {
    Trace trace;
    ViewState views;
    ViewNavigator nav{views};
    SilentDialogs dialogs;
    BspMap map;
    std::unique_ptr<ToolMachine> tools;
    MapBoundsArray b{};
    bool ready = false;
};

Setup& Shared() {
    static Setup s;
    static bool done = false;
    if (done)
        return s;
    done = true;
    if (bench::LargestMap().isEmpty() || !s.map.Load(bench::LargestMap(), 4).isEmpty())
        return s;
    s.b = s.map.GetBounds();
    const auto& b = s.b;
    s.trace.counts.pointCount = 40000;
    for (int kind : {kControl, kReference})
        for (int i = 0; i < kMaxPoints; ++i) {
            const double a = i / 249.0 * 6 * 3.14159265358979 + kind;
            const double r = 0.45 * i / 249.0;
            AppendPointXYZ(s.trace, kind,
                           (b[0][0] + b[0][1]) / 2 + r * (b[0][1] - b[0][0]) * std::cos(a),
                           (b[1][0] + b[1][1]) / 2 + r * (b[1][1] - b[1][0]) * std::sin(a),
                           (b[2][0] + b[2][1]) / 2, std::nullopt, false);
        }
    RebuildPath(s.trace);
    s.nav.metrics.Resize(1024, 768);
    s.nav.SelectView(0);
    s.tools = std::make_unique<ToolMachine>(s.trace, s.nav, s.dialogs);
    s.tools->context.snapControl = true;
    const BspMap* map = &s.map;
    s.tools->context.snapToMap = [map](WorldPos& at, int plane, float radius) {
        return map->SnapToMap(at[0], at[1], at[2], plane, radius);
    };
    s.ready = s.trace.pathUpper >= 39999;
    return s;
}

// The pointer sweeps the map in a grid of steps; every move does the full hover work.
void BM_PointerMove(benchmark::State& state) {
    Setup& s = Shared();
    if (!s.ready) {
        state.SkipWithError("no OpenArena map installed");
        return;
    }
    s.tools->context.tool = static_cast<int>(state.range(0));
    const auto& b = s.b;
    int step = 0;
    int markers = 0;
    for (auto _ : state) {
        ToolInput in;
        in.px = step % 1024;
        in.py = (step / 1024) % 768;
        in.world = {static_cast<float>(b[0][0] + (b[0][1] - b[0][0]) * in.px / 1024),
                    static_cast<float>(b[1][0] + (b[1][1] - b[1][0]) * in.py / 768), 0};
        ToolEffect e = s.tools->Move(in);
        markers += s.tools->MarkerVisible();
        benchmark::DoNotOptimize(e);
        step += 7;
    }
    state.counters["marker_shown"] =
        benchmark::Counter(markers, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PointerMove)->Arg(kToolPoints)->Arg(kToolTangents)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
