// The SDK binding against the simulator and against purpose-built variants of it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "CVelaCommBinding.h"
#include "sim_control.h"

using halvard::test::SimControl;
using halvard::test::SimulatorLibrary;

namespace {

const VelaString kDevice = u"[USB1] Halvard Card Printer";

struct TraceLine {
    std::string name;
    std::string address;
};

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Fresh();
        binding.SetTraceSink([this](std::string_view line) { lines.emplace_back(line); });
    }

    std::vector<TraceLine> Parsed() const {
        static const std::regex pattern("^dll func (\\w+) pointer : ([0-9A-F]{8,16})$");
        std::vector<TraceLine> out;
        for (const std::string& l : lines) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(l, m, pattern)) << l;
            if (m.size() == 3)
                out.push_back({m[1], m[2]});
        }
        return out;
    }

    void Connect() {
        ASSERT_EQ(binding.VelaDCL_OpenDevice(&binding.m_hDevice, kDevice.c_str(), 1, 2), 0);
        ASSERT_NE(binding.m_hDevice, 0);
    }

    SimControl sim;
    CVelaCommBinding binding;
    std::vector<std::string> lines;
};

bool StillMapped(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

TEST_F(BindingTest, BindsEverySlotAndTracesEach) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    EXPECT_TRUE(binding.IsLoaded());
    std::vector<TraceLine> traced = Parsed();
    ASSERT_EQ(traced.size(), 252u);
    std::multiset<std::string> names;
    for (const TraceLine& t : traced) {
        names.insert(t.name);
        EXPECT_NE(t.address, "00000000") << t.name;
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 248u);
    for (const char* twice : {"Vela_ExDrawImage", "Vela_ExIC_GetICReaderInfo",
                              "Vela_ExIC_GetSIMReaderInfo", "Vela_ExRFPCSC_GetReaderName"})
        EXPECT_EQ(names.count(twice), 2u) << twice;
    EXPECT_EQ(binding.Vela_ExDrawImage, binding.Vela_ExDrawImage_2);
}

TEST_F(BindingTest, MissingUserMemoryExportsStillBind) {
    ASSERT_TRUE(binding.LoadFrom(HALVARD_SIM_MISSING_USER_MEMORY));
    std::vector<TraceLine> traced = Parsed();
    ASSERT_EQ(traced.size(), 252u);
    std::set<std::string> missing;
    for (const TraceLine& t : traced)
        if (t.address == "00000000")
            missing.insert(t.name);
    EXPECT_EQ(missing, (std::set<std::string>{"Vela_ReadUserMemory", "Vela_WriteUserMemory"}));
    EXPECT_EQ(binding.Vela_ReadUserMemory, nullptr);
    EXPECT_NE(binding.Vela_GetStatus, nullptr);
    binding.Unload();
}

TEST_F(BindingTest, MissingRequiredExportFailsAndReleasesTheLibrary) {
    EXPECT_FALSE(binding.LoadFrom(HALVARD_SIM_MISSING_REQUIRED));
    std::vector<TraceLine> traced = Parsed();
    ASSERT_EQ(traced.size(), 252u);
    int missing = 0;
    for (const TraceLine& t : traced)
        if (t.address == "00000000")
            ++missing;
    EXPECT_EQ(missing, 1);  // only Vela_GetStatus
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_EQ(binding.m_hModule, nullptr);
    EXPECT_EQ(binding.Vela_GetDeviceList, nullptr) << "slots are reset on failure";
    EXPECT_FALSE(StillMapped(HALVARD_SIM_MISSING_REQUIRED));
}

TEST_F(BindingTest, MissingLibraryFileFails) {
    EXPECT_FALSE(binding.LoadFrom("/nonexistent/libVelaComm.so"));
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_TRUE(lines.empty());
}

TEST_F(BindingTest, DeviceCallsWithoutConnectionReturnMinusOneAndReachNoSdkCode) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    sim.VelaSim_ClearCallLog();
    std::uint64_t status = 0;
    std::uint8_t state = 0;
    std::int32_t n = 0;
    std::uint16_t token = 0xFFFF;
    std::uint8_t bytes[8] = {};
    ConnectedModuleList modules{};
    const CVelaCommBinding& b = binding;
    // One call of every device family.
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), -1);
    EXPECT_EQ(b.Device(b.Vela_GetModuleState, 0x40, &state), -1);
    EXPECT_EQ(b.Device(b.Vela_GetConnectedDevices, &modules), -1);
    EXPECT_EQ(b.Device(b.Vela_RequestPreemption, &token), -1);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), -1);
    EXPECT_EQ(b.Device(b.Vela_ExGetDevParam, bytes, &n), -1);
    EXPECT_EQ(b.Device(b.Vela_ExSetPassword, u"a", u"b"), -1);
    EXPECT_EQ(b.Device(b.Vela_ICPowerOn2, 0x61, &n, bytes), -1);
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 1, bytes, &n, bytes), -1);
    EXPECT_EQ(b.Device(b.Vela_SetEncBuffer, 0x40, 1, 1, u"x"), -1);
    EXPECT_EQ(b.Device(b.Vela_PrintStart, 0x40, 0, 0), -1);
    EXPECT_EQ(b.Device(b.Vela_OpenDocument, u"x.vdn"), -1);
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, bytes, 6), -1);
    EXPECT_EQ(b.Device(b.Vela_RunEncoder, 0x61, 0x10, 10, bytes, &n), -1);
    VelaString text;
    EXPECT_EQ(b.ReadFirmwareVersion(text), -1);
    EXPECT_EQ(b.ReadSerial(text), -1);
    EXPECT_EQ(b.ReadHeadSerial(text), -1);
    EXPECT_EQ(b.WriteSerial(u"abc"), -1);
    EXPECT_EQ(b.WriteHeadSerial(u"abc"), -1);
    EXPECT_TRUE(sim.Calls().isEmpty()) << "no SDK code may be reached";
}

