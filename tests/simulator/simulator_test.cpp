// The simulated SDK: its device list, connections, identity checks, status model, control calls
// and its safety under concurrent callers.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CVelaCommBinding.h"
#include "sim_codes.h"
#include "sim_control.h"

using halvard::test::SimControl;

namespace {

QString Name(const DeviceListEntry& e) {
    int n = 0;
    while (n < 256 && e.name[n])
        ++n;
    return QString(reinterpret_cast<const QChar*>(e.name), n);
}

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(b.LoadFrom(halvard::test::SimulatorLibrary()));
        sim = std::make_unique<SimControl>(b);
        sim->Fresh();
    }
    VelaHandle Open(const char16_t* name = u"[USB1] Halvard Card Printer") {
        VelaHandle h = 0;
        EXPECT_EQ(b.VelaDCL_OpenDevice(&h, name, 1, 2), 0);
        return h;
    }
    CVelaCommBinding b;
    std::unique_ptr<SimControl> sim;
};

TEST_F(SimulatorTest, DeviceListsLocalDevicesAndNetworkOnesOnlyInMode7) {
    auto list = std::make_unique<DeviceList>();
    ASSERT_EQ(b.Vela_ExGetDeviceList(list.get(), 1), 0);
    ASSERT_EQ(list->count, 3);
    EXPECT_EQ(Name(list->entries[0]), QStringLiteral("[USB1] Halvard Card Printer"));
    EXPECT_EQ(list->entries[2].type & ~0xFu, 0x3710u) << "one entry outside the card printers";
    ASSERT_EQ(b.Vela_ExGetDeviceList(list.get(), 7), 0);
    EXPECT_EQ(list->count, 4);
    bool network = false;
    for (int i = 0; i < list->count; ++i)
        network = network || Name(list->entries[i]) == QStringLiteral("NET-CardPrinter-03");
    EXPECT_TRUE(network);
    EXPECT_EQ(b.Vela_GetDeviceList(list.get()), 0);
    EXPECT_EQ(list->count, 3);
    EXPECT_EQ(b.Vela_ExGetDeviceList(list.get(), 2), sim::kErrBadArgument);
}

TEST_F(SimulatorTest, OpenFunctionsAcceptListedNamesOnly) {
    VelaHandle h = 0;
    EXPECT_EQ(b.VelaDCL_ExOpenDevice(&h, u"[USB2] Halvard Card Printer", 1, 1), 0);
    EXPECT_NE(h, 0);
    VelaHandle h2 = 0;
    EXPECT_EQ(b.VelaDCL_OpenDevice3(&h2, u"NET-CardPrinter-03", 11110, 0, 1), 0);
    EXPECT_NE(h2, h);
    VelaHandle h3 = 0;
    EXPECT_EQ(b.VelaDCL_OpenDeviceAsUser(&h3, u"nobody", 1, 1), sim::kErrDeviceNotFound);
    EXPECT_EQ(b.VelaDCL_OpenDevice(&h3, u"", 1, 2), sim::kErrEmptyDeviceName);
    EXPECT_EQ(b.VelaDCL_CloseDevice(h), 0);
    EXPECT_EQ(b.VelaDCL_CloseDevice(h), sim::kErrBadHandle);
    std::uint64_t status = 0;
    EXPECT_EQ(b.Vela_GetStatus(h, 0x40, &status), sim::kErrBadHandle);
    EXPECT_EQ(b.Vela_CloseDevice(h2), 0);
}

TEST_F(SimulatorTest, DeviceInfoCarriesPrinterIdAndReaderNames) {
    DeviceInfo info{};
    ASSERT_EQ(b.Vela_GetDeviceInfo(&info, u"[USB1] Halvard Card Printer", 1), 0);
    EXPECT_EQ(QString::fromUtf16(info.printerId), QStringLiteral("PRN01"));
    EXPECT_FALSE(QString::fromUtf16(info.icReaderName).isEmpty());
    EXPECT_FALSE(QString::fromUtf16(info.rfReaderName).isEmpty());
}

