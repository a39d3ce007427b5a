// The simulated printer's security and identity exports, called through a binding as a tool
// would call them.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QString>

#include <array>

#include "CVelaCommBinding.h"
#include "sim_control.h"

using halvard::test::SimControl;

namespace {

constexpr const char* kDevice = "[USB1] Halvard Card Printer";
constexpr std::uint64_t kWrongPasswordBit = std::uint64_t{1} << 61;
constexpr VelaResult kWrongPassword = static_cast<VelaResult>(0x80000005);

VelaString V(const QString& text) {
    return VelaString(reinterpret_cast<const VelaChar*>(text.utf16()),
                      static_cast<size_t>(text.size()));
}

class SimulatorSecurity : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(binding.LoadFrom(halvard::test::SimulatorLibrary()));
        sim = std::make_unique<SimControl>(binding);
        sim->Fresh();
        Open();
    }
    void TearDown() override { Close(); }

    void Open() {
        const VelaString name = V(QString::fromLatin1(kDevice));
        ASSERT_EQ(binding.VelaDCL_ExOpenDevice(&binding.m_hDevice, name.c_str(), 1, 1), 0);
    }
    void Close() {
        if (binding.m_hDevice != 0)
            binding.VelaDCL_CloseDevice(binding.m_hDevice);
        binding.m_hDevice = 0;
    }
    QJsonObject Printer() const { return sim->Device(kDevice); }
    std::uint64_t PrinterStatus() {
        std::uint64_t status = 0;
        EXPECT_EQ(binding.Device(binding.Vela_GetStatus, 64, &status), 0);
        return status;
    }
    VelaResult Verify(const char* password) {
        return binding.Device(binding.Vela_ExVerifyPassword,
                              V(QString::fromLatin1(password)).c_str());
    }
    VelaResult SetId(const QString& id) {
        return binding.Device(binding.Vela_ExSetDeviceID, V(id).c_str(), V(QString()).c_str());
    }

    CVelaCommBinding binding;
    std::unique_ptr<SimControl> sim;
};

TEST_F(SimulatorSecurity, VerifyPasswordRaisesAndClearsTheWrongPasswordBit) {
    EXPECT_EQ(Verify("9999"), kWrongPassword);
    EXPECT_NE(PrinterStatus() & kWrongPasswordBit, 0u);
    EXPECT_EQ(Verify("1234"), 0);
    EXPECT_EQ(PrinterStatus() & kWrongPasswordBit, 0u);
    EXPECT_EQ(Verify("0000"), 0) << "the user password logs in too";
    EXPECT_EQ(Verify(""), kWrongPassword);
}

TEST_F(SimulatorSecurity, RootPasswordChangeAnswersOneWhenChangedAndZeroWhenRefused) {
    const VelaString wrong = V(QStringLiteral("1111")), right = V(QStringLiteral("1234"));
    EXPECT_EQ(binding.Device(binding.Vela_ExSetPassword, wrong.c_str(),
                             V(QStringLiteral("5678")).c_str()),
              0);
    EXPECT_EQ(Printer()[QStringLiteral("password")].toString(), QStringLiteral("1234"));
    EXPECT_EQ(binding.Device(binding.Vela_ExSetPassword, right.c_str(),
                             V(QStringLiteral("123456789")).c_str()),
              0)
        << "nine characters do not fit";
    EXPECT_EQ(binding.Device(binding.Vela_ExSetPassword, right.c_str(),
                             V(QStringLiteral("5678")).c_str()),
              1);
    EXPECT_EQ(Printer()[QStringLiteral("password")].toString(), QStringLiteral("5678"));
    EXPECT_EQ(Verify("1234"), kWrongPassword);
    EXPECT_EQ(Verify("5678"), 0);
}

TEST_F(SimulatorSecurity, UserPasswordChangeTakesUserOrRootPassword) {
    auto change = [&](const char* current, const char* next) {
        return binding.Device(binding.Vela_ExSetUserPassword,
                              V(QString::fromLatin1(current)).c_str(),
                              V(QString::fromLatin1(next)).c_str());
    };
    EXPECT_EQ(change("4321", "1111"), 0);
    EXPECT_EQ(change("0000", "1111"), 1);
    EXPECT_EQ(Printer()[QStringLiteral("userPassword")].toString(), QStringLiteral("1111"));
    EXPECT_EQ(change("1234", ""), 1);
    EXPECT_EQ(Printer()[QStringLiteral("userPassword")].toString(), QString());
}

TEST_F(SimulatorSecurity, PrinterIdIsCheckedAndShowsAfterTheRestart) {
    for (const char* bad : {"A:1", "A[1", "A]1", "ABCDEFGHI", ""})
        EXPECT_NE(SetId(QString::fromLatin1(bad)), 0) << bad;
    EXPECT_EQ(SetId(QStringLiteral("ABCDEFGH")), 0);
    EXPECT_EQ(Printer()[QStringLiteral("printerId")].toString(), QStringLiteral("PRN01"));

    Close();
    Open();
    DeviceInfo info{};
    const VelaString name = V(QString::fromLatin1(kDevice));
    ASSERT_EQ(binding.Vela_GetDeviceInfo(&info, name.c_str(), 1), 0);
    EXPECT_EQ(QString(reinterpret_cast<const QChar*>(info.printerId)), QStringLiteral("ABCDEFGH"));
}

