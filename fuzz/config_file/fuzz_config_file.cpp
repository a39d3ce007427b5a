// Feeds arbitrary bytes to the configuration data file loader as if they were a file's
// contents, and checks what it hands over against what the bytes allow.
#include "config_file.h"

#include <cstdint>
#include <cstdlib>

namespace cf = halvard::config_file;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int next = 0;
    cf::LoadSink sink;
    sink.serial = [](const QString& s) {
        if (s.size() > cf::kSerialUnits) {
            std::abort();
        }
    };
    sink.headSerial = [](const QString& s) {
        if (s.size() > cf::kHeadSerialUnits) {
            std::abort();
        }
    };
    sink.apply = [&next](int position, std::int32_t) {
        // Positions arrive in order and never beyond the block.
        if (position != next++ || position >= cf::kMaxValueCount) {
            std::abort();
        }
    };
    cf::MemorySource source(data, size);
    const cf::LoadResult r = cf::load(source, sink);
    // Every applied value came out of the data.
    const std::size_t valuesStart =
        cf::kHeaderSize + 2 * (cf::kSerialUnits + cf::kHeadSerialUnits + cf::kFirmwareUnits);
    if (r.appliedCount != next ||
        (r.appliedCount > 0 && valuesStart + 4u * r.appliedCount > size) ||
        r.firmware.size() > cf::kFirmwareUnits || (r.result.ok() && size < valuesStart)) {
        std::abort();
    }
    (void)r.result.message();
    return 0;
}
