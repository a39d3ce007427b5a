// Cards as values: what a card holds travels with it from its hopper to where it ends; decks
// give their cards in order; stations show in the status words and the snapshot.

#include <functional>

#include "sim_fixture.h"

namespace halvard::test {
namespace {

using vela::Bit;

QList<int> Ints(const QJsonValue& array) {
    QList<int> ints;
    for (const QJsonValue& v : array.toArray())
        ints << v.toInt();
    return ints;
}

// A bank-card profile in the input hopper and on line 2 of a multi-input hopper.
constexpr const char* kBankSystem = R"({
  "cardProfiles": {"bank": {
    "tracks": {"1": "B{serial}^HALVARD/TEST^2912", "2": {"data": "{serial}=2912", "key": "4B 45 59"}},
    "atr": "3B 6E 00 00", "uidLength": 7, "keyA": "A0A1A2A3A4A5",
    "blocks": {"4": "48 56 20 42 41 4E 4B"}, "barcodeTop": "TOP{serial}"}},
  "devices": [{"name": "P", "modules": [
    {"id": 16, "cards": 3, "profile": "bank"},
    {"id": 32, "hoppers": [{"line": 2, "cards": 2, "profile": "bank"}]},
    {"id": 64, "encoder": true}, {"id": 97, "ic": true, "rf": true}, {"id": 98}, {"id": 112}]}]})";

class Cards : public SimFixture {
public:  // the table-driven cases reach the fixture through a reference
    void SetUp() override {
        SimFixture::SetUp();
        Connect(kBankSystem);
    }
    VelaResult Move(int from, int to, int line = 0) {
        return b.Device(b.Vela_CardMove2, from, line, to, 0, 0);
    }
    // "Card Flip": the flipper 0x61 turns the card at the printer and gives it back.
    void FlipAtPrinter() {
        ASSERT_EQ(b.Device(b.Vela_CardPass, 0x61, 4, 1), 0);
        ASSERT_EQ(b.Device(b.Vela_CardMoveQuick, 0x40, 1, 0), 0);
    }
    QJsonObject Without(QJsonObject card, const char* key) {
        card.remove(QLatin1String(key));
        return card;
    }
};

TEST_F(Cards, ACardKeepsWhatItHoldsWhereverItEnds) {
    struct Route {
        const char* name;
        std::function<void(Cards&)> travel;
        std::function<QJsonObject(Cards&)> where;  // the card where it ended
        bool faceDown;
    };
    const Route routes[] = {
        {"flipped, then ejected into the output hopper's stack",
         [](Cards& t) {
             t.FlipAtPrinter();
             ASSERT_EQ(t.Move(0x40, 0x61), 0);
             ASSERT_EQ(t.b.Device(t.b.Vela_CardEject2, 0x61, 0, 0xFF, 0), 0);
         },
         [](Cards& t) { return t.Kept(0x70).last().toObject(); }, true},
        {"flipped on a flip-pass, then sent to the error bin",
         [](Cards& t) {
             ASSERT_EQ(t.b.Device(t.b.Vela_CardIn, 0x62, 0, 1), 0);
             ASSERT_EQ(t.b.Device(t.b.Vela_CardFlipPass, 0x61, 1 | 4, 1), 0);
             ASSERT_EQ(t.b.Device(t.b.Vela_CardOut, 0x40, 1, 1), 0);
             ASSERT_EQ(t.b.Device(t.b.Vela_CardEjectBin, 0x62, 0x61), 0);
         },
         [](Cards& t) { return t.Kept(0x61, "errorBin").last().toObject(); }, true},
        {"turned twice, put back onto hopper line 2 and fed again",
         [](Cards& t) {
             t.FlipAtPrinter();
             t.FlipAtPrinter();
             ASSERT_EQ(t.b.Device(t.b.Vela_CardEject2, 0x40, 0, 0x20, 0x20001), 0);
             ASSERT_EQ(t.sim->VelaSim_GetCardModule(nullptr), 0xFF);
             ASSERT_EQ(t.Move(0x20, 0x40, 0x20), 0);
         },
         [](Cards& t) { return t.sim->Card(); }, false},
        {"moved out of the chain from the laser unit",
         [](Cards& t) {
             ASSERT_EQ(t.Move(0x40, 0x62), 0);
             ASSERT_EQ(t.Move(0x62, 0xFF), 0);
         },
         [](Cards& t) { return t.Kept(0x70).last().toObject(); }, false},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        sim->VelaSim_Reset();
        sim->VelaSim_SetTimeScale(0);
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
        ASSERT_EQ(Move(0x10, 0x40), 0);
        const QJsonObject taken = sim->Card();
        route.travel(*this);
        const QJsonObject ended = route.where(*this);
        EXPECT_EQ(ended.value(QStringLiteral("faceDown")).toBool(), route.faceDown);
        EXPECT_EQ(Without(ended, "faceDown"), Without(taken, "faceDown"));
    }
    // What the first card of the deck holds, made from its profile.
    sim->VelaSim_Reset();
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
    ASSERT_EQ(Move(0x10, 0x40), 0);
    const QJsonObject card = sim->Card();
    const QJsonObject tracks = card.value(QStringLiteral("tracks")).toObject();
    EXPECT_EQ(card.value(QStringLiteral("serial")).toInt(), 1);
    EXPECT_EQ(tracks[QStringLiteral("1")].toObject()[QStringLiteral("data")].toString(),
              QStringLiteral("B000001^HALVARD/TEST^2912"));
    EXPECT_EQ(tracks[QStringLiteral("2")].toObject()[QStringLiteral("key")].toString(),
              QStringLiteral("4B 45 59"));
    EXPECT_TRUE(tracks[QStringLiteral("3")].isNull());
    EXPECT_EQ(card.value(QStringLiteral("atr")).toString(), QStringLiteral("3B 6E 00 00"));
    EXPECT_EQ(card.value(QStringLiteral("uid")).toString().split(u' ').size(), 7);
    const QJsonObject blocks = card.value(QStringLiteral("blocks")).toObject();
    EXPECT_TRUE(blocks[QStringLiteral("4")].toString().startsWith(u"48 56 20 42"));
    EXPECT_TRUE(blocks[QStringLiteral("7")].toString().startsWith(u"A0 A1 A2 A3 A4 A5 FF 07 80"));
    EXPECT_EQ(card.value(QStringLiteral("barcodeTop")).toString(), QStringLiteral("TOP000001"));
}

