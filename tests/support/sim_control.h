#pragma once
// Test access to the printer simulator: a binding loaded against it, its control calls, and
// the call log parsed into JSON objects.

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include "CVelaCommBinding.h"
#include "qt_gtest_print.h"
#include "velasim.h"

namespace halvard::test {

// Path of the built simulator library.
inline const char* SimulatorLibrary() {
    return HALVARD_SIM_LIBRARY;
}

class SimControl {
public:
    // Resolves the control calls from a binding that has the simulator loaded.
    explicit SimControl(const CVelaCommBinding& binding);
    // Loads the simulator itself (keeps it loaded for this object's life).
    SimControl();
    ~SimControl();
    SimControl(const SimControl&) = delete;
    SimControl& operator=(const SimControl&) = delete;

    // Clean start: default (or given preset) scenario, instant operations, empty call log.
    void Fresh(const char* preset = "default");

    // Every logged call, optionally only those of one export.
    QList<QJsonObject> Calls(const QString& fn = QString()) const;
    int CountCalls(const QString& fn) const { return static_cast<int>(Calls(fn).size()); }
    QJsonObject Device(const char* name = nullptr) const;
    // One module of the device's snapshot (empty when the chain has no such module).
    QJsonObject Module(int id, const char* device = nullptr) const;
    // The card in transport (empty when there is none).
    QJsonObject Card(const char* device = nullptr) const;

#define SIMCTL_MEMBER(name) PFN_##name name = nullptr;
    VELASIM_FOR_EACH_CONTROL(SIMCTL_MEMBER)
#undef SIMCTL_MEMBER

private:
    void Resolve(void* (*lookup)(void*, const char*), void* context);
    void* m_ownLibrary = nullptr;
};

}  // namespace halvard::test
