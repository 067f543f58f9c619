// The recommendation engine on the real data.Mdb: loading its data, recommending for one surname,
// and scoring names (full result, full result and its output line, score alone).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/connection.h"
#include "data/database.h"
#include "naming/naming_data.h"
#include "naming/recommend.h"
#include "naming/score.h"
#include "recommend/result_rows.h"
#include "text/gbk.h"
#include "text/lines.h"

namespace {

using namespace quenvil;

NamingData load() {
    Connection cn;
    cn.open(std::string(QUENVIL_PROGRAM_DIR) + "/data.Mdb", kDatabasePassword);
    return loadNamingData(cn);
}

const NamingData& data() {
    static const NamingData d = load();
    return d;
}

// Names of the shipped lists, UTF-8.
const std::vector<std::string>& names() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> out;
        for (const char* file : {"王.txt", "罗.txt", "欧阳.txt", "苏.txt", "杜.txt"}) {
            for (const auto& line :
                 readLinesFile(std::string(QUENVIL_PROGRAM_DIR) + "/xm/" + file)) {
                out.push_back(gbkToUtf8(line));
            }
        }
        return out;
    }();
    return all;
}

void BM_OpenAndLoad(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(load());
}
BENCHMARK(BM_OpenAndLoad)->Unit(benchmark::kMillisecond);

void BM_Recommend(benchmark::State& state) {
    const char* surnames[] = {"王", "罗", "欧阳", "诸葛"};
    const char* surname = surnames[state.range(0)];
    data();
    for (auto _ : state) benchmark::DoNotOptimize(recommend(data(), surname, {}));
    state.SetLabel(surname);
}
BENCHMARK(BM_Recommend)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_ScoreName(benchmark::State& state) {
    const auto& all = names();
    ScoredName out;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scoreName(data(), all[i++ % all.size()], out));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreName);

// What quenvil-cli score does for each name in its second pass: the full result and its line.
void BM_ScoreNameAndLine(benchmark::State& state) {
    const auto& all = names();
    ScoredName scored;
    std::string notes, line;
    size_t i = 0;
    for (auto _ : state) {
        if (scoreName(data(), all[i++ % all.size()], scored)) {
            const ResultRow row = rowOf(scored, notes);
            appendRowLine(line, data(), row, notes);
        }
        if (line.size() > (1 << 20)) line.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreNameAndLine);

void BM_ScoreOnly(benchmark::State& state) {
    const auto& all = names();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(scoreOnly(data(), all[i++ % all.size()]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreOnly);

}  // namespace

BENCHMARK_MAIN();