TEST_F(Cards, ACardFedByHandIsAFreshDefaultCardOfItsOwn) {
    ASSERT_EQ(Move(0xFF, 0x40), 0);
    const QJsonObject first = sim->Card();
    EXPECT_EQ(first.value(QStringLiteral("profile")).toString(), QStringLiteral("default"));
    EXPECT_EQ(first.value(QStringLiteral("atr")).toString(), QStringLiteral("3B 02 14 50"));
    EXPECT_TRUE(first.value(QStringLiteral("blocks"))
                    .toObject()[QStringLiteral("3")]
                    .toString()
                    .startsWith(u"FF FF FF FF FF FF"));
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0xFF, 0), 0);
    ASSERT_EQ(Move(0xFF, 0x40), 0);
    const QJsonObject second = sim->Card();
    for (const char* own : {"serial", "uid", "barcodeTop", "barcodeBottom"})
        EXPECT_NE(first.value(QLatin1String(own)), second.value(QLatin1String(own))) << own;
    EXPECT_EQ(sim->Module(0x10).value(QStringLiteral("cards")).toInt(), 3) << "no deck touched";
}

TEST_F(Cards, DecksGiveTheirCardsInOrderUntilEmpty) {
    const QJsonObject deck =
        sim->Module(0x10).value(QStringLiteral("decks")).toArray().first().toObject();
    EXPECT_EQ(deck.value(QStringLiteral("profile")).toString(), QStringLiteral("bank"));
    EXPECT_EQ(Ints(deck.value(QStringLiteral("top"))), (QList<int>{1, 2, 3}));
    EXPECT_TRUE(Status(0x10) & Bit(vela::input_hopper::kAlmostEmptyCards));
    for (int serial : {1, 2, 3}) {
        ASSERT_EQ(Move(0x10, 0x40), 0);
        EXPECT_EQ(sim->Card().value(QStringLiteral("serial")).toInt(), serial);
        ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0xFF, 0), 0);
    }
    EXPECT_EQ(Move(0x10, 0x40), sim::kErrHopperEmpty);
    EXPECT_TRUE(Status(0x10) & Bit(vela::input_hopper::kEmptyCard));
    EXPECT_TRUE(State(0x10) & Bit(vela::state::kCommandFail));
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0xFF);
    QList<int> stacked;
    for (const QJsonValue& card : Kept(0x70))
        stacked << card.toObject().value(QStringLiteral("serial")).toInt();
    EXPECT_EQ(stacked, (QList<int>{1, 2, 3})) << "the output stack keeps them in order";

    // A card put back on a hopper line lies on top of its deck.
    ASSERT_EQ(Move(0x20, 0x40, 0x20), 0);
    EXPECT_EQ(sim->Card().value(QStringLiteral("serial")).toInt(), 4);
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0x20, 0x20001), 0);
    const QJsonObject line2 =
        sim->Module(0x20).value(QStringLiteral("decks")).toArray().first().toObject();
    EXPECT_EQ(Ints(line2.value(QStringLiteral("top"))), (QList<int>{4, 5}));
    EXPECT_EQ(Ints(sim->Module(0x20).value(QStringLiteral("hopperCards"))), QList<int>{2});
}

