// The "RF" page against the simulated printer system: its two coupled selectors, the moves per
// module type, a Mifare block written, read back and still there after the card went away and
// came back, a wrong key, the input checks and every failure path.

#include <QByteArray>

#include <cstring>

#include "CSubDlgRF.h"
#include "chip_page_fixture.h"
#include "message_service.h"

namespace halvard::test {
namespace {

class RfPage : public ChipPageTest<CSubDlgRF> {
protected:
    // The card at the printer, over its reader, the field on.
    void CardInPrinterField() {
        ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
        Pick("currentModule", 0x40);
        Press("moveRfPosition");
        Press("powerOn");
        ASSERT_TRUE(ui.messages.isEmpty()) << BoxTexts().join(u'|').toStdString();
    }
    // The frames sent, in hexadecimal as the call log shows them.
    QStringList Frames() const {
        QStringList frames;
        for (const QJsonObject& call : sim.Calls(QStringLiteral("Vela_RFTransmit2")))
            frames << ArgsOf(call)[2].toString();
        return frames;
    }
    QString LogSince(const QString& before) const { return host.Log().mid(before.size()); }
};

constexpr VelaResult kInjected = static_cast<VelaResult>(0x80000999);

TEST_F(RfPage, SelectorsListStationsAndFollowEachOther) {
    Connect();
    EXPECT_EQ(Entries("currentModule"),
              (QStringList{QStringLiteral("Printer [40]=40"), QStringLiteral("Flipper [61]=61"),
                           QStringLiteral("Flipper [62]=62")}));
    EXPECT_EQ(Entries("reader"), (QStringList{QStringLiteral("Halvard Contactless Reader 0=1"),
                                              QStringLiteral("Halvard Contactless Reader 1=2")}));
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
    for (const char* name : {"powerOn", "powerOff", "atr"})
        EXPECT_TRUE(On(name)->isEnabled()) << name;

    auto reader = [this] { return On<QComboBox>("reader")->currentData().toInt(); };
    Pick("currentModule", 0x62);
    EXPECT_EQ(reader(), 2) << "a flipper-type module: the flipper's reader";
    Pick("reader", 1);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
    Pick("reader", 2);
    EXPECT_EQ(page->GetCurrentModule(), 0x61) << "the first flipper-type module";

    // No station module at all: the power commands are off; a chain whose first reader is
    // unnamed lists the second with its own value.
    page->OnDeviceDisconnected();
    EXPECT_TRUE(Entries("reader").isEmpty());
    host.binding.Unload();
    Connect(R"({"devices": [{"name": "[USB1] Halvard Card Printer", "modules": [{"id": 16},
        {"id": 97, "rf": true}, {"id": 112}]}]})");
    EXPECT_EQ(Entries("reader"), QStringList{QStringLiteral("Halvard Contactless Reader 1=2")});
    EXPECT_EQ(Entries("currentModule"), QStringList{QStringLiteral("Flipper [61]=61")});
    page->OnModulesChanged(ConnectedModuleList{});
    for (const char* name : {"powerOn", "powerOff", "atr"})
        EXPECT_FALSE(On(name)->isEnabled()) << name;
    for (const char* name : {"moveRfPosition", "restorePosition", "getUid", "auth", "readBlock"})
        EXPECT_TRUE(On(name)->isEnabled()) << name;
}

