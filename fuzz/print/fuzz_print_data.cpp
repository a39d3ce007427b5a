// Feeds arbitrary bytes, as the print data a caller hands to Vela_ExWriteData, to the
// simulator's print data decoder; what it accepts must encode back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sim_print_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<sim::PrintPage> page =
        sim::DecodePrintData(size ? data : nullptr, static_cast<std::int64_t>(size));
    if (!page)
        return 0;
    const QByteArray again = sim::EncodePrintData(*page);
    if (static_cast<std::size_t>(again.size()) != size ||
        std::memcmp(again.constData(), data, size) != 0)
        std::abort();
    return 0;
}