TEST_F(Cards, InsertedCardsFollowTheirDescriptionAndLoseChipPowerWhenMoved) {
    const char* described = R"({"uid": "04 11 22 33 44 55 66", "tracks": {"3": "123"},
        "chipPowered": true, "faceDown": true, "auth": {"sector": 1, "key": "B"}})";
    ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, 0x61, described), 0);
    QJsonObject card = sim->Card();
    EXPECT_EQ(card.value(QStringLiteral("uid")).toString(), QStringLiteral("04 11 22 33 44 55 66"));
    EXPECT_EQ(card.value(QStringLiteral("tracks"))
                  .toObject()[QStringLiteral("3")]
                  .toObject()[QStringLiteral("data")]
                  .toString(),
              QStringLiteral("123"));
    EXPECT_TRUE(card.value(QStringLiteral("chipPowered")).toBool());
    EXPECT_TRUE(card.value(QStringLiteral("faceDown")).toBool());
    EXPECT_EQ(sim->VelaSim_InsertCard(nullptr, 0x40, "bank"), sim::kErrBusy)
        << "one card at a time";

    ASSERT_EQ(b.Device(b.Vela_CardOut, 0x61, 1, 0), 0);
    card = sim->Card();
    EXPECT_FALSE(card.value(QStringLiteral("chipPowered")).toBool()) << "left the IC station";
    EXPECT_TRUE(card.value(QStringLiteral("auth")).isNull());
    EXPECT_EQ(card.value(QStringLiteral("uid")).toString(), QStringLiteral("04 11 22 33 44 55 66"));

    ASSERT_EQ(sim->VelaSim_RemoveCard(nullptr), 0);
    EXPECT_EQ(sim->VelaSim_RemoveCard(nullptr), sim::kErrNoCard);
    for (const char* refused : {R"({"uid": "04 11 22 33 44"})", R"({"profile": "gold"})", "gold",
                                R"({"auth": {"sector": 16, "key": "A"}})", "{broken"})
        EXPECT_EQ(sim->VelaSim_InsertCard(nullptr, 0x61, refused), sim::kErrBadArgument) << refused;
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0xFF) << "nothing half inserted";
    EXPECT_EQ(sim->VelaSim_InsertCard(nullptr, 0x33, nullptr), sim::kErrNoModule);
}

