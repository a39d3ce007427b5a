// Feeds arbitrary bytes as the device list and module list records the SDK fills, with an
// arbitrary call result, and checks that only what the records may hold comes out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sdk_lists.h"

namespace {
// Copies as much of the input as fits over a zeroed record, the way a short SDK write leaves
// the rest of a zeroed buffer.
template <typename Record>
void Fill(Record& record, const std::uint8_t* data, std::size_t size) {
    std::memset(&record, 0, sizeof(Record));
    std::memcpy(&record, data, std::min(size, sizeof(Record)));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses the call's result: mostly success, sometimes a failure code.
    const VelaResult result =
        (data[0] & 0x7) == 0x7 ? static_cast<VelaResult>(0x80000000u | data[0]) : 0;
    ++data;
    --size;

    auto devices = std::make_unique<DeviceList>();
    Fill(*devices, data, size);
    const QStringList names = sdk_lists::PrinterDeviceNames(result, *devices);
    if (names.size() > kMaxDevices || (result != 0 && !names.isEmpty()))
        std::abort();
    for (const QString& name : names)
        if (name.size() > 256)
            std::abort();

    ConnectedModuleList modules;
    Fill(modules, data, size);
    const ConnectedModuleList clean = sdk_lists::CleanModuleList(modules);
    if (clean.count < 0 || clean.count > kMaxModules)
        std::abort();
    for (int i = clean.count; i < kMaxModules; ++i)
        if (clean.entries[i].id != 0 || clean.entries[i].info != 0)
            std::abort();
    const std::vector<std::uint8_t> chain = sdk_lists::ModuleChain(modules);
    if (chain.size() != static_cast<std::size_t>(clean.count))
        std::abort();
    for (std::size_t i = 0; i < chain.size(); ++i)
        if (chain[i] != clean.entries[i].id)
            std::abort();
    return 0;
}
