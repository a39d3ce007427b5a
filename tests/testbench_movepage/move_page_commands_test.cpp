// The Move page's commands against the simulated printer system: the SDK calls and their
// arguments, where the card ends up, what the page shows on failure and the result it leaves
// for the batch loop.

#include "move_page_fixture.h"
#include "sim_codes.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;
constexpr unsigned kBusy = 0x80000302;
constexpr unsigned kWarning = mb::kIconWarning;

// ---- Card Move and Card Eject ----

TEST_F(MovePageTest, WalksACardFromInputHopperToOutput) {
    Connected();
    ASSERT_EQ(Card(), 0xFF);
    ASSERT_EQ(page->GetCurrentModule(), 0x10);
    for (int destination : {0x40, 0x61, 0x62, 0x50, 0x70}) {
        Pick("moveDestination", destination);
        Press("cardMove");
        EXPECT_EQ(Card(), destination);
        EXPECT_EQ(page->GetCurrentModule(), destination);
        EXPECT_EQ(page->LastResult(), 0u);
    }
    Press("cardEject");  // to "out"
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(page->GetCurrentModule(), 0x10) << "back to the default position";
    EXPECT_TRUE(boxes.empty());

    const auto moves = sim.Calls(QStringLiteral("Vela_CardMove2"));
    ASSERT_EQ(moves.size(), 5);
    EXPECT_EQ(IntArgsOf(moves[0]), (Args{0x10, 0, 0x40, 0, 0}));
    EXPECT_EQ(IntArgsOf(moves[1]), (Args{0x40, 0, 0x61, 0, 0}));
    EXPECT_EQ(IntArgsOf(moves[4]), (Args{0x50, 0, 0x70, 0, 0}));
    const auto ejects = sim.Calls(QStringLiteral("Vela_CardEject2"));
    ASSERT_EQ(ejects.size(), 1);
    EXPECT_EQ(IntArgsOf(ejects[0]), (Args{0x70, 0, 0xFF, 0}));
    EXPECT_EQ(sim.Device()
                  .value(QStringLiteral("modules"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("cards"))
                  .toInt(),
              99);
}

TEST_F(MovePageTest, CardMoveFailureWarnsAndKeepsTheCardModule) {
    Connected();
    sim.VelaSim_InjectFault("Vela_CardMove2", 0, 1, static_cast<VelaResult>(kBusy));
    Press("cardMove");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardMove... (error=0x80000302)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_EQ(page->GetCurrentModule(), 0x10);
    EXPECT_EQ(Card(), 0xFF);

    // A real refusal: no card at the printer.
    boxes.clear();
    Pick("currentModule", 0x40);
    Press("cardMove");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardMove... (error=0x80000301)"}));
    EXPECT_EQ(page->LastResult(), 0x80000301u);
}

TEST_F(MovePageTest, MultiInputHopperFeedsFromTheChosenLineAndTakesCardsBack) {
    Connected(R"({"devices": [{"name": "P", "modules": [{"id": 32, "hoppers": [1, 3, 5]},
        {"id": 64}, {"id": 97}, {"id": 112}]}]})");
    Pick("hopperLine", 0x30);
    Press("cardMove");
    ASSERT_EQ(Card(), 0x40);
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMove2")).value(0)),
              (Args{0x20, 0x30, 0x40, 0, 0}));

    // Ejected back into hopper 3, leaving to the right.
    Pick("ejectDestination", 0x20);
    Pick("hopLine", 0x30000);
    Pick("ejectDir", 1);
    Press("cardEject");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardEject2")).value(0)),
              (Args{0x40, 0, 0x20, 0x30001}));
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(page->GetCurrentModule(), 0x20);
}