TEST_F(RfPage, MovesByModuleTypeAndChecksTheTokenForFlippers) {
    Connect();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    Press("moveRfPosition");
    ASSERT_EQ(Called(), QStringList{QStringLiteral("Vela_CardMoveSensor")});
    EXPECT_EQ(ArgsOf(sim.Calls()[0]), (QJsonArray{0x40, 3, 0, 0})) << "no token needed";

    // A flipper without the token: the notice and no call, for both moves.
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x61), 0);
    Pick("currentModule", 0x61);
    for (const char* button : {"moveRfPosition", "restorePosition"}) {
        sim.VelaSim_ClearCallLog();
        ui.messages.clear();
        Press(button);
        EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Preemption, First...")}) << button;
        EXPECT_EQ(page->LastResult(), 0xFFFFFFFFu);
        EXPECT_TRUE(sim.Calls().isEmpty()) << button;
    }
    host.token = kToken;
    sim.VelaSim_ClearCallLog();
    Press("moveRfPosition");
    Press("restorePosition");
    const auto moves = sim.Calls(QStringLiteral("Vela_CardMovePosition"));
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(ArgsOf(moves[0]), (QJsonArray{0x61, 3}));
    EXPECT_EQ(ArgsOf(moves[1]), (QJsonArray{0x61, 4}));

    // A refused move is reported; the printer's restore is a position move too.
    ui.messages.clear();
    Pick("currentModule", 0x40);
    Press("moveRfPosition");
    Press("restorePosition");
    EXPECT_EQ(BoxTexts(), (QStringList{QStringLiteral("Failed - error : 0x80000301"),
                                       QStringLiteral("Failed - error : 0x80000301")}));
    EXPECT_EQ(ui.messages.value(0).style, mb::kIconWarning);
    EXPECT_EQ(page->LastResult(), 0x80000301u);

    // No module: nothing is sent or shown.
    page->OnModulesChanged(ConnectedModuleList{});
    sim.VelaSim_ClearCallLog();
    ui.messages.clear();
    Press("moveRfPosition");
    EXPECT_TRUE(sim.Calls().isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(RfPage, WrittenBlockReadsBackAndStaysAfterTheCardMovesAwayAndBack) {
    Connect();
    host.token = kToken;
    CardInPrinterField();
    EXPECT_TRUE(Text("atr").startsWith(QStringLiteral("3B 8F 80 01")));
    Press("getUid");
    const QString uid = sim.Card()[QStringLiteral("uid")].toString();
    EXPECT_EQ(Text("uid"), uid);
    EXPECT_EQ(uid.split(u' ').size(), 4);

    const QString before = host.Log();
    Press("auth");  // the default key, the cards' key A
    On<QLineEdit>("writeData")->setText(QStringLiteral("Bench data 2026"));
    Press("writeBlock");
    Press("readBlock");
    EXPECT_EQ(Text("readData"), QStringLiteral("Bench data 2026"));
    EXPECT_EQ(LogSince(before),
              QStringLiteral("> RF_AUTH ... OK\n"
                             "      <<< [ 00 90 00 ]\n"
                             "> RF_WRITE_BLOCK block=4 side=1 ... OK\n"
                             "      <<< [ 00 90 00 ]\n"
                             "> RF_READ_BLOCK block=4 side=1 ... OK\n"
                             "      <<< [ 00 42 65 6E 63 68 20 64 61 74 61 20 32 30 32 36 00 "
                             "90 00 ]\n"));
    EXPECT_TRUE(ui.messages.isEmpty());

    // Off the reader and back; then to another module and back, the field cycled.
    On<QLineEdit>("readData")->clear();
    Press("restorePosition");
    Press("readBlock");
    EXPECT_TRUE(Text("readData").isEmpty()) << "no card in the field";
    Press("moveRfPosition");
    Press("readBlock");
    EXPECT_EQ(Text("readData"), QStringLiteral("Bench data 2026"));
    ASSERT_EQ(host.binding.Device(host.binding.Vela_CardMove2, 0x40, 0, 0x61, 0, 0), 0);
    ASSERT_EQ(host.binding.Device(host.binding.Vela_CardMove2, 0x61, 0, 0x40, 0, 0), 0);
    On<QLineEdit>("readData")->clear();
    Press("powerOff");
    Press("moveRfPosition");
    Press("powerOn");
    Press("auth");
    Press("readBlock");
    EXPECT_EQ(Text("readData"), QStringLiteral("Bench data 2026"));
    EXPECT_TRUE(ui.messages.isEmpty()) << BoxTexts().join(u'|').toStdString();

    // The key never reaches the call log.
    for (const QString& frame : Frames())
        EXPECT_FALSE(frame.contains(QStringLiteral("5A3C96E10F7B"))) << frame.toStdString();
    EXPECT_TRUE(Frames().contains(QStringLiteral("FD2F000006************")));
}

TEST_F(RfPage, WrongKeyAuthenticatesButTheReadIsRefused) {
    Connect();
    CardInPrinterField();
    On<QLineEdit>("key")->setText(QStringLiteral("11 22 33 44 55 66"));
    On<QLineEdit>("readData")->setText(QStringLiteral("keep"));
    const QString before = host.Log();
    Press("auth");
    Press("readBlock");
    EXPECT_EQ(LogSince(before), QStringLiteral("> RF_AUTH ... OK\n"
                                               "      <<< [ 00 90 00 ]\n"
                                               "> RF_READ_BLOCK block=4 side=1 ... OK\n"
                                               "      <<< [ 02 63 00 ]\n"));
    EXPECT_EQ(Text("readData"), QStringLiteral("keep")) << "a refused read shows nothing";
    EXPECT_TRUE(ui.messages.isEmpty());

    // The "B Side" code is in the frames; the cards' key B is not the test key either.
    On<QLineEdit>("key")->setText(QStringLiteral("5A 3C 96 E1 0F 7B"));
    Pick("side", 2);
    sim.VelaSim_ClearCallLog();
    Press("auth");
    Press("readBlock");
    Press("writeBlock");
    const QStringList frames = Frames();
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[1], QStringLiteral("FD35040001") + QStringLiteral("04"));
    EXPECT_TRUE(frames[2].startsWith(QStringLiteral("FD3704001104")));
    EXPECT_TRUE(
        host.Log().endsWith(QStringLiteral("> RF_WRITE_BLOCK block=4 side=2 ... OK\n"
                                           "      <<< [ 02 63 00 ]\n")));
}

