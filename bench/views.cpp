// One redraw of the view surface at 1024 x 768: 250 control points, a 40000-point path and the
// largest OpenArena map, in the X-Y plan and in the 3D view (run under xvfb-run).
// The ways of drawing:
// - "VertexAtATime": as the views first did (every path dot sent on its own and evaluated again
//   each frame), and "Arrays": everything drawn, the dots from arrays. Neither keeps layers.
// - The view's own paint, which keeps layers: "Repaint" changes nothing between redraws (a
//   hover, a rubber band, a table selection, an expose), "PointMoved" moves one control point
//   each time (a drag), "ViewMoved" pans the plan or turns the camera each time.
// - "PlainDots" (the path dots without point smoothing) and "NoSmoothing" (no point smoothed):
//   llvmpipe sends smoothed points through its slow per-primitive stage, and these tell what
//   that costs. Both change the picture, so they only measure.
// The view draws only the path dots it can tell apart, the trace grouped by kind and its times
// as one batch of glyphs; the rows whose name ends in "AsBefore" draw every dot, segment by
// segment and glyph by glyph, as the views did before, so that both come from the same run.
// VertexAtATime and Arrays draw every dot too.
// - "ThinPathDots": what thinning the 40000 dots for a new view costs.
// - "PreviewPlay": frames shown a second while the preview plays a trace at 50 frames a
//   second in 3D (it skips path points to keep time when a redraw is slow).

#include "core/files/trace_file.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/view/dot_thinning.h"
#include "core/view/preview.h"
#include "openarena_maps.h"
#include "ui/gl_format.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"
#include "ui/view/real_gl.h"
#include "ui/view/scene.h"

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

enum class Way { VertexAtATime, Arrays, PlainDots, NoSmoothing, Repaint, PointMoved, ViewMoved };

bool ViewsOwnPaint(Way way) {
    return way == Way::Repaint || way == Way::PointMoved || way == Way::ViewMoved;
}

