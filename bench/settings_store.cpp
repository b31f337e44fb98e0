// Cost of the settings store: the shutdown save (one atomic file write) and the start-up reads.
#include "core/game/game_state.h"
#include "core/settings/registry.h"
#include "core/settings/settings.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace kestrova;

void PointStoreAt(const QTemporaryDir& dir) {
    qputenv("KESTROVA3D_REGISTRY", dir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
}

void FillLists(GameState& state) {
    for (int i = 0; i < 20; ++i) {
        state.cmdsBefore.Add(QStringLiteral("defrag\\before\\%1.cfg").arg(i));
        state.gameConfigs.Add(QStringLiteral("baseq3\\configs\\%1.cfg").arg(i));
    }
}

void BM_SaveSettings(benchmark::State& st) {
    QTemporaryDir dir;
    PointStoreAt(dir);
    Settings settings;
    GameState state;
    SwitchToStartupGame(state, 1);
    FillLists(state);
    for (auto _ : st)
        SaveSettings(settings, state);
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

void BM_LoadSettingsAndLists(benchmark::State& st) {
    QTemporaryDir dir;
    PointStoreAt(dir);
    {
        Settings settings;
        GameState state;
        SwitchToStartupGame(state, 1);
        FillLists(state);
        SaveSettings(settings, state);
    }
    for (auto _ : st) {
        Settings settings;
        GameState state;
        LoadSettings(settings, state, ScreenTwips{19200, 15360});
        SwitchToStartupGame(state, state.currentGame);
        benchmark::DoNotOptimize(state.gameConfigs.Count());
    }
}
BENCHMARK(BM_LoadSettingsAndLists)->Unit(benchmark::kMicrosecond);

// One value written outside a batch: a full atomic rewrite of the file.
void BM_SingleWrite(benchmark::State& st) {
    QTemporaryDir dir;
    PointStoreAt(dir);
    int i = 0;
    for (auto _ : st)
        RegWriteValue(QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D"),
                      QStringLiteral("Value"), RegType::Dword, ++i);
}
BENCHMARK(BM_SingleWrite)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
