// Loading and saving a full trace: 250 control and 250 reference points.
#include "core/files/trace_file.h"
#include "core/files/text_file.h"
#include "core/model/point_fields.h"
#include "core/model/undo.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace kestrova;

TraceFileContents FullTrace() {
    TraceFileContents c;
    c.game = 1;
    c.stepText = {QStringLiteral("1000"), QStringLiteral("1000")};
    PointTables& t = c.points;
    t.count = {kMaxPoints, kMaxPoints};
    for (int i = 1; i <= kMaxPoints; ++i) {
        for (int f = 1; f <= kControlFieldCount; ++f)
            SetPointField(t, kControl, i, f, static_cast<float>(i * 3.25 + f * 0.5));
        for (int f = 1; f <= kReferenceFieldCount; ++f)
            SetPointField(t, kReference, i, f, static_cast<float>(-i * 1.75 + f));
    }
    c.notes = QStringLiteral("notes\r\n");
    return c;
}

struct Files {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("full.dfkv"));
};

void BM_SaveTrace(benchmark::State& state) {
    Files f;
    Trace trace;
    KeptTraceExtras host;
    const TraceFileContents full = FullTrace();
    trace.points = full.points;
    for (auto _ : state) {
        const bool ok = WriteTraceFile(f.path, CaptureTraceFile(trace, host));
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_SaveTrace)->Unit(benchmark::kMillisecond);

// The parts without the disk: building the text and parsing it.
void BM_TraceFileText(benchmark::State& state) {
    const TraceFileContents full = FullTrace();
    for (auto _ : state)
        benchmark::DoNotOptimize(TraceFileText(full));
}
BENCHMARK(BM_TraceFileText)->Unit(benchmark::kMillisecond);

void BM_ReadTraceFile(benchmark::State& state) {
    const QStringList lines = SplitLines(TraceFileText(FullTrace()));
    for (auto _ : state) {
        TraceFileContents c;
        ReadTraceFile(lines, c);
        benchmark::DoNotOptimize(c.points.count);
    }
}
BENCHMARK(BM_ReadTraceFile)->Unit(benchmark::kMillisecond);

void BM_LoadTrace(benchmark::State& state) {
    Files f;
    WriteTraceFile(f.path, FullTrace());
    Trace trace;
    UndoHistory undo;
    KeptTraceExtras host;
    SilentDialogs dialogs;
    for (auto _ : state) {
        const auto lines = ReadFileLines(f.path);
        TraceFileContents c = CurrentTraceFileValues(trace, host);
        ReadTraceFile(*lines, c);
        ApplyTraceFile(std::move(c), trace, undo, host, dialogs);
        benchmark::DoNotOptimize(trace.pathUpper);
    }
}
BENCHMARK(BM_LoadTrace)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