TEST_F(SimulatorTest, SerialWriteWithAWrongDigestIsRefused) {
    b.m_hDevice = Open();
    const std::uint8_t wrong[16] = {1, 2, 3};
    EXPECT_EQ(b.Device(b.Vela_ExSetSerial, u"abc", 3, wrong, 16), sim::kErrTagMismatch);
    EXPECT_EQ(b.Device(b.Vela_ExSetHeadSerial, u"abc", 3, wrong, 16), sim::kErrTagMismatch);
    EXPECT_EQ(sim->Device().value(QStringLiteral("serial")).toString(),
              QStringLiteral("HV2026000101"));
    EXPECT_EQ(b.WriteSerial(u"NEW-1"), 0);
    EXPECT_EQ(sim->Device().value(QStringLiteral("serial")).toString(), QStringLiteral("NEW-1"));
    std::int32_t tiny = 3;
    VelaChar buffer[3];
    EXPECT_EQ(b.Device(b.Vela_ExGetSerial, buffer, &tiny), sim::kErrBufferTooSmall);
}

TEST_F(SimulatorTest, StatusFollowsTheModelAndForcedBits) {
    b.m_hDevice = Open();
    std::uint64_t status = 0;
    ASSERT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_TRUE(status & (1ull << 15)) << "internal encoder";
    EXPECT_TRUE(status & (1ull << 11)) << "ready";
    EXPECT_FALSE(status & (1ull << 30));
    EXPECT_EQ(b.Device(b.Vela_ToggleManualMode), 0);
    ASSERT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_TRUE(status & (1ull << 30)) << "manual mode";
    ASSERT_EQ(sim->VelaSim_SetStatusBits(nullptr, 0x40, 1ull << 61, 1ull << 11), 0);
    ASSERT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_TRUE(status & (1ull << 61));
    EXPECT_FALSE(status & (1ull << 11));
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x33, &status), sim::kErrNoModule);

    std::uint8_t state = 0;
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x61), 0);
    ASSERT_EQ(b.Device(b.Vela_GetModuleState, 0x61, &state), 0);
    EXPECT_EQ(state & 0x04, 0x04) << "Detect Card";
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0x61);
}

TEST_F(SimulatorTest, ConnectedModulesFollowTheScenario) {
    b.m_hDevice = Open();
    ConnectedModuleList list{};
    ASSERT_EQ(b.Device(b.Vela_GetConnectedDevices, &list), 0);
    ASSERT_EQ(list.count, 6);
    const int expected[] = {0x10, 0x40, 0x61, 0x62, 0x50, 0x70};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(list.entries[i].id, expected[i]);
    sim->Fresh("twelve-modules");
    b.m_hDevice = Open();
    ASSERT_EQ(b.Device(b.Vela_GetConnectedDevices, &list), 0);
    EXPECT_EQ(list.count, 12);
}

TEST_F(SimulatorTest, PreemptionTokenIsExclusive) {
    VelaHandle first = Open();
    VelaHandle second = Open();
    std::uint16_t token = 0xFFFF, other = 0xFFFF;
    ASSERT_EQ(b.Vela_RequestPreemption(first, &token), 0);
    EXPECT_NE(token, 0xFFFF);
    EXPECT_EQ(b.Vela_RequestPreemption(second, &other), sim::kErrPreempted);
    EXPECT_EQ(other, 0xFFFF);
    EXPECT_EQ(b.Vela_ReleasePreemption(second, static_cast<std::uint16_t>(token + 1)),
              sim::kErrNotPreempted);
    EXPECT_EQ(b.Vela_ReleasePreemption(first, token), 0);
    EXPECT_EQ(b.Vela_RequestPreemption(second, &other), 0);
}

TEST_F(SimulatorTest, FaultRulesSkipThenFailForCount) {
    b.m_hDevice = Open();
    ASSERT_EQ(sim->VelaSim_InjectFault("Vela_GetStatus", 1, 2, 0x8000ABCD), 0);
    std::uint64_t status = 0;
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), static_cast<VelaResult>(0x8000ABCD));
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), static_cast<VelaResult>(0x8000ABCD));
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    ASSERT_EQ(sim->VelaSim_InjectFault("Vela_Get*", 0, -1, 0x80001111), 0);
    std::uint8_t state = 0;
    EXPECT_EQ(b.Device(b.Vela_GetModuleState, 0x40, &state), static_cast<VelaResult>(0x80001111));
    sim->VelaSim_ClearFaults();
    EXPECT_EQ(b.Device(b.Vela_GetModuleState, 0x40, &state), 0);
}

