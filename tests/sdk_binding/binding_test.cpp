// The SDK binding against a stand-in library (loading, binding, missing exports) and against
// purpose-built resolvers (what it sends, and what it does with untrusted answers). Neither Qt
// nor the simulator is needed, so these tests also run in a Windows build.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "CVelaCommBinding.h"
#include "md5.h"
#include "vela_platform_lib.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

VelaString Text(const char* ascii) {
    VelaString out;
    for (const char* p = ascii; *p; ++p)
        out.push_back(static_cast<VelaChar>(*p));
    return out;
}

// Full path of a stand-in library. A Windows build keeps them beside the test program and finds
// them through the program's folder, the way the tools find the SDK library.
std::string FakeLibrary(const char* name) {
#if defined(_WIN32)
    return vela::platform::ExecutableFolder() + name;
#else
    return name;
#endif
}

// Whether the library file is still mapped into the process.
bool StillMapped(const std::string& path) {
#if defined(_WIN32)
    return GetModuleHandleA(path.c_str()) != nullptr;
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
#endif
}

struct TraceLine {
    std::string name;
    std::string address;
};

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
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
    std::set<std::string> Missing() const {
        std::set<std::string> missing;
        for (const TraceLine& t : Parsed())
            if (std::stoull(t.address, nullptr, 16) == 0)
                missing.insert(t.name);
        return missing;
    }
    int LibraryCalls() const {
        auto calls = reinterpret_cast<int (*)()>(binding.Symbol("FakeSdk_Calls"));
        EXPECT_NE(calls, nullptr);
        return calls ? calls() : -1;
    }

    CVelaCommBinding binding;
    std::vector<std::string> lines;
};

TEST_F(BindingTest, BindsEverySlotAndTracesEach) {
    ASSERT_TRUE(binding.LoadFrom(FakeLibrary(HALVARD_FAKE_SDK)));
    EXPECT_TRUE(binding.IsLoaded());
    std::vector<TraceLine> traced = Parsed();
    ASSERT_EQ(traced.size(), 252u);
    std::multiset<std::string> names;
    for (const TraceLine& t : traced)
        names.insert(t.name);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 248u);
    EXPECT_TRUE(Missing().empty());
    for (const char* twice : {"Vela_ExDrawImage", "Vela_ExIC_GetICReaderInfo",
                              "Vela_ExIC_GetSIMReaderInfo", "Vela_ExRFPCSC_GetReaderName"})
        EXPECT_EQ(names.count(twice), 2u) << twice;
    EXPECT_EQ(binding.Vela_ExDrawImage, binding.Vela_ExDrawImage_2);
}

TEST_F(BindingTest, MissingExportsDecideByWhetherTheyAreOptional) {
    // The two user-memory exports may be missing: the binding holds, their slots stay empty.
    ASSERT_TRUE(binding.LoadFrom(FakeLibrary(HALVARD_FAKE_SDK_NO_USER_MEMORY)));
    EXPECT_EQ(Missing(), (std::set<std::string>{"Vela_ReadUserMemory", "Vela_WriteUserMemory"}));
    EXPECT_EQ(binding.Vela_ReadUserMemory, nullptr);
    EXPECT_NE(binding.Vela_GetStatus, nullptr);
    binding.Unload();

    // Any other missing export fails the binding, resets every slot and releases the library,
    // after all 252 lines were traced.
    lines.clear();
    EXPECT_FALSE(binding.LoadFrom(FakeLibrary(HALVARD_FAKE_SDK_NO_STATUS)));
    EXPECT_EQ(Parsed().size(), 252u);
    EXPECT_EQ(Missing(), (std::set<std::string>{"Vela_GetStatus"}));
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_EQ(binding.m_hModule, nullptr);
    EXPECT_EQ(binding.Vela_GetDeviceList, nullptr);
    EXPECT_FALSE(StillMapped(FakeLibrary(HALVARD_FAKE_SDK_NO_STATUS)));
}

TEST_F(BindingTest, MissingLibraryFileFailsWithoutTracing) {
    EXPECT_FALSE(binding.LoadFrom("/nonexistent/folder/libVelaComm.so"));
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_TRUE(lines.empty());
}

#if defined(_WIN32)
// The 32-bit SDK library's exports are __stdcall: the pointer types must say so, or every call
// would leave the stack unbalanced.
#if !defined(_WIN64)
static_assert(std::is_same_v<PFN_Vela_CloseDevice, VelaResult(__stdcall*)(VelaHandle)>);
static_assert(!std::is_same_v<PFN_Vela_CloseDevice, VelaResult (*)(VelaHandle)>);
#endif

