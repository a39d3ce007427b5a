// The preview's area-averaging resample against Qt's smooth scaling, from the card picture's
// size to preview sizes: an integral reduction (4 x 4) and a non-integral one.
#include "card_preview.h"

#include <benchmark/benchmark.h>

#include <random>

namespace pv = halvard::preview;

namespace {

const pv::Rgb24Image& cardSizedPicture() {
    static const pv::Rgb24Image picture = [] {
        pv::Rgb24Image img;
        img.width = 636;
        img.height = 1012;
        img.pixels.resize(636u * 1012u * 3u);
        std::mt19937 rng(1);
        for (auto& b : img.pixels) {
            b = static_cast<std::uint8_t>(rng());
        }
        return img;
    }();
    return picture;
}

void BM_Resample(benchmark::State& state) {
    const pv::Rgb24Image& src = cardSizedPicture();
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        pv::Rgb24Image dst = pv::Resample(src, w, h);
        benchmark::DoNotOptimize(dst.pixels.data());
    }
}

void BM_QImageSmoothScaled(benchmark::State& state) {
    const QImage src = pv::toQImage(cardSizedPicture());
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        QImage dst = src.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(dst.constBits());
    }
}

}  // namespace

BENCHMARK(BM_Resample)->Args({159, 253})->Args({150, 236})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QImageSmoothScaled)->Args({159, 253})->Args({150, 236})->Unit(benchmark::kMicrosecond);
