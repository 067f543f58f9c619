// Single-character stroke lookups per second, through the index and through the statement,
// on the real data.Mdb.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/database.h"
#include "text/gbk.h"

namespace {

std::vector<std::string> sampleCharacters() {
    std::vector<std::string> chars;
    for (const char* c : {"张", "王", "李", "海", "婷", "明", "华", "思", "俊", "浩", "龙", "欧"}) {
        chars.push_back(quenvil::utf8ToGbk(c));
    }
    return chars;
}


void BM_LookupIndex(benchmark::State& state) {
    quenvil::Database db;
    db.open(QUENVIL_PROGRAM_DIR);
    const auto chars = sampleCharacters();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.strokes.strokes(chars[i++ % chars.size()]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookupIndex);

void BM_LookupStatement(benchmark::State& state) {
    quenvil::Database db;
    db.open(QUENVIL_PROGRAM_DIR);
    const auto chars = sampleCharacters();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.strokes.strokesByStatement(chars[i++ % chars.size()]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookupStatement);

}  // namespace

BENCHMARK_MAIN();
