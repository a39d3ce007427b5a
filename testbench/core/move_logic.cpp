#include "move_logic.h"

#include <algorithm>

namespace move {

namespace {
int Type(std::uint8_t id) {
    return id >> 4;
}

int IndexOf(const std::vector<std::uint8_t>& chain, std::uint8_t id) {
    auto it = std::find(chain.begin(), chain.end(), id);
    return it == chain.end() ? -1 : static_cast<int>(it - chain.begin());
}

Entry ModuleEntry(std::uint8_t id) {
    return Entry{ModuleShortLabel(id), id};
}
}  // namespace

QString ModuleShortLabel(std::uint8_t id) {
    const char* format = nullptr;
    switch (Type(id)) {
        case 0x1:
            format = "I  [%02X]";
            break;
        case 0x2:
            format = "MI [%02X]";
            break;
        case 0x3:
            format = "E  [%02X]";
            break;
        case 0x4:
            format = "P  [%02X]";
            break;
        case 0x5:
            format = "L  [%02X]";
            break;
        case 0x6:
            format = "F  [%02X]";
            break;
        case 0x7:
            format = "O  [%02X]";
            break;
        case 0x8:
            format = "MO [%02X]";
            break;
        default:
            break;
    }
    if (format == nullptr && id >= 0x10 && id < 0x90)
        format = "I  [%02X]";
    return format ? QString::asprintf(format, id) : QString();
}

std::vector<std::uint8_t> Chain(const ConnectedModuleList& list) {
    const int count = std::clamp(list.count, 0, kMaxModules);
    std::vector<std::uint8_t> chain;
    for (int i = 0; i < count; ++i)
        chain.push_back(list.entries[i].id);
    return chain;
}

Selectors BuildSelectors(const std::vector<std::uint8_t>& chain,
                         const std::function<std::uint64_t(std::uint8_t)>& statusOf) {
    Selectors s;
    const Entry out{QStringLiteral("out [FF]"), 0xFF};
    s.currentModule.push_back(out);
    s.ejectDestination.push_back(out);
    for (std::uint8_t id : chain) {
        const Entry entry = ModuleEntry(id);
        s.currentModule.push_back(entry);
        const int type = Type(id);
        if (type != 0x1 && type != 0x2)
            s.moveDestination.push_back(entry);
        if (type == 0x2) {
            s.showHopperLine = true;
            s.ejectDestination.push_back(entry);
            const std::uint64_t status = statusOf ? statusOf(id) : 0;
            s.hopperLine.push_back(Entry{QStringLiteral("Auto"), 0});
            for (int hopper = 1; hopper <= 6; ++hopper) {
                if (!(status & (std::uint64_t{1} << (3 + hopper))))
                    continue;
                s.hopperLine.push_back(Entry{QString::number(hopper), hopper << 4});
                if (hopper <= 4)
                    s.hopLine.push_back(Entry{QString::number(hopper), hopper << 16});
            }
        } else if (type == 0x6) {
            s.ejectDestination.push_back(entry);
            s.flipper.push_back(entry);
            s.flipMoveFlipper.push_back(entry);
            s.errorBin.push_back(entry);
        } else {
            s.giveTo.push_back(entry);
        }
    }
    s.moveDestination.push_back(Entry{QString::asprintf("out [%02X]", 0xFF), 0xFF});
    return s;
}

int DefaultPositionIndex(const Entries& currentModule) {
    if (currentModule.size() > 1) {
        const int type = Type(static_cast<std::uint8_t>(currentModule[1].data));
        if (type == 0x1 || type == 0x2)
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
        return 0xFF;
    const int next = index + (direction == 1 ? 1 : -1);
    if (next < 0 || next >= static_cast<int>(chain.size()))
        return 0xFF;
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
    auto bit = [status](int n) { return (status >> n) & 1u; };
    return bit(21) && !bit(8) && (bit(9) || bit(10));
}

int FlipMoveProgress(const std::array<std::uint8_t, 3>& states, std::uint32_t* code) {
    bool running = false;
    for (std::uint8_t state : states) {
        if (state & 0x20) {
            if (code)
                *code = kFlipMoveCommandFailed;
            return -1;
        }
        running = running || (state & 0x10);
    }
    return running ? 1 : 0;
}

}  // namespace move
