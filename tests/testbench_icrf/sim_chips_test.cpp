// The simulated chip stations: the contact head and chip power, the contactless field and the
// Mifare frames, the positions that bring a card to them, and the reader names.

#include <QByteArray>

#include <array>
#include <utility>

#include "sim_fixture.h"

namespace halvard::test {
namespace {

using sim::kErrBadArgument;
using sim::kErrBufferTooSmall;
using sim::kErrBusy;
using sim::kErrFieldOff;
using sim::kErrNoChip;
using sim::kErrNoContact;
using sim::kErrNoStation;

// A printer and a flipper with readers, a flipper without stations; cards with every chip, with
// none, with long UIDs.
constexpr const char* kChipSystem = R"({
  "cardProfiles": {
    "plain": {"atr": "", "contactless": false},
    "ten": {"uidLength": 10},
    "seven": {"uid": "04 11 22 33 44 55 66", "keyB": "B0 B1 B2 B3 B4 B5"}},
  "devices": [{"name": "P", "modules": [
    {"id": 16, "cards": 5}, {"id": 64, "rf": true}, {"id": 97, "ic": true, "rf": true},
    {"id": 99}, {"id": 112}]}]})";

const QByteArray kFactoryKey = QByteArray::fromHex("FFFFFFFFFFFF");

class SimChips : public SimFixture {
public:
    void SetUp() override {
        SimFixture::SetUp();
        Connect(kChipSystem);
    }
    // A fresh card of `profile` in `module` at `position`.
    void CardAt(int module, int position, const char* profile = "default") {
        ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, module, profile), 0);
        if (position != 0) {
            ASSERT_EQ(b.Device(b.Vela_CardMovePosition, module, position), 0);
        }
    }
    std::pair<VelaResult, QByteArray> IcPowerOn(int module, std::int32_t capacity = 32) {
        std::array<std::uint8_t, 64> atr{};
        std::int32_t length = capacity;
        const VelaResult r = b.Device(b.Vela_ICPowerOn2, module, &length, atr.data());
        return {r, QByteArray(reinterpret_cast<const char*>(atr.data()), r == 0 ? length : 0)};
    }
    VelaResult RfPowerOn(int module) {
        std::array<std::uint8_t, 32> atr{};
        std::int32_t length = 32;
        return b.Device(b.Vela_RFPowerOn2, module, &length, atr.data());
    }
    // One frame (hex text) through the reader of `module`; the response as hex, or the result.
    QByteArray Send(const QByteArray& frameHex, int module = 0x61) {
        const QByteArray frame = QByteArray::fromHex(frameHex);
        std::array<std::uint8_t, 300> response{};
        std::int32_t length = 300;
        const VelaResult r = b.Device(
            b.Vela_RFTransmit2, module, static_cast<std::int32_t>(frame.size()),
            reinterpret_cast<const std::uint8_t*>(frame.constData()), &length, response.data());
        if (r != 0)
            return "result " + QByteArray::number(static_cast<quint32>(r), 16);
        return QByteArray(reinterpret_cast<const char*>(response.data()), length)
            .toHex(' ')
            .toUpper();
    }
    QByteArray Auth(const QByteArray& key, int module = 0x61) {
        return Send("FD2F000006" + key.toHex(), module);
    }
    QByteArray Read(int block, const char* side = "00") {
        return Send(QByteArray("FD35") + side + "0001" +
                    QByteArray::number(block, 16).rightJustified(2, '0'));
    }
    QByteArray Write(int block, const QByteArray& data, const char* side = "00") {
        return Send(QByteArray("FD37") + side + "0011" +
                    QByteArray::number(block, 16).rightJustified(2, '0') +
                    data.leftJustified(16, '\0').toHex());
    }
    QJsonObject CardNow() { return sim->Card(); }
};