TEST_F(SimulatorSecurity, PcNameNeedsTheRootPasswordAndEightBytes) {
    const std::array<std::uint8_t, 8> block{0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0};
    const VelaString root = V(QStringLiteral("1234")), other = V(QStringLiteral("9999"));
    EXPECT_EQ(binding.Device(binding.Vela_ExSetPCName, other.c_str(), block.data(), 8),
              kWrongPassword);
    EXPECT_NE(binding.Device(binding.Vela_ExSetPCName, root.c_str(), block.data(), 6), 0);
    EXPECT_EQ(Printer()[QStringLiteral("pcIdentity")].toString(), QString());
    EXPECT_EQ(binding.Device(binding.Vela_ExSetPCName, root.c_str(), block.data(), 8), 0);
    EXPECT_EQ(Printer()[QStringLiteral("pcIdentity")].toString(),
              QStringLiteral("0211223344550000"));
}

TEST_F(SimulatorSecurity, MagneticKeyLengthIsZeroToSixteen) {
    std::array<std::uint8_t, 16> key{'a', 'b', 'c'};
    const VelaString root = V(QStringLiteral("1234"));
    EXPECT_NE(binding.Device(binding.Vela_ExSetMagCryptKey, root.c_str(), key.data(), 17), 0);
    EXPECT_NE(binding.Device(binding.Vela_ExSetMagCryptKey, root.c_str(), key.data(), -1), 0);
    EXPECT_EQ(binding.Device(binding.Vela_ExSetMagCryptKey, V(QStringLiteral("0000")).c_str(),
                             key.data(), 3),
              kWrongPassword);
    EXPECT_EQ(binding.Device(binding.Vela_ExSetMagCryptKey, root.c_str(), key.data(), 3), 0);
    EXPECT_EQ(Printer()[QStringLiteral("magneticKey")].toString(), QStringLiteral("616263"));
}

TEST_F(SimulatorSecurity, SetConfigStoresItemAndValue) {
    EXPECT_EQ(binding.Device(binding.Vela_ExSetConfig, 13, 1), 0);
    EXPECT_EQ(binding.Device(binding.Vela_ExSetConfig, 20, -7), 0);
    const QJsonObject config = Printer()[QStringLiteral("config")].toObject();
    EXPECT_EQ(config[QStringLiteral("13")].toInt(), 1);
    EXPECT_EQ(config[QStringLiteral("20")].toInt(), -7);
}

TEST_F(SimulatorSecurity, CallsWithoutAnOpenHandleAreRefused) {
    const VelaString root = V(QStringLiteral("1234"));
    const VelaHandle stale = binding.m_hDevice;
    Close();
    EXPECT_EQ(binding.Vela_ExSetPassword(stale, root.c_str(), root.c_str()), 0);
    EXPECT_EQ(binding.Vela_ExSetUserPassword(stale, root.c_str(), root.c_str()), 0);
    EXPECT_NE(binding.Vela_ExVerifyPassword(stale, root.c_str()), 0);
    EXPECT_NE(binding.Vela_ExSetConfig(stale, 13, 1), 0);
}

TEST_F(SimulatorSecurity, PasswordsNeverReachTheCallLog) {
    std::array<std::uint8_t, 16> key{};
    std::array<std::uint8_t, 8> block{};
    const VelaString root = V(QStringLiteral("1234")), user = V(QStringLiteral("0000"));
    const VelaString next = V(QStringLiteral("Zq7Wx3"));
    binding.Device(binding.Vela_ExVerifyPassword, root.c_str());
    binding.Device(binding.Vela_ExSetUserPassword, user.c_str(), next.c_str());
    binding.Device(binding.Vela_ExSetPassword, root.c_str(), next.c_str());
    binding.Device(binding.Vela_ExSetPCName, next.c_str(), block.data(), 8);
    binding.Device(binding.Vela_ExSetMagCryptKey, next.c_str(), key.data(), 0);
    const QList<QJsonObject> calls = sim->Calls();
    ASSERT_GE(calls.size(), 5);
    for (const QJsonObject& call : calls) {
        for (const QJsonValue arg : call[QStringLiteral("args")].toArray()) {
            const QString text = arg.toString();
            EXPECT_FALSE(text.contains(QStringLiteral("1234")) ||
                         text.contains(QStringLiteral("Zq7Wx3")))
                << call[QStringLiteral("fn")].toString().toStdString();
        }
    }
    EXPECT_EQ(sim->Calls(QStringLiteral("Vela_ExSetPassword"))
                  .value(0)[QStringLiteral("args")]
                  .toArray()[1]
                  .toString(),
              QStringLiteral("***"));
}

}  // namespace