// Forwards every call, but sends array draws one vertex at a time, or without smoothing.
class ForwardingGl : public ui::GlApi {
public:
    ForwardingGl(ui::GlApi& to, Way way) : to_(to), way_(way) {}
    void Clear() override { to_.Clear(); }
    void MatrixMode(ui::GlMatrix m) override { to_.MatrixMode(m); }
    void LoadIdentity() override { to_.LoadIdentity(); }
    void PushMatrix() override { to_.PushMatrix(); }
    void PopMatrix() override { to_.PopMatrix(); }
    void Rotate(float a, float x, float y, float z) override { to_.Rotate(a, x, y, z); }
    void Translate(float x, float y, float z) override { to_.Translate(x, y, z); }
    void Ortho(double l, double r, double b, double t, double n, double f) override {
        to_.Ortho(l, r, b, t, n, f);
    }
    void Frustum(double l, double r, double b, double t, double n, double f) override {
        to_.Frustum(l, r, b, t, n, f);
    }
    void Color(float r, float g, float b, float a) override { to_.Color(r, g, b, a); }
    void PointSize(float size) override { to_.PointSize(size); }
    void LineWidth(float width) override { to_.LineWidth(width); }
    void LineStipple(int factor, uint16_t pattern) override { to_.LineStipple(factor, pattern); }
    void Enable(ui::GlCap cap) override { to_.Enable(cap); }
    void Disable(ui::GlCap cap) override { to_.Disable(cap); }
    void Begin(ui::GlPrimitive p) override { to_.Begin(p); }
    void Vertex(float x, float y, float z) override { to_.Vertex(x, y, z); }
    void Vertex2(double x, double y) override { to_.Vertex2(x, y); }
    void End() override { to_.End(); }
    void DrawArrays(ui::GlPrimitive p, const float* xyz, int count) override {
        if (way_ == Way::PlainDots) {
            to_.Disable(ui::GlCap::PointSmooth);
            to_.DrawArrays(p, xyz, count);
            to_.Enable(ui::GlCap::PointSmooth);
        } else if (way_ == Way::VertexAtATime) {
            to_.Begin(p);
            for (int i = 0; i < count; ++i)
                to_.Vertex(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
            to_.End();
        } else {
            to_.DrawArrays(p, xyz, count);
        }
    }
    bool RasterPos(float x, float y, float z) override { return to_.RasterPos(x, y, z); }
    void RasterPos2(double x, double y) override { to_.RasterPos2(x, y); }
    void Text(const QByteArray& latin1) override { to_.Text(latin1); }
    void Flush() override { to_.Flush(); }

private:
    ui::GlApi& to_;
    Way way_;
};

struct Scene {
    Trace trace;
    ViewState views;
    Settings settings;
    std::unique_ptr<ui::BspMapComponent> map;
    std::unique_ptr<BenchView> view;
    ui::RealGl oldGl; // the first way of drawing, with its own font lists
    bool ready = false;
};

// Every way but the view's own paint draws through the bench's own GL calls and font.
void PaintThrough(Scene& s, Way way) {
    ui::SceneInput in = s.view->CurrentSceneInput();
    if (way == Way::VertexAtATime)
        in.pathDots = nullptr;
    ForwardingGl gl(s.oldGl, way);
    ui::SetProjection(gl, in);
    gl.Disable(ui::GlCap::LineSmooth);
    if (way == Way::NoSmoothing)
        gl.Disable(ui::GlCap::PointSmooth);
    ui::Redraw(gl, in);
    if (way == Way::NoSmoothing)
        gl.Enable(ui::GlCap::PointSmooth);
}

Scene& Shared() {
    static Scene s = [] {
        Scene s;
        s.map = ui::CreateMapComponent();
        const QString path = bench::LargestMap();
        if (path.isEmpty() || !s.map->LoadMap(path, 4))
            return s;
        bench::SpiralOverMap(s.trace, s.map->GetBounds());
        s.view = std::make_unique<BenchView>(s.trace, s.views, s.settings);
        s.view->resize(1024, 768);
        s.view->SetMap(s.map.get(), {0, 0, 0});
        s.ready = !s.view->grabFramebuffer().isNull(); // creates the context and the map's lists
        if (s.ready) {
            s.view->makeCurrent();
            s.oldGl.BuildFont();
            s.view->doneCurrent();
        }
        return s;
    }();
    return s;
}

// What the trace draws besides its points and path dots.
enum class Extras { All, NoTimes, None };

// Whether the path dots are thinned for the view (the view's own way) or all drawn.
enum class Dots { Thinned, Every };

void Redraw(benchmark::State& state, int view, bool withMap, bool withTrace, Way way,
            Dots dots = Dots::Thinned, Extras extras = Extras::All) {
    Scene& s = Shared();
    if (!s.ready) {
        state.SkipWithError("no OpenGL context or no OpenArena map");
        return;
    }
    s.view->SetPathThinning(dots == Dots::Thinned && ViewsOwnPaint(way));
    s.view->SetGroupedDrawing(dots == Dots::Thinned);
    s.view->SetMap(withMap ? s.map.get() : nullptr, {0, 0, 0});
    s.settings.showTimes = extras == Extras::All;
    s.settings.showArrows = s.settings.showTangent = extras != Extras::None;
    // The map alone: the same trace with its points hidden draws nothing of it.
    Trace kept;
    if (!withTrace) {
        kept = s.trace;
        s.trace.points.count[kControl] = 0;
    }
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
    s.view->grabFramebuffer(); // lists of this kind of view compiled, layers kept, before timing
    const ui::LayerCache before = s.view->Layers();
    s.view->makeCurrent();
    PointRecord& moved = s.trace.points.rec[kControl][125];
    const PointRecord keptPoint = moved;
    const ViewCamera keptCamera = s.views.camera;
    const float step = 0.25f; // every redraw a new place, never one seen before
    for (auto _ : state) {
        if (way == Way::PointMoved) {
            moved.x += step;
        } else if (way == Way::ViewMoved) {
            if (view == 3)
                s.views.camera.yaw += step;
            else
                s.view->Navigator().PanTo(s.view->Navigator().Current().centreH + step,
                                          s.view->Navigator().Current().centreV);
        }
        if (ViewsOwnPaint(way))
            s.view->paintGL();
        else
            PaintThrough(s, way);
        glFinish();
    }
    s.view->doneCurrent();
    moved = keptPoint;
    s.views.camera = keptCamera;
    const ui::LayerCache& after = s.view->Layers();
    state.counters["scene_reused"] = after.sceneReused - before.sceneReused;
    state.counters["map_reused"] = after.baseReused - before.baseReused;
    s.view->SetPathThinning(true);
    s.view->SetGroupedDrawing(true);
    if (!withTrace)
        s.trace = kept;
    state.SetLabel(bench::LargestMap().section(QLatin1Char('/'), -1).toStdString());
}

void BM_RedrawPlanXY(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, true, true, way, dots);
}
void BM_Redraw3D(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 3, true, true, way, dots);
}
// The trace alone and the map alone, to tell their shares apart.
void BM_RedrawPlanXYTraceOnly(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, false, true, way, dots);
}
void BM_Redraw3DTraceOnly(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 3, false, true, way, dots);
}
// Where the trace's time goes: without the time labels, then with the points and dots alone.
void BM_RedrawPlanXYTraceNoTimes(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, false, true, way, dots, Extras::NoTimes);
}
void BM_RedrawPlanXYTracePointsAndDots(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, false, true, way, dots, Extras::None);
}
// Neither map nor trace: the clear, the grid and the rulers.
void BM_RedrawPlanXYEmpty(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, false, false, way, dots);
}
void BM_RedrawPlanXYMapOnly(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 0, true, false, way, dots);
}
void BM_Redraw3DMapOnly(benchmark::State& state, Way way, Dots dots) {
    Redraw(state, 3, true, false, way, dots);
}

