// Importing a first line of 1,000,000 names, and the filter over 1,000,000 rows of xm2, on a
// copy of the real data.Mdb.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_support.h"
#include "data/database.h"
#include "naming/candidate_filter.h"
#include "semi_auto_naming/name_import.h"

namespace {

namespace fs = std::filesystem;

struct Copy {
    Copy() {
        dir = fs::temp_directory_path() / "quenvil-bench-import";
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy_file(fs::path(QUENVIL_PROGRAM_DIR) / "data.Mdb", dir / "data.Mdb");
        db.open(dir);
    }
    ~Copy() {
        db.connection.close();
        fs::remove_all(dir);
    }
    fs::path dir;
    quenvil::Database db;
};

// Distinct names: every row of xm2 is a name of its own, as in a list a user collected.
std::string firstLine(size_t count) {
    std::string line;
    const auto names = quenvil::bench::distinctNames(count);
    for (const auto& n : names) {
        line += n;
        line += ' ';
    }
    return line;
}

void BM_Import(benchmark::State& state) {
    Copy copy;
    const std::vector<std::string> loaded{firstLine(1000000)};
    for (auto _ : state) {
        const quenvil::ImportPlan plan = quenvil::planImport(loaded);
        benchmark::DoNotOptimize(quenvil::writeImport(copy.db, plan));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 1000000));
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FilterImported(benchmark::State& state) {
    Copy copy;
    quenvil::writeImport(copy.db, quenvil::planImport({firstLine(1000000)}));
    for (auto _ : state) {
        std::vector<std::string> out;
        std::string last;
        quenvil::filterImported(copy.db, out, last);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 1000000));
}
BENCHMARK(BM_FilterImported)->Unit(benchmark::kMillisecond)->Iterations(3);

// The automatic filter over the same names, in the same run, for the ratio.
void BM_FilterLogicSameNames(benchmark::State& state) {
    Copy copy;
    const auto names = quenvil::bench::distinctNames(1000000);
    for (auto _ : state) {
        std::vector<std::string> out;
        quenvil::NameListFilter(names, copy.db.strokes).runAll(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
}
BENCHMARK(BM_FilterLogicSameNames)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
