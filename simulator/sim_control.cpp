// The simulator's own control calls (VelaSim_*), for tests and demonstrations. Each one runs
// under the model's lock through Simulator::Locked.

#include <QFile>
#include <QJsonDocument>

#include <cstring>

#include "sim_control_calls.h"
#include "sim_fields.h"
#include "sim_state.h"

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

int CopyOut(const QJsonValue& value, char* buffer, int capacity) {
    const QJsonDocument doc =
        value.isObject() ? QJsonDocument(value.toObject()) : QJsonDocument(value.toArray());
    return CopyOut(
        value.isNull() ? std::string("null") : doc.toJson(QJsonDocument::Compact).toStdString(),
        buffer, capacity);
}

template <typename Fn>
VelaResult WithDevice(const char* device, Fn fn) {
    return Simulator::Instance().Locked([&](Simulator& s) {
        Device* d = s.ByName(device);
        return d ? fn(s, *d) : kErrDeviceNotFound;
    });
}

template <typename Fn>
VelaResult WithModule(const char* device, int module, Fn fn) {
    return WithDevice(device, [&](Simulator& s, Device& d) {
        Module* m = d.FindModule(module);
        if (m == nullptr)
            return kErrNoModule;
        fn(s, d, *m);
        return kOk;
    });
}

// Reads a JSON object into a copy of the device with `read`; the device takes the copy only
// when everything was read.
template <typename Fn>
VelaResult PatchDevice(const char* device, const char* json, Fn read) {
    QJsonParseError error{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(json ? QByteArray(json) : QByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return kErrBadArgument;
    return WithDevice(device, [&](Simulator& s, Device& d) {
        Device copy = d;
        ReadContext ctx{Purpose::kControl, &copy};
        if (VelaResult r = read(copy, doc.object(), ctx); r != kOk)
            return r;
        if (!ctx.errors.isEmpty())
            return kErrBadArgument;
        d = std::move(copy);
        s.MarkDirty();
        return kOk;
    });
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
    return WithModule(device, module, [&](Simulator&, Device&, Module& m) {
        m.statusSet = set;
        m.statusClear = clear;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetStateBits(const char* device, int module,
                                                     std::uint32_t set, std::uint32_t clear) {
    return WithModule(device, module, [&](Simulator&, Device&, Module& m) {
        m.stateSet = set;
        m.stateClear = clear;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetCardModule(const char* device, int module) {
    return WithDevice(device, [&](Simulator&, Device& d) {
        if (module != kNoModule && d.FindModule(module) == nullptr)
            return kErrNoModule;
        d.SetCardModule(module);
        return kOk;
    });
}

SIM_CONTROL int VELA_API VelaSim_GetCardModule(const char* device) {
    return Simulator::Instance().Locked([&](Simulator& s) {
        Device* d = s.ByName(device);
        return d ? d->cardModule : -1;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_InsertCard(const char* device, int module,
                                                   const char* card) {
    const QByteArray spec = QByteArray(card ? card : "").trimmed();
    QJsonObject described;
    if (spec.startsWith('{')) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(spec, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return kErrBadArgument;
        described = doc.object();
    } else if (!spec.isEmpty()) {
        described.insert(QStringLiteral("profile"), QString::fromUtf8(spec));
    }
    return WithDevice(device, [&](Simulator&, Device& d) {
        if (d.FindModule(module) == nullptr)
            return kErrNoModule;
        if (d.card)
            return kErrBusy;
        // A card that cannot be made takes no serial number: a refused call changes nothing.
        const std::uint32_t nextSerial = d.nextSerial;
        ReadContext ctx{Purpose::kControl, &d};
        Card made = CardFromJson(described, ctx);
        if (!ctx.errors.isEmpty()) {
            d.nextSerial = nextSerial;
            return kErrBadArgument;
        }
        d.PutCard(std::move(made), module);
        return kOk;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_RemoveCard(const char* device) {
    return WithDevice(device, [&](Simulator&, Device& d) {
        if (!d.card)
            return kErrNoCard;
        d.TakeCard();
        return kOk;
    });
}

SIM_CONTROL int VELA_API VelaSim_GetCardJson(const char* device, char* buffer, int capacity) {
    const QJsonValue card = Simulator::Instance().Locked([&](Simulator& s) {
        Device* d = s.ByName(device);
        return d && d->card ? QJsonValue(CardJson(*d->card)) : QJsonValue();
    });
    return CopyOut(card, buffer, capacity);
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetModuleJson(const char* device, int module,
                                                      const char* json) {
    return PatchDevice(device, json, [&](Device& d, const QJsonObject& o, ReadContext& ctx) {
        Module* m = d.FindModule(module);
        if (m == nullptr)
            return kErrNoModule;
        ReadFields(ModuleFields(), *m, o, ctx);
        return kOk;
    });
}

SIM_CONTROL VelaResult VELA_API VelaSim_SetDeviceJson(const char* device, const char* json) {
    return PatchDevice(device, json, [&](Device& d, const QJsonObject& o, ReadContext& ctx) {
        ReadFields(DeviceFields(), d, o, ctx);
        return kOk;
    });
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

SIM_CONTROL VelaResult VELA_API VelaSim_ClearDelays() {
    Simulator::Instance().ClearDelays();
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

SIM_CONTROL int VELA_API VelaSim_HoldFileWrites(int hold) {
    return Simulator::Instance().HoldFileWrites(hold);
}

SIM_CONTROL int VELA_API VelaSim_GetDeviceJson(const char* device, char* buffer, int capacity) {
    const std::optional<QJsonObject> snapshot =
        Simulator::Instance().Locked([&](Simulator& s) -> std::optional<QJsonObject> {
            Device* d = s.ByName(device);
            if (d == nullptr)
                return std::nullopt;
            return s.DeviceJson(*d);
        });
    return CopyOut(snapshot ? QJsonDocument(*snapshot).toJson(QJsonDocument::Compact).toStdString()
                            : std::string(),
                   buffer, capacity);
}
