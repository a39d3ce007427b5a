// The simulator's own control calls (VelaSim_*), for tests and demonstrations.

#include <QFile>
#include <QJsonDocument>

#include <cstring>

#include "sim_state.h"
#include "velasim.h"

using namespace sim;

namespace {

int CopyOut(const std::string& text, char* buffer, int capacity) {
    if (buffer != nullptr && capacity > 0) {
        size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(text.size());
}

template <typename Fn>
VelaResult WithDevice(const char* device, int module, Fn fn) {
    Simulator& s = Simulator::Instance();
    std::lock_guard lock(s.Mutex());
    Device* d = s.ByName(device);
    if (d == nullptr)
        return kErrDeviceNotFound;
    Module* m = d->FindModule(module);
    if (m == nullptr)
        return kErrNoModule;
    fn(*d, *m);
    return kOk;
}

}  // namespace

#define SIM_CONTROL extern "C" VELA_EXPORT_ATTR

SIM_CONTROL VelaResult VELA_API VelaSim_LoadScenario(const char* json) {
    return Simulator::Instance().LoadScenario(json ? QByteArray(json) : QByteArray());
}

SIM_CONTROL VelaResult VELA_API VelaSim_LoadScenarioFile(const char* pathOrPreset) {
    if (pathOrPreset == nullptr)
        return kErrBadArgument;
    QString name = QString::fromUtf8(pathOrPreset);
    QByteArray json = PresetScenario(name);
    if (json.isEmpty()) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            return kErrDeviceNotFound;
        json = file.readAll();
    }
    return Simulator::Instance().LoadScenario(json);
}

SIM_CONTROL VelaResult VELA_API VelaSim_Reset() {
    return Simulator::Instance().Reset();
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetTimeScale(double scale) {
    Simulator::Instance().SetTimeScale(scale);
    return kOk;
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetStatusBits(const char* device, int module,
                                                      std::uint64_t set, std::uint64_t clear) {
    return WithDevice(device, module, [&](Device&, Module& m) {
        m.statusSet = set;
        m.statusClear = clear;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetStateBits(const char* device, int module,
                                                     std::uint32_t set, std::uint32_t clear) {
    return WithDevice(device, module, [&](Device&, Module& m) {
        m.stateSet = set;
        m.stateClear = clear;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetCardModule(const char* device, int module) {
    Simulator& s = Simulator::Instance();
    std::lock_guard lock(s.Mutex());
    Device* d = s.ByName(device);
    if (d == nullptr)
        return kErrDeviceNotFound;
    if (module != 0xFF && d->FindModule(module) == nullptr)
        return kErrNoModule;
    d->cardModule = module;
    return kOk;
}

SIM_CONTROL int VELA_API VelaSim_GetCardModule(const char* device) {
    Simulator& s = Simulator::Instance();
    std::lock_guard lock(s.Mutex());
    Device* d = s.ByName(device);
    return d ? d->cardModule : -1;
}

SIM_CONTROL VelaResult VELA_API VelaSim_InjectFault(const char* exportName, int skip, int count,
                                                    VelaResult result) {
    if (exportName == nullptr || count == 0)
        return kErrBadArgument;
    Simulator::Instance().InjectFault(exportName, skip < 0 ? 0 : skip, count, result);
    return kOk;
}

SIM_CONTROL VelaResult VELA_API VelaSim_ClearFaults() {
    Simulator::Instance().ClearFaults();
    return kOk;
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetDelay(const char* exportName, int ms) {
    if (exportName == nullptr)
        return kErrBadArgument;
    Simulator::Instance().SetDelay(exportName, ms);
    return kOk;
}

SIM_CONTROL int VELA_API VelaSim_GetCallLog(char* buffer, int capacity) {
    return CopyOut(Simulator::Instance().CallLog(), buffer, capacity);
}

SIM_CONTROL VelaResult VELA_API VelaSim_ClearCallLog() {
    Simulator::Instance().ClearCallLog();
    return kOk;
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetStateFile(const char* path) {
    Simulator::Instance().SetStateFile(path ? QString::fromUtf8(path) : QString());
    return kOk;
}

SIM_CONTROL int VELA_API VelaSim_GetDeviceJson(const char* device, char* buffer, int capacity) {
    Simulator& s = Simulator::Instance();
    std::lock_guard lock(s.Mutex());
    Device* d = s.ByName(device);
    if (d == nullptr)
        return CopyOut("", buffer, capacity);
    return CopyOut(QJsonDocument(s.DeviceJson(*d)).toJson(QJsonDocument::Compact).toStdString(),
                   buffer, capacity);
}
