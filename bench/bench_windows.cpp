// The windows offscreen on the real data.Mdb: from Enter to a filled report box, the automatic
// naming window over 100,000 names from the click to the completion message, yielding to the
// event loop after every line or on 20 ms slices, and the recommendation table sorting a million
// scored names by a column while the event loop goes on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "auto_naming/auto_naming_window.h"
#include "bench/bench_support.h"
#include "data/database.h"
#include "naming/naming_data.h"
#include "naming/score.h"
#include "recommend/result_model.h"
#include "text/gbk.h"
#include "ui/dialogs.h"

namespace {

namespace fs = std::filesystem;

// Message boxes that return at once.
class SilentDialogs : public quenvil::Dialogs {
  public:
    void information(const QString&) override {}
    void message(const QString&) override {}
    void error(const QString& text) override { qFatal("%s", qPrintable(text)); }
    bool question(const QString&) override { return false; }
    std::optional<QString> openFile(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<quenvil::SaveChoice> saveFile(QWidget*, const QStringList&,
                                                const QString&) override {
        return std::nullopt;
    }
};

void BM_EnterToReport(benchmark::State& state) {
    quenvil::MainWindow form({QUENVIL_PROGRAM_DIR, QUENVIL_PROGRAM_DIR});
    form.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QString::fromUtf8("黄思婷"));
    for (auto _ : state) form.onNameEntered();
}
BENCHMARK(BM_EnterToReport)->Unit(benchmark::kMicrosecond);

void BM_AutoNamingWindow100k(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "quenvil-bench-window";
    fs::remove_all(dir);
    fs::create_directories(dir / "xm");
    {
        std::ofstream out(dir / "xm" / "王.txt", std::ios::binary);
        for (const auto& name : quenvil::bench::realNames(100000)) out << name << "\r\n";
    }
    quenvil::MainWindow main({QUENVIL_PROGRAM_DIR, QUENVIL_PROGRAM_DIR});
    quenvil::AutoNamingWindow form(main.database(), dir);
    form.show();
    form.setYieldSlice(std::chrono::microseconds(state.range(0)));
    for (auto _ : state) form.onFilter();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 100000));
    fs::remove_all(dir);
}
// 0: yield after every line; 20000: yield on 20 ms slices.
BENCHMARK(BM_AutoNamingWindow100k)
    ->Arg(0)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A million different names scored into the table's rows, and their notes.
struct ScoredRows {
    std::vector<quenvil::ResultRow> rows;
    std::vector<std::string> notes;
};
const ScoredRows& millionRows(const quenvil::NamingData& data) {
    static const ScoredRows scored = [&] {
        ScoredRows out;
        const quenvil::RowMaker maker(data);
        quenvil::ScoredName scratch;
        std::string notes;
        for (const std::string& gbk : quenvil::bench::distinctNames(1000000)) {
            out.rows.push_back(maker.score(quenvil::gbkToUtf8(gbk), notes, scratch));
            out.notes.push_back(notes);
        }
        return out;
    }();
    return scored;
}

// From the click to the sorted table; the longest the event loop waited meanwhile (a timer that
// fires on every turn measures it) against the whole sort: a sort on the window's thread would
// make the two equal.
void BM_TableSortsAMillionRows(benchmark::State& state) {
    quenvil::MainWindow main({QUENVIL_PROGRAM_DIR, QUENVIL_PROGRAM_DIR});
    static const quenvil::NamingData data = quenvil::loadNamingData(main.database().connection);
    quenvil::ResultModel model(data);
    const ScoredRows& scored = millionRows(data);
    auto rows = scored.rows;
    model.append(std::move(rows), scored.notes);
    const int column = static_cast<int>(state.range(0));
    double longestStall = 0, sortTime = 0;
    for (auto _ : state) {
        QElapsedTimer sinceTurn, sinceStart;
        double stall = 0;
        QTimer everyTurn;
        QObject::connect(&everyTurn, &QTimer::timeout, [&] {
            stall = std::max(stall, static_cast<double>(sinceTurn.nsecsElapsed()) / 1e6);
            sinceTurn.start();
        });
        bool done = false;
        const auto finished =
            QObject::connect(&model, &quenvil::ResultModel::sortFinished, [&] { done = true; });
        everyTurn.start(0);
        sinceStart.start();
        sinceTurn.start();
        model.sortBy(column, Qt::AscendingOrder);
        while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sortTime += static_cast<double>(sinceStart.nsecsElapsed()) / 1e6;
        longestStall = std::max(longestStall, stall);
        QObject::disconnect(finished);
        model.showOwnOrder();
    }
    state.counters["sort_ms"] = sortTime / static_cast<double>(state.iterations());
    state.counters["longest_stall_ms"] = longestStall;
}
// 名字, 拼音, 说明, 字义.
BENCHMARK(BM_TableSortsAMillionRows)
    ->Arg(quenvil::kNameColumn)
    ->Arg(quenvil::kPinyinColumn)
    ->Arg(quenvil::kNotesColumn)
    ->Arg(quenvil::kMeaningsColumn)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    SilentDialogs dialogs;
    quenvil::Dialogs::setCurrent(&dialogs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    quenvil::Dialogs::setCurrent(nullptr);
    return 0;
}
