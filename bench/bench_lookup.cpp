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

// Argument 0: through the index; 1: through the statement.
void BM_Lookup(benchmark::State& state) {
    quenvil::Database db;
    db.open(QUENVIL_PROGRAM_DIR);
    const auto chars = sampleCharacters();
    const bool statement = state.range(0) == 1;
    size_t i = 0;
    for (auto _ : state) {
        const std::string& ch = chars[i++ % chars.size()];
        benchmark::DoNotOptimize(statement ? db.strokes.strokesByStatement(ch)
                                           : db.strokes.strokes(ch));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(statement ? "statement" : "index");
}
BENCHMARK(BM_Lookup)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
