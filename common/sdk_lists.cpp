#include "sdk_lists.h"

#include <algorithm>

#include "sdk_text.h"

namespace sdk_lists {

namespace {
constexpr std::uint32_t kDeviceTypeMask = 0xFFFFFFF0u;
constexpr std::uint32_t kDeviceTypeFamily = 0x3700u;
constexpr int kNameCapacity =
    static_cast<int>(sizeof(DeviceListEntry::name) / sizeof(DeviceListEntry::name[0]));

int ModuleCount(const ConnectedModuleList& list) {
    return std::clamp(list.count, 0, kMaxModules);
}
}  // namespace

QStringList PrinterDeviceNames(VelaResult result, const DeviceList& list) {
    QStringList names;
    if (result != 0)
        return names;
    const int count = std::clamp(list.count, 0, kMaxDevices);
    for (int i = 0; i < count; ++i) {
        const DeviceListEntry& entry = list.entries[i];
        if ((entry.type & kDeviceTypeMask) == kDeviceTypeFamily)
            names.append(halvard::FromSdkText(entry.name, kNameCapacity));
    }
    return names;
}

ConnectedModuleList CleanModuleList(const ConnectedModuleList& raw) {
    ConnectedModuleList clean{};
    clean.count = ModuleCount(raw);
    std::copy_n(raw.entries, clean.count, clean.entries);
    return clean;
}

std::vector<std::uint8_t> ModuleChain(const ConnectedModuleList& list) {
    const int count = ModuleCount(list);
    std::vector<std::uint8_t> chain;
    chain.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        chain.push_back(list.entries[i].id);
    return chain;
}

}  // namespace sdk_lists