TEST_F(SimChips, ContactChipAnswersOnlyUnderTheHeadAtTheIcPosition) {
    CardAt(0x61, 0);
    EXPECT_EQ(IcPowerOn(0x61).first, kErrNoContact) << "head up";
    ASSERT_EQ(b.Device(b.Vela_ICHContact, 0x61), 0);
    EXPECT_EQ(IcPowerOn(0x61).first, kErrNoChip) << "card not at the IC position";
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 2), 0);

    // Too small a buffer: the needed length, nothing written.
    std::array<std::uint8_t, 4> small{};
    std::int32_t length = 2;
    EXPECT_EQ(b.Device(b.Vela_ICPowerOn2, 0x61, &length, small.data()), kErrBufferTooSmall);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(small, (std::array<std::uint8_t, 4>{}));
    EXPECT_FALSE(CardNow()[QStringLiteral("chipPowered")].toBool());

    const auto [result, atr] = IcPowerOn(0x61);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(atr.toHex().toUpper(), QByteArray("3B021450"));
    EXPECT_TRUE(CardNow()[QStringLiteral("chipPowered")].toBool());

    // Moving the card or lifting the head cuts the power.
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 4), 0);
    EXPECT_FALSE(CardNow()[QStringLiteral("chipPowered")].toBool());
    EXPECT_EQ(IcPowerOn(0x61).first, kErrNoChip);
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 2), 0);
    ASSERT_EQ(IcPowerOn(0x61).first, 0);
    ASSERT_EQ(b.Device(b.Vela_ICHDiscontact, 0x61), 0);
    EXPECT_FALSE(CardNow()[QStringLiteral("chipPowered")].toBool());
    EXPECT_EQ(IcPowerOn(0x61).first, kErrNoContact);
    EXPECT_EQ(b.Device(b.Vela_ICPowerOff2, 0x61), 0) << "power off is always safe";

    // A card without a contact chip, modules without a head, and bad buffers.
    ASSERT_EQ(sim->VelaSim_RemoveCard(nullptr), 0);
    CardAt(0x61, 2, "plain");
    ASSERT_EQ(b.Device(b.Vela_ICHContact, 0x61), 0);
    EXPECT_EQ(IcPowerOn(0x61).first, kErrNoChip);
    std::int32_t capacity = 32;
    EXPECT_EQ(b.Device(b.Vela_ICPowerOn2, 0x61, &capacity, nullptr), kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_ICPowerOn2, 0x61, nullptr, small.data()), kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_ICHContact, 0x40), kErrNoStation);
    EXPECT_EQ(IcPowerOn(0x63).first, kErrNoStation);
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x63), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMovePosition, 0x63, 2), kErrNoStation);
    EXPECT_EQ(b.Device(b.Vela_CardMovePosition, 0x63, 3), kErrNoStation);
    EXPECT_EQ(b.Device(b.Vela_CardMovePosition, 0x63, 4), 0);
}

TEST_F(SimChips, HeadMovesTakeTimeAndShowAsARunningCommand) {
    namespace f = vela::flipper;
    CardAt(0x61, 2);
    sim->VelaSim_SetTimeScale(1.0);
    ASSERT_EQ(b.Device(b.Vela_ICHContact, 0x61), 0);
    EXPECT_TRUE(State(0x61) & vela::Bit(vela::state::kCommandRunning));
    EXPECT_TRUE(Status(0x61) & vela::Bit(f::kIcContactorContacted));
    EXPECT_EQ(IcPowerOn(0x61).first, kErrBusy) << "the head is still going down";
    EXPECT_EQ(b.Device(b.Vela_ICHDiscontact, 0x61), kErrBusy);

    ASSERT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x61, R"({"ic": {"busyMs": 0}})"), 0);
    EXPECT_FALSE(State(0x61) & vela::Bit(vela::state::kCommandRunning));
    EXPECT_EQ(IcPowerOn(0x61).first, 0);
    ASSERT_EQ(b.Device(b.Vela_ICHDiscontact, 0x61), 0);
    EXPECT_TRUE(State(0x61) & vela::Bit(vela::state::kCommandRunning));
    EXPECT_TRUE(Status(0x61) & vela::Bit(f::kIcContactorReleased));
}

