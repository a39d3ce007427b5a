// Card transport in the simulated printer system: where the card goes, what is refused.
#include <gtest/gtest.h>

#include "CVelaCommBinding.h"
#include "sim_codes.h"
#include "sim_control.h"

using halvard::test::SimControl;

namespace {

class Transport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(b.LoadFrom(halvard::test::SimulatorLibrary()));
        sim = std::make_unique<SimControl>(b);
        sim->Fresh();
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    }
    int Card() const { return sim->VelaSim_GetCardModule(nullptr); }
    std::uint64_t Status(int module) {
        std::uint64_t status = 0;
        EXPECT_EQ(b.Device(b.Vela_GetStatus, module, &status), 0);
        return status;
    }
    std::uint8_t State(int module) {
        std::uint8_t state = 0;
        EXPECT_EQ(b.Device(b.Vela_GetModuleState, module, &state), 0);
        return state;
    }
    CVelaCommBinding b;
    std::unique_ptr<SimControl> sim;
};

TEST_F(Transport, ACardWalksFromInputHopperToOutput) {
    EXPECT_EQ(Card(), 0xFF);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    EXPECT_EQ(Card(), 0x40);
    EXPECT_TRUE(Status(0x40) & (1ull << 25)) << "printer detects the card";
    EXPECT_EQ(State(0x40) & 0x04, 0x04);
    EXPECT_EQ(sim->Device()
                  .value(QStringLiteral("modules"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("cards"))
                  .toInt(),
              99);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x40, 0, 0x50, 0, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x50, 0, 0x70, 0, 0), 0);
    EXPECT_EQ(Card(), 0x70);
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x70, 0, 0xFF, 0), 0);
    EXPECT_EQ(Card(), 0xFF);
}

TEST_F(Transport, MovesThatCannotHappenAreRefused) {
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x40, 0, 0x70, 0, 0), sim::kErrNoCard);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x33, 0, 0), sim::kErrNoModule);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x10, 0, 0), sim::kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0xFF, 0), sim::kErrNoCard);
    EXPECT_EQ(b.Device(b.Vela_CardMoveSensor, 0x61, 0, 10, 1368), sim::kErrNoCard);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), sim::kErrBusy)
        << "a second card while one is in the system";
    EXPECT_EQ(Card(), 0x40);
}

TEST_F(Transport, AnEmptyHopperGivesNoCard) {
    ASSERT_EQ(sim->VelaSim_LoadScenario(R"({"devices": [{"name": "P", "modules":
        [{"id": 16, "cards": 0}, {"id": 64}, {"id": 112}]}]})"),
              0);
    sim->VelaSim_SetTimeScale(0);
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
    EXPECT_TRUE(Status(0x10) & (1ull << 26)) << "empty card";
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), sim::kErrHopperEmpty);
    EXPECT_EQ(State(0x10) & 0x20, 0x20) << "Command : FAIL";
}

TEST_F(Transport, MultiInputHopperFeedsFromTheChosenLine) {
    sim->Fresh("multi-hopper");
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMove2, 0x20, 0x20, 0x40, 0, 0), sim::kErrBadArgument)
        << "hopper 2 is not fitted";
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x20, 0x30, 0x40, 0, 0), 0);
    EXPECT_EQ(Card(), 0x40);
}

TEST_F(Transport, EjectIntoAMultiInputHopperNeedsAFittedHopper) {
    sim->Fresh("multi-hopper");
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    EXPECT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0x20, 0x20001), sim::kErrBadArgument)
        << "hopper 2 is not fitted";
    EXPECT_EQ(Card(), 0x40) << "the refused card stays where it was";
    const auto cardsOf = [this](int index) {
        return sim->Device()
            .value(QStringLiteral("modules"))
            .toArray()
            .at(0)
            .toObject()
            .value(QStringLiteral("hopperCards"))
            .toArray()
            .at(index)
            .toInt(-1);
    };
    const int before = cardsOf(1);
    ASSERT_GE(before, 0);
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0x20, 0x30001), 0);
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(cardsOf(1), before + 1) << "back into hopper 3";
}

TEST_F(Transport, CardFlipTurnsTheCardAndGivesItBack) {
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    EXPECT_TRUE(Status(0x61) & (1ull << 23)) << "faced to top";
    ASSERT_EQ(b.Device(b.Vela_CardPass, 0x61, 4, 1), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMoveQuick, 0x40, 1, 0), 0);
    EXPECT_EQ(Card(), 0x40);
    EXPECT_TRUE(Status(0x61) & (1ull << 22)) << "faced to bottom";
    ASSERT_EQ(b.Device(b.Vela_CardMoveQuick, 0x40, 1, 0), 0) << "without a pass it moves on";
    EXPECT_EQ(Card(), 0x61);
}

