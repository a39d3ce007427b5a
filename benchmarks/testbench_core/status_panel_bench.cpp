// Cost of one poll cycle's panel repaint: ten modules with every bit set, so every table line
// is decoded (most of them are then clipped).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "status_decoding.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "testbench_core_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

void FullChain(ModuleSlot (&modules)[kModuleSlotCount]) {
    const std::uint8_t ids[kModuleSlotCount] = {0x10, 0x20, 0x40, 0x50, 0x61,
                                                0x62, 0x63, 0x70, 0x71, 0x72};
    for (int i = 0; i < kModuleSlotCount; ++i)
        modules[i] = {ids[i], 0x3F, ~0ULL};
}

void BM_RenderStatusPanel(benchmark::State& state) {
    App();
    ModuleSlot modules[kModuleSlotCount];
    FullChain(modules);
    const QSize client(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        QImage img = RenderStatusPanel(modules, client);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_RenderStatusPanel)->Args({300, 900})->Args({300, 4000})->Unit(benchmark::kMicrosecond);

void BM_DescribeAllStatusBits(benchmark::State& state) {
    ModuleSlot modules[kModuleSlotCount];
    FullChain(modules);
    for (auto _ : state) {
        for (const ModuleSlot& m : modules) {
            for (int bit = 0; bit < 64; ++bit) {
                DecodedLine line = DescribeStatusBit(m.id, m.status, bit);
                benchmark::DoNotOptimize(line);
            }
        }
    }
}
BENCHMARK(BM_DescribeAllStatusBits)->Unit(benchmark::kMicrosecond);

}  // namespace
