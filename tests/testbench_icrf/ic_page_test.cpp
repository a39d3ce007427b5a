// The "IC" page against the simulated printer system: which flippers it lists, its reader list,
// the head and power commands with what they log and show, the bounded wait before them, and
// every failure path.

#include "CSubDlgIC.h"
#include "chip_page_fixture.h"
#include "message_service.h"

namespace halvard::test {
namespace {

using IcPage = ChipPageTest<CSubDlgIC>;

constexpr VelaResult kInjected = static_cast<VelaResult>(0x80000999);
constexpr std::uint64_t kIcContactor = vela::Bit(vela::flipper::kDetectIcContactor);

// The default system with cards whose chip answers 3B 02 14.
constexpr const char* kShortAtr = R"({"cardProfiles": {"default": {"atr": "3B 02 14"}},
  "devices": [{"name": "[USB1] Halvard Card Printer", "modules": [{"id": 16}, {"id": 64},
    {"id": 97, "ic": true, "rf": true}, {"id": 98}, {"id": 112}]}]})";

TEST_F(IcPage, ListsOnlyFlippersWhoseStatusShowsAnIcContactor) {
    struct Case {
        const char* name;
        const char* scenario;
        std::function<void(SimControl&)> before;
        QStringList entries;
    };
    const Case cases[] = {
        {"default system", nullptr, {}, {QStringLiteral("Flipper [61]=61")}},
        {"two flippers with heads",
         R"({"devices": [{"name": "[USB1] Halvard Card Printer", "modules": [{"id": 64},
             {"id": 97, "ic": true}, {"id": 99}, {"id": 100, "ic": true}]}]})",
         {},
         {QStringLiteral("Flipper [61]=61"), QStringLiteral("Flipper [64]=64")}},
        {"status lacks bit 11",
         nullptr,
         [](SimControl& s) { s.VelaSim_SetStatusBits(kDefaultDevice, 0x61, 0, kIcContactor); },
         {}},
        {"status query fails",
         nullptr,
         [](SimControl& s) { s.VelaSim_InjectFault("Vela_GetStatus", 0, -1, kInjected); },
         {}},
        {"no flipper",
         R"({"devices": [{"name": "[USB1] Halvard Card Printer", "modules": [{"id": 64}]}]})",
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Fresh();
        page = std::make_unique<CSubDlgIC>(host);
        host.binding.Unload();
        if (c.scenario != nullptr) {
            ASSERT_EQ(sim.VelaSim_LoadScenario(c.scenario), 0);
        }
        if (c.before)
            c.before(sim);
        Connect();
        EXPECT_EQ(Entries("currentModule"), c.entries);
        const bool any = !c.entries.isEmpty();
        EXPECT_EQ(page->GetCurrentModule(), any ? c.entries[0].right(2).toInt(nullptr, 16) : 0xFF);
        for (const char* name : {"headDown", "headUp", "powerOn", "powerOff", "atr"})
            EXPECT_EQ(On(name)->isEnabled(), any) << name;
        for (const char* name : {"moveIcPosition", "restorePosition"})
            EXPECT_TRUE(On(name)->isEnabled()) << name;
    }
}

TEST_F(IcPage, ReaderListComesFromTheDeviceInformation) {
    Connect();
    EXPECT_EQ(Entries("reader"), (QStringList{QStringLiteral("Halvard Contact Reader 0=1"),
                                              QStringLiteral("Halvard SIM Reader 0=2")}));
    EXPECT_EQ(On<QComboBox>("reader")->currentIndex(), 0);
    page->OnDeviceDisconnected();
    EXPECT_TRUE(Entries("reader").isEmpty());

    // An empty first name: only the second, with its own value.
    host.binding.Unload();
    Connect(R"({"devices": [{"name": "[USB1] Halvard Card Printer", "readers": {"ic": ""},
        "modules": [{"id": 97, "ic": true}]}]})");
    EXPECT_EQ(Entries("reader"), QStringList{QStringLiteral("Halvard SIM Reader 0=2")});
    EXPECT_EQ(On<QComboBox>("reader")->currentIndex(), 0);

    // A failed query leaves no names, whatever it wrote.
    host.binding.Unload();
    sim.VelaSim_InjectFault("Vela_GetDeviceInfo", 0, 1, kInjected);
    Connect();
    EXPECT_TRUE(Entries("reader").isEmpty());
}