TEST_F(Transport, FlipMovePassesTheCardThroughToTheStagedReceiver) {
    sim->VelaSim_SetTimeScale(1.0);
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    ASSERT_EQ(b.Device(b.Vela_CardIn, 0x50, 0, 1), 0);
    ASSERT_EQ(b.Device(b.Vela_CardFlipPass, 0x61, 1 | 4, 1), 0);
    ASSERT_EQ(b.Device(b.Vela_CardOut, 0x40, 1, 1), 0);
    EXPECT_EQ(Card(), 0x50);
    EXPECT_EQ(State(0x61) & 0x10, 0x10) << "Command : Running while the queued move runs";
    EXPECT_TRUE(Status(0x61) & (1ull << 22)) << "turned on the way";
    sim->VelaSim_SetTimeScale(0);
}

TEST_F(Transport, ModuleCardInAndOutStepToTheNeighbour) {
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    ASSERT_EQ(b.Device(b.Vela_CardOut, 0x40, 1, 0), 0);
    EXPECT_EQ(Card(), 0x61);
    ASSERT_EQ(b.Device(b.Vela_CardIn, 0x40, 1, 0), 0) << "back in from the right";
    EXPECT_EQ(Card(), 0x40);
    EXPECT_EQ(b.Device(b.Vela_CardIn, 0x70, 0, 0), sim::kErrNoCard);
}

TEST_F(Transport, ErrorBinAndPositionsNeedTheCardThere) {
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x61), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 4), 0);
    EXPECT_EQ(b.Device(b.Vela_CardMoveSensor, 0x61, 0x20, 0, 3500), 0);
    EXPECT_EQ(b.Device(b.Vela_CardEjectBin, 0x61, 0x40), sim::kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_CardEjectBin, 0x61, 0x62), 0);
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(b.Device(b.Vela_CardMovePosition, 0x61, 4), sim::kErrNoCard);
}

TEST_F(Transport, KeyLockNeedsTheHeldToken) {
    std::uint16_t token = 0xFFFF;
    ASSERT_EQ(b.Device(b.Vela_RequestPreemption, &token), 0);
    std::uint8_t lock[6] = {0x60,
                            0x16,
                            0x40,
                            static_cast<std::uint8_t>(token & 0xFF),
                            static_cast<std::uint8_t>(token >> 8),
                            1};
    ASSERT_EQ(b.Device(b.Vela_ExCmdSend, lock, 6), 0);
    EXPECT_TRUE(Status(0x40) & (1ull << 24)) << "key locked state";
    std::uint8_t wrong[6] = {0x60,
                             0x16,
                             0x40,
                             static_cast<std::uint8_t>((token + 1) & 0xFF),
                             static_cast<std::uint8_t>(token >> 8),
                             2};
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, wrong, 6), sim::kErrNotPreempted);
    EXPECT_TRUE(Status(0x40) & (1ull << 24));
    lock[5] = 2;
    ASSERT_EQ(b.Device(b.Vela_ExCmdSend, lock, 6), 0);
    EXPECT_FALSE(Status(0x40) & (1ull << 24));
    lock[2] = 0x61;
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, lock, 6), sim::kErrBadArgument);
}

TEST_F(Transport, BusyBitsLastForTheOperationTimeOnly) {
    sim->VelaSim_SetTimeScale(0.05);  // a 1.2 s move takes 60 ms here
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
    ASSERT_EQ(b.Device(b.Vela_CardIn, 0x50, 0, 1), 0);
    ASSERT_EQ(b.Device(b.Vela_CardOut, 0x40, 1, 1), 0);  // queued: returns at once
    EXPECT_EQ(State(0x50) & 0x10, 0x10);
    EXPECT_EQ(b.Device(b.Vela_CardMoveSensor, 0x50, 0, 1, 1), sim::kErrBusy);
    // A blocking command returns only when its time has passed.
    sim->VelaSim_SetTimeScale(0.05);
    while (State(0x50) & 0x10) {
    }
    EXPECT_EQ(b.Device(b.Vela_CardMoveSensor, 0x50, 0, 1, 1), 0);
    EXPECT_EQ(State(0x50) & 0x10, 0) << "blocking call waited out its busy time";
    sim->VelaSim_SetTimeScale(0);
}

}  // namespace
