// A 40000-point Defrag camera script with every option on, generated and written to disk.

#include "core/script/script_writer.h"
#include "core/dialogs.h"
#include "core/path/tangents.h"
#include "core/script/script_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace kestrova {
namespace {

Trace LongTrace() {
    Trace t;
    const int controls = 68; // 39999 steps share evenly among 67 segments
    for (int i = 1; i <= controls; ++i) {
        PointRecord& r = t.points.rec[kControl][i];
        r.x = -12000.0f + 350.0f * static_cast<float>(i);
        r.y = 3000.0f * static_cast<float>((i % 5) - 2);
        r.z = -200.0f + 37.5f * static_cast<float>(i % 7);
        r.pitch = static_cast<float>((i % 9) - 4) * 5.0f;
        r.yaw = static_cast<float>(i * 17 % 360);
        r.roll = static_cast<float>((i % 3) - 1) * 2.5f;
        r.fov = 80.0f + static_cast<float>(i % 4) * 5.0f;
        r.ts = 0.25f + static_cast<float>(i % 4) * 0.25f;
        r.wgA = i % 6 == 0 ? 3.0f : 0.0f;
        r.wgF = 4;
    }
    t.points.count[kControl] = controls;
    for (int i = 1; i <= controls; ++i)
        UpdateTangentsAround(t.points, i);
    t.counts.pointCount = 40000;
    t.counts.transSpeedText = "1000";
    ScriptRunOptions& s = t.script;
    s.cameraMode = 1;
    s.player = 3;
    s.includeFov = s.includeTs = s.includeMsg = true;
    s.pauseEnabled = true;
    s.pauseEveryText = "10";
    s.bindKeyIndex = 76;
    s.autoStartEnabled = true;
    s.autoStartMsText = "65000";
    s.commandsBefore = "Before\\cams\\before.cfg";
    s.commandsAfter = "After\\cams\\after.cfg";
    return t;
}

void BM_DefragScript40000(benchmark::State& state) {
    QTemporaryDir temp;
    QDir root(temp.path());
    QFile(root.filePath("quake3")).open(QIODevice::WriteOnly);
    root.mkpath("defrag/cams");
    const QString savePath = root.filePath("defrag/cams/bench.cfg");
    Trace trace = LongTrace();
    SilentDialogs dialogs;
    int files = 0;
    for (auto _ : state) {
        UniformRandom rng(1);
        const ScriptWriteResult r = CreateCameraScript(savePath, trace, kGameDefrag, dialogs, rng);
        if (r.status != ScriptWriteStatus::Written || r.pointCount != 40000) {
            state.SkipWithError("script not written");
            break;
        }
        files = static_cast<int>(r.files.size());
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_DefragScript40000)->Unit(benchmark::kMillisecond);

// Writing alone, against a baseline of plain writes of the same bytes into the same files: the
// atomic replacement of each file should cost little beyond the writes themselves.
struct WrittenChain {
    QTemporaryDir temp;
    QString savePath;
    CameraScript script;
    QList<QPair<QString, QByteArray>> files; // what one run leaves on disk
};

WrittenChain& Chain() {
    static WrittenChain c = [] {
        WrittenChain w;
        QDir root(w.temp.path());
        QFile(root.filePath("quake3")).open(QIODevice::WriteOnly);
        root.mkpath("defrag/cams");
        w.savePath = root.filePath("defrag/cams/bench.cfg");
        Trace trace = LongTrace();
        UniformRandom rng(1);
        w.script = GenerateCameraScript(trace, kGameDefrag, rng);
        SilentDialogs dialogs;
        const ScriptWriteResult r = WriteCameraScript(
            w.script, LocateScript(w.savePath, kGameDefrag), trace.script, dialogs);
        for (const QString& name : r.files) {
            QFile f(name);
            f.open(QIODevice::ReadOnly);
            w.files.append({name, f.readAll()});
        }
        return w;
    }();
    return c;
}

void BM_WriteChain40000(benchmark::State& state) {
    WrittenChain& c = Chain();
    const Trace trace = LongTrace();
    const ScriptLocation location = LocateScript(c.savePath, kGameDefrag);
    SilentDialogs dialogs;
    for (auto _ : state) {
        const ScriptWriteResult r = WriteCameraScript(c.script, location, trace.script, dialogs);
        if (r.status != ScriptWriteStatus::Written) {
            state.SkipWithError("script not written");
            break;
        }
    }
    state.counters["files"] = static_cast<double>(c.files.size());
}
BENCHMARK(BM_WriteChain40000)->Unit(benchmark::kMillisecond);

void BM_PlainWritesBaseline(benchmark::State& state) {
    WrittenChain& c = Chain();
    for (auto _ : state) {
        for (const auto& [name, bytes] : c.files) {
            QFile f(name);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                f.write(bytes) != bytes.size()) {
                state.SkipWithError("plain write failed");
                return;
            }
        }
    }
    state.counters["files"] = static_cast<double>(c.files.size());
}
BENCHMARK(BM_PlainWritesBaseline)->Unit(benchmark::kMillisecond);

// What the writer did before: a flushed-to-disk replacement per file.
void BM_SyncedWritesPerFile(benchmark::State& state) {
    WrittenChain& c = Chain();
    for (auto _ : state) {
        for (const auto& [name, bytes] : c.files) {
            QSaveFile f(name);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
                state.SkipWithError("synced write failed");
                return;
            }
        }
    }
    state.counters["files"] = static_cast<double>(c.files.size());
}
BENCHMARK(BM_SyncedWritesPerFile)->Unit(benchmark::kMillisecond);

// Generation alone: path and lines, no disk.
void BM_DefragScript40000Texts(benchmark::State& state) {
    Trace trace = LongTrace();
    for (auto _ : state) {
        UniformRandom rng(1);
        CameraScript s = GenerateCameraScript(trace, kGameDefrag, rng);
        benchmark::DoNotOptimize(s.scripts.data());
    }
}
BENCHMARK(BM_DefragScript40000Texts)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrova

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