TEST_F(BindingTest, WriteSerialSendsTheDigestOfTheTaggedText) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    Connect();
    sim.VelaSim_ClearCallLog();
    EXPECT_EQ(binding.WriteSerial(u"abc"), 0);
    QList<QJsonObject> calls = sim.Calls(QStringLiteral("Vela_ExSetSerial"));
    ASSERT_EQ(calls.size(), 1);
    QJsonArray args = calls[0].value(QStringLiteral("args")).toArray();
    ASSERT_EQ(args.size(), 5);
    EXPECT_EQ(args[1].toString(), QStringLiteral("abc"));
    EXPECT_EQ(args[2].toInt(), 3);
    // MD5 of the ten UTF-16LE bytes of "@abc@".
    EXPECT_EQ(args[3].toString(), QStringLiteral("4F69711BC0E94DFACE32951B20E30233"));
    EXPECT_EQ(args[4].toInt(), 16);
    VelaString serial;
    EXPECT_EQ(binding.ReadSerial(serial), 0);
    EXPECT_EQ(serial, u"abc");
}

TEST_F(BindingTest, HeadSerialRoundTripsThroughTheSimulator) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    Connect();
    EXPECT_EQ(binding.WriteHeadSerial(u"TH-9000"), 0);
    VelaString serial;
    EXPECT_EQ(binding.ReadHeadSerial(serial), 0);
    EXPECT_EQ(serial, u"TH-9000");
    VelaString version;
    sim.VelaSim_ClearCallLog();
    EXPECT_EQ(binding.ReadFirmwareVersion(version), 0);
    EXPECT_EQ(version, u"V2.1.07 (2026-10-14)");
    QList<QJsonObject> calls = sim.Calls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].value(QStringLiteral("fn")).toString(),
              QStringLiteral("Vela_ExSelectDevice"));
    EXPECT_EQ(calls[0].value(QStringLiteral("args")).toArray().at(1).toInt(), 64);
    EXPECT_EQ(calls[1].value(QStringLiteral("fn")).toString(), QStringLiteral("Vela_GetVersion"));
}

TEST_F(BindingTest, OverlongSerialIsRefusedAndNothingIsSent) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    Connect();
    sim.VelaSim_ClearCallLog();
    EXPECT_EQ(binding.WriteSerial(VelaString(126, u'7')), CVelaCommBinding::kSerialTooLong);
    EXPECT_EQ(binding.WriteHeadSerial(VelaString(126, u'7')), CVelaCommBinding::kSerialTooLong);
    EXPECT_TRUE(sim.Calls().isEmpty());
    EXPECT_EQ(binding.WriteSerial(VelaString(125, u'7')), 0);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExSetSerial")), 1);
}

TEST_F(BindingTest, UnloadClosesAnOpenConnectionFirstAndTwiceIsHarmless) {
    ASSERT_TRUE(binding.LoadFrom(SimulatorLibrary()));
    Connect();
    const VelaHandle handle = binding.m_hDevice;
    sim.VelaSim_ClearCallLog();
    binding.Unload();
    EXPECT_EQ(binding.m_hDevice, 0);
    EXPECT_FALSE(binding.IsLoaded());
    QList<QJsonObject> calls = sim.Calls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(QStringLiteral("fn")).toString(), QStringLiteral("Vela_CloseDevice"));
    EXPECT_EQ(calls[0].value(QStringLiteral("args")).toArray().at(0).toInt(), handle);
    binding.Unload();
    EXPECT_EQ(sim.Calls().size(), 1);
}

// ---- Untrusted answers, through a purpose-built resolver ----

VelaResult VELA_API FakeGetSerial(VelaHandle, VelaChar* text, std::int32_t* capacity) {
    // Fills the whole buffer with no terminator and claims a far larger length.
    for (int i = 0; i < *capacity; ++i)
        text[i] = u'S';
    *capacity = 5000;
    return 0;
}
VelaResult VELA_API FakeAnything(VelaHandle) {
    return 0;
}

TEST(BindingUntrusted, TextsAreReadOnlyUpToTheirBuffer) {
    CVelaCommBinding binding;
    std::vector<std::string> lines;
    binding.SetTraceSink([&](std::string_view l) { lines.emplace_back(l); });
    ASSERT_TRUE(binding.Bind([](const char* name) -> void* {
        if (std::string_view(name) == "Vela_ExGetSerial")
            return reinterpret_cast<void*>(&FakeGetSerial);
        return reinterpret_cast<void*>(&FakeAnything);
    }));
    EXPECT_EQ(lines.size(), 252u);
    binding.m_hDevice = 7;
    VelaString serial;
    EXPECT_EQ(binding.ReadSerial(serial), 0);
    EXPECT_EQ(serial.size(), 64u);
    binding.Unload();
    EXPECT_EQ(binding.m_hDevice, 0);
}

}  // namespace