TEST_F(SimulatorTest, CallLogRecordsArgumentsAndResults) {
    b.m_hDevice = Open();
    sim->VelaSim_ClearCallLog();
    std::uint64_t status = 0;
    b.Device(b.Vela_GetStatus, 0x40, &status);
    b.Device(b.Vela_ExSelectDevice, 0x33);
    QList<QJsonObject> calls = sim->Calls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].value(QStringLiteral("fn")).toString(), QStringLiteral("Vela_GetStatus"));
    EXPECT_EQ(calls[0].value(QStringLiteral("args")).toArray().at(1).toInt(), 0x40);
    EXPECT_EQ(calls[0].value(QStringLiteral("result")).toInt(), 0);
    EXPECT_EQ(calls[1].value(QStringLiteral("result")).toInteger(), sim::kErrNoModule);
}

TEST_F(SimulatorTest, UnsupportedExportsAnswerWithOneCode) {
    EXPECT_EQ(b.Vela_LaserConnect(0), kVelaNotSupported);
    EXPECT_EQ(b.Vela_ExSendTest(0), kVelaNotSupported);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_LaserConnect")), 1);
}

TEST_F(SimulatorTest, ScenarioJsonDeclaresDevicesAndModules) {
    const char* json = R"({"devices": [
        {"name": "Only One", "type": 14095, "serial": "S-1",
         "modules": [{"id": 32, "hoppers": [1, 3, 5]}, {"id": 64}]}]})";
    ASSERT_EQ(sim->VelaSim_LoadScenario(json), 0);
    auto list = std::make_unique<DeviceList>();
    ASSERT_EQ(b.Vela_GetDeviceList(list.get()), 0);
    ASSERT_EQ(list->count, 1);
    EXPECT_EQ(list->entries[0].type, 0x370Fu);
    b.m_hDevice = Open(u"Only One");
    std::uint64_t status = 0;
    ASSERT_EQ(b.Device(b.Vela_GetStatus, 0x20, &status), 0);
    EXPECT_EQ(status & 0x3F0, (1u << 4) | (1u << 6) | (1u << 8)) << "hoppers 1, 3 and 5";
    EXPECT_NE(sim->VelaSim_LoadScenario("{not json"), 0);
}

TEST_F(SimulatorTest, PersistentStateSurvivesARestart) {
    QTemporaryDir dir;
    const QByteArray file = dir.filePath(QStringLiteral("printer.json")).toUtf8();
    sim->VelaSim_SetStateFile(file.constData());
    b.m_hDevice = Open();
    ASSERT_EQ(b.WriteHeadSerial(u"KEPT-7"), 0);
    // A restart: clean scenario, then the state file is read again.
    sim->Fresh();
    EXPECT_NE(sim->Device().value(QStringLiteral("headSerial")).toString(),
              QStringLiteral("KEPT-7"));
    sim->VelaSim_SetStateFile(file.constData());
    EXPECT_EQ(sim->Device().value(QStringLiteral("headSerial")).toString(),
              QStringLiteral("KEPT-7"));
    sim->VelaSim_SetStateFile(nullptr);
}

TEST_F(SimulatorTest, ConcurrentCallersSeeConsistentAnswers) {
    const VelaHandle h = Open();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                std::uint64_t status = 0;
                std::uint8_t state = 0;
                if (b.Vela_GetStatus(h, 0x40, &status) != 0)
                    ++failures;
                if (b.Vela_GetModuleState(h, 0x10, &state) != 0)
                    ++failures;
                if (t == 0 && i % 50 == 0)
                    b.Vela_ToggleManualMode(h);
                if (t == 1 && i % 60 == 0)
                    sim->VelaSim_SetStatusBits(nullptr, 0x61, 1, 0);
                if (t == 2 && i % 70 == 0)
                    sim->VelaSim_ClearCallLog();
                VelaHandle extra = 0;
                if (t == 3 && i % 40 == 0 &&
                    b.VelaDCL_OpenDevice(&extra, u"[USB2] Halvard Card Printer", 1, 2) == 0)
                    b.VelaDCL_CloseDevice(extra);
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