TEST_F(IcPage, PowersTheChipUnderTheHeadAndShowsItsAtr) {
    Connect(kShortAtr);
    host.token = kToken;
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x61), 0);
    Press("moveIcPosition");
    Press("headDown");
    Press("powerOn");
    EXPECT_EQ(Text("atr"), QStringLiteral("3B 02 14"));
    EXPECT_TRUE(sim.Card()[QStringLiteral("chipPowered")].toBool());
    Press("powerOff");
    EXPECT_EQ(Text("atr"), QStringLiteral("3B 02 14")) << "kept after power off";
    EXPECT_FALSE(sim.Card()[QStringLiteral("chipPowered")].toBool());
    Press("headUp");
    Press("restorePosition");
    EXPECT_TRUE(ui.messages.isEmpty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(page->LastResult(), 0u);

    EXPECT_EQ(host.Log(), QStringLiteral("> IC_POWER_ON (mod:61) ... OK\n"
                                         "      ATR : [ 3B 02 14 ]\n"
                                         "> IC_POWER_OFF (mod:61) ... OK\n"));
    QStringList commands = Called();
    commands.removeAll(QStringLiteral("Vela_GetModuleState"));
    EXPECT_EQ(commands,
              (QStringList{QStringLiteral("Vela_CardMovePosition"),
                           QStringLiteral("Vela_ICHContact"), QStringLiteral("Vela_ICPowerOn2"),
                           QStringLiteral("Vela_ICPowerOff2"), QStringLiteral("Vela_ICHDiscontact"),
                           QStringLiteral("Vela_CardMovePosition")}));
    const auto moves = sim.Calls(QStringLiteral("Vela_CardMovePosition"));
    EXPECT_EQ(ArgsOf(moves[0]), (QJsonArray{0x61, 2}));
    EXPECT_EQ(ArgsOf(moves[1]), (QJsonArray{0x61, 4}));
    EXPECT_EQ(ArgsOf(sim.Calls(QStringLiteral("Vela_ICPowerOn2"))[0]), (QJsonArray{0x61, 32}))
        << "a 32-byte ATR buffer";
}

TEST_F(IcPage, EveryCommandReportsItsFailureWithTheCode) {
    struct Case {
        const char* button;
        const char* fn;
        const char* log;
    };
    const Case cases[] = {
        {"moveIcPosition", "Vela_CardMovePosition", ""},
        {"restorePosition", "Vela_CardMovePosition", ""},
        {"headDown", "Vela_ICHContact", ""},
        {"headUp", "Vela_ICHDiscontact", ""},
        {"powerOn", "Vela_ICPowerOn2", "> IC_POWER_ON (mod:61) ... Failed (0x80000999)\n"},
        {"powerOff", "Vela_ICPowerOff2", "> IC_POWER_OFF (mod:61) ... Failed (0x80000999)\n"},
    };
    Connect();
    host.token = kToken;
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x61), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ui.messages.clear();
        const QString logBefore = host.Log();
        sim.VelaSim_InjectFault(c.fn, 0, 1, kInjected);
        On<QLineEdit>("atr")->setText(QStringLiteral("AA"));
        page->SetLastResult(0);
        Press(c.button);
        EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Failed - error : 0x80000999")});
        EXPECT_EQ(ui.messages.value(0).style, mb::kIconWarning);
        EXPECT_EQ(page->LastResult(), 0x80000999u);
        EXPECT_EQ(host.Log().mid(logBefore.size()), QString::fromLatin1(c.log));
        if (QLatin1String(c.button) == QLatin1String("powerOn")) {
            EXPECT_TRUE(Text("atr").isEmpty()) << "a failed power-on shows no ATR";
        }
    }

    // The simulator's own refusal: no contact, no ATR.
    ui.messages.clear();
    Press("powerOn");
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Failed - error : 0x80000341")});
    EXPECT_TRUE(Text("atr").isEmpty());
}

