// The simulated magnetic encoders: what a card's stripe keeps, what the encoders refuse, keys,
// and the time an operation takes.

#include <chrono>
#include <functional>
#include <string>

#include "sim_fixture.h"

namespace halvard::test {
namespace {

using std::chrono::steady_clock;

constexpr int kIso1 = 1, kIso2 = 2, kIso3 = 4, kJis = 8;

class Encoder : public SimFixture {
public:  // the table-driven cases reach the fixture through a reference
    void SetUp() override {
        SimFixture::SetUp();
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    }
    VelaResult Set(int module, int track, const std::u16string& text) {
        return b.Device(b.Vela_SetEncBuffer, module, track, static_cast<int>(text.size()),
                        text.c_str());
    }
    VelaResult SetKeyed(int module, int track, const std::u16string& text, const char* key) {
        const std::array<std::uint8_t, 16> block = Block(key);
        return b.Device(b.Vela_SetCryptoEncBuffer, module, track, static_cast<int>(text.size()),
                        text.c_str(), block.data());
    }
    // Reads `mask` and fetches it; the card must be where the encoder reads.
    VelaResult ReadAndFetch(int module, int mask) {
        if (VelaResult r = b.Device(b.Vela_ReadEncoder, module, mask, 0); r != 0)
            return r;
        return b.Device(b.Vela_FetchEncoder, module, mask);
    }
    // One track handed back: the result, and the text on success.
    VelaResult Get(int module, int track, std::u16string* text, const char* key = nullptr,
                   int capacity = 1025) {
        std::u16string buffer(static_cast<size_t>(capacity), u'\0');
        std::int32_t length = capacity;
        VelaResult r;
        if (key != nullptr) {
            const std::array<std::uint8_t, 16> block = Block(key);
            r = b.Device(b.Vela_GetCryptoEncBuffer, module, track, &length, buffer.data(),
                         block.data());
        } else {
            r = b.Device(b.Vela_GetEncBuffer, module, track, &length, buffer.data());
        }
        lastLength = length;
        if (r == 0 && text != nullptr)
            *text = buffer.substr(0, static_cast<size_t>(length));
        return r;
    }
    static std::array<std::uint8_t, 16> Block(const char* key) {
        std::array<std::uint8_t, 16> block{};
        for (size_t i = 0; key[i] != '\0' && i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(key[i]);
        return block;
    }
    static std::u16string Digits(int n) {
        std::u16string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char16_t>(u'0' + i % 10);
        return s;
    }
    QJsonObject Track(const char* key) {
        return sim->Card()
            .value(QLatin1String("tracks"))
            .toObject()
            .value(QLatin1String(key))
            .toObject();
    }
    std::int32_t lastLength = 0;
};

TEST_F(Encoder, TheStripeKeepsWhatWasWrittenAndTravelsWithTheCard) {
    sim->VelaSim_SetTimeScale(0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    const std::u16string t1 = u"%HALVARD TEST^CARD 0123456789/" + Digits(46);
    const std::u16string t2 = Digits(37), t3 = Digits(104), jis = u"JIS ｶｰﾄﾞ " + Digits(60);
    ASSERT_EQ(t1.size(), 76u);
    ASSERT_EQ(jis.size(), 69u);
    ASSERT_EQ(Set(0x40, kIso1, t1), 0);
    ASSERT_EQ(Set(0x40, kIso2, t2), 0);
    ASSERT_EQ(Set(0x40, kIso3, t3), 0);
    ASSERT_EQ(Set(0x40, kJis, jis), 0);
    // Two passes (tracks 1 and 3, then 2) and a pass of its own for JIS.
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kIso1 | kIso3, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kIso2, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kJis, 0x40), 0);
    EXPECT_EQ(Track("3").value(QLatin1String("data")).toString(), QString::fromStdU16String(t3));

    // The card goes on to the laser unit, whose encoder reads it at its read position.
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x40, 0, 0x62, 0, 0), 0);
    EXPECT_EQ(b.Device(b.Vela_ReadEncoder, 0x62, 0x0F, 0x40),
              static_cast<VelaResult>(sim::kErrNotAtEncoder));
    ASSERT_EQ(b.Device(b.Vela_CardMovePosition, 0x62, 6), 0);
    ASSERT_EQ(ReadAndFetch(0x62, 0x0F), 0);
    const std::pair<int, std::u16string> expected[] = {
        {kIso1, t1}, {kIso2, t2}, {kIso3, t3}, {kJis, jis}};
    for (const auto& [track, text] : expected) {
        std::u16string read;
        EXPECT_EQ(Get(0x62, track, &read), 0) << track;
        EXPECT_EQ(read, text) << track;
        EXPECT_EQ(lastLength, static_cast<int>(text.size())) << track;
    }