TEST_F(MovePageTest, RecordingHandsMovesToTheRecorderInsteadOfMoving) {
    Connected();
    window->SetMacroRecording(1);
    Press("cardMove");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 0);
    EXPECT_EQ(Card(), 0xFF);
    const MacroList& items = MacroItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].firstModule, 0x10);
    EXPECT_EQ(items[0].firstOption, 0u);
    EXPECT_EQ(items[0].secondModule, 0x40);
    EXPECT_EQ(items[0].secondOption, 0u);
    EXPECT_EQ(page->GetCurrentModule(), 0x40) << "advanced as if the move had succeeded";
    EXPECT_EQ(page->LastResult(), 0u);

    // A recorded eject from a flipper: no status read, no re-centring, no eject.
    Pick("moveDestination", 0x61);
    Press("cardMove");
    Pick("ejectDestination", 0x62);
    Press("cardEject");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[2].firstModule, 0x61);
    EXPECT_EQ(items[2].secondModule, 0x62);
    EXPECT_EQ(items[2].secondOption, 0u);
    EXPECT_EQ(page->GetCurrentModule(), 0x10);
    EXPECT_TRUE(CalledExports().filter(QStringLiteral("Vela_Card")).isEmpty());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetStatus")), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MovePageTest, RecordedEjectToAHopperKeepsLineAndDirection) {
    Connected(R"({"devices": [{"name": "P", "modules": [{"id": 32, "hoppers": [1, 3, 5]},
        {"id": 64}, {"id": 97}, {"id": 112}]}]})");
    window->SetMacroRecording(1);
    Pick("hopperLine", 0x50);
    Press("cardMove");
    Pick("ejectDestination", 0x20);
    Pick("hopLine", 0x10000);
    Pick("ejectDir", 1);
    Press("cardEject");
    const MacroList& items = MacroItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].firstModule, 0x20);
    EXPECT_EQ(items[0].firstOption, 0x50u);
    EXPECT_EQ(items[1].firstModule, 0x40);
    EXPECT_EQ(items[1].secondModule, 0x20);
    EXPECT_EQ(items[1].secondOption, 0x10001u);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")) +
                  sim.CountCalls(QStringLiteral("Vela_CardEject2")),
              0);
}

TEST_F(MovePageTest, EjectFromAnOffCentreFlipperRecentresFirst) {
    Connected();
    CardAt(0x61);
    // Off centre: bit 9 set (bit 21 comes with the flipper's board, bit 8 is clear).
    ASSERT_EQ(sim.VelaSim_SetStatusBits(nullptr, 0x61, std::uint64_t{1} << 9, 0), 0);
    Press("cardEject");
    EXPECT_EQ(BoxTexts(), Texts({"Preemption, First..."}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_NE(page->LastResult(), 0u) << "nothing was ejected";
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardEject2")), 0);
    EXPECT_EQ(Card(), 0x61);

    boxes.clear();
    HoldToken();
    Press("cardEject");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(CalledExports().filter(QStringLiteral("Vela_Card")),
              Texts({"Vela_CardMoveSensor", "Vela_CardMovePosition", "Vela_CardEject2"}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveSensor"))[0]),
              (Args{0x61, 0x20, 0, 3500}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMovePosition"))[0]), (Args{0x61, 4}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardEject2"))[0]), (Args{0x61, 0, 0xFF, 0}));
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(page->LastResult(), 0u);
}

TEST_F(MovePageTest, CentredFlipperCardIsEjectedStraightAway) {
    Connected();
    CardAt(0x61);
    Press("cardEject");
    EXPECT_EQ(CalledExports().filter(QStringLiteral("Vela_Card")), Texts({"Vela_CardEject2"}));
    ASSERT_EQ(sim.CountCalls(QStringLiteral("Vela_GetStatus")), 1);
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_GetStatus"))[0]), (Args{0x61}));
    EXPECT_EQ(Card(), 0xFF);
}

TEST_F(MovePageTest, FailedRecentringStopsTheEject) {
    Connected();
    HoldToken();
    CardAt(0x61);
    ASSERT_EQ(sim.VelaSim_SetStatusBits(nullptr, 0x61, std::uint64_t{1} << 10, 0), 0);
    sim.VelaSim_InjectFault("Vela_CardMovePosition", 0, 1, static_cast<VelaResult>(kBusy));
    Press("cardEject");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardEject... (error=0x80000302)"}));
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardEject2")), 0);
    EXPECT_EQ(page->GetCurrentModule(), 0x61);
}

TEST_F(MovePageTest, CardEjectFailureWarns) {
    Connected();
    CardAt(0x40);
    sim.VelaSim_InjectFault("Vela_CardEject2", 0, 1, static_cast<VelaResult>(kBusy));
    Press("cardEject");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardEject... (error=0x80000302)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
    EXPECT_EQ(Card(), 0x40);
}

// ---- Card Flip and Card Flip Move ----

TEST_F(MovePageTest, CardFlipTurnsTheCardInTheFlipperAndGetsItBack) {
    Connected();
    CardAt(0x40);
    ASSERT_TRUE(Status(0x61) & (std::uint64_t{1} << 23)) << "faced to top";
    Pick("flipper", 0x61);
    Press("cardFlip");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardPass"))[0]), (Args{0x61, 4, 1}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveQuick"))[0]), (Args{0x40, 1, 0}));
    EXPECT_TRUE(Status(0x61) & (std::uint64_t{1} << 22)) << "faced to bottom";
    EXPECT_EQ(Card(), 0x40);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
    EXPECT_EQ(page->LastResult(), 0u);

    // From behind the flipper the card is given leftwards with pass bits 3.
    sim.VelaSim_ClearCallLog();
    CardAt(0x50);
    Pick("flipper", 0x62);
    Press("cardFlip");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardPass"))[0]), (Args{0x62, 3 | 4, 1}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveQuick"))[0]), (Args{0x50, 0, 0}));
    EXPECT_EQ(Card(), 0x50);
}

