// The main window's security and identity commands against the simulated printer: what the
// technician sees and what the printer receives.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QLoggingCategory>
#include <QStringList>

#include <memory>
#include <mutex>

#include "CChangeSerialDlg.h"
#include "CKestraConfigDlg.h"
#include "CPWDlg.h"
#include "CSubDlgVELA.h"
#include "head_resistor_memo.h"
#include "recording.h"
#include "sim_control.h"

using namespace halvard::test;
namespace mb = halvard::mb;

namespace {

const QString kReboot = QStringLiteral("Changes will be applied after Reboot Printer...");
const QString kNoAdapter = QStringLiteral(
    "No network adapter with a hardware address was found. The PC Serial was not sent to the "
    "printer.");
constexpr const char* kPrinter = "[USB1] Halvard Card Printer";

QJsonArray Args(const QJsonObject& call) {
    return call[QStringLiteral("args")].toArray();
}

class SecurityCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // The login prompt of the connection may come whenever events are processed.
        dialogs.intercept = [](QDialog& dialog, int& result) {
            auto* prompt = qobject_cast<CPWDlg*>(&dialog);
            if (prompt == nullptr ||
                !dialog.findChild<QLineEdit*>(QStringLiteral("newPassword"))->isHidden())
                return false;
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("password")),
                             QStringLiteral("1234"));
            result = QDialog::Accepted;
            return true;
        };
        w.Initialise(QString::fromLatin1(SimulatorLibrary()));
        sim = std::make_unique<SimControl>(w.Binding());
        sim->Fresh();
        ASSERT_EQ(w.ConnectDevice(QString::fromLatin1(kPrinter)), 0);
        SetLogin(QStringLiteral("1234"));
        w.SetAdapterAddressSource([] { return QByteArray::fromHex("021A2B3C4D5E"); });
        sim->VelaSim_ClearCallLog();
    }

    void SetLogin(const QString& password) {
        w.findChild<QLineEdit*>(QStringLiteral("loginPassword"))->setText(password);
    }
    QJsonObject Printer() const { return sim->Device(kPrinter); }
    QStringList Texts() const {
        QStringList texts;
        for (const ShownMessage& m : messages.shown)
            texts << m.text;
        return texts;
    }

    MessageRecorder messages;
    DialogScript dialogs{messages};
    CKestraConfigDlg w;
    std::unique_ptr<SimControl> sim;
};

// ---- Passwords: the SDK answers non-zero for a change it made ----

TEST_F(SecurityCommands, RootPasswordChangeReportsTheSdksNonZeroAsSuccess) {
    dialogs.steps.push_back([](QDialog& d) {
        EXPECT_EQ(Field(d, "password")->text(), QStringLiteral("1234"));
        Type(d, "newPassword", QStringLiteral("5678"));
        Type(d, "confirm", QStringLiteral("5678"));
        return ClickOk(d);
    });
    w.OnChangeRootPW();
    EXPECT_EQ(Texts(), QStringList{kReboot});
    EXPECT_EQ(messages.shown.value(0).style, mb::kOk);
    ASSERT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetPassword")), 1);
    EXPECT_EQ(sim->Calls(QStringLiteral("Vela_ExSetPassword"))[0][QStringLiteral("result")].toInt(),
              1);
    EXPECT_EQ(Printer()[QStringLiteral("password")].toString(), QStringLiteral("5678"));
    EXPECT_EQ(w.LoginPassword(), QStringLiteral("1234")) << "the login password stays";
}

TEST_F(SecurityCommands, RootPasswordChangeRefusedByThePrinterSaysSo) {
    SetLogin(QStringLiteral("9999"));
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "newPassword", QStringLiteral("5678"));
        Type(d, "confirm", QStringLiteral("5678"));
        return ClickOk(d);
    });
    w.OnChangeRootPW();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Failed to Change Password")});
    EXPECT_EQ(Printer()[QStringLiteral("password")].toString(), QStringLiteral("1234"));
}

