// Cost of the demo browser's scan over a folder tree whose folders each link twice to the next
// (2^17 paths through 17 real folders): each real folder is read once.
#include "core/game/demo_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace kestrova;

void BM_ScanSymlinkDiamond(benchmark::State& st) {
    QTemporaryDir dir;
    const int levels = static_cast<int>(st.range(0));
    for (int level = 0; level < levels; ++level) {
        const QString here = QStringLiteral("%1/d%2").arg(dir.path()).arg(level);
        const QString next = QStringLiteral("%1/d%2").arg(dir.path()).arg(level + 1);
        QDir().mkpath(here);
        QFile::link(next, here + QStringLiteral("/a"));
        QFile::link(next, here + QStringLiteral("/b"));
    }
    QDir().mkpath(QStringLiteral("%1/d%2").arg(dir.path()).arg(levels));
    QDir().mkpath(dir.path() + QStringLiteral("/defrag"));
    QFile::link(dir.path() + QStringLiteral("/d0"), dir.path() + QStringLiteral("/defrag/Demos"));
    DemoTree tree;
    for (auto _ : st) {
        tree.SetModPath(dir.path() + QStringLiteral("/defrag"));
        benchmark::DoNotOptimize(tree.Count());
    }
}
BENCHMARK(BM_ScanSymlinkDiamond)->Arg(17)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
