// The Macro page's rules without widgets: the lines a step is shown as, the command that
// replays it, the pass count, and the wait-until-idle verdicts.

#include <gtest/gtest.h>

#include <array>

#include "macro_logic.h"
#include "qt_gtest_print.h"

namespace {

using macro::Idle;
using macro::Polled;
using macro::Replay;

_tagMacroItem Move(std::uint8_t first, std::uint32_t firstOption, std::uint8_t second,
                   std::uint32_t secondOption) {
    _tagMacroItem item;
    item.firstModule = first;
    item.firstOption = firstOption;
    item.secondModule = second;
    item.secondOption = secondOption;
    return item;
}

TEST(MacroLines, QuickAndListLinesOfAStep) {
    struct Case {
        _tagMacroItem item;
        const char* quick;
        const char* list;
    };
    const Case cases[] = {
        {Move(0x20, 0x30, 0x41, 0), "MOVE\tM0 -> P1", "MOVE( 20, 00000030, 41, 00000000 );"},
        {Move(0x5A, 0, 0x21, 0x30001), "MOVE\tLA -> M1", "MOVE( 5A, 00000000, 21, 00030001 );"},
        {Move(0x7F, 0xFFFFFFFF, 0xFF, 0), "MOVE\tOF -> FF", "MOVE( 7F, FFFFFFFF, FF, 00000000 );"},
        {Move(0x30, 0, 0x81, 0), "MOVE\t30 -> 81", "MOVE( 30, 00000000, 81, 00000000 );"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(macro::QuickLine(c.item), QString::fromUtf8(c.quick)) << c.quick;
        EXPECT_EQ(macro::ListLine(c.item), QString::fromUtf8(c.list)) << c.list;
    }
    // Only moves are ever recorded; another kind of step has no line.
    _tagMacroItem other = Move(0x41, 0, 0x62, 0);
    other.type = 1;
    EXPECT_TRUE(macro::QuickLine(other).isEmpty());
    EXPECT_TRUE(macro::ListLine(other).isEmpty());
}

TEST(MacroReplay, TheDestinationPicksTheMovePageCommand) {
    struct Case {
        std::uint8_t second;
        Replay replay;
    };
    const Case cases[] = {
        {0x62, Replay::kCardEject},  // laser unit: 0x20 set, an eject target
        {0x61, Replay::kCardEject},  // flipper
        {0x21, Replay::kCardEject},  // multi-input hopper
        {0xFF, Replay::kCardEject},  // out of the system
        {0x41, Replay::kCardMove},   // 0x20 clear
        {0x40, Replay::kCardMove},
        {0x50, Replay::kCardMove},
        {0x80, Replay::kCardMove},
        // 0x20 set, but no "Card Eject" target: replayed as the move that was recorded.
        {0x70, Replay::kCardMove},
        {0x31, Replay::kCardMove},
    };
    for (const Case& c : cases)
        EXPECT_EQ(macro::ReplayCommand(Move(0x40, 0, c.second, 0)), c.replay)
            << std::hex << int{c.second};
}

TEST(MacroPasses, TheBoxIsReadAsADecimalCountOfZeroOrMore) {
    struct Case {
        const char* text;
        std::optional<int> passes;
    };
    const Case cases[] = {
        {"1", 1},
        {" 12 ", 12},
        {"", 0},
        {"  ", 0},
        {"0", 0},
        {"-1", std::nullopt},
        {"-", std::nullopt},
        {"3x", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(macro::ParsePasses(QString::fromUtf8(c.text)), c.passes) << '"' << c.text << '"';
}

TEST(MacroWait, RoundVerdicts) {
    // One busy bit of each module type's mask, and a bit outside it.
    struct Busy {
        std::uint8_t module;
        std::uint64_t busyBit;
        std::uint64_t idleBit;
    };
    const Busy types[] = {
        {0x10, 0x20000, 0x10000}, {0x21, 0x8000, 0x10000}, {0x40, 0x400, 0x800},
        {0x50, 0x40, 0x10000},    {0x61, 0x4, 0x8},        {0x62, 0x20000, 0x10000},
        {0x70, 0x8, 0x10000},
    };
    for (const Busy& t : types) {
        const std::array<Polled, 2> busy = {Polled{0x40, 0}, Polled{t.module, t.busyBit}};
        const std::array<Polled, 2> idle = {Polled{0x40, 0}, Polled{t.module, t.idleBit}};
        EXPECT_EQ(macro::JudgeRound(busy, 0, 0, -1), Idle::kBusy) << std::hex << int{t.module};
        EXPECT_EQ(macro::FirstBusy(busy), t.module);
        EXPECT_EQ(macro::JudgeRound(idle, 0, 0, -1), Idle::kIdle) << std::hex << int{t.module};
    }
    // Types without a mask are never busy.
    const std::array<Polled, 1> other = {Polled{0x30, ~std::uint64_t{0}}};
    EXPECT_EQ(macro::JudgeRound(other, 0, 0, -1), Idle::kIdle);

    const std::array<Polled, 1> busy = {Polled{0x40, 0x1}};
    struct Case {
        const char* what;
        VelaResult last;
        std::int64_t waited;
        std::int64_t stopAsked;
        Idle verdict;
    };
    const Case cases[] = {
        {"last query failed", static_cast<VelaResult>(0x80000302), 0, -1, Idle::kQueryFailed},
        {"still within the limit", 0, macro::kIdleLimitMs - 1, -1, Idle::kBusy},
        {"limit reached", 0, macro::kIdleLimitMs, -1, Idle::kTimedOut},
        {"stop asked, within the grace", 0, 100, macro::kStopGraceMs - 1, Idle::kBusy},
        {"stop asked, grace over", 0, 100, macro::kStopGraceMs, Idle::kStopped},
    };
    for (const Case& c : cases)
        EXPECT_EQ(macro::JudgeRound(busy, c.last, c.waited, c.stopAsked), c.verdict) << c.what;
    // A module that is not busy needs no waiting, whatever the time or a stop.
    const std::array<Polled, 1> idle = {Polled{0x40, 0x800}};
    EXPECT_EQ(macro::JudgeRound(idle, 0, macro::kIdleLimitMs * 2, macro::kStopGraceMs * 2),
              Idle::kIdle);
}

}  // namespace
