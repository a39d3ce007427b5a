// Feeds arbitrary bytes to the card picture decoder and resamples whatever it accepts.
#include "card_preview.h"

#include <cstdint>
#include <cstdlib>

namespace pv = halvard::preview;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const pv::Rgb24Image image = pv::decodeBmp(bytes);
    if (image.isNull()) {
        return 0;
    }
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3 ||
        image.pixels.size() > size) {
        std::abort();
    }
    const pv::Rgb24Image small = pv::Resample(image, 1 + image.width / 3, 1 + image.height / 2);
    if (small.isNull()) {
        std::abort();
    }
    return 0;
}