TEST_F(RfPage, BlockAndDataInputs) {
    Connect();
    CardInPrinterField();
    for (const char* text : {"", "300", "   "}) {
        SCOPED_TRACE(text);
        On<QLineEdit>("block")->setText(QString::fromLatin1(text));
        for (const char* button : {"writeBlock", "readBlock"}) {
            ui.messages.clear();
            sim.VelaSim_ClearCallLog();
            Press(button);
            EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Please, input 'Block' address.")});
            EXPECT_EQ(ui.messages.value(0).style, mb::kOk);
            EXPECT_TRUE(sim.Calls().isEmpty()) << "no frame sent";
        }
    }

    // Twenty characters: the box keeps sixteen, and sixteen are sent.
    On<QLineEdit>("block")->setText(QStringLiteral("9"));
    On<QLineEdit>("writeData")->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    sim.VelaSim_ClearCallLog();
    Press("writeBlock");
    ASSERT_EQ(Frames().size(), 1);
    EXPECT_EQ(Frames()[0],
              QStringLiteral("FD3700001109") +
                  QString::fromLatin1(QByteArray("ABCDEFGHIJKLMNOP").toHex().toUpper()));
}

TEST_F(RfPage, FailuresLogAndShowAsEachCommandDoes) {
    struct Case {
        const char* button;
        const char* fn;
        const char* log;
        const char* box;  // null: none
    };
    const Case cases[] = {
        {"powerOn", "Vela_RFPowerOn2", "> RF_POWER_ON (mod:40) ... Failed (0x80000999)\n",
         "Failed - error : 0x80000999"},
        {"powerOff", "Vela_RFPowerOff2", "> RF_POWER_OFF (mod:40) ... Failed (0x80000999)\n",
         "Failed - error : 0x80000999"},
        {"getUid", "Vela_RFTransmit2", "> RF_GET_UID ... Failed (0x80000999)\n", nullptr},
        {"auth", "Vela_RFTransmit2", "> RF_AUTH ... Failed (0x80000999)\n", nullptr},
        {"writeBlock", "Vela_RFTransmit2",
         "> RF_WRITE_BLOCK block=4 side=1 ... Failed (0x80000999)\n", "Failed... code=80000999"},
        {"readBlock", "Vela_RFTransmit2",
         "> RF_READ_BLOCK block=4 side=1 ... Failed (0x80000999)\n", "Failed... code=80000999"},
    };
    Connect();
    CardInPrinterField();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ui.messages.clear();
        for (const char* box : {"atr", "uid", "readData"})
            On<QLineEdit>(box)->setText(QStringLiteral("old"));
        const QString before = host.Log();
        sim.VelaSim_InjectFault(c.fn, 0, 1, kInjected);
        Press(c.button);
        EXPECT_EQ(LogSince(before), QString::fromLatin1(c.log));
        EXPECT_EQ(BoxTexts(), c.box ? QStringList{QString::fromLatin1(c.box)} : QStringList{});
        if (c.box) {
            EXPECT_EQ(ui.messages.value(0).style, mb::kIconWarning);
        }
        EXPECT_EQ(page->LastResult(), 0x80000999u);
        EXPECT_EQ(Text("readData"), QStringLiteral("old"));
    }
    // The boxes a failure empties: the ATR on power-on, the UID on Get UID.
    sim.VelaSim_InjectFault("Vela_RFPowerOn2", 0, 1, kInjected);
    Press("powerOn");
    EXPECT_TRUE(Text("atr").isEmpty());
    sim.VelaSim_InjectFault("Vela_RFTransmit2", 0, 1, kInjected);
    Press("getUid");
    EXPECT_TRUE(Text("uid").isEmpty());

    // Without a device every command fails with -1 and reaches no SDK code.
    host.binding.m_hDevice = 0;
    ui.messages.clear();
    sim.VelaSim_ClearCallLog();
    Press("powerOn");
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Failed - error : 0xFFFFFFFF")});
    EXPECT_TRUE(sim.Calls().isEmpty());
}

