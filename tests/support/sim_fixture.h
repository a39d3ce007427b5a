#pragma once
// A binding loaded against the simulator, a clean start for every test, and small readers of
// the simulator's snapshot.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "CVelaCommBinding.h"
#include "sim_codes.h"
#include "sim_control.h"
#include "vela_modules.h"

// Snapshots in failure messages as compact JSON.
inline void PrintTo(const QJsonObject& o, std::ostream* os) {
    *os << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

namespace halvard::test {

class SimFixture : public ::testing::Test {
public:  // the table-driven cases reach the fixture through a reference
    void SetUp() override {
        ASSERT_TRUE(b.LoadFrom(SimulatorLibrary()));
        sim = std::make_unique<SimControl>(b);
        sim->Fresh();
    }
    // Loads a scenario (instant operations) and connects to `device`.
    void Connect(const char* scenario, const char16_t* device = u"P") {
        ASSERT_EQ(sim->VelaSim_LoadScenario(scenario), 0);
        sim->VelaSim_SetTimeScale(0);
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, device, 1, 2), 0);
    }
    std::uint64_t Status(int module) {
        std::uint64_t status = 0;
        EXPECT_EQ(b.Device(b.Vela_GetStatus, module, &status), 0);
        return status;
    }
    std::uint8_t State(int module) {
        std::uint8_t state = 0;
        EXPECT_EQ(b.Device(b.Vela_GetModuleState, module, &state), 0);
        return state;
    }
    // The cards kept in a module's output stack or error bin, oldest first.
    QJsonArray Kept(int module, const char* key = "stack") {
        return sim->Module(module).value(QLatin1String(key)).toArray();
    }

    CVelaCommBinding b;
    std::unique_ptr<SimControl> sim;
};

}  // namespace halvard::test
