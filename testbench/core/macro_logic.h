#pragma once
// The Macro page's rules that need no widgets: the readable lines of a recorded step, which Move
// page command replays a step, the pass count the page accepts, and the verdict of one round of
// the wait until the modules of a step are idle.

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "macro_item.h"
#include "vela_modules.h"
#include "vela_platform.h"

namespace macro {

// The quick-record window's line: "MOVE\tP1 -> F2". Empty for a kind of step that is not a move.
QString QuickLine(const _tagMacroItem& item);
// The Macro page's line: "MOVE( 41, 00000000, 62, 00000000 );". Empty likewise.
QString ListLine(const _tagMacroItem& item);

// The Move page command that replays a step. A step whose second module is "out" (0xFF) or a
// "Card Eject" target (the 0x20 bit of a multi-input hopper or a flipper) replays through "Card
// Eject"; any other through "Card Move". Output hoppers and type-3 modules carry the 0x20 bit as
// well, but no eject can reach them, so a move to one of them replays as the move it was.
enum class Replay { kCardMove, kCardEject };
Replay ReplayCommand(const _tagMacroItem& item);

// The "Hop. Line" and "Eject Dir" values an eject step carries in its second option.
inline constexpr std::uint32_t kHopLineMask = 0x70000;
inline constexpr std::uint32_t kEjectDirMask = 0x1;

// The number of passes as the page reads its box: trimmed, decimal, empty counts as 0. Nothing
// when the text is negative or not a number.
std::optional<int> ParsePasses(const QString& text);

// ---- Wait until idle ----

// The modules a wait polls for a step, in order: first, second and third module, leaving out
// "none" (0xFF).
std::vector<std::uint8_t> PolledModules(const _tagMacroItem& item);

// One module's status word as one round of the wait read it.
struct Polled {
    std::uint8_t module = vela::kModuleNone;
    std::uint64_t status = 0;
};

// The pause after each status query, how long the wait lets the modules stay busy before it
// gives up, and how long it still waits for them once the operator asked the playback to stop.
inline constexpr int kPollPauseMs = 50;
inline constexpr int kIdleLimitMs = 60000;
inline constexpr int kStopGraceMs = 5000;
// The result of a wait that gave up: the modules never became idle (the code the Move page
// gives when its modules never finish, too).
inline constexpr std::uint32_t kWaitTimedOut = 0x80000352;

enum class Idle {
    kIdle,         // no polled module is busy: go on
    kBusy,         // poll again
    kQueryFailed,  // the round's last status query failed: the wait ends with its result
    kStopped,      // a stop was asked for and the modules stayed busy past the grace
    kTimedOut,     // the modules stayed busy past the limit
};
// The verdict on one round: the statuses read, the result of the round's last query, the time
// since the wait began and since a stop was asked for (negative: no stop asked for).
Idle JudgeRound(std::span<const Polled> round, VelaResult lastResult, std::int64_t waitedMs,
                std::int64_t stopAskedMs);
// The first module of a round whose status shows it busy; 0xFF when none does.
std::uint8_t FirstBusy(std::span<const Polled> round);

}  // namespace macro
