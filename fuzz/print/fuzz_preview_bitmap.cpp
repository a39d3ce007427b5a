// Feeds arbitrary bytes, as the preview bitmap record the SDK hands out, to the Print page's
// check and decoder. Whatever is accepted must be exactly header and rows, within the record.
#include <cstdint>
#include <cstdlib>

#include "print_logic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024 * 1024)
        return 0;
    // The record's size is untrusted too: a first byte of 0xFF makes it claim only half of the
    // bytes, so that rows beyond what it claims must be refused.
    std::int32_t stated = static_cast<std::int32_t>(size);
    if (size > 0 && data[0] == 0xFF)
        stated = static_cast<std::int32_t>(size / 2);
    const QByteArray copy = print::CopyPreviewBitmap({size ? data : nullptr, stated});
    if (copy.isEmpty())
        return 0;
    if (copy.size() > stated || static_cast<std::size_t>(copy.size()) > size)
        std::abort();
    const QImage image = print::PreviewImage(copy);
    if (image.isNull() || image.width() > print::kMaxPreviewSide ||
        image.height() > print::kMaxPreviewSide)
        std::abort();
    return 0;
}