// An SDK that reports more bytes than it was given room for.
QByteArray g_answer;
std::int32_t g_reported = 0;
VelaResult VELA_API ScriptedTransmit(VelaHandle, std::int32_t, std::int32_t, const std::uint8_t*,
                                     std::int32_t* length, std::uint8_t* response) {
    std::memcpy(response, g_answer.constData(),
                static_cast<size_t>(std::min<qsizetype>(g_answer.size(), *length)));
    *length = g_reported;
    return 0;
}

TEST_F(RfPage, ResponseLengthsAreCutToWhatWasReturned) {
    Connect();
    host.binding.Vela_RFTransmit2 = &ScriptedTransmit;

    // A UID length code of 10 bytes in a response that holds two of them.
    g_answer = QByteArray::fromHex("000000480084080000030411");
    g_reported = static_cast<std::int32_t>(g_answer.size());
    Press("getUid");
    EXPECT_EQ(Text("uid"), QStringLiteral("04 11"));

    // A count beyond the 300-byte buffer: 300 bytes are logged, never more.
    g_answer = QByteArray(300, '\x5A');
    g_reported = 100000;
    const QString before = host.Log();
    Press("auth");
    const QString logged = LogSince(before);
    EXPECT_EQ(logged.count(QStringLiteral("5A")), 300);

    // A negative count: nothing was returned.
    g_answer = QByteArray::fromHex("00414243449000");
    g_reported = -1;
    On<QLineEdit>("readData")->setText(QStringLiteral("keep"));
    Press("readBlock");
    EXPECT_EQ(Text("readData"), QStringLiteral("keep"));
    EXPECT_TRUE(host.Log().endsWith(QStringLiteral("OK\n      <<< [  ]\n")));
}

}  // namespace
}  // namespace halvard::test