// What the tools do at start-up: VelaComm.dll from the program's own folder (a drive path cut
// after its last backslash), every export found by its plain name, released again on unload.
TEST_F(BindingTest, LoadsVelaCommDllFromTheProgramsFolder) {
    const std::string folder = vela::platform::ExecutableFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder[1], ':') << folder;
    EXPECT_EQ(folder.back(), '\\') << folder;
    EXPECT_EQ(vela::platform::ExecutableBaseName(), "sdk_binding_tests");
    const std::string path = CVelaCommBinding::LibraryPath();
    EXPECT_EQ(path, folder + "VelaComm.dll");

    ASSERT_TRUE(binding.Load());
    EXPECT_EQ(Parsed().size(), 252u);
    EXPECT_TRUE(Missing().empty());
    EXPECT_TRUE(StillMapped(path));
    // A stand-in built like the SDK library exports no decorated duplicates either.
    EXPECT_EQ(binding.Symbol("Vela_CloseDevice@4"), nullptr);
    // A device call and Unload's Vela_CloseDevice go through __stdcall slots with arguments.
    binding.m_hDevice = 3;
    const int before = LibraryCalls();
    std::uint64_t status = 0;
    EXPECT_EQ(binding.Device(binding.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_EQ(binding.Device(binding.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    EXPECT_EQ(LibraryCalls(), before + 2);
    binding.Unload();
    EXPECT_FALSE(StillMapped(path));
    EXPECT_EQ(binding.m_hDevice, 0);
}
#endif

TEST_F(BindingTest, DeviceCallsWithoutConnectionReturnMinusOneAndReachNoSdkCode) {
    ASSERT_TRUE(binding.LoadFrom(FakeLibrary(HALVARD_FAKE_SDK)));
    const int before = LibraryCalls();
    std::uint64_t status = 0;
    std::uint8_t state = 0;
    std::int32_t n = 0;
    std::uint16_t token = 0xFFFF;
    std::uint8_t bytes[8] = {};
    ConnectedModuleList modules{};
    const VelaString a = Text("a");
    const CVelaCommBinding& b = binding;
    // One call of every device family.
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), -1);
    EXPECT_EQ(b.Device(b.Vela_GetModuleState, 0x40, &state), -1);
    EXPECT_EQ(b.Device(b.Vela_GetConnectedDevices, &modules), -1);
    EXPECT_EQ(b.Device(b.Vela_RequestPreemption, &token), -1);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), -1);
    EXPECT_EQ(b.Device(b.Vela_ExGetDevParam, bytes, &n), -1);
    EXPECT_EQ(b.Device(b.Vela_ExSetPassword, a.c_str(), a.c_str()), -1);
    EXPECT_EQ(b.Device(b.Vela_ICPowerOn2, 0x61, &n, bytes), -1);
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 1, bytes, &n, bytes), -1);
    EXPECT_EQ(b.Device(b.Vela_SetEncBuffer, 0x40, 1, 1, a.c_str()), -1);
    EXPECT_EQ(b.Device(b.Vela_PrintStart, 0x40, 0, 0), -1);
    EXPECT_EQ(b.Device(b.Vela_OpenDocument, a.c_str()), -1);
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, bytes, 6), -1);
    EXPECT_EQ(b.Device(b.Vela_RunEncoder, 0x61, 0x10, 10, bytes, &n), -1);
    VelaString text;
    EXPECT_EQ(b.ReadFirmwareVersion(text), -1);
    EXPECT_EQ(b.ReadSerial(text), -1);
    EXPECT_EQ(b.ReadHeadSerial(text), -1);
    EXPECT_EQ(b.WriteSerial(a), -1);
    EXPECT_EQ(b.WriteHeadSerial(a), -1);
    EXPECT_EQ(LibraryCalls(), before) << "no SDK code may be reached";
    // With a connection the same kind of call does reach the library.
    binding.m_hDevice = 7;
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), 0);
    EXPECT_EQ(LibraryCalls(), before + 1);
}

// ---- What the binding sends and reads, through a purpose-built resolver ----

// What the fakes below saw; reset by each test.
struct Seen {
    std::vector<std::string> calls;
    VelaString serial;
    std::int32_t length = 0;
    std::vector<std::uint8_t> digest;
    std::int32_t selectedModule = 0;
    VelaHandle closedHandle = 0;
    // What Vela_ExGetSerial writes: its text, whether it terminates, the length it claims.
    VelaString answer;
    bool terminate = true;
    std::int32_t claimedLength = -1;
};
Seen g_seen;

VelaResult VELA_API FakeSetSerial(VelaHandle, const VelaChar* serial, std::int32_t length,
                                  const std::uint8_t* digest, std::int32_t digestLength) {
    g_seen.calls.emplace_back("SetSerial");
    g_seen.serial.assign(serial, static_cast<size_t>(length));
    g_seen.length = length;
    g_seen.digest.assign(digest, digest + digestLength);
    return 0;
}
VelaResult VELA_API FakeGetText(VelaHandle, VelaChar* text, std::int32_t* capacity) {
    g_seen.calls.emplace_back("GetText");
    // Writes at most the buffer the caller announced (plus its terminator cell, which the
    // caller provides), whatever length it then claims.
    const size_t room = static_cast<size_t>(*capacity);
    const size_t n = std::min(g_seen.answer.size(), room);
    std::copy_n(g_seen.answer.begin(), n, text);
    if (g_seen.terminate)
        text[n] = 0;
    if (g_seen.claimedLength >= 0)
        *capacity = g_seen.claimedLength;
    return 0;
}
VelaResult VELA_API FakeSelect(VelaHandle, std::int32_t module) {
    g_seen.calls.emplace_back("Select");
    g_seen.selectedModule = module;
    return 0;
}
VelaResult VELA_API FakeClose(VelaHandle h) {
    g_seen.calls.emplace_back("Close");
    g_seen.closedHandle = h;
    return 0;
}
VelaResult VELA_API FakeAnything(VelaHandle) {
    g_seen.calls.emplace_back("other");
    return 0;
}

class ResolvedBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen{};
        const std::map<std::string, void*> fakes = {
            {"Vela_ExSetSerial", reinterpret_cast<void*>(&FakeSetSerial)},
            {"Vela_ExSetHeadSerial", reinterpret_cast<void*>(&FakeSetSerial)},
            {"Vela_ExGetSerial", reinterpret_cast<void*>(&FakeGetText)},
            {"Vela_ExGetHeadSerial", reinterpret_cast<void*>(&FakeGetText)},
            {"Vela_GetVersion", reinterpret_cast<void*>(&FakeGetText)},
            {"Vela_ExSelectDevice", reinterpret_cast<void*>(&FakeSelect)},
            {"Vela_CloseDevice", reinterpret_cast<void*>(&FakeClose)},
        };
        ASSERT_TRUE(binding.Bind([fakes](const char* name) -> void* {
            auto it = fakes.find(name);
            return it != fakes.end() ? it->second : reinterpret_cast<void*>(&FakeAnything);
        }));
        binding.m_hDevice = 7;
    }
    CVelaCommBinding binding;
};

TEST_F(ResolvedBindingTest, SerialWritesSendTheDigestOfTheTaggedText) {
    EXPECT_EQ(binding.WriteSerial(Text("abc")), 0);
    EXPECT_EQ(g_seen.serial, Text("abc"));
    EXPECT_EQ(g_seen.length, 3);
    // MD5 of the ten UTF-16LE bytes of "@abc@".
    const std::uint8_t tagged[] = {'@', 0, 'a', 0, 'b', 0, 'c', 0, '@', 0};
    const vela::Md5Digest expected = vela::Md5::Of(tagged, sizeof tagged);
    EXPECT_EQ(g_seen.digest, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(g_seen.digest.size(), 16u);

    // 125 characters is the most that fits "@" + serial + "@"; one more is refused unsent.
    g_seen.calls.clear();
    EXPECT_EQ(binding.WriteSerial(VelaString(126, VelaChar('7'))),
              CVelaCommBinding::kSerialTooLong);
    EXPECT_EQ(binding.WriteHeadSerial(VelaString(126, VelaChar('7'))),
              CVelaCommBinding::kSerialTooLong);
    EXPECT_TRUE(g_seen.calls.empty());
    EXPECT_EQ(binding.WriteHeadSerial(VelaString(125, VelaChar('7'))), 0);
    EXPECT_EQ(g_seen.calls, std::vector<std::string>{"SetSerial"});
}

TEST_F(ResolvedBindingTest, FirmwareVersionSelectsThePrinterFirst) {
    g_seen.answer = Text("V2.1.07");
    VelaString version;
    EXPECT_EQ(binding.ReadFirmwareVersion(version), 0);
    EXPECT_EQ(version, Text("V2.1.07"));
    EXPECT_EQ(g_seen.calls, (std::vector<std::string>{"Select", "GetText"}));
    EXPECT_EQ(g_seen.selectedModule, 0x40);
}

TEST_F(ResolvedBindingTest, TextsAreReadOnlyUpToTheirBuffer) {
    struct Case {
        const char* name;
        size_t answerLength;
        bool terminate;
        std::int32_t claimed;
        size_t expected;
    };
    const Case cases[] = {
        {"terminated and honest", 10, true, 10, 10},
        {"unterminated, fills the buffer, claims far more", 64, false, 5000, 64},
        {"claims a negative length", 12, true, -7, 12},
        {"longer than the buffer", 300, false, 300, 64},
    };
    for (const Case& c : cases) {
        g_seen.answer = VelaString(c.answerLength, VelaChar('S'));
        g_seen.terminate = c.terminate;
        g_seen.claimedLength = c.claimed;
        VelaString serial(3, VelaChar('x'));
        EXPECT_EQ(binding.ReadSerial(serial), 0) << c.name;
        EXPECT_EQ(serial.size(), c.expected) << c.name;
    }
}

TEST_F(ResolvedBindingTest, UnloadClosesAnOpenConnectionFirstAndTwiceIsHarmless) {
    binding.Unload();
    EXPECT_EQ(g_seen.calls, std::vector<std::string>{"Close"});
    EXPECT_EQ(g_seen.closedHandle, 7);
    EXPECT_EQ(binding.m_hDevice, 0);
    EXPECT_FALSE(binding.IsLoaded());
    binding.Unload();
    EXPECT_EQ(g_seen.calls.size(), 1u);
}

}  // namespace