    // A fresh card has nothing on its stripe, and says so track by track.
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x62, 0, 0xFF, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    ASSERT_EQ(ReadAndFetch(0x40, kIso1 | kIso2), 0);
    EXPECT_EQ(Get(0x40, kIso1, nullptr), sim::kErrBlankTrack);
    EXPECT_EQ(Get(0x40, kIso2, nullptr), sim::kErrBlankTrack);
}

TEST_F(Encoder, WhatDoesNotFitOrIsOutOfOrderIsRefused) {
    sim->VelaSim_SetTimeScale(0);
    const auto code = [](VelaResult r) { return static_cast<std::uint32_t>(r); };
    // Each case starts from a card in the printer with an empty encoder.
    struct Case {
        const char* what;
        std::function<VelaResult(Encoder&)> act;
        VelaResult expected;
    };
    const Case cases[] = {
        {"ISO 1 over 76", [](Encoder& e) { return e.Set(0x40, kIso1, Digits(77)); },
         sim::kErrTrackData},
        {"ISO 2 over 37", [](Encoder& e) { return e.Set(0x40, kIso2, Digits(38)); },
         sim::kErrTrackData},
        {"ISO 3 over 104", [](Encoder& e) { return e.Set(0x40, kIso3, Digits(105)); },
         sim::kErrTrackData},
        {"JIS over 69", [](Encoder& e) { return e.Set(0x40, kJis, Digits(70)); },
         sim::kErrTrackData},
        {"lower case on ISO 1", [](Encoder& e) { return e.Set(0x40, kIso1, u"abc"); },
         sim::kErrTrackData},
        {"a letter on ISO 2", [](Encoder& e) { return e.Set(0x40, kIso2, u"12A4"); },
         sim::kErrTrackData},
        {"a control character on JIS", [](Encoder& e) { return e.Set(0x40, kJis, u"12\t4"); },
         sim::kErrTrackData},
        {"two tracks in one buffer call", [](Encoder& e) { return e.Set(0x40, 3, u"1"); },
         sim::kErrBadArgument},
        {"a null text",
         [](Encoder& e) {
             return e.b.Device(e.b.Vela_SetEncBuffer, 0x40, kIso2, 3,
                               static_cast<const char16_t*>(nullptr));
         },
         sim::kErrBadArgument},
        {"a module without encoder", [](Encoder& e) { return e.Set(0x61, kIso2, u"1"); },
         sim::kErrNoEncoder},
        {"encoder position on a module without encoder",
         [](Encoder& e) {
             e.sim->VelaSim_SetCardModule(nullptr, 0x61);
             return e.b.Device(e.b.Vela_CardMovePosition, 0x61, 1);
         },
         sim::kErrNoEncoder},
        {"writing a track nothing was handed for",
         [](Encoder& e) {
             e.Set(0x40, kIso2, u"123");
             return e.b.Device(e.b.Vela_WriteEncoder, 0x40, kIso1 | kIso2, 0);
         },
         sim::kErrNoTrackData},
        {"writing without a card",
         [](Encoder& e) {
             e.Set(0x40, kIso2, u"123");
             e.sim->VelaSim_RemoveCard(nullptr);
             return e.b.Device(e.b.Vela_WriteEncoder, 0x40, kIso2, 0);
         },
         sim::kErrNoCard},
        {"writing with an unknown mode bit",
         [](Encoder& e) {
             e.Set(0x40, kIso2, u"123");
             return e.b.Device(e.b.Vela_WriteEncoder, 0x40, kIso2, 0x01);
         },
         sim::kErrBadArgument},
        {"the laser unit writing away from its write position",
         [](Encoder& e) {
             e.sim->VelaSim_SetCardModule(nullptr, 0x62);
             e.b.Device(e.b.Vela_CardMovePosition, 0x62, 6);
             e.Set(0x62, kIso2, u"123");
             return e.b.Device(e.b.Vela_WriteEncoder, 0x62, kIso2, 0);
         },
         sim::kErrNotAtEncoder},
        {"fetching a track that was not read",
         [](Encoder& e) {
             e.b.Device(e.b.Vela_ReadEncoder, 0x40, kIso1, 0);
             return e.b.Device(e.b.Vela_FetchEncoder, 0x40, kIso1 | kIso2);
         },
         sim::kErrNotRead},
        {"handing back a track that was not fetched",
         [](Encoder& e) {
             e.b.Device(e.b.Vela_ReadEncoder, 0x40, kIso1, 0);
             return e.Get(0x40, kIso1, nullptr);
         },
         sim::kErrNotRead},
        {"a coercivity out of range",
         [](Encoder& e) { return e.b.Device(e.b.Vela_SetEncConfig, 0x40, 0, 900); },
         sim::kErrBadArgument},
    };
    for (const Case& c : cases) {
        sim->VelaSim_Reset();
        sim->VelaSim_SetTimeScale(0);
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
        ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
        EXPECT_EQ(code(c.act(*this)), code(c.expected)) << c.what;
    }
    // Nothing refused reached the card.
    EXPECT_TRUE(Track("1").isEmpty() && Track("2").isEmpty());

    // A buffer too small for the track gets nothing but the room it needs.
    ASSERT_EQ(Set(0x40, kIso2, Digits(37)), 0);
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kIso2, 0), 0);
    ASSERT_EQ(ReadAndFetch(0x40, kIso2), 0);
    EXPECT_EQ(code(Get(0x40, kIso2, nullptr, nullptr, 37)), code(sim::kErrBufferTooSmall));
    EXPECT_EQ(lastLength, 38);
}

