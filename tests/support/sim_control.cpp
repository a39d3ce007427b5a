#include "sim_control.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <string>

#include "vela_platform_lib.h"

namespace halvard::test {

SimControl::SimControl(const CVelaCommBinding& binding) {
#define SIMCTL_RESOLVE(name) name = reinterpret_cast<PFN_##name>(binding.Symbol(#name));
    VELASIM_FOR_EACH_CONTROL(SIMCTL_RESOLVE)
#undef SIMCTL_RESOLVE
}

SimControl::SimControl() {
    m_ownLibrary = vela::platform::OpenLibrary(SimulatorLibrary());
#define SIMCTL_RESOLVE(name) \
    name = reinterpret_cast<PFN_##name>(vela::platform::FindSymbol(m_ownLibrary, #name));
    VELASIM_FOR_EACH_CONTROL(SIMCTL_RESOLVE)
#undef SIMCTL_RESOLVE
}

SimControl::~SimControl() {
    if (m_ownLibrary)
        vela::platform::CloseLibrary(m_ownLibrary);
}

void SimControl::Fresh(const char* preset) {
    ASSERT_NE(VelaSim_LoadScenarioFile, nullptr) << "simulator control calls not found";
    ASSERT_EQ(VelaSim_LoadScenarioFile(preset), 0);
    VelaSim_ClearFaults();
    VelaSim_HoldFileWrites(0);
    VelaSim_SetStateFile(nullptr);
    VelaSim_SetTimeScale(0.0);
    VelaSim_ClearCallLog();
}

QList<QJsonObject> SimControl::Calls(const QString& fn) const {
    QList<QJsonObject> calls;
    if (VelaSim_GetCallLog == nullptr)
        return calls;
    int size = VelaSim_GetCallLog(nullptr, 0);
    std::string text(static_cast<size_t>(size) + 1, '\0');
    VelaSim_GetCallLog(text.data(), size + 1);
    for (const QByteArray& line : QByteArray(text.c_str()).split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonObject call = QJsonDocument::fromJson(line).object();
        if (fn.isEmpty() || call.value(QStringLiteral("fn")).toString() == fn)
            calls.append(call);
    }
    return calls;
}

QJsonObject SimControl::Device(const char* name) const {
    if (VelaSim_GetDeviceJson == nullptr)
        return {};
    int size = VelaSim_GetDeviceJson(name, nullptr, 0);
    std::string text(static_cast<size_t>(size) + 1, '\0');
    VelaSim_GetDeviceJson(name, text.data(), size + 1);
    return QJsonDocument::fromJson(QByteArray(text.c_str())).object();
}

QJsonObject SimControl::Module(int id, const char* device) const {
    for (const QJsonValue& m : Device(device).value(QStringLiteral("modules")).toArray())
        if (m.toObject().value(QStringLiteral("id")).toInt() == id)
            return m.toObject();
    return {};
}

QJsonObject SimControl::Card(const char* device) const {
    if (VelaSim_GetCardJson == nullptr)
        return {};
    int size = VelaSim_GetCardJson(device, nullptr, 0);
    std::string text(static_cast<size_t>(size) + 1, '\0');
    VelaSim_GetCardJson(device, text.data(), size + 1);
    return QJsonDocument::fromJson(QByteArray(text.c_str())).object();
}

}  // namespace halvard::test