TEST_F(MovePageTest, CardFlipFailuresNameTheModules) {
    Connected();
    CardAt(0x40);
    sim.VelaSim_InjectFault("Vela_CardPass", 0, 1, static_cast<VelaResult>(kBusy));
    Press("cardFlip");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Flip Card [61]... (error=80000302)"}));
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveQuick")), 0);

    boxes.clear();
    sim.VelaSim_InjectFault("Vela_CardMoveQuick", 0, 1, static_cast<VelaResult>(0x80000301));
    Press("cardFlip");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Give Card [40] to [61]... (error=80000301)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->LastResult(), 0x80000301u);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
}

TEST_F(MovePageTest, CardFlipMovePassesTheCardThroughTheFlipper) {
    Connected();
    CardAt(0x40);
    Pick("flipMoveFlipper", 0x61);
    Pick("giveTo", 0x50);
    Press("cardFlipMove");
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardIn"))[0]), (Args{0x50, 0, 1}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardFlipPass"))[0]), (Args{0x61, 2 | 4, 1}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardOut"))[0]), (Args{0x40, 1, 1}));
    const auto states = sim.Calls(QStringLiteral("Vela_GetModuleState"));
    ASSERT_GE(states.size(), 3);
    EXPECT_EQ(IntArgsOf(states[0]), (Args{0x40}));
    EXPECT_EQ(IntArgsOf(states[1]), (Args{0x61}));
    EXPECT_EQ(IntArgsOf(states[2]), (Args{0x50}));
    EXPECT_EQ(Card(), 0x50);
    EXPECT_TRUE(Status(0x61) & (std::uint64_t{1} << 22)) << "turned on the way";
    EXPECT_EQ(page->GetCurrentModule(), 0x50);
    EXPECT_EQ(page->LastResult(), 0u);
}

TEST_F(MovePageTest, CardFlipMoveStepFailuresNameTheModule) {
    Connected();
    CardAt(0x40);
    Pick("giveTo", 0x50);
    const struct {
        const char* fn;
        const char* text;
    } cases[] = {
        {"Vela_CardIn", "Failed to Flip Pass - Card In [50]... (error=80000302)"},
        {"Vela_CardFlipPass", "Failed to Flip Pass - Flip [61]... (error=80000302)"},
        {"Vela_CardOut", "Failed to Flip Pass - Card Out [40]... (error=80000302)"},
    };
    for (const auto& c : cases) {
        boxes.clear();
        sim.VelaSim_InjectFault(c.fn, 0, 1, static_cast<VelaResult>(kBusy));
        Press("cardFlipMove");
        EXPECT_EQ(BoxTexts(), Texts({c.text})) << c.fn;
        EXPECT_EQ(page->LastResult(), kBusy) << c.fn;
        EXPECT_EQ(page->GetCurrentModule(), 0x40) << c.fn;
    }
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetModuleState")), 0);
}

