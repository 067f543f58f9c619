// The windows offscreen on the real data.Mdb: from Enter to a filled report box, and the automatic
// naming window over 100,000 names from the click to the completion message, yielding to the
// event loop after every line or on 20 ms slices.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "auto_naming/auto_naming_window.h"
#include "bench/bench_support.h"
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
