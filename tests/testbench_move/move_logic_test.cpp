// The Move page's selector contents, default position and flip planning.
#include <gtest/gtest.h>

#include "move_logic.h"
#include "qt_gtest_print.h"

using move::Entries;
using move::Entry;

namespace {

Entry E(const char* text, int data) {
    return Entry{QString::fromLatin1(text), data};
}

TEST(MoveSelectors, HopperPrinterOutputChain) {
    move::Selectors s = move::BuildSelectors({0x10, 0x40, 0x70}, nullptr);
    EXPECT_EQ(s.currentModule, (Entries{E("out [FF]", 0xFF), E("I  [10]", 0x10), E("P  [40]", 0x40),
                                        E("O  [70]", 0x70)}));
    EXPECT_EQ(move::DefaultPositionIndex(s.currentModule), 1) << "the input hopper";
    EXPECT_EQ(s.moveDestination,
              (Entries{E("P  [40]", 0x40), E("O  [70]", 0x70), E("out [FF]", 0xFF)}));
    EXPECT_EQ(s.ejectDestination, (Entries{E("out [FF]", 0xFF)}));
    EXPECT_FALSE(s.showHopperLine);
    EXPECT_TRUE(s.flipper.empty());
    EXPECT_EQ(s.giveTo, (Entries{E("I  [10]", 0x10), E("P  [40]", 0x40), E("O  [70]", 0x70)}));
}

TEST(MoveSelectors, FullChainPutsFlippersEverywhereTheyBelong) {
    move::Selectors s = move::BuildSelectors({0x10, 0x40, 0x61, 0x62, 0x50, 0x70}, nullptr);
    const Entries flippers{E("F  [61]", 0x61), E("F  [62]", 0x62)};
    EXPECT_EQ(s.flipper, flippers);
    EXPECT_EQ(s.flipMoveFlipper, flippers);
    EXPECT_EQ(s.errorBin, flippers);
    EXPECT_EQ(s.ejectDestination,
              (Entries{E("out [FF]", 0xFF), E("F  [61]", 0x61), E("F  [62]", 0x62)}));
    EXPECT_EQ(s.giveTo.size(), 4u);
}

TEST(MoveSelectors, MultiInputHopperListsOnlyFittedHoppers) {
    // Hoppers 1, 3 and 5 fitted: status bits 4, 6 and 8.
    auto status = [](std::uint8_t id) -> std::uint64_t {
        return id == 0x20 ? (1u << 4) | (1u << 6) | (1u << 8) : 0;
    };
    move::Selectors s = move::BuildSelectors({0x20, 0x40, 0x70}, status);
    EXPECT_TRUE(s.showHopperLine);
    EXPECT_EQ(s.hopperLine, (Entries{E("Auto", 0), E("1", 0x10), E("3", 0x30), E("5", 0x50)}));
    EXPECT_EQ(s.hopLine, (Entries{E("1", 0x10000), E("3", 0x30000)}));
    EXPECT_EQ(s.ejectDestination, (Entries{E("out [FF]", 0xFF), E("MI [20]", 0x20)}));
    EXPECT_EQ(move::DefaultPositionIndex(s.currentModule), 1);
    EXPECT_EQ(s.moveDestination.front(), E("P  [40]", 0x40)) << "hoppers are no destination";
}

TEST(MoveSelectors, NoInputHopperStartsOutside) {
    move::Selectors s = move::BuildSelectors({0x40, 0x61, 0x70}, nullptr);
    EXPECT_EQ(move::DefaultPositionIndex(s.currentModule), 0);
    EXPECT_EQ(move::DefaultPositionIndex(Entries{E("out [FF]", 0xFF)}), 0);
}

TEST(MoveChain, CountIsClampedToTheListsRoom) {
    ConnectedModuleList list{};
    list.count = 1000;
    EXPECT_EQ(move::Chain(list).size(), 32u);
    list.count = -4;
    EXPECT_TRUE(move::Chain(list).empty());
}

TEST(MoveFlip, TheLaterModuleInTheChainDecides) {
    const std::vector<std::uint8_t> chain{0x10, 0x40, 0x61, 0x70};
    move::FlipPlan before = move::PlanFlip(chain, 0x61, 0x40);  // card left of the flipper
    EXPECT_EQ(before.giveDirection, 1);
    EXPECT_EQ(before.passBits, 0);
    move::FlipPlan after = move::PlanFlip(chain, 0x61, 0x70);  // card right of it
    EXPECT_EQ(after.giveDirection, 0);
    EXPECT_EQ(after.passBits, 3);

    move::FlipMovePlan forward = move::PlanFlipMove(chain, 0x70, 0x40);
    EXPECT_EQ(forward.outDirection, 1);
    EXPECT_EQ(forward.inDirection, 0);
    EXPECT_EQ(forward.flipBits, 2);
    move::FlipMovePlan back = move::PlanFlipMove(chain, 0x10, 0x40);
    EXPECT_EQ(back.outDirection, 0);
    EXPECT_EQ(back.inDirection, 1);
    EXPECT_EQ(back.flipBits, 1);
}

TEST(MoveFlip, NeighboursAtTheEndsAreNone) {
    const std::vector<std::uint8_t> chain{0x10, 0x40, 0x70};
    EXPECT_EQ(move::Neighbour(chain, 0x40, 1), 0x70);
    EXPECT_EQ(move::Neighbour(chain, 0x40, 0), 0x10);
    EXPECT_EQ(move::Neighbour(chain, 0x70, 1), 0xFF);
    EXPECT_EQ(move::Neighbour(chain, 0x10, 0), 0xFF);
    EXPECT_EQ(move::Neighbour(chain, 0x33, 1), 0xFF);
}

TEST(MoveCommands, KeyLockFrameCarriesModuleAndTokenLittleEndian) {
    EXPECT_EQ(move::KeyLockFrame(0x40, 0x1A2B, true),
              (std::array<std::uint8_t, 6>{0x60, 0x16, 0x40, 0x2B, 0x1A, 1}));
    EXPECT_EQ(move::KeyLockFrame(0x41, 0x00FF, false),
              (std::array<std::uint8_t, 6>{0x60, 0x16, 0x41, 0xFF, 0x00, 2}));
}

TEST(MoveCommands, EjectRecentresOnlyAnOffCentreCard) {
    auto bit = [](int n) { return std::uint64_t{1} << n; };
    EXPECT_TRUE(move::EjectNeedsRecentre(bit(21) | bit(9)));
    EXPECT_TRUE(move::EjectNeedsRecentre(bit(21) | bit(10)));
    EXPECT_FALSE(move::EjectNeedsRecentre(bit(21) | bit(9) | bit(8)));
    EXPECT_FALSE(move::EjectNeedsRecentre(bit(9)));
    EXPECT_FALSE(move::EjectNeedsRecentre(bit(21)));
}

TEST(MoveCommands, FlipMoveProgressReadsRunningAndFailBits) {
    std::uint32_t code = 0;
    EXPECT_EQ(move::FlipMoveProgress({0x04, 0x00, 0x00}, &code), 0);
    EXPECT_EQ(move::FlipMoveProgress({0x00, 0x10, 0x00}, &code), 1);
    EXPECT_EQ(move::FlipMoveProgress({0x10, 0x00, 0x20}, &code), -1);
    EXPECT_EQ(code, move::kFlipMoveCommandFailed);
}

}  // namespace
