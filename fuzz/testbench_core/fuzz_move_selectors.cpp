// Builds the Move page's selectors and plans from an arbitrary module list (and arbitrary
// multi-input hopper status words), and checks the rules every selector keeps.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "move_logic.h"
#include "vela_modules.h"

namespace {
bool Contains(const std::vector<std::uint8_t>& chain, int id) {
    return std::find(chain.begin(), chain.end(), id) != chain.end();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConnectedModuleList list{};
    std::memcpy(&list, data, std::min(size, sizeof(list)));
    const std::uint8_t* tail = data + std::min(size, sizeof(list));
    const std::size_t tailSize = size - std::min(size, sizeof(list));

    const std::vector<std::uint8_t> chain = move::Chain(list);
    if (chain.size() > static_cast<std::size_t>(kMaxModules))
        std::abort();
    // Status words of the multi-input hoppers come from the rest of the input.
    std::size_t next = 0;
    const auto statusOf = [&](std::uint8_t) {
        std::uint64_t status = 0;
        for (int b = 0; b < 8 && next < tailSize; ++b)
            status |= std::uint64_t{tail[next++]} << (8 * b);
        return status;
    };
    const move::Selectors s = move::BuildSelectors(chain, statusOf);

    // "Curr. Card Module :" is "out" plus the whole chain; "Card Move" ends with "out".
    if (s.currentModule.size() != chain.size() + 1 || s.currentModule[0].data != 0xFF)
        std::abort();
    if (s.moveDestination.empty() || s.moveDestination.back().data != 0xFF)
        std::abort();
    if (s.ejectDestination.empty() || s.ejectDestination[0].data != 0xFF)
        std::abort();
    // Every module entry names a module of the chain, of the type its selector takes.
    const auto typed = [&](const move::Entries& entries, auto accepts, std::size_t skip) {
        for (std::size_t i = skip; i < entries.size(); ++i) {
            const int id = entries[i].data;
            if (id < 0 || id > 0xFF || !Contains(chain, id) ||
                !accepts(vela::TypeOf(static_cast<std::uint8_t>(id))))
                std::abort();
        }
    };
    const auto flipper = [](int type) { return type == vela::kTypeFlipper; };
    typed(s.flipper, flipper, 0);
    typed(s.flipMoveFlipper, flipper, 0);
    typed(s.errorBin, flipper, 0);
    typed(
        s.giveTo,
        [](int type) { return type != vela::kTypeMultiInputHopper && type != vela::kTypeFlipper; },
        0);
    typed(
        s.ejectDestination,
        [](int type) { return type == vela::kTypeMultiInputHopper || type == vela::kTypeFlipper; },
        1);
    // Hopper lines: "Auto" plus at most six per multi-input hopper; "Hop. Line" at most four.
    if (s.showHopperLine != !s.hopperLine.empty())
        std::abort();
    for (const move::Entry& e : s.hopLine)
        if (e.data < 0x10000 || e.data > 0x40000 || (e.data & 0xFFFF) != 0)
            std::abort();

    const int index = move::DefaultPositionIndex(s.currentModule);
    if (index < 0 || index >= static_cast<int>(s.currentModule.size()))
        std::abort();

    // Plans and neighbours for ids taken from the input, in the chain or not.
    const std::uint8_t a = size > 0 ? data[size - 1] : 0xFF;
    const std::uint8_t b = size > 1 ? data[size - 2] : 0x61;
    const move::FlipPlan flip = move::PlanFlip(chain, a, b);
    if (flip.giveDirection < 0 || flip.giveDirection > 1)
        std::abort();
    const move::FlipMovePlan pass = move::PlanFlipMove(chain, a, b);
    if (pass.inDirection + pass.outDirection != 1)
        std::abort();
    for (int direction : {0, 1}) {
        const std::uint8_t n = move::Neighbour(chain, a, direction);
        if (n != vela::kModuleNone && !Contains(chain, n))
            std::abort();
    }
    return 0;
}
