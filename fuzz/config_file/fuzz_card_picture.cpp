// Feeds arbitrary bytes to the card picture decoder and resamples whatever it accepts, whole
// and in parts, as the preview does.
#include "card_preview.h"

#include <cstdint>
#include <cstdlib>

namespace pv = halvard::preview;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const pv::Rgb24View view = pv::bmpView(bytes);
    const pv::Rgb24Image image = pv::decodeBmp(bytes);
    if (view.isNull() != image.isNull()) {
        std::abort();
    }
    if (image.isNull()) {
        return 0;
    }
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3 ||
        image.pixels.size() > size) {
        std::abort();
    }
    const int wd = 1 + image.width / 3;
    const int hd = 1 + image.height / 2;
    const pv::Rgb24Image small = pv::Resample(image, wd, hd);
    if (small.isNull()) {
        std::abort();
    }
    // A part read straight from the file's rows has the whole resample's pixels.
    const QRect part(wd / 3, hd / 4, wd - wd / 3, hd - hd / 4);
    const QImage piece = pv::ResamplePart(view, wd, hd, part);
    if (piece.size() != part.size()) {
        std::abort();
    }
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) {
            const std::uint8_t* p = small.row(part.top() + y) + 3 * (part.left() + x);
            if (piece.pixel(x, y) != qRgb(p[0], p[1], p[2])) {
                std::abort();
            }
        }
    }
    return 0;
}
