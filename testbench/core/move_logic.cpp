#include "move_logic.h"

#include <algorithm>

#include "module_labels.h"
#include "sdk_lists.h"
#include "vela_modules.h"

namespace move {

namespace {
int IndexOf(const std::vector<std::uint8_t>& chain, std::uint8_t id) {
    auto it = std::find(chain.begin(), chain.end(), id);
    return it == chain.end() ? -1 : static_cast<int>(it - chain.begin());
}

Entry ModuleEntry(std::uint8_t id) {
    return Entry{labels::Move(id), id};
}
}  // namespace

std::vector<std::uint8_t> Chain(const ConnectedModuleList& list) {
    return sdk_lists::ModuleChain(list);
}

Selectors BuildSelectors(const std::vector<std::uint8_t>& chain,
                         const std::function<std::uint64_t(std::uint8_t)>& statusOf) {
    Selectors s;
    const Entry out{labels::MoveOut(), vela::kModuleNone};
    s.currentModule.push_back(out);
    s.ejectDestination.push_back(out);
    for (std::uint8_t id : chain) {
        const Entry entry = ModuleEntry(id);
        s.currentModule.push_back(entry);
        const int type = vela::TypeOf(id);
        if (type != vela::kTypeInputHopper && type != vela::kTypeMultiInputHopper)
            s.moveDestination.push_back(entry);
        if (type == vela::kTypeMultiInputHopper) {
            s.showHopperLine = true;
            s.ejectDestination.push_back(entry);
            const std::uint64_t status = statusOf ? statusOf(id) : 0;
            s.hopperLine.push_back(Entry{QStringLiteral("Auto"), 0});
            for (int hopper = 1; hopper <= 6; ++hopper) {
                if (!(status & vela::Bit(vela::multi_input_hopper::kDetectHopper1 + hopper - 1)))
                    continue;
                s.hopperLine.push_back(Entry{QString::number(hopper), hopper << 4});
                if (hopper <= 4)
                    s.hopLine.push_back(Entry{QString::number(hopper), hopper << 16});
            }
        } else if (type == vela::kTypeFlipper) {
            s.ejectDestination.push_back(entry);
            s.flipper.push_back(entry);
            s.flipMoveFlipper.push_back(entry);
            s.errorBin.push_back(entry);
        } else {
            s.giveTo.push_back(entry);
        }
    }
    s.moveDestination.push_back(Entry{labels::MoveOut(), vela::kModuleNone});
    return s;
}

int DefaultPositionIndex(const Entries& currentModule) {
    if (currentModule.size() > 1) {
        const int type = vela::TypeOf(static_cast<std::uint8_t>(currentModule[1].data));
        if (type == vela::kTypeInputHopper || type == vela::kTypeMultiInputHopper)
            return 1;
    }
    return 0;
}

FlipPlan PlanFlip(const std::vector<std::uint8_t>& chain, std::uint8_t flipper,
                  std::uint8_t current) {
    FlipPlan plan;
    for (std::uint8_t id : chain) {
        if (id == flipper)
            plan = FlipPlan{1, 0};
        if (id == current)
            plan = FlipPlan{0, 3};
    }
    return plan;
}

FlipMovePlan PlanFlipMove(const std::vector<std::uint8_t>& chain, std::uint8_t giveTo,
                          std::uint8_t current) {
    FlipMovePlan plan;
    for (std::uint8_t id : chain) {
        if (id == giveTo)
            plan = FlipMovePlan{1, 0, 2};
        if (id == current)
            plan = FlipMovePlan{0, 1, 1};
    }
    return plan;
}

std::uint8_t Neighbour(const std::vector<std::uint8_t>& chain, std::uint8_t module, int direction) {
    const int index = IndexOf(chain, module);
    if (index < 0)
        return vela::kModuleNone;
    const int next = index + (direction == 1 ? 1 : -1);
    if (next < 0 || next >= static_cast<int>(chain.size()))
        return vela::kModuleNone;
    return chain[static_cast<size_t>(next)];
}

std::array<std::uint8_t, 6> KeyLockFrame(std::uint8_t module, std::uint16_t token, bool lock) {
    return {0x60,
            0x16,
            module,
            static_cast<std::uint8_t>(token & 0xFF),
            static_cast<std::uint8_t>(token >> 8),
            static_cast<std::uint8_t>(lock ? 1 : 2)};
}

bool EjectNeedsRecentre(std::uint64_t status) {
    using namespace vela::flipper;
    auto set = [status](int bit) { return (status & vela::Bit(bit)) != 0; };
    return set(kBoardVer2) && !set(kExtendedBoardAbsent) &&
           (set(kDetectACardAtScannerInSensor) || set(kDetectACardAtScannerOutSensor));
}

int FlipMoveProgress(const std::array<std::uint8_t, 3>& states, std::uint32_t* code) {
    bool running = false;
    for (std::uint8_t state : states) {
        if (state & vela::Bit(vela::state::kCommandFail)) {
            if (code)
                *code = kFlipMoveCommandFailed;
            return -1;
        }
        running = running || (state & vela::Bit(vela::state::kCommandRunning));
    }
    return running ? 1 : 0;
}

}  // namespace move
