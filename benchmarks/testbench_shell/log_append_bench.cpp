// Appending to the main window's log box stays fast when it already holds many lines: a batch
// run writes several lines per card for thousands of cards.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>

#include "CHalvardTestDlg.h"

namespace {

void BM_AppendLog(benchmark::State& state) {
    const int kLines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<CHalvardTestDlg>(false);
        window->show();
        state.ResumeTiming();
        for (int i = 1; i <= kLines; ++i)
            window->AppendLog("ITER [%d/%d].\r\n", i, kLines);
        state.PauseTiming();
        auto* log = window->findChild<QPlainTextEdit*>(QStringLiteral("log"));
        if (log == nullptr || log->blockCount() != kLines + 1)
            state.SkipWithError("log lost lines");
        window.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
// 10,000 lines beside 100,000 shows whether a line costs more as the log grows.
BENCHMARK(BM_AppendLog)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
