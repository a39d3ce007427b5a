#pragma once
// An IC or RF page built on its own against the simulator: a stand-in host with its own binding,
// the page told about the connection and the module chain as the main window tells it, and the
// user's part (message boxes, waits) recorded.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "fake_page_host.h"
#include "page_controls.h"
#include "qt_gtest_print.h"
#include "sim_codes.h"
#include "sim_control.h"
#include "ui_recorder.h"

namespace halvard::test {

inline constexpr const char* kDefaultDevice = "[USB1] Halvard Card Printer";
inline constexpr std::uint16_t kToken = 0x2A32;

// The arguments of a logged call after the device handle.
inline QJsonArray ArgsOf(const QJsonObject& call) {
    QJsonArray args = call.value(QLatin1String("args")).toArray();
    args.removeFirst();
    return args;
}

template <typename Page>
class ChipPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Fresh();
        page = std::make_unique<Page>(host);
    }
    void TearDown() override { page.reset(); }

    // Opens a device of `scenario` (the default one when null) and tells the page, as the main
    // window does on "Connect"; the call log starts empty.
    void Connect(const char* scenario = nullptr, const char* device = kDefaultDevice) {
        if (scenario != nullptr) {
            ASSERT_EQ(sim.VelaSim_LoadScenario(scenario), 0);
            sim.VelaSim_SetTimeScale(0);
        }
        ASSERT_TRUE(host.OpenSimulatorDevice(device));
        page->OnDeviceConnected(QString::fromUtf8(device));
        ConnectedModuleList modules{};
        ASSERT_EQ(host.binding.Device(host.binding.Vela_GetConnectedDevices, &modules), 0);
        page->OnModulesChanged(modules);
        sim.VelaSim_ClearCallLog();
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        return ControlOf<T>(page.get(), name);
    }
    void Press(const char* name) { On<QPushButton>(name)->click(); }
    void Pick(const char* name, int data) { PickOn(page.get(), name, data); }
    QString Text(const char* name) { return On<QLineEdit>(name)->text(); }
    QStringList Entries(const char* name) { return EntriesOf(On<QComboBox>(name)); }
    QStringList BoxTexts() const { return ui.MessageTexts(); }
    // Exports called since the log was last cleared, in order.
    QStringList Called() const {
        QStringList names;
        for (const QJsonObject& call : sim.Calls())
            names << call.value(QLatin1String("fn")).toString();
        return names;
    }

    SimControl sim;
    UiRecorder ui;
    FakePageHost host;
    std::unique_ptr<Page> page;
};

}  // namespace halvard::test