TEST_F(MovePageTest, CardFlipMoveGivesUpOnAModuleThatStaysRunning) {
    Connected();
    CardAt(0x40);
    Pick("giveTo", 0x50);
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x61, 0x10, 0), 0);  // "Command : Running"
    Press("cardFlipMove");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Flip Pass - ... (error=80000352)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->LastResult(), CSubDlgMove::kFlipMoveTimedOut);
    EXPECT_GE(ui.GuiWaitedMs(), CSubDlgMove::kFlipMoveTimeoutMs);
    EXPECT_LE(ui.GuiWaitedMs(), CSubDlgMove::kFlipMoveTimeoutMs + 100);
    EXPECT_EQ(page->GetCurrentModule(), 0x40) << "the page does not claim the card arrived";
}

TEST_F(MovePageTest, CardFlipMoveEndsOnCommandFailAndOnAFailedRead) {
    Connected();
    CardAt(0x40);
    Pick("giveTo", 0x50);
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x50, 0x20, 0), 0);  // "Command : FAIL"
    Press("cardFlipMove");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Flip Pass - ... (error=80000351)"}));
    EXPECT_EQ(page->LastResult(), 0x80000351u);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);

    boxes.clear();
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x50, 0, 0x20), 0);
    CardAt(0x40);
    sim.VelaSim_InjectFault("Vela_GetModuleState", 1, 1, static_cast<VelaResult>(0x80000300));
    Press("cardFlipMove");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Flip Pass - ... (error=80000300)"}));
    EXPECT_EQ(page->LastResult(), 0x80000300u);
}

// ---- Module Action, error bin, key lock ----