TEST_F(IcPage, PositionButtonsNeedThePreemptionToken) {
    Connect();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x61), 0);
    for (const char* button : {"moveIcPosition", "restorePosition"}) {
        SCOPED_TRACE(button);
        ui.messages.clear();
        page->SetLastResult(0);
        Press(button);
        EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Preemption, First...")});
        EXPECT_EQ(ui.messages.value(0).style, mb::kIconWarning);
        EXPECT_EQ(page->LastResult(), 0xFFFFFFFFu);
    }
    EXPECT_TRUE(sim.Calls().isEmpty()) << "no SDK call";
}

TEST_F(IcPage, WaitReadyIsBoundedAndTheCommandIsSentAnyway) {
    Connect();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x61), 0);

    // A module that never stops running: the wait gives up after 5000 ms on the clock and the
    // command still goes out; its own result is the page's result.
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x61, vela::Bit(vela::state::kCommandRunning), 0),
              0);
    const std::int64_t start = ui.NowMs();
    Press("headDown");
    EXPECT_GE(ui.NowMs() - start, 5000);
    EXPECT_LE(ui.NowMs() - start, 5100);
    EXPECT_GT(sim.CountCalls(QStringLiteral("Vela_GetModuleState")), 50);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ICHContact")), 1);
    EXPECT_EQ(page->LastResult(), 0u);
    EXPECT_TRUE(ui.messages.isEmpty());
    sim.VelaSim_InjectFault("Vela_ICHDiscontact", 0, 1, kInjected);
    Press("headUp");
    EXPECT_EQ(page->LastResult(), 0x80000999u) << "the command's result, not the time-out's";

    // A failed state query ends the wait at once.
    sim.VelaSim_ClearCallLog();
    sim.VelaSim_InjectFault("Vela_GetModuleState", 0, 1, kInjected);
    const std::int64_t before = ui.NowMs();
    Press("powerOff");
    EXPECT_EQ(ui.NowMs(), before);
    EXPECT_EQ(Called(), (QStringList{QStringLiteral("Vela_GetModuleState"),
                                     QStringLiteral("Vela_ICPowerOff2")}));

    // A ready module: one query, no pause.
    sim.VelaSim_SetStateBits(nullptr, 0x61, 0, 0);
    sim.VelaSim_ClearCallLog();
    Press("powerOff");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetModuleState")), 1);
    EXPECT_EQ(ui.NowMs(), before);
}

// An SDK that reports more ATR bytes than the buffer holds, or a negative count.
std::int32_t g_reportedLength = 0;
VelaResult VELA_API OverlongPowerOn(VelaHandle, std::int32_t, std::int32_t* length,
                                    std::uint8_t* atr) {
    for (int i = 0; i < *length; ++i)
        atr[i] = static_cast<std::uint8_t>(0xA0 + i);
    *length = g_reportedLength;
    return 0;
}

TEST_F(IcPage, AtrLengthIsCutToTheBuffer) {
    Connect();
    host.binding.Vela_ICPowerOn2 = &OverlongPowerOn;
    g_reportedLength = 40;
    Press("powerOn");
    const QStringList pairs = Text("atr").split(u' ');
    EXPECT_EQ(pairs.size(), 32);
    EXPECT_EQ(pairs.last(), QStringLiteral("BF"));
    g_reportedLength = -5;
    Press("powerOn");
    EXPECT_TRUE(Text("atr").isEmpty());
    EXPECT_TRUE(host.Log().endsWith(QStringLiteral("OK\n      ATR : [  ]\n")));
}

}  // namespace
}  // namespace halvard::test