TEST_F(Encoder, KeyedDataReadsBackOnlyWithItsKey) {
    sim->VelaSim_SetTimeScale(0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    ASSERT_EQ(SetKeyed(0x40, kIso2, u"4242", "SECRET-KEY"), 0);
    ASSERT_EQ(Set(0x40, kIso3, u"777"), 0);
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kIso2 | kIso3, 0), 0);
    ASSERT_EQ(ReadAndFetch(0x40, kIso2 | kIso3), 0);

    std::u16string read;
    EXPECT_EQ(Get(0x40, kIso2, &read), sim::kErrKeyMismatch) << "plain";
    EXPECT_EQ(Get(0x40, kIso2, &read, "SECRET-KEZ"), sim::kErrKeyMismatch) << "another key";
    EXPECT_EQ(Get(0x40, kIso3, &read, "SECRET-KEY"), sim::kErrKeyMismatch) << "plain track";
    ASSERT_EQ(Get(0x40, kIso2, &read, "SECRET-KEY"), 0);
    EXPECT_EQ(read, u"4242");
    // An all-zero key block is no key: it reads a plain track.
    ASSERT_EQ(Get(0x40, kIso3, &read, ""), 0);
    EXPECT_EQ(read, u"777");

    // The key never reaches the call log.
    for (const QJsonObject& call : sim->Calls()) {
        const QString line = QString::fromUtf8(QJsonDocument(call).toJson(QJsonDocument::Compact));
        EXPECT_FALSE(line.contains(QLatin1String("SECRET"))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1String("534543524554"))) << line.toStdString();
    }
    EXPECT_EQ(sim->Calls(QStringLiteral("Vela_SetCryptoEncBuffer"))
                  .value(0)
                  .value(QLatin1String("args"))
                  .toArray()
                  .last()
                  .toString(),
              QStringLiteral("***"));

    // A card profile's short key matches the padded key block.
    ASSERT_EQ(sim->VelaSim_LoadScenario(R"({"devices": [{"name": "P", "modules": [{"id": 64,
        "encoder": true}]}], "cardProfiles": {"bank": {"tracks": {"2": {"data": "99",
        "key": "4B 45 59"}}}}})"),
              0);
    sim->VelaSim_SetTimeScale(0);
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
    ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, 0x40, "bank"), 0);
    ASSERT_EQ(ReadAndFetch(0x40, kIso2), 0);
    ASSERT_EQ(Get(0x40, kIso2, &read, "KEY"), 0);
    EXPECT_EQ(read, u"99");
}

TEST_F(Encoder, OperationsTakeTimeAndShowBusy) {
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    ASSERT_EQ(Set(0x40, kIso2, u"1"), 0);
    // At a twentieth of lifelike time a write pass still takes tens of milliseconds.
    sim->VelaSim_SetTimeScale(0.05);
    const auto start = steady_clock::now();
    ASSERT_EQ(b.Device(b.Vela_WriteEncoder, 0x40, kIso2, 0), 0);
    EXPECT_GE(steady_clock::now() - start, std::chrono::milliseconds(40));

    // While the encoder runs, the printer shows it and refuses another encoder command.
    ASSERT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x40, R"({"encoder": {"busyMs": 60000}})"), 0);
    EXPECT_TRUE(Status(0x40) & vela::Bit(vela::printer::kMagneticEncoding));
    EXPECT_TRUE(State(0x40) & vela::Bit(vela::state::kCommandRunning));
    EXPECT_EQ(b.Device(b.Vela_ReadEncoder, 0x40, kIso2, 0), sim::kErrBusy);
    ASSERT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x40, R"({"encoder": {"busyMs": 0}})"), 0);
    EXPECT_FALSE(Status(0x40) & vela::Bit(vela::printer::kMagneticEncoding));
    EXPECT_EQ(b.Device(b.Vela_ReadEncoder, 0x40, kIso2, 0), 0);
}

}  // namespace
}  // namespace halvard::test