TEST_F(SecurityCommands, CancelledDialogsSendNothing) {
    for (int i = 0; i < 4; ++i)
        dialogs.steps.push_back([](QDialog& d) { return Click(d, "cancel"); });
    w.OnChangeRootPW();
    w.OnChangeUserPW();
    w.OnChangePrinterID();
    w.OnSetMagEncryptKey();
    EXPECT_EQ(dialogs.opened, 4);
    EXPECT_TRUE(sim->Calls().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SecurityCommands, UserPasswordChangeSendsAnEmptyNewPassword) {
    dialogs.steps.push_back([](QDialog& d) {
        EXPECT_TRUE(Field<QPushButton>(d, "ok")->isEnabled());
        Type(d, "userOrRootPassword", QStringLiteral("0000"));
        return ClickOk(d);
    });
    w.OnChangeUserPW();
    EXPECT_EQ(Texts(), QStringList{kReboot});
    EXPECT_EQ(Printer()[QStringLiteral("userPassword")].toString(), QString());
}

TEST_F(SecurityCommands, UserPasswordChangeRefusedByThePrinterSaysSo) {
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "userOrRootPassword", QStringLiteral("7777"));
        Type(d, "newUserPassword", QStringLiteral("4444"));
        Type(d, "confirm", QStringLiteral("4444"));
        return ClickOk(d);
    });
    w.OnChangeUserPW();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Failed to Change User Password")});
    EXPECT_EQ(Printer()[QStringLiteral("userPassword")].toString(), QStringLiteral("0000"));
}

TEST_F(SecurityCommands, PasswordChangeWithoutConnectionIsNoSuccess) {
    w.OnConnect();  // disconnects
    ASSERT_FALSE(w.Binding().IsConnected());
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "newPassword", QStringLiteral("5678"));
        Type(d, "confirm", QStringLiteral("5678"));
        return ClickOk(d);
    });
    dialogs.steps.push_back([](QDialog& d) { return ClickOk(d); });
    w.OnChangeRootPW();
    w.OnChangeUserPW();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("Failed to Change Password"),
                                    QStringLiteral("Failed to Change User Password")}));
}

// ---- Printer ID ----

TEST_F(SecurityCommands, PrinterIdIsSentAndShowsAfterReconnect) {
    dialogs.steps.push_back([](QDialog& d) {
        EXPECT_EQ(Field(d, "currentId")->text(), QStringLiteral("PRN01"));
        Type(d, "changeId", QStringLiteral("A]1"));
        EXPECT_EQ(ClickOk(d), kStillOpen);
        Field(d, "changeId")->clear();
        Type(d, "changeId", QStringLiteral("ABCDEFGH"));
        return ClickOk(d);
    });
    w.OnChangePrinterID();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("Printer ID cannot contain ':[]' characters."),
                                    kReboot}));
    const QList<QJsonObject> calls = sim->Calls(QStringLiteral("Vela_ExSetDeviceID"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(Args(calls[0])[1].toString(), QStringLiteral("ABCDEFGH"));
    EXPECT_EQ(Args(calls[0])[2].toString(), QString());

    w.OnConnect();
    ASSERT_EQ(w.ConnectDevice(QString::fromLatin1(kPrinter)), 0);
    EXPECT_EQ(QString(reinterpret_cast<const QChar*>(w.Info().printerId)),
              QStringLiteral("ABCDEFGH"));
}

TEST_F(SecurityCommands, PrinterIdRefusedByThePrinterIsNotReportedAsApplied) {
    sim->VelaSim_InjectFault("Vela_ExSetDeviceID", 0, 1, static_cast<VelaResult>(0x80000057));
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "changeId", QStringLiteral("NEW1"));
        return ClickOk(d);
    });
    w.OnChangePrinterID();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Failed to Change Printer ID (error=0x80000057)"));
    EXPECT_EQ(messages.shown[0].style & mb::kIconMask, mb::kIconWarning);
}

// ---- PC binding ----

