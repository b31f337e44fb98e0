// Cost of the settings store: the shutdown save (one atomic file write) and the start-up reads.
#include "core/game/game_state.h"
#include "core/settings/registry.h"
#include "core/settings/settings.h"

#include <QFile>
#include <QFileInfo>
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

// A store of about 1 MB: 20000 configuration scripts of the start-up game, and 20000 more values
// under a key of their own. Each round reads it from the file again (two copies, taken in turn)
// and loads the settings and the game's lists from it.
void BM_LoadLargeStore(benchmark::State& st) {
    QTemporaryDir dir;
    const QString paths[2] = {dir.filePath(QStringLiteral("a.json")),
                              dir.filePath(QStringLiteral("b.json"))};
    qputenv("KESTROVA3D_REGISTRY", paths[0].toLocal8Bit());
    {
        RegistryBatch batch;
        const QString root = QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D");
        RegWriteValue(root, QStringLiteral("DefaultMod"), RegType::Dword, 1);
        for (int i = 1; i <= 20000; ++i) {
            RegWriteValue(root + QStringLiteral("\\Defrag"), QStringLiteral("Config%1").arg(i),
                          RegType::Sz, QStringLiteral("baseq3\\configs\\c%1.cfg").arg(i));
            RegWriteValue(root + QStringLiteral("\\Other"), QStringLiteral("Value%1").arg(i),
                          RegType::Dword, i);
        }
    }
    QFile::copy(paths[0], paths[1]);
    st.counters["bytes"] = double(QFileInfo(paths[0]).size());
    int turn = 0;
    for (auto _ : st) {
        qputenv("KESTROVA3D_REGISTRY", paths[++turn % 2].toLocal8Bit());
        Settings settings;
        GameState state;
        LoadSettings(settings, state, ScreenTwips{19200, 15360});
        SwitchToStartupGame(state, state.currentGame);
        if (state.gameConfigs.Count() != 20001)
            st.SkipWithError("the configuration list did not load");
    }
}
BENCHMARK(BM_LoadLargeStore)->Unit(benchmark::kMillisecond);

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
