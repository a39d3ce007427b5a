// Named events: the bits each one shows, the command it refuses with its code, and that
// clearing the errors gives back exactly the system it took away (cards, ribbon, status).

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <functional>

#include "sim_codes.h"
#include "vela_modules.h"
#include "velasim_fixture.h"

namespace halvard::test {
namespace {

using vela::Bit;

class EventsTest : public VelasimTest {
public:
    // A one-page card document of the simulator's format.
    std::u16string Document() {
        const QString path = dir.filePath(QStringLiteral("card.vdn"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"format": "vela-card-document", "version": 1, "ribbon": "YMCKO",
                       "pages": [{"side": "front", "objects": []}]})");
        return path.toStdU16String();
    }
    VelaResult Print() {
        const std::u16string path = Document();
        EXPECT_EQ(b.Device(b.Vela_OpenDocument, reinterpret_cast<const VelaChar*>(path.c_str())),
                  0);
        return b.Device(b.VelaDCL_Print, 0);
    }
    QTemporaryDir dir;
};

struct EventCase {
    const char* preset;
    const char* event;
    int module;          // the module the event names, or whose bits it shows
    int statusBit;       // shown in that module's status word
    int readyBit;        // no longer shown there (-1: none)
    std::uint8_t state;  // state bits it shows
    VelaResult code;     // what the refused command answers
    std::function<VelaResult(EventsTest&)> refused;
    std::function<void(EventsTest&)> prepare = [](EventsTest&) {};
};

TEST_F(EventsTest, EachEventShowsItsBitsAndRefusesUntilTheErrorsAreCleared) {
    const std::vector<EventCase> cases = {
        {"default", "jam", 0x40, vela::printer::kFailedToMoveCard, vela::printer::kReady,
         Bit(vela::state::kActionFail) | Bit(vela::state::kCommandFail), sim::kErrJammed,
         [](EventsTest& t) { return t.Move(0x10, 0x40); }},
        // A card on its way right from the printer runs into the jammed flipper.
        {"default", "jam", 0x61, vela::flipper::kCardMovingError, vela::flipper::kReadyState,
         Bit(vela::state::kActionFail) | Bit(vela::state::kCommandFail), sim::kErrJammed,
         [](EventsTest& t) { return t.b.Device(t.b.Vela_CardMoveQuick, 0x40, 1, 0); },
         [](EventsTest& t) { EXPECT_EQ(t.Move(0x10, 0x40), 0); }},
        {"default", "jam", 0x70, vela::output_hopper::kErrorWhileInsertCard,
         vela::output_hopper::kReadyState,
         Bit(vela::state::kActionFail) | Bit(vela::state::kCommandFail), sim::kErrJammed,
         [](EventsTest& t) { return t.Move(0x10, 0x70); }},
        {"default", "cover-open", 0x40, vela::printer::kCaseIsOpened, vela::printer::kReady, 0,
         sim::kErrCoverOpen, [](EventsTest& t) { return t.Move(0x10, 0x61); }},
        {"default", "cover-open", 0x40, vela::printer::kCaseIsOpened, vela::printer::kReady, 0,
         sim::kErrCoverOpen, [](EventsTest& t) { return t.Print(); }},
        {"default", "ribbon-out", 0x40, vela::printer::kRibbonIsEmpty, -1, 0, sim::kErrRibbon,
         [](EventsTest& t) { return t.Print(); }},
        {"default", "hopper-empty", 0x10, vela::input_hopper::kEmptyCard, -1, 0,
         sim::kErrHopperEmpty, [](EventsTest& t) { return t.Move(0x10, 0x40); }},
        {"multi-hopper", "hopper-empty", 0x20, vela::multi_input_hopper::kHopper1IsEmpty, -1, 0,
         sim::kErrHopperEmpty, [](EventsTest& t) { return t.Move(0x20, 0x40); }},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(std::string(c.event) + " on " + c.preset + " module " +
                     std::to_string(c.module));
        sim->Fresh(c.preset);
        Connect();
        c.prepare(*this);
        const std::uint64_t statusBefore = Status(c.module);
        const std::uint8_t stateBefore = State(c.module);
        const QJsonObject before = sim->Device();

        ASSERT_EQ(sim->VelaSim_Event(nullptr, c.event, c.module), 0);
        const std::uint64_t status = Status(c.module);
        EXPECT_TRUE(status & Bit(c.statusBit));
        if (c.readyBit >= 0) {
            EXPECT_FALSE(status & Bit(c.readyBit));
        }
        EXPECT_EQ(State(c.module) & c.state, c.state);
        EXPECT_EQ(c.refused(*this), c.code);
        // Reading the status is never refused.
        for (const QJsonValue& m : before.value(QStringLiteral("modules")).toArray())
            Status(m.toObject().value(QStringLiteral("id")).toInt());

        ASSERT_EQ(sim->VelaSim_Event(nullptr, "clear-errors", 0), 0);
        EXPECT_EQ(Status(c.module), statusBefore);
        EXPECT_EQ(State(c.module), stateBefore);
        // What the event took away is back: the hopper's very cards, the ribbon.
        const QJsonObject after = sim->Device();
        EXPECT_EQ(after.value(QStringLiteral("modules")), before.value(QStringLiteral("modules")));
        EXPECT_NE(c.refused(*this), c.code);
        b.Device(b.VelaDCL_CloseDevice);
        b.m_hDevice = 0;
    }
}

TEST_F(EventsTest, AJammedCardStaysWhereItIsAndMovesOnAfterClearing) {
    Connect();
    ASSERT_EQ(Move(0x10, 0x40), 0);
    const QJsonObject card = sim->Card();
    ASSERT_EQ(sim->VelaSim_Event(nullptr, "jam", 0x40), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMoveQuick, 0x40, 1, 0), sim::kErrJammed);
    EXPECT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0xFF, 0), sim::kErrJammed);
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0x40);
    EXPECT_EQ(sim->Card(), card);
    EXPECT_TRUE(sim->Module(0x40).value(QStringLiteral("jammed")).toBool());

    // Forced bits are not errors of an event: they stay.
    sim->VelaSim_SetStatusBits(nullptr, 0x40, Bit(vela::printer::kNeedCleaning), 0);
    ASSERT_EQ(sim->VelaSim_Event(nullptr, "clear-errors", 0), 0);
    EXPECT_TRUE(Status(0x40) & Bit(vela::printer::kNeedCleaning));
    EXPECT_EQ(b.Device(b.Vela_CardMoveQuick, 0x40, 1, 0), 0);
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0x61);
    EXPECT_EQ(sim->Card().value(QStringLiteral("serial")), card.value(QStringLiteral("serial")));
}