TEST_F(SecurityCommands, PcSerialSendsTheAdapterAddressAndTwoZeroBytes) {
    w.OnSetPCSerial();
    EXPECT_EQ(Texts(), QStringList{kReboot});
    const QList<QJsonObject> calls = sim->Calls(QStringLiteral("Vela_ExSetPCName"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(Args(calls[0])[1].toString(), QStringLiteral("***"));
    EXPECT_EQ(Args(calls[0])[2].toString(), QStringLiteral("021A2B3C4D5E0000"));
    EXPECT_EQ(Args(calls[0])[3].toInt(), 8);
    EXPECT_EQ(Printer()[QStringLiteral("pcIdentity")].toString(),
              QStringLiteral("021a2b3c4d5e0000"));
}

TEST_F(SecurityCommands, PcSerialWithoutAnAdapterTellsTheUserAndSendsNothing) {
    w.SetAdapterAddressSource([] { return std::optional<QByteArray>(); });
    w.OnSetPCSerial();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, kNoAdapter);
    EXPECT_EQ(messages.shown[0].style & mb::kIconMask, mb::kIconWarning);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetPCName")), 0);
    EXPECT_EQ(Printer()[QStringLiteral("pcIdentity")].toString(), QString());
}

TEST_F(SecurityCommands, PcSerialRefusedByThePrinterSaysSo) {
    SetLogin(QStringLiteral("0000"));  // the user password does not authorise the binding
    w.OnSetPCSerial();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Failed to Set PC Serial (error=0x80000005)")});
}

TEST_F(SecurityCommands, PasswordOfAClosedConnectionIsNeverSentAgain) {
    // Disconnect, then connect again: until this connection's login, commands that carry the
    // login password must not carry the one accepted for the connection before.
    w.OnConnect();
    ASSERT_FALSE(w.Binding().IsConnected());
    EXPECT_TRUE(w.LoginPassword().isEmpty());
    ASSERT_EQ(w.ConnectDevice(QString::fromLatin1(kPrinter)), 0);
    EXPECT_TRUE(w.LoginPassword().isEmpty());
    w.OnSetPCSerial();
    EXPECT_EQ(Printer()[QStringLiteral("pcIdentity")].toString(), QString())
        << "the printer took a block sent with the old password";
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Failed to Set PC Serial (error=0x80000005)")});
}

TEST(PcIdentity, BlockIsTheAddressThenTwoZeroBytes) {
    EXPECT_EQ(PcIdentityBlock(QByteArray::fromHex("A1B2C3D4E5F6")).toHex(),
              QByteArray("a1b2c3d4e5f60000"));
    const std::optional<QByteArray> address = FirstAdapterAddress();
    if (address) {
        EXPECT_EQ(address->size(), 6);
        EXPECT_NE(*address, QByteArray(6, '\0'));
    }
}

// The adapter is the one the system's adapter list names first: listed in index order, up, not
// a loop-back, with a real 6-byte address, and not known to be virtual.
TEST(PcIdentity, TheFirstAdapterThatIsUpAndBackedByHardwareIsChosen) {
    const auto adapter = [](const char* name, int index, const char* hex, bool up,
                            std::optional<bool> hardware, bool loopback = false) {
        return AdapterInfo{
            QString::fromLatin1(name), index, QByteArray::fromHex(hex), loopback, up, hardware};
    };
    const AdapterInfo lo = adapter("lo", 1, "000000000000", true, false, true);
    const AdapterInfo ifbDown = adapter("ifb0", 2, "3e6d3e14e501", false, false);
    const AdapterInfo bridgeUp = adapter("docker0", 3, "0242ac110001", true, false);
    const AdapterInfo ethDown = adapter("eth1", 4, "02fc00000002", false, true);
    const AdapterInfo eth = adapter("eth0", 5, "02fc00000001", true, true);
    const AdapterInfo wifi = adapter("wlan0", 6, "a4c3f0851234", true, true);
    const AdapterInfo unknown = adapter("Ethernet", 7, "001122334455", true, std::nullopt);
    const AdapterInfo zero = adapter("dummy", 1, "000000000000", true, std::nullopt);
    const AdapterInfo firewire = adapter("fw0", 2, "0011223344556677", true, true);
    const struct {
        const char* what;
        std::vector<AdapterInfo> list;
        const char* expected;  // hex, or nullptr for none
    } cases[] = {
        {"virtual and down ones are passed over",
         {lo, ifbDown, bridgeUp, ethDown, eth, wifi},
         "02fc00000001"},
        {"the order is the index, not the listing",
         {wifi, unknown, eth, ifbDown, lo},
         "02fc00000001"},
        {"unknown backing counts where the platform cannot tell",
         {lo, unknown, ifbDown},
         "001122334455"},
        {"zero and 8-byte addresses do not qualify", {zero, firewire, wifi}, "a4c3f0851234"},
        {"no qualifying adapter", {lo, ifbDown, bridgeUp, ethDown}, nullptr},
        {"an empty list", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<QByteArray> chosen = ChooseAdapterAddress(c.list);
        if (c.expected == nullptr)
            EXPECT_FALSE(chosen.has_value());
        else
            EXPECT_EQ(chosen.value_or(QByteArray()).toHex(), QByteArray(c.expected));
    }
}

// ---- Magnetic encryption key ----

TEST_F(SecurityCommands, MagneticKeyGoesAsSixteenByteBlockWithItsCharacterCount) {
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "key", QStringLiteral("abcde"));
        return ClickOk(d);
    });
    w.OnSetMagEncryptKey();
    EXPECT_EQ(Texts(), QStringList{kReboot});
    const QList<QJsonObject> calls = sim->Calls(QStringLiteral("Vela_ExSetMagCryptKey"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(Args(calls[0])[2].toString(), QStringLiteral("***")) << "the key is not logged";
    EXPECT_EQ(Args(calls[0])[3].toInt(), 5);
    EXPECT_EQ(Printer()[QStringLiteral("magneticKey")].toString(), QStringLiteral("6162636465"));
}

TEST_F(SecurityCommands, MagneticKeyOfTwentyCharactersCannotBeEntered) {
    dialogs.steps.push_back([](QDialog& d) {
        Type(d, "key", QStringLiteral("KEY0KEY1KEY2KEY3KEY4"));
        return ClickOk(d);
    });
    w.OnSetMagEncryptKey();
    const QList<QJsonObject> calls = sim->Calls(QStringLiteral("Vela_ExSetMagCryptKey"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(Args(calls[0])[3].toInt(), 16);
    EXPECT_EQ(Printer()[QStringLiteral("magneticKey")].toString(),
              QString::fromLatin1(QByteArray("KEY0KEY1KEY2KEY3").toHex()));
}

// ---- Print head ----

class HeadCommand : public SecurityCommands {
protected:
    void SetUp() override {
        SecurityCommands::SetUp();
        w.Page()->SetSerialText(QStringLiteral("HV2026000101"));
        w.Page()->SetHeadSerialText(QStringLiteral("TH-447101"));
        w.Page()->SetHeadResisterText(QStringLiteral("470"));
        headResistorMemo = 470;
        sim->VelaSim_ClearCallLog();
    }
};

TEST_F(HeadCommand, HiddenSerialIsCopiedBackAndNothingIsSent) {
    dialogs.steps.push_back([](QDialog& d) {
        EXPECT_TRUE(Field(d, "serial")->isHidden()) << "the tool's access level hides the serial";
        EXPECT_EQ(Field(d, "headSerial")->text(), QStringLiteral("TH-447101"));
        Field(d, "headSerial")->setText(QStringLiteral("TH-900001"));
        Field(d, "headResister")->setText(QStringLiteral("512"));
        return ClickOk(d);
    });
    w.OnChangeHead();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Are you sure?")});
    EXPECT_EQ(w.Page()->SerialText(), QStringLiteral("HV2026000101"));
    EXPECT_EQ(w.Page()->HeadSerialText(), QStringLiteral("TH-900001"));
    EXPECT_EQ(w.Page()->HeadResisterText(), QStringLiteral("512"));
    EXPECT_EQ(headResistorMemo, 512);
    EXPECT_TRUE(sim->Calls().isEmpty()) << "the page writes these with its next Set Config.";
}

TEST_F(HeadCommand, ResistanceThatIsNoNumberLeavesTheMemo) {
    dialogs.steps.push_back([](QDialog& d) {
        Field(d, "headResister")->setText(QStringLiteral("abc"));
        return ClickOk(d);
    });
    w.OnChangeHead();
    EXPECT_EQ(w.Page()->HeadResisterText(), QStringLiteral("abc"));
    EXPECT_EQ(headResistorMemo, 470);
}

TEST_F(HeadCommand, CancelledConfirmationThenCancelChangesNothing) {
    messages.answers = {mb::kIdCancel};
    dialogs.steps.push_back([](QDialog& d) {
        Field(d, "headSerial")->setText(QStringLiteral("TH-1"));
        EXPECT_EQ(ClickOk(d), kStillOpen);
        return Click(d, "cancel");
    });
    w.OnChangeHead();
    EXPECT_EQ(w.Page()->HeadSerialText(), QStringLiteral("TH-447101"));
}

// ---- Secrets stay out of every log ----

QStringList& CapturedLog() {
    static QStringList lines;
    return lines;
}
std::mutex& CapturedLogMutex() {
    static std::mutex m;
    return m;
}
void Capture(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::lock_guard lock(CapturedLogMutex());
    CapturedLog() << text;
}

TEST(PasswordSecrecy, PasswordsNeverAppearInTraceOrCallLog) {
    CapturedLog().clear();
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(&Capture);
    {
        MessageRecorder messages;
        DialogScript dialogs{messages};
        CKestraConfigDlg w;
        w.Initialise(QString::fromLatin1(SimulatorLibrary()));
        SimControl sim(w.Binding());
        sim.Fresh();
        ASSERT_EQ(w.ConnectDevice(QString::fromLatin1(kPrinter)), 0);
        w.findChild<QLineEdit*>(QStringLiteral("loginPassword"))->setText(QStringLiteral("1234"));
        w.SetAdapterAddressSource([] { return QByteArray::fromHex("021A2B3C4D5E"); });
        dialogs.steps.push_back([](QDialog& d) {
            Type(d, "userOrRootPassword", QStringLiteral("0000"));
            Type(d, "newUserPassword", QStringLiteral("Us3rPw"));
            Type(d, "confirm", QStringLiteral("Us3rPw"));
            return ClickOk(d);
        });
        dialogs.steps.push_back([](QDialog& d) {
            Type(d, "newPassword", QStringLiteral("R00tPw"));
            Type(d, "confirm", QStringLiteral("R00tPw"));
            return ClickOk(d);
        });
        w.OnChangeUserPW();
        w.OnChangeRootPW();
        w.OnSetPCSerial();
        EXPECT_EQ(sim.Calls(QStringLiteral("Vela_ExSetPassword"))
                      .value(0)[QStringLiteral("result")]
                      .toInt(),
                  1);
        EXPECT_EQ(sim.Calls(QStringLiteral("Vela_ExSetUserPassword"))
                      .value(0)[QStringLiteral("result")]
                      .toInt(),
                  1);

        const QList<QJsonObject> calls = sim.Calls();
        ASSERT_GE(calls.size(), 3);
        for (const QJsonObject& call : calls) {
            for (const QJsonValue arg : Args(call)) {
                for (const char* secret : {"1234", "0000", "Us3rPw", "R00tPw"})
                    EXPECT_NE(arg.toString(), QString::fromLatin1(secret))
                        << call[QStringLiteral("fn")].toString().toStdString();
            }
        }
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    std::lock_guard lock(CapturedLogMutex());
    EXPECT_FALSE(CapturedLog().isEmpty()) << "the binding's trace reached the handler";
    for (const QString& line : CapturedLog())
        for (const char* secret : {"Us3rPw", "R00tPw"})
            EXPECT_FALSE(line.contains(QString::fromLatin1(secret))) << line.toStdString();
}

}  // namespace
