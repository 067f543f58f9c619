// The automatic filter's logic over a list of 1,000,000 real names, on the real data.Mdb.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "data/database.h"
#include "naming/candidate_filter.h"

namespace {

void BM_FilterLogic(benchmark::State& state) {
    quenvil::Database db;
    db.open(QUENVIL_PROGRAM_DIR);
    const auto names = quenvil::bench::realNames(1000000);
    size_t kept = 0;
    for (auto _ : state) {
        std::vector<std::string> out;
        quenvil::NameListFilter(names, db.strokes).runAll(out);
        kept = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FilterLogic)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
