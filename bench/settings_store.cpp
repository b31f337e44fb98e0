// Cost of the settings store: the shutdown save (one atomic file write) and the start-up reads.
#include "core/game/game_state.h"
#include "core/settings/registry.h"
#include "core/settings/settings.h"

#include <QFile>
#include <QJsonDocument>
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

// A large store as a user's file may hold it: N configuration scripts of the start-up game and N
// more values under a key of their own, in compact JSON (N = 10000 is about 1 MB). Each round
// reads it from the file again (two copies, taken in turn) and loads the settings and the
// game's lists from it.
void BM_LoadLargeStore(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    QTemporaryDir dir;
    const QString paths[2] = {dir.filePath(QStringLiteral("a.json")),
                              dir.filePath(QStringLiteral("b.json"))};
    qputenv("KESTROVA3D_REGISTRY", paths[0].toLocal8Bit());
    {
        RegistryBatch batch;
        const QString root = QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D");
        RegWriteValue(root, QStringLiteral("DefaultMod"), RegType::Dword, 1);
        RegWriteValue(root + QStringLiteral("\\Defrag"), QStringLiteral("AviDemos"), RegType::Sz,
                      QStringLiteral("25;30;50;"));
        for (int i = 1; i <= n; ++i) {
            RegWriteValue(root + QStringLiteral("\\Defrag"), QStringLiteral("Config%1").arg(i),
                          RegType::Sz, QStringLiteral("baseq3\\configs\\c%1.cfg").arg(i));
            RegWriteValue(root + QStringLiteral("\\Other"), QStringLiteral("Value%1").arg(i),
                          RegType::Dword, i);
        }
    }
    QByteArray compact;
    {
        QFile f(paths[0]);
        f.open(QIODevice::ReadOnly);
        compact = QJsonDocument::fromJson(f.readAll()).toJson(QJsonDocument::Compact);
    }
    for (const QString& path : paths) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(compact);
    }
    st.counters["bytes"] = double(compact.size());
    int turn = 0;
    for (auto _ : st) {
        qputenv("KESTROVA3D_REGISTRY", paths[++turn % 2].toLocal8Bit());
        Settings settings;
        GameState state;
        LoadSettings(settings, state, ScreenTwips{19200, 15360});
        SwitchToStartupGame(state, state.currentGame);
        if (state.gameConfigs.Count() != n + 1)
            st.SkipWithError("the configuration list did not load");
    }
}
BENCHMARK(BM_LoadLargeStore)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

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
