// Feeds arbitrary bytes to the barcode text walk as if the SDK had filled a buffer of exactly
// that size, and checks what comes out against what the bytes allow.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "scanner_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t units = size / sizeof(VelaChar);
    // On the heap and exactly as long as the SDK's buffer, so a read past it is caught.
    auto buffer = std::make_unique<VelaChar[]>(units);
    std::memcpy(buffer.get(), data, units * sizeof(VelaChar));
    const QStringList texts = scanner::WalkBarcodeTexts(buffer.get(), units);

    std::size_t used = 0;
    for (const QString& text : texts) {
        // Every text is non-empty, holds no terminator and is what the buffer holds there.
        if (text.isEmpty() || text.contains(QChar(0)) ||
            std::memcmp(text.utf16(), buffer.get() + used,
                        static_cast<std::size_t>(text.size()) * sizeof(VelaChar)) != 0)
            std::abort();
        used += static_cast<std::size_t>(text.size()) + 1;
    }
    // Together they never claim more than the buffer (the last may lack its terminator).
    if (used > units + 1)
        std::abort();
    return 0;
}