TEST_F(MovePageTest, ModuleActionNeedsTheTokenThenSendsSensorOrOptions) {
    Connected();
    CardAt(0x61);
    Press("moduleAction");
    EXPECT_EQ(BoxTexts(), Texts({"Please, Preemption First..."}));
    EXPECT_EQ(boxes[0].style, mb::kIconInformation);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 0);

    boxes.clear();
    HoldToken();
    QTest::mouseClick(On<QCheckBox>("option20"), Qt::LeftButton);  // "Vert."
    QTest::mouseClick(On<QCheckBox>("option02"), Qt::LeftButton);  // "Center Sensor"
    Press("moduleAction");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveSensor"))[0]),
              (Args{0x61, 0x22, 0, 3500}));
    EXPECT_EQ(page->LastResult(), 0u);

    // Elsewhere the sensor is the option; the boxes give distance and speed.
    sim.VelaSim_ClearCallLog();
    CardAt(0x40);
    Pick("sensor", 3);
    On<QLineEdit>("distAngle")->setText(QStringLiteral("-25"));
    On<QLineEdit>("speed")->setText(QStringLiteral("1200"));
    Press("moduleAction");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveSensor"))[0]),
              (Args{0x40, 3, -25, 1200}));
    On<QLineEdit>("distAngle")->clear();
    On<QLineEdit>("speed")->clear();
    Press("moduleAction");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMoveSensor"))[1]),
              (Args{0x40, 3, 0, 0}));

    // A refusal is only recorded.
    CardAt(0x50);
    Pick("currentModule", 0x40);
    Press("moduleAction");
    EXPECT_EQ(page->LastResult(), 0x80000301u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MovePageTest, MoveToErrorBin) {
    Connected();
    CardAt(0x61);
    Pick("errorBin", 0x62);
    Press("moveToErrorBin");
    EXPECT_EQ(BoxTexts(), Texts({"Please, Preemption First..."}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardEjectBin")), 0);

    boxes.clear();
    HoldToken();
    sim.VelaSim_InjectFault("Vela_CardEjectBin", 0, 1, static_cast<VelaResult>(kBusy));
    Press("moveToErrorBin");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Eject to Bin - ... (error=80000302)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_EQ(page->GetCurrentModule(), 0x61);

    boxes.clear();
    Press("moveToErrorBin");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardEjectBin")).last()), (Args{0x61, 0x62}));
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(page->GetCurrentModule(), 0x10);
    EXPECT_EQ(page->LastResult(), 0u);
}

TEST_F(MovePageTest, KeyLockAndUnlockSendTheFrameWithTheToken) {
    Connected();
    Pick("currentModule", 0x40);
    Press("keyLock");
    EXPECT_EQ(BoxTexts(), Texts({"Please, Preemption First..."}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExCmdSend")), 0);

    boxes.clear();
    HoldToken();
    const std::uint16_t token = window->GetPreemptionToken();
    const QString tokenHex = QStringLiteral("%1%2")
                                 .arg(token & 0xFF, 2, 16, QLatin1Char('0'))
                                 .arg(token >> 8, 2, 16, QLatin1Char('0'))
                                 .toUpper();
    Press("keyLock");
    auto sent = sim.Calls(QStringLiteral("Vela_ExCmdSend"));
    ASSERT_EQ(sent.size(), 1);
    const QJsonArray args = sent[0].value(QLatin1String("args")).toArray();
    EXPECT_EQ(args[1].toString(), QStringLiteral("601640") + tokenHex + QStringLiteral("01"));
    EXPECT_EQ(args[2].toInt(), 6);
    EXPECT_TRUE(Status(0x40) & (std::uint64_t{1} << 24)) << "key locked";
    EXPECT_EQ(page->LastResult(), 0u);

    Press("keyUnlock");
    sent = sim.Calls(QStringLiteral("Vela_ExCmdSend"));
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[1].value(QLatin1String("args")).toArray()[1].toString(),
              QStringLiteral("601640") + tokenHex + QStringLiteral("02"));
    EXPECT_FALSE(Status(0x40) & (std::uint64_t{1} << 24));

    sim.VelaSim_InjectFault("Vela_ExCmdSend", 0, 1, static_cast<VelaResult>(kBusy));
    Press("keyLock");
    EXPECT_EQ(page->LastResult(), kBusy);
    EXPECT_TRUE(boxes.empty()) << "the lock commands report only their result";
}

// ---- Hidden service commands ----

TEST_F(MovePageTest, ModuleCardOutAndInStepToTheNeighbour) {
    Connected();
    CardAt(0x40);
    Pick("cardOutTo", 1);
    Press("moduleCardOut");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardOut"))[0]), (Args{0x40, 1, 0}));
    EXPECT_EQ(Card(), 0x61);
    EXPECT_EQ(page->GetCurrentModule(), 0x61);

    Pick("currentModule", 0x40);
    Pick("cardInFrom", 1);
    Press("moduleCardIn");
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardIn"))[0]), (Args{0x40, 1, 0}));
    EXPECT_EQ(Card(), 0x40);
    EXPECT_EQ(page->LastResult(), 0u);

    // Out of the left end of the chain: no module there, the card is "out".
    CardAt(0x10);
    Pick("cardOutTo", 0);
    Press("moduleCardOut");
    EXPECT_EQ(page->GetCurrentModule(), 0xFF);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MovePageTest, ModuleCardInAndOutFailuresWarn) {
    Connected();
    CardAt(0x40);
    sim.VelaSim_InjectFault("Vela_CardIn", 0, 1, static_cast<VelaResult>(kBusy));
    Press("moduleCardIn");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardIn... (error=0x80000302)"}));
    EXPECT_EQ(page->LastResult(), kBusy);
    boxes.clear();
    sim.VelaSim_InjectFault("Vela_CardOut", 0, 1, static_cast<VelaResult>(kBusy));
    Press("moduleCardOut");
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardOut... (error=0x80000302)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);
}

}  // namespace
}  // namespace halvard::test