// Thinning the whole path for a new view: a pan of the fitted plan, a turn of the 3D camera.
void BM_ThinPathDots(benchmark::State& state, int view) {
    Scene& s = Shared();
    if (!s.ready) {
        state.SkipWithError("no OpenGL context or no OpenArena map");
        return;
    }
    s.view->SelectView(view);
    if (view == 3)
        s.view->LookAtPoints();
    else
        s.view->FitAll();
    s.view->grabFramebuffer(); // the dots evaluated
    const ui::SceneInput in = s.view->CurrentSceneInput();
    const ScreenProjection projection =
        ScreenProjection::OfView(in.viewMode, in.metrics, in.centreH, in.centreV, *in.camera);
    std::vector<float> shown;
    size_t dots = 0, kept = 0;
    for (auto _ : state) {
        dots = kept = 0;
        for (const ui::PathDotCache::Segment& seg : s.view->PathDots().segments) {
            shown.clear();
            const auto count = static_cast<int32_t>(seg.xyz.size() / 3);
            ThinDots(seg.xyz.data(), count, projection, ThinningRule{}, shown);
            dots += static_cast<size_t>(count);
            kept += shown.size() / 3;
        }
        benchmark::DoNotOptimize(shown.data());
    }
    state.counters["dots"] = static_cast<double>(dots);
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK_CAPTURE(BM_ThinPathDots, PlanXY, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThinPathDots, 3D, 3)->Unit(benchmark::kMillisecond);

// The traces the preview plays: the example alone or over the largest map, and the timings'
// spiral of 250 points (40000 path points) over it.
enum class Flight { Example, ExampleOverMap, Spiral };

Trace ExampleTrace() {
    Trace t;
    TraceFileContents c;
    if (const auto lines = ReadTraceFileLines(QStringLiteral(KESTROVA_EXAMPLES "/example.dfkv")))
        ReadTraceFile(*lines, c);
    t.points = c.points;
    t.counts.pointCount = CountFromText(c.stepText[static_cast<size_t>(c.stepIdx)]);
    RebuildPath(t);
    UpdateTimeLabels(t);
    return t;
}

// Plays for a few seconds at 50 frames a second, as the 3D panel does: each turn of its loop
// shows the frame due now, skipping those a slow redraw let pass.
void BM_PreviewPlay(benchmark::State& state, Flight flight, Dots dots) {
    Scene& s = Shared();
    if (!s.ready) {
        state.SkipWithError("no OpenGL context or no OpenArena map");
        return;
    }
    const Trace kept = s.trace;
    if (flight != Flight::Spiral)
        s.trace = ExampleTrace();
    if (s.trace.ControlCount() < 2) {
        s.trace = kept;
        state.SkipWithError("the example trace could not be read");
        return;
    }
    s.trace.counts.frameRate = 50;
    s.view->SetMap(flight == Flight::Example ? nullptr : s.map.get(), {0, 0, 0});
    s.view->SetPathThinning(dots == Dots::Thinned);
    s.view->SetGroupedDrawing(dots == Dots::Thinned);
    s.view->SelectView(3);
    const ViewCamera keptCamera = s.views.camera;
    s.view->grabFramebuffer();
    ElapsedPreviewClock clock;
    PathPreview preview(s.trace, s.views.camera, clock);
    constexpr int64_t kPlayMs = 4000;
    double shown = 0, due = 0, seconds = 0;
    for (auto _ : state) {
        preview.Lock();
        preview.Command(kPvwFirst);
        preview.Command(kPvwPlay);
        s.view->makeCurrent();
        const int64_t start = clock.NowMs();
        int64_t now = start;
        int32_t frames = 0;
        while (preview.Playing() && (now = clock.NowMs()) - start < kPlayMs) {
            if (preview.Tick().camera) {
                s.view->paintGL();
                glFinish();
                ++frames;
            }
        }
        s.view->doneCurrent();
        const int32_t reached = preview.PathIndex();
        preview.Command(kPvwStop);
        preview.Unlock();
        seconds = static_cast<double>(now - start) / 1000;
        shown = frames / seconds;
        due = reached / seconds;
    }
    state.counters["shown_per_s"] = shown;
    state.counters["due_per_s"] = due;
    s.views.camera = keptCamera;
    s.trace = kept;
    s.view->SetPathThinning(true);
    s.view->SetGroupedDrawing(true);
}

#define KESTROVA_PREVIEW_BENCH(flight)                                                             \
    BENCHMARK_CAPTURE(BM_PreviewPlay, flight, Flight::flight, Dots::Thinned)                       \
        ->Iterations(1)                                                                            \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(BM_PreviewPlay, flight##AsBefore, Flight::flight, Dots::Every)               \
        ->Iterations(1)                                                                            \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()
KESTROVA_PREVIEW_BENCH(Example);
KESTROVA_PREVIEW_BENCH(ExampleOverMap);
KESTROVA_PREVIEW_BENCH(Spiral);

#define KESTROVA_BENCH_WAY(name, way)                                                              \
    BENCHMARK_CAPTURE(name, way, Way::way, Dots::Thinned)                                          \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()
#define KESTROVA_BENCH_EVERY_DOT(name, way)                                                        \
    BENCHMARK_CAPTURE(name, way##AsBefore, Way::way, Dots::Every)                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()

#define KESTROVA_VIEW_BENCH(name)                                                                  \
    KESTROVA_BENCH_WAY(name, VertexAtATime);                                                       \
    KESTROVA_BENCH_WAY(name, Arrays);                                                              \
    KESTROVA_BENCH_WAY(name, Repaint);                                                             \
    KESTROVA_BENCH_EVERY_DOT(name, Repaint);                                                       \
    KESTROVA_BENCH_WAY(name, PointMoved);                                                          \
    KESTROVA_BENCH_EVERY_DOT(name, PointMoved);                                                    \
    KESTROVA_BENCH_WAY(name, ViewMoved);                                                           \
    KESTROVA_BENCH_EVERY_DOT(name, ViewMoved)

#define KESTROVA_SMOOTHING_BENCH(name)                                                             \
    KESTROVA_BENCH_WAY(name, PlainDots);                                                           \
    KESTROVA_BENCH_WAY(name, NoSmoothing)

KESTROVA_VIEW_BENCH(BM_RedrawPlanXY);
KESTROVA_SMOOTHING_BENCH(BM_RedrawPlanXY);
KESTROVA_VIEW_BENCH(BM_Redraw3D);
KESTROVA_SMOOTHING_BENCH(BM_Redraw3D);
KESTROVA_VIEW_BENCH(BM_RedrawPlanXYTraceOnly);
KESTROVA_SMOOTHING_BENCH(BM_RedrawPlanXYTraceOnly);
KESTROVA_VIEW_BENCH(BM_Redraw3DTraceOnly);
KESTROVA_SMOOTHING_BENCH(BM_Redraw3DTraceOnly);
KESTROVA_VIEW_BENCH(BM_RedrawPlanXYTraceNoTimes);
KESTROVA_VIEW_BENCH(BM_RedrawPlanXYTracePointsAndDots);
KESTROVA_SMOOTHING_BENCH(BM_RedrawPlanXYTracePointsAndDots);
KESTROVA_VIEW_BENCH(BM_RedrawPlanXYEmpty);
KESTROVA_VIEW_BENCH(BM_RedrawPlanXYMapOnly);
KESTROVA_VIEW_BENCH(BM_Redraw3DMapOnly);

} // namespace

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(ui::DefaultGlFormat());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Scene& s = Shared();
    if (s.view) {
        s.view->makeCurrent();
        s.oldGl.DeleteFont();
        s.view->doneCurrent();
    }
    s.view.reset();
    return 0;
}
