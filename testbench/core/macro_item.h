#pragma once
// One recorded macro step and the list that holds the recording. The Macro page owns the list;
// the quick-record window appends to it while the Move page records.

#include <cstdint>
#include <vector>

#include "vela_modules.h"

struct _tagMacroItem {
    // The kinds of step; a move (or eject) is the only kind that is recorded.
    static constexpr std::int32_t kMove = 0;

    std::int32_t type = kMove;
    std::uint8_t firstModule = vela::kModuleNone;   // where the card was
    std::uint32_t firstOption = 0;                  // hopper line of a move, else 0
    std::uint8_t secondModule = vela::kModuleNone;  // destination, or eject target
    std::uint32_t secondOption = 0;                 // line and direction of an eject, else 0
    std::uint8_t thirdModule = vela::kModuleNone;   // none
    std::uint32_t thirdOption = 0;                  // not read
};

// The recorded steps, played from the front.
using MacroList = std::vector<_tagMacroItem>;
