// Map component speed on the largest OpenArena map: loading, snapping, drawing one frame.

#include "core/map/bsp_map.h"
#include "core/map/bsp_reader.h"
#include "core/map/game_folder.h"
#include "core/map/map_file.h"
#include "openarena_maps.h"
#include "ui/gl_format.h"
#include "ui/map/bsp_map_component.h"

#include <GL/gl.h>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace kestrova;
using bench::LargestMap;

const QByteArray& LargestMapBytes() {
    static const QByteArray bytes = [] {
        QByteArray b;
        ReadMapBytes(LargestMap(), b);
        return b;
    }();
    return bytes;
}

bool HaveMap(benchmark::State& state) {
    if (LargestMapBytes().isEmpty()) {
        state.SkipWithError("no OpenArena maps installed");
        return false;
    }
    state.SetLabel(LargestMap().section(QLatin1Char(':'), -1).toStdString());
    return true;
}

// Reading, tessellating and indexing for snapping, from bytes in memory.
void BM_LoadLargestMap(benchmark::State& state) {
    if (!HaveMap(state))
        return;
    for (auto _ : state) {
        BspMap map;
        const QString error = map.LoadFromBytes(LargestMapBytes(), kMapOptionPatches);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_LoadLargestMap)->Unit(benchmark::kMillisecond);

// The same with the file taken out of its .pk3 archive.
void BM_LoadLargestMapFromArchive(benchmark::State& state) {
    if (!HaveMap(state))
        return;
    for (auto _ : state) {
        BspMap map;
        const QString error = map.Load(LargestMap(), kMapOptionPatches);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_LoadLargestMapFromArchive)->Unit(benchmark::kMillisecond);

// The same found by name in baseoa as the editor does, the folder's index already built.
void BM_FindAndLoadLargestMapByName(benchmark::State& state) {
    if (!HaveMap(state))
        return;
    QString archive, entry;
    SplitArchivePath(LargestMap(), archive, entry);
    const QString baseoa = QFileInfo(archive).absolutePath();
    const QString name = entry.mid(int(sizeof "maps/") - 1);
    // Later patch archives may replace it: the label says which copy wins.
    if (const auto winner = FindGameMap(baseoa, name))
        state.SetLabel((QFileInfo(winner->archive).fileName() + QLatin1Char(':') + winner->entry)
                           .toStdString());
    for (auto _ : state) {
        const auto found = FindGameMap(baseoa, name);
        if (!found) {
            state.SkipWithError("not found by name");
            return;
        }
        BspMap map;
        const QString error = map.Load(found->FullPath(), kMapOptionPatches);
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_FindAndLoadLargestMapByName)->Unit(benchmark::kMillisecond);

// 10000 queries near drawn vertices (most find one), spread over the three plans.
void BM_Snap10000(benchmark::State& state) {
    if (!HaveMap(state))
        return;
    BspMap map;
    map.LoadFromBytes(LargestMapBytes(), kMapOptionPatches);
    const auto& vertices = map.Geometry().vertices;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> jitter(-12, 12);
    std::vector<MapVec3> queries(10000);
    for (MapVec3& q : queries) {
        const MapVec3& v = vertices[random() % vertices.size()];
        q = {v[0] + jitter(random), v[1] + jitter(random), v[2] + jitter(random)};
    }
    int64_t found = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < queries.size(); ++i) {
            float x = queries[i][0], y = queries[i][1], z = queries[i][2];
            found += map.SnapToMap(x, y, z, int32_t(i % 3), 10.0f);
        }
    }
    state.counters["found"] = double(found) / state.iterations();
}
BENCHMARK(BM_Snap10000)->Unit(benchmark::kMicrosecond);

// One frame of 1024 x 768 as the views draw it, the lists already compiled.
void DrawFrame(benchmark::State& state, bool perspective) {
    if (!HaveMap(state))
        return;
    QOpenGLContext context;
    context.setFormat(ui::DefaultGlFormat());
    QOffscreenSurface surface;
    surface.setFormat(ui::DefaultGlFormat());
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface)) {
        state.SkipWithError("no OpenGL context (run under Xvfb)");
        return;
    }
    {
        QOpenGLFramebufferObject fbo(1024, 768, QOpenGLFramebufferObject::CombinedDepthStencil);
        fbo.bind();
        auto component = ui::CreateMapComponent();
        component->LoadMap(LargestMap(), 4);
        const MapBoundsArray b = component->GetBounds();
        const float cx = (b[0][0] + b[0][1]) / 2, cy = (b[1][0] + b[1][1]) / 2;
        const float cz = (b[2][0] + b[2][1]) / 2;
        const float span = std::max(b[0][1] - b[0][0], b[1][1] - b[1][0]);
        auto frame = [&] {
            glViewport(0, 0, 1024, 768);
            glClearColor(1, 1, 1, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            if (perspective) {
                // From outside one corner, 35 degrees down, looking at the middle.
                glMatrixMode(GL_PROJECTION);
                glFrustum(-0.1 * 4 / 3, 0.1 * 4 / 3, -0.1, 0.1, 0.1, 20000);
                glMatrixMode(GL_MODELVIEW);
                const float pitch = 35 * 3.14159265f / 180, yaw = 45 * 3.14159265f / 180;
                const float f[3] = {std::cos(pitch) * std::sin(yaw),
                                    std::cos(pitch) * std::cos(yaw), -std::sin(pitch)};
                const float d = span * 0.55f;
                glRotatef(35 - 90, 1, 0, 0);
                glRotatef(45, 0, 0, 1);
                glTranslatef(-(cx - f[0] * d), -(cy - f[1] * d), -(cz - f[2] * d));
                glEnable(GL_DEPTH_TEST);
            } else {
                glMatrixMode(GL_PROJECTION);
                glOrtho(cx - span * 0.6, cx + span * 0.6, cy - span * 0.45, cy + span * 0.45,
                        -25000, 25000);
                glMatrixMode(GL_MODELVIEW);
                glDisable(GL_DEPTH_TEST);
            }
            component->PrepareRender();
            component->SetRenderOrigin(0, 0, 0);
            double unused = 0;
            component->Render(unused);
            glFinish();
        };
        frame(); // compiles the display lists once
        for (auto _ : state)
            frame();
        state.counters["triangles"] = component->Map().Geometry().TriangleCount();
        // How much of the frame the map covers, to show the camera sees it.
        std::vector<unsigned char> pixels(1024 * 768 * 4);
        glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int64_t drawn = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            drawn += pixels[i] != 255 || pixels[i + 1] != 255 || pixels[i + 2] != 255;
        state.counters["covered"] = double(drawn) / (1024 * 768);
        fbo.release();
    }
    context.doneCurrent();
}

void BM_Frame3D(benchmark::State& state) {
    DrawFrame(state, true);
}
BENCHMARK(BM_Frame3D)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FramePlanXY(benchmark::State& state) {
    DrawFrame(state, false);
}
BENCHMARK(BM_FramePlanXY)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
