// Start-up of each program's main window, from construction to its first idle moment after it
// is shown, against a bare Qt dialog with the same kind of widgets in the same run; and a
// repaint of the configuration tool's card preview at unchanged size.
//
// The main windows start the way the programs start them: constructed, initialised against
// the SDK library in the program folder (the simulator, with instant operations), shown. The
// SDK trace lines are switched off so that the terminal does not take part in the measurement.
// Each iteration of a start-up benchmark starts the bare dialog and the main window one after
// the other, so that both meet the same load on the machine; the ratios are printed at the end,
// in process time (all threads) and in wall time.

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "CCardPreview.h"
#include "CHalvardTestDlg.h"
#include "CKestraConfigDlg.h"
#include "CSpinEdit.h"
#include "bare_dialog.h"

namespace {

using halvard::bench::BuildBareDialog;
using halvard::bench::TakeCensus;
using halvard::bench::WidgetCensus;

// Processes events until none is left: the window's first idle moment.
void RunUntilIdle() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (int round = 0; round < 10000; ++round) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
}

std::unique_ptr<CKestraConfigDlg> StartConfigWindow() {
    auto window = std::make_unique<CKestraConfigDlg>();
    window->Initialise();
    window->show();
    RunUntilIdle();
    return window;
}

std::unique_ptr<CHalvardTestDlg> StartTestWindow() {
    auto window = std::make_unique<CHalvardTestDlg>(false);
    window->Initialise();
    window->show();
    RunUntilIdle();
    return window;
}

// The censuses are taken once, from windows that have started.
const WidgetCensus& ConfigCensus() {
    static const WidgetCensus census = TakeCensus(*StartConfigWindow());
    return census;
}
const WidgetCensus& TestCensus() {
    static const WidgetCensus census = TakeCensus(*StartTestWindow());
    return census;
}

// Process time (all threads) and wall time, in milliseconds.
struct Clock {
    double cpu = 0;
    double wall = 0;
    static Clock Now() {
        timespec cpu{}, wall{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        clock_gettime(CLOCK_MONOTONIC, &wall);
        return {static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6,
                static_cast<double>(wall.tv_sec) * 1e3 + static_cast<double>(wall.tv_nsec) / 1e6};
    }
    Clock operator-(const Clock& o) const { return {cpu - o.cpu, wall - o.wall}; }
    Clock& operator+=(const Clock& o) {
        cpu += o.cpu;
        wall += o.wall;
        return *this;
    }
};

struct Ratio {
    double cpu = 0;
    double wall = 0;
    double windowCpuMs = 0;
    double bareCpuMs = 0;
};
std::map<std::string, Ratio> g_ratios;  // printed at the end

// Times one start to the first idle moment; the window is closed again untimed.
template <typename Start>
Clock TimeStart(Start start, benchmark::State& state) {
    const Clock begin = Clock::Now();
    auto window = start();
    const Clock spent = Clock::Now() - begin;
    if (!window->isVisible())
        state.SkipWithError("the window did not show");
    window.reset();
    RunUntilIdle();
    return spent;
}

template <typename StartWindow>
void MeasurePair(benchmark::State& state, const WidgetCensus& census, StartWindow startWindow,
                 const char* name) {
    auto startBare = [&] {
        auto dialog = BuildBareDialog(census);
        dialog->show();
        RunUntilIdle();
        return dialog;
    };
    Clock bare, window;
    for (auto _ : state) {
        bare += TimeStart(startBare, state);
        window += TimeStart(startWindow, state);
    }
    const double n = static_cast<double>(state.iterations());
    if (n == 0 || bare.cpu <= 0 || bare.wall <= 0)
        return;
    state.counters["bare_cpu_ms"] = bare.cpu / n;
    state.counters["window_cpu_ms"] = window.cpu / n;
    state.counters["ratio_cpu"] = window.cpu / bare.cpu;
    state.counters["ratio_wall"] = window.wall / bare.wall;
    state.counters["widgets"] = census.Count();
    g_ratios[name] = {window.cpu / bare.cpu, window.wall / bare.wall, window.cpu / n, bare.cpu / n};
}

void BM_ConfigStartup(benchmark::State& state) {
    MeasurePair(state, ConfigCensus(), StartConfigWindow, "HalvardConfig");
}

void BM_TestStartup(benchmark::State& state) {
    MeasurePair(state, TestCensus(), StartTestWindow, "HalvardTest");
}

// A repaint of the preview with nothing changed (the window moved or was uncovered).
void BM_PreviewRepaint(benchmark::State& state) {
    auto window = StartConfigWindow();
    auto* preview = window->findChild<CCardPreview*>();
    if (preview == nullptr || !preview->HasPicture()) {
        state.SkipWithError("no preview with a picture");
        return;
    }
    for (auto _ : state)
        preview->repaint();
}

// For comparison: a repaint after Y Scale changed, which needs a new resampled picture.
void BM_PreviewRepaintAfterYScaleChange(benchmark::State& state) {
    auto window = StartConfigWindow();
    auto* preview = window->findChild<CCardPreview*>();
    auto* yScale = window->findChild<CSpinEdit*>(QStringLiteral("yScale"));
    if (preview == nullptr || yScale == nullptr) {
        state.SkipWithError("no preview");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        yScale->setValue((++step % 2) * 10);
        preview->repaint();
    }
}

BENCHMARK(BM_ConfigStartup)->Unit(benchmark::kMillisecond)->MinTime(4.0);
BENCHMARK(BM_TestStartup)->Unit(benchmark::kMillisecond)->MinTime(4.0);
BENCHMARK(BM_PreviewRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewRepaintAfterYScaleChange)->Unit(benchmark::kMicrosecond);

// The offscreen platform warns on every window it sizes; nothing else is dropped.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VELASIM_TIME_SCALE", "0");
    qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("halvard.sdk.debug=false"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    for (const auto& [name, r] : g_ratios)
        std::printf(
            "%s main window start-up: %.2fx the bare dialog in process time (%.2f ms vs "
            "%.2f ms), %.2fx in wall time\n",
            name.c_str(), r.cpu, r.windowCpuMs, r.bareCpuMs, r.wall);
    benchmark::Shutdown();
    return 0;
}
