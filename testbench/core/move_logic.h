#pragma once
// The Move page's rules that need no widgets: what each selector lists,
// the card's default position, the directions and flag bits of the flip commands, the option
// byte and the key-lock frame.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "vela_types.h"

namespace move {

// One selector entry: its label and its item data.
struct Entry {
    QString text;
    int data = 0;
    bool operator==(const Entry&) const = default;
};
using Entries = std::vector<Entry>;

// The chain of a module list, count clamped to 0..32.
std::vector<std::uint8_t> Chain(const ConnectedModuleList& list);

// The contents of every module selector of the page, built from the chain. `statusOf` reads a
// multi-input hopper's status word (which hoppers are fitted).
struct Selectors {
    Entries currentModule;  // "Curr. Card Module :"
    Entries hopperLine;     // beside it; shown only with a multi-input hopper
    bool showHopperLine = false;
    Entries moveDestination;   // "Card Move" "to"
    Entries ejectDestination;  // "Card Eject" "to"
    Entries hopLine;           // "Hop. Line" (select its last entry)
    Entries flipper;           // "Card Flip" "Flipper"
    Entries flipMoveFlipper;   // "Card Flip Move" "Flipper"
    Entries giveTo;            // "Card Flip Move" "Give to"
    Entries errorBin;          // "Error. Bin"
};
Selectors BuildSelectors(const std::vector<std::uint8_t>& chain,
                         const std::function<std::uint64_t(std::uint8_t)>& statusOf);

// Index in "Curr. Card Module :" of the card's default position: entry 1 when it is an input
// or multi-input hopper, else entry 0 ("out [FF]").
int DefaultPositionIndex(const Entries& currentModule);

// "Card Flip": give direction and pass bits; the later of flipper and current module in the
// chain decides.
struct FlipPlan {
    int giveDirection = 0;
    int passBits = 0;
};
FlipPlan PlanFlip(const std::vector<std::uint8_t>& chain, std::uint8_t flipper,
                  std::uint8_t current);

// "Card Flip Move": out and in directions and flip bits; the later of give-to module and current
// module decides.
struct FlipMovePlan {
    int outDirection = 0;
    int inDirection = 1;
    int flipBits = 1;
};
FlipMovePlan PlanFlipMove(const std::vector<std::uint8_t>& chain, std::uint8_t giveTo,
                          std::uint8_t current);

// The neighbour of `module` in the chain: direction 1 = next, 0 = previous; 0xFF when none.
std::uint8_t Neighbour(const std::vector<std::uint8_t>& chain, std::uint8_t module, int direction);

// The 6-byte key-lock command: 0x60 0x16, module, token (little-endian), 1 lock / 2 unlock.
std::array<std::uint8_t, 6> KeyLockFrame(std::uint8_t module, std::uint16_t token, bool lock);

// The flipper option boxes, in the page's order, with their bits.
inline constexpr std::array<int, 7> kOptionBits = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02};
inline constexpr std::array<const char*, 7> kOptionLabels = {
    "Rotate Angle", "Scan Move", "Vert.", "Horz.", "Fixed Speed", "Scan Sensor", "Center Sensor"};

// "Card Eject" re-centres a flipper's card first when its status says the card is off centre:
// bit 21 set, bit 8 clear and bit 9 or 10 set.
bool EjectNeedsRecentre(std::uint64_t flipperStatus);

// The Flip Move wait loop's verdict on the three state bytes: 0 = done, 1 = still running,
// or the failure code for "Command : FAIL".
inline constexpr std::uint32_t kFlipMoveCommandFailed = 0x80000351;
int FlipMoveProgress(const std::array<std::uint8_t, 3>& states, std::uint32_t* code);

}  // namespace move
