// One redraw of the view surface at 1024 x 768: 250 control points, a 40000-point path and the
// largest OpenArena map, in the X-Y plan and in the 3D view (run under xvfb-run).

#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "openarena_maps.h"
#include "ui/gl_format.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"

#include <GL/gl.h>
#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

using namespace kestrova;

// The surface with its paint reachable, so that a frame is timed without reading it back.
class BenchView : public ui::GlView {
public:
    using GlView::GlView;
    using GlView::paintGL;
};

struct Scene {
    Trace trace;
    ViewState views;
    Settings settings;
    std::unique_ptr<ui::BspMapComponent> map;
    std::unique_ptr<BenchView> view;
    bool ready = false;
};

Scene& Shared() {
    static Scene s = [] {
        Scene s;
        s.map = ui::CreateMapComponent();
        const QString path = bench::LargestMap();
        if (path.isEmpty() || !s.map->LoadMap(path, 4))
            return s;
        const MapBoundsArray b = s.map->GetBounds();
        // A spiral of 250 points over the map, at mid height.
        s.trace.counts.pointCount = 40000;
        for (int i = 0; i < kMaxPoints; ++i) {
            const double t = i / 249.0;
            const double a = t * 6 * 3.14159265358979;
            const double r = 0.45 * t;
            const double x = (b[0][0] + b[0][1]) / 2 + r * (b[0][1] - b[0][0]) * std::cos(a);
            const double y = (b[1][0] + b[1][1]) / 2 + r * (b[1][1] - b[1][0]) * std::sin(a);
            const double z = (b[2][0] + b[2][1]) / 2;
            AppendPointXYZ(s.trace, kControl, x, y, z, Angles{0, static_cast<float>(i), 0}, false);
        }
        RebuildPath(s.trace);
        UpdateTimeLabels(s.trace);
        s.view = std::make_unique<BenchView>(s.trace, s.views, s.settings);
        s.view->resize(1024, 768);
        s.view->SetMap(s.map.get(), {0, 0, 0});
        s.ready = !s.view->grabFramebuffer().isNull(); // creates the context and the map's lists
        return s;
    }();
    return s;
}

void Redraw(benchmark::State& state, int view, bool withMap) {
    Scene& s = Shared();
    if (!s.ready) {
        state.SkipWithError("no OpenGL context or no OpenArena map");
        return;
    }
    s.view->SetMap(withMap ? s.map.get() : nullptr, {0, 0, 0});
    s.view->SelectView(view);
    if (view == 3) {
        const MapBoundsArray b = s.map->GetBounds();
        ViewCamera& c = s.views.camera;
        c = ViewCamera{};
        c.tx = -b[0][0];
        c.ty = -b[1][0];
        c.tz = -b[2][1];
        c.yaw = 45;
        c.pitch = 30;
        c.zfar = 50000;
    } else {
        s.view->FitAll();
    }
    s.view->grabFramebuffer(); // lists of this kind of view compiled before timing
    s.view->makeCurrent();
    for (auto _ : state) {
        s.view->paintGL();
        glFinish();
    }
    s.view->doneCurrent();
    state.SetLabel(bench::LargestMap().section(QLatin1Char('/'), -1).toStdString());
}

void BM_RedrawPlanXY(benchmark::State& state) {
    Redraw(state, 0, true);
}
BENCHMARK(BM_RedrawPlanXY)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Redraw3D(benchmark::State& state) {
    Redraw(state, 3, true);
}
BENCHMARK(BM_Redraw3D)->Unit(benchmark::kMillisecond)->UseRealTime();

// The trace alone, to tell its share from the map's.
void BM_RedrawPlanXYTraceOnly(benchmark::State& state) {
    Redraw(state, 0, false);
}
BENCHMARK(BM_RedrawPlanXYTraceOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(ui::DefaultGlFormat());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Shared().view.reset();
    return 0;
}