TEST_F(EventsTest, EventsThatDoNotApplyAreRefusedAndChangeNothing) {
    const QJsonObject before = sim->Device();
    struct Bad {
        const char* event;
        int module;
        VelaResult code;
    };
    for (const Bad& bad :
         {Bad{"jam", 0x41, sim::kErrNoModule}, Bad{"hopper-empty", 0x40, sim::kErrBadArgument},
          Bad{"hopper-empty", 0x77, sim::kErrNoModule}, Bad{"flood", 0x40, sim::kErrBadArgument},
          Bad{"", 0x40, sim::kErrBadArgument}}) {
        SCOPED_TRACE(bad.event);
        EXPECT_EQ(sim->VelaSim_Event(nullptr, bad.event, bad.module), bad.code);
    }
    EXPECT_EQ(sim->VelaSim_Event(nullptr, nullptr, 0x40), sim::kErrBadArgument);
    EXPECT_EQ(sim->VelaSim_Event("No such printer", "jam", 0x40), sim::kErrDeviceNotFound);
    EXPECT_EQ(sim->Device(), before);
    // A chain without a printer has no cover or ribbon to speak of.
    ASSERT_EQ(sim->VelaSim_LoadScenario(R"({"devices": [{"name": "P", "modules": [{"id": 16}]}]})"),
              0);
    EXPECT_EQ(sim->VelaSim_Event(nullptr, "cover-open", 0), sim::kErrNoModule);
    EXPECT_EQ(sim->VelaSim_Event(nullptr, "ribbon-out", 0), sim::kErrNoModule);
}

}  // namespace
}  // namespace halvard::test