TEST_F(SimChips, MifareBlocksNeedTheRightKeyAndStayWithTheCard) {
    CardAt(0x61, 0);
    EXPECT_EQ(Send("FD00000001 17"), "result 80000343") << "field off";
    EXPECT_EQ(RfPowerOn(0x61), kErrNoChip) << "card not at the RF position";
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 3), 0);
    std::array<std::uint8_t, 32> atr{};
    std::int32_t length = 32;
    ASSERT_EQ(b.Device(b.Vela_RFPowerOn2, 0x61, &length, atr.data()), 0);
    EXPECT_EQ(length, 20);
    EXPECT_EQ(atr[0], 0x3B);

    // Block commands need a loaded key that is the sector's key of that side.
    EXPECT_EQ(Read(4), "03 69 82") << "no key loaded";
    EXPECT_EQ(Auth(QByteArray::fromHex("112233445566")), "00 90 00");
    EXPECT_EQ(Read(4), "02 63 00") << "wrong key";
    EXPECT_EQ(Write(4, "X"), "02 63 00");
    EXPECT_TRUE(CardNow()[QStringLiteral("auth")].isNull());
    EXPECT_EQ(Auth(kFactoryKey), "00 90 00");
    EXPECT_EQ(Read(4), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 90 00");
    EXPECT_EQ(CardNow()[QStringLiteral("auth")].toObject()[QStringLiteral("sector")].toInt(), 1);
    EXPECT_EQ(Write(5, "HALVARD BENCH 01"), "00 90 00");
    EXPECT_EQ(Read(5), "00 48 41 4C 56 41 52 44 20 42 45 4E 43 48 20 30 31 90 00");
    EXPECT_EQ(Read(7), "00 00 00 00 00 00 00 FF 07 80 69 00 00 00 00 00 00 90 00")
        << "a trailer's keys read as zeros";

    // Refusals of the card.
    EXPECT_EQ(Write(0, "X"), "06 69 86") << "maker's block";
    EXPECT_EQ(Read(64), "04 6B 00");
    EXPECT_EQ(Read(4, "02"), "04 6B 00") << "unknown side";
    EXPECT_EQ(Send("FD40000001 04"), "05 6D 00");
    EXPECT_EQ(Send("FD350000 0104 00"), "05 67 00");
    EXPECT_EQ(Send("FD35"), "05 6D 00");

    // The card leaves the field: no card answers; back in, it still holds the block.
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 4), 0);
    EXPECT_TRUE(CardNow()[QStringLiteral("auth")].isNull());
    EXPECT_EQ(Send("FD00000001 17"), "01 00 00 FF 00 00 00 00 00 00 6A 82");
    EXPECT_EQ(Read(5), "01 6A 82");
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x61, 0, 0x40, 0, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x40, 0, 0x61, 0, 0), 0);
    EXPECT_EQ(RfPowerOn(0x61), kErrNoChip) << "a card arrives off the stations";
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 3), 0);
    EXPECT_EQ(Read(5), "00 48 41 4C 56 41 52 44 20 42 45 4E 43 48 20 30 31 90 00");

    // The field drops: the loaded key is gone with it.
    ASSERT_EQ(b.Device(b.Vela_RFPowerOff2, 0x61), 0);
    EXPECT_EQ(Read(5), "result 80000343");
    ASSERT_EQ(RfPowerOn(0x61), 0);
    EXPECT_EQ(Read(5), "03 69 82");
}

TEST_F(SimChips, KeyBAndTrailerWritesChangeWhatAuthenticates) {
    CardAt(0x61, 3, "seven");
    ASSERT_EQ(RfPowerOn(0x61), 0);
    EXPECT_EQ(Auth(kFactoryKey), "00 90 00");
    EXPECT_EQ(Read(8, "04"), "02 63 00") << "key B of this card is not the factory key";
    EXPECT_EQ(Auth(QByteArray::fromHex("B0B1B2B3B4B5")), "00 90 00");
    EXPECT_EQ(Write(8, "B side", "04"), "00 90 00");
    EXPECT_EQ(Read(8, "04").left(20), "00 42 20 73 69 64 65");

    // A new key A written into sector 2's trailer: the old one no longer opens it.
    ASSERT_EQ(Auth(kFactoryKey), "00 90 00");
    EXPECT_EQ(Write(11, QByteArray::fromHex("A1A2A3A4A5A6FF078069B0B1B2B3B4B5")), "00 90 00");
    ASSERT_EQ(Auth(kFactoryKey), "00 90 00");
    EXPECT_EQ(Read(8), "02 63 00");
    ASSERT_EQ(Auth(QByteArray::fromHex("A1A2A3A4A5A6")), "00 90 00");
    EXPECT_EQ(Read(8).left(20), "00 42 20 73 69 64 65");
}

TEST_F(SimChips, GetUidReportsTypeLengthAndIdentifier) {
    struct Case {
        const char* profile;
        const char* head;  // bytes 0-9
        int uidLength;
    };
    const Case cases[] = {
        {"default", "00 00 00 42 00 04 08 00 00 01", 4},
        {"seven", "00 00 00 44 00 44 08 00 00 02", 7},
        {"ten", "00 00 00 48 00 84 08 00 00 03", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        sim->VelaSim_RemoveCard(nullptr);
        CardAt(0x61, 3, c.profile);
        ASSERT_EQ(RfPowerOn(0x61), 0);
        const QByteArray uid = CardNow()[QStringLiteral("uid")].toString().toLatin1();
        EXPECT_EQ(uid.count(' ') + 1, c.uidLength);
        EXPECT_EQ(Send("FD00000001 17"), QByteArray(c.head) + ' ' + uid + " 90 00");
    }
    // A card without a contactless chip does not answer.
    sim->VelaSim_RemoveCard(nullptr);
    CardAt(0x61, 3, "plain");
    EXPECT_EQ(RfPowerOn(0x61), kErrNoChip);
}

TEST_F(SimChips, ReaderRefusesBadBuffersAndMissingStations) {
    CardAt(0x61, 3);
    ASSERT_EQ(RfPowerOn(0x61), 0);
    const std::uint8_t frame[] = {0xFD, 0x00, 0x00, 0x00, 0x01, 0x17};
    std::array<std::uint8_t, 8> response{};
    std::int32_t length = 8;
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 6, frame, &length, response.data()),
              kErrBufferTooSmall);
    EXPECT_EQ(length, 16) << "the length needed";
    EXPECT_EQ(response, (std::array<std::uint8_t, 8>{}));
    length = 8;
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 0, frame, &length, response.data()),
              kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 6, nullptr, &length, response.data()),
              kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_RFTransmit2, 0x61, 6, frame, nullptr, response.data()),
              kErrBadArgument);
    EXPECT_EQ(RfPowerOn(0x63), kErrNoStation);
    EXPECT_EQ(b.Device(b.Vela_RFPowerOff2, 0x63), kErrNoStation);
    EXPECT_EQ(Send("FD00000001 17", 0x63), "result 80000340");
}