TEST_F(Cards, StationsShowInTheStatusWords) {
    namespace f = vela::flipper;
    namespace p = vela::printer;
    struct Case {
        const char* name;
        int module;
        const char* patch;  // a module patch, or a device patch for module 0
        std::uint64_t set, clear;
    };
    const Case cases[] = {
        {"head released", 0x61, "{}", Bit(f::kIcContactorReleased) | Bit(f::kDetectIcContactor),
         Bit(f::kIcContactorContacted)},
        {"head contacted", 0x61, R"({"ic": {"contacted": true}})", Bit(f::kIcContactorContacted),
         Bit(f::kIcContactorReleased)},
        {"no IC station", 0x61, R"({"ic": false})", 0,
         Bit(f::kIcContactorContacted) | Bit(f::kIcContactorReleased) | Bit(f::kDetectIcContactor)},
        {"no scanner", 0x61, "{}", Bit(f::kNotInstalledScannerModule), 0},
        {"scanner fitted", 0x61, R"({"scanner": true})", 0, Bit(f::kNotInstalledScannerModule)},
        {"encoder running", 0x40, R"({"encoder": {"busyMs": 60000}})", Bit(p::kMagneticEncoding),
         Bit(p::kReady)},
        {"encoder idle", 0x40, "{}", Bit(p::kReady) | Bit(p::kInternalEncoderIsInstalled),
         Bit(p::kMagneticEncoding)},
        {"no encoder", 0x40, R"({"encoder": false})", 0, Bit(p::kInternalEncoderIsInstalled)},
        {"test mode", 0, R"({"testMode": true})", Bit(p::kTestMode), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim->VelaSim_Reset();
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
        ASSERT_EQ(c.module ? sim->VelaSim_SetModuleJson(nullptr, c.module, c.patch)
                           : sim->VelaSim_SetDeviceJson(nullptr, c.patch),
                  0);
        const std::uint64_t status = Status(c.module ? c.module : 0x40);
        EXPECT_EQ(status & c.set, c.set);
        EXPECT_EQ(status & c.clear, 0u);
    }
    ASSERT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x61, R"({"ic": {"busyMs": 60000}})"), 0);
    EXPECT_TRUE(State(0x61) & Bit(vela::state::kCommandRunning)) << "a running station";

    // A patch is taken whole or not at all.
    sim->VelaSim_Reset();
    EXPECT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x61,
                                         R"({"ic": {"contacted": true}, "rf": {"fieldOn": 1}})"),
              sim::kErrBadArgument);
    EXPECT_FALSE(
        sim->Module(0x61)[QStringLiteral("ic")].toObject()[QStringLiteral("contacted")].toBool());
    EXPECT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x33, "{}"), sim::kErrNoModule);
    EXPECT_EQ(sim->VelaSim_SetModuleJson(nullptr, 0x40, R"({"cards": 5})"), sim::kErrBadArgument)
        << "a printer holds no deck";
}

TEST_F(Cards, SnapshotShowsStationsDecksAndTheCardInTransport) {
    sim->Fresh();
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    ASSERT_EQ(Move(0x10, 0x40), 0);
    const QJsonObject device = sim->Device();
    const QJsonObject printer = sim->Module(0x40);
    const QJsonObject flipper = sim->Module(0x61);
    EXPECT_TRUE(
        printer[QStringLiteral("encoder")].toObject()[QStringLiteral("installed")].toBool());
    EXPECT_EQ(printer[QStringLiteral("printer")]
                  .toObject()[QStringLiteral("ribbon")]
                  .toObject()[QStringLiteral("remaining")]
                  .toInt(),
              250);
    for (const char* station : {"ic", "rf", "scanner"})
        EXPECT_TRUE(
            flipper[QLatin1String(station)].toObject()[QStringLiteral("installed")].toBool())
            << station;
    EXPECT_EQ(
        flipper[QStringLiteral("scanner")].toObject()[QStringLiteral("config")].toArray().size(),
        16);
    EXPECT_TRUE(sim->Module(0x62)[QStringLiteral("encoder")]
                    .toObject()[QStringLiteral("installed")]
                    .toBool())
        << "the laser unit's encoder";
    EXPECT_EQ(sim->Module(0x10)[QStringLiteral("cards")].toInt(), 99);
    EXPECT_EQ(device[QStringLiteral("card")].toInt(), 0x40);
    EXPECT_EQ(
        device[QStringLiteral("cardInTransport")].toObject()[QStringLiteral("serial")].toInt(), 1);
    EXPECT_EQ(device[QStringLiteral("connections")].toArray().size(), 1);
    EXPECT_EQ(device[QStringLiteral("cardProfiles")].toObject().keys(),
              QStringList{QStringLiteral("default")});
}

TEST_F(Cards, AScenarioThatCannotBeReadIsRefusedWhole) {
    for (const char* bad : {
             R"({"devices": [{"name": "Q", "modules": [{"id": 16, "profile": "gold"}]}]})",
             R"({"cardProfiles": {"x": {"uidLength": 5}}, "devices": []})",
             R"({"cardProfiles": {"x": {"keyA": "FFFF"}}, "devices": []})",
             R"({"devices": [{"name": "Q", "modules": [{"id": 32, "hoppers": [7]}]}]})",
             R"({"devices": [{"name": "Q", "modules": [{"id": 64}], "card": 16}]})",
         }) {
        EXPECT_EQ(sim->VelaSim_LoadScenario(bad), sim::kErrBadArgument) << bad;
        EXPECT_EQ(sim->Module(0x10).value(QStringLiteral("cards")).toInt(), 3)
            << "the loaded system stays";
    }
}

}  // namespace
}  // namespace halvard::test
