// Discovery, connection and device information.

#include <cstring>

#include "sim_chips.h"
#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

// Fills a device list: local devices, and network ones when asked for.
void FillList(Simulator& s, DeviceList* list, bool withNetwork) {
    std::memset(list, 0, sizeof *list);
    int n = 0;
    for (const Device& d : s.Devices()) {
        if (d.network && !withNetwork)
            continue;
        if (n >= kMaxDevices)
            break;
        DeviceListEntry& e = list->entries[n++];
        ToVela(d.description, e.description, 256);
        ToVela(d.name, e.name, 256);
        e.type = d.type;
    }
    list->count = n;
}

VelaResult OpenBody(Simulator& s, VelaHandle* h, const VelaChar* device) {
    if (h == nullptr)
        return kErrBadArgument;
    QString name = FromVela(device, 256);
    if (name.trimmed().isEmpty())
        return kErrEmptyDeviceName;
    Device* d = s.ByListName(name);
    if (d == nullptr)
        return kErrDeviceNotFound;
    *h = s.Open(*d);
    return kOk;
}

}  // namespace

extern "C" VelaResult VELA_API Vela_GetDeviceList(DeviceList* list) {
    return Simulator::Instance().Run("Vela_GetDeviceList", {}, [&](Simulator& s) {
        if (list == nullptr)
            return kErrBadArgument;
        FillList(s, list, false);
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_ExGetDeviceList(DeviceList* list, std::int32_t mode) {
    return Simulator::Instance().Run("Vela_ExGetDeviceList", {mode}, [&](Simulator& s) {
        if (list == nullptr || (mode != 1 && mode != 7))
            return kErrBadArgument;
        FillList(s, list, mode == 7);
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_GetDeviceInfo(DeviceInfo* info, const VelaChar* device,
                                                  std::int32_t flags) {
    return Simulator::Instance().Run("Vela_GetDeviceInfo", {Text{device}, flags},
                                     [&](Simulator& s) {
                                         if (info == nullptr)
                                             return kErrBadArgument;
                                         Device* d = s.ByListName(FromVela(device, 256));
                                         if (d == nullptr)
                                             return kErrDeviceNotFound;
                                         std::memset(info, 0, sizeof *info);
                                         ToVela(d->printerId, info->printerId, 64);
                                         const auto readers = ReaderNames(*d);
                                         ToVela(readers[kIcReader], info->icReaderName, 64);
                                         ToVela(readers[kSimReader], info->simReaderName, 64);
                                         ToVela(readers[kRfReader], info->rfReaderName, 64);
                                         ToVela(readers[kRfReader2], info->rfReaderName2, 64);
                                         return kOk;
                                     });
}

extern "C" VelaResult VELA_API VelaDCL_OpenDevice(VelaHandle* h, const VelaChar* device,
                                                  std::int32_t a, std::int32_t b) {
    return Simulator::Instance().Run("VelaDCL_OpenDevice", {Text{device}, a, b},
                                     [&](Simulator& s) { return OpenBody(s, h, device); });
}

extern "C" VelaResult VELA_API VelaDCL_OpenDevice3(VelaHandle* h, const VelaChar* device,
                                                   std::int32_t port, std::int32_t a,
                                                   std::int32_t b) {
    return Simulator::Instance().Run("VelaDCL_OpenDevice3", {Text{device}, port, a, b},
                                     [&](Simulator& s) { return OpenBody(s, h, device); });
}

extern "C" VelaResult VELA_API VelaDCL_OpenDeviceAsUser(VelaHandle* h, const VelaChar* device,
                                                        std::int32_t a, std::int32_t b) {
    return Simulator::Instance().Run("VelaDCL_OpenDeviceAsUser", {Text{device}, a, b},
                                     [&](Simulator& s) { return OpenBody(s, h, device); });
}

extern "C" VelaResult VELA_API VelaDCL_ExOpenDevice(VelaHandle* h, const VelaChar* device,
                                                    std::int32_t a, std::int32_t b) {
    return Simulator::Instance().Run("VelaDCL_ExOpenDevice", {Text{device}, a, b},
                                     [&](Simulator& s) { return OpenBody(s, h, device); });
}

extern "C" VelaResult VELA_API VelaDCL_CloseDevice(VelaHandle h) {
    return Simulator::Instance().Run(
        "VelaDCL_CloseDevice", {h}, [&](Simulator& s) { return s.Close(h) ? kOk : kErrBadHandle; });
}

extern "C" VelaResult VELA_API Vela_CloseDevice(VelaHandle h) {
    return Simulator::Instance().Run(
        "Vela_CloseDevice", {h}, [&](Simulator& s) { return s.Close(h) ? kOk : kErrBadHandle; });
}

extern "C" VelaResult VELA_API Vela_ExSelectDevice(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_ExSelectDevice", {h, module}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        return d->FindModule(module) ? kOk : kErrNoModule;
    });
}