TEST_F(SimChips, PrinterRightSensorHoldsTheCardOverItsReader) {
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    EXPECT_EQ(RfPowerOn(0x40), kErrNoChip);
    ASSERT_EQ(b.Device(b.Vela_CardMoveSensor, 0x40, 3, 0, 0), 0);
    ASSERT_EQ(RfPowerOn(0x40), 0);
    ASSERT_EQ(Auth(kFactoryKey, 0x40), "00 90 00");
    EXPECT_EQ(Send("FD35000001 04", 0x40).left(5), "00 00");
    ASSERT_EQ(b.Device(b.Vela_CardMoveSensor, 0x40, 1, 0, 0), 0);
    EXPECT_EQ(Send("FD35000001 04", 0x40), "01 6A 82") << "centre sensor: off the reader";
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x40, 4), 0);
    EXPECT_EQ(Send("FD35000001 04", 0x40), "01 6A 82");
}

TEST_F(SimChips, CallLogHidesKeysInFrames) {
    CardAt(0x61, 3);
    ASSERT_EQ(RfPowerOn(0x61), 0);
    sim->VelaSim_ClearCallLog();
    Auth(QByteArray::fromHex("5A3C96E10F7B"));
    Write(7, QByteArray::fromHex("C1C2C3C4C5C6FF078069D1D2D3D4D5D6"));
    Write(4, "open data");
    const auto calls = sim->Calls(QStringLiteral("Vela_RFTransmit2"));
    ASSERT_EQ(calls.size(), 3);
    auto frameOf = [&](int i) { return calls[i][QStringLiteral("args")].toArray()[3].toString(); };
    EXPECT_EQ(frameOf(0), QStringLiteral("FD2F000006************"));
    EXPECT_EQ(frameOf(1), QStringLiteral("FD3700001107") + QString(32, QChar(u'*')));
    EXPECT_TRUE(frameOf(2).startsWith(QStringLiteral("FD37000011046F70656E2064617461")));
    const int size = sim->VelaSim_GetCallLog(nullptr, 0);
    std::string log(static_cast<size_t>(size) + 1, '\0');
    sim->VelaSim_GetCallLog(log.data(), size + 1);
    for (const char* secret : {"5A3C96E10F7B", "C1C2C3C4C5C6", "D1D2D3D4D5D6"})
        EXPECT_EQ(log.find(secret), std::string::npos) << secret;
}

TEST_F(SimChips, DeviceInfoNamesTheReadersOfTheStationsFitted) {
    struct Case {
        const char* name;
        const char* scenario;
        std::array<const char16_t*, 4> readers;
    };
    const Case cases[] = {
        {"default",
         nullptr,
         {u"Halvard Contact Reader 0", u"Halvard SIM Reader 0", u"Halvard Contactless Reader 0",
          u"Halvard Contactless Reader 1"}},
        {"flipper reader only",
         R"({"devices": [{"name": "P", "modules": [{"id": 64}, {"id": 97, "rf": true}]}]})",
         {u"", u"", u"", u"Halvard Contactless Reader 1"}},
        {"declared",
         R"({"devices": [{"name": "P", "readers": {"ic": "Bench Contact 0", "sim": "", "rf2": "X"},
             "modules": [{"id": 64, "rf": true}, {"id": 97, "ic": true}]}]})",
         {u"Bench Contact 0", u"", u"Halvard Contactless Reader 0", u"X"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.scenario)
            ASSERT_EQ(sim->VelaSim_LoadScenario(c.scenario), 0);
        else
            sim->Fresh();
        const char16_t* device = c.scenario ? u"P" : u"[USB1] Halvard Card Printer";
        DeviceInfo info{};
        ASSERT_EQ(b.Vela_GetDeviceInfo(&info, device, 1), 0);
        const VelaChar* fields[] = {info.icReaderName, info.simReaderName, info.rfReaderName,
                                    info.rfReaderName2};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(QString::fromUtf16(fields[i]), QString::fromUtf16(c.readers[i])) << i;
    }
    EXPECT_EQ(sim->VelaSim_LoadScenario(
                  R"({"devices": [{"name": "P", "readers": {"contact": "A"}, "modules": []}]})"),
              kErrBadArgument);
}

}  // namespace
}  // namespace halvard::test
