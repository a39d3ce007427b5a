// Named events: what each one changes in the model, the bits it shows and the commands it
// refuses. Every effect lives in the model (a jammed module, an open cover, an empty ribbon,
// decks set aside), so the snapshot, the status words and the refusals agree.

#include "sim_events.h"

#include <algorithm>

#include "sim_codes.h"
#include "sim_control_calls.h"
#include "sim_state.h"

namespace sim {

namespace {

using vela::Bit;

constexpr int kNoBit = -1;

struct EventName {
    const char* name;
    bool needsModule;
};
constexpr EventName kEvents[] = {
    {"jam", true},         {"hopper-empty", true},  {"cover-open", false},
    {"ribbon-out", false}, {"clear-errors", false},
};

// The status bit a card jam shows on a module of this type.
int JamBit(const Module& m) {
    switch (m.Type()) {
        case vela::kTypeInputHopper:
            return vela::input_hopper::kErrorWhileEjectCard;
        case vela::kTypeMultiInputHopper:
            return vela::multi_input_hopper::kCardOutError;
        case vela::kTypePrinter:
            return vela::printer::kFailedToMoveCard;
        case vela::kTypeLaminator:
            return vela::laminator::kErrorWhileMoveCard;
        case vela::kTypeFlipper:
            return m.IsLaser() ? vela::laser::kCardMovingError : vela::flipper::kCardMovingError;
        case vela::kTypeOutputHopper:
            return vela::output_hopper::kErrorWhileInsertCard;
        default:
            return kNoBit;
    }
}

// The status bit that says the module is ready for a command.
int ReadyBit(const Module& m) {
    switch (m.Type()) {
        case vela::kTypeInputHopper:
            return vela::input_hopper::kReadyToUse;
        case vela::kTypeMultiInputHopper:
            return vela::multi_input_hopper::kReadyToUse;
        case vela::kTypePrinter:
            return vela::printer::kReady;
        case vela::kTypeLaminator:
            return vela::laminator::kReadyState;
        case vela::kTypeFlipper:
            return m.IsLaser() ? vela::laser::kReadyState : vela::flipper::kReadyState;
        case vela::kTypeOutputHopper:
            return vela::output_hopper::kReadyState;
        default:
            return kNoBit;
    }
}

bool HasRibbon(const Module& m) {
    return m.Type() == vela::kTypePrinter && m.printer.installed;
}

// Takes every non-empty deck out of a hopper; a hopper line keeps one set-aside deck, the
// latest.
void EmptyHopper(Module& hopper) {
    for (Deck& deck : hopper.decks) {
        if (deck.Empty())
            continue;
        std::erase_if(hopper.setAside, [&](const Deck& kept) { return kept.line == deck.line; });
        hopper.setAside.push_back(deck);
        deck.fresh = 0;
        deck.returned.clear();
    }
}

// Gives set-aside decks back to the hopper lines that are still empty; a line that was filled
// meanwhile keeps its new cards.
void RefillHopper(Module& hopper) {
    for (Deck& kept : hopper.setAside) {
        Deck* line = hopper.DeckOfLine(kept.line);
        if (line != nullptr && line->Empty())
            *line = std::move(kept);
    }
    hopper.setAside.clear();
}

void ClearErrors(Device& d) {
    d.coverOpen = false;
    for (Module& m : d.modules) {
        m.jammed = false;
        m.lastCommandFailed = false;
        RefillHopper(m);
        // A fresh roll for an empty ribbon.
        if (HasRibbon(m) && m.printer.ribbon.remaining <= 0)
            m.printer.ribbon.remaining = m.printer.ribbon.capacity;
    }
}

}  // namespace

VelaResult EventRefusal(const Device& d, const Module* module) {
    if (d.coverOpen)
        return kErrCoverOpen;
    if (module != nullptr && module->jammed)
        return kErrJammed;
    return kOk;
}

std::uint64_t EventStatus(const Device& d, const Module& m, std::uint64_t derived) {
    std::uint64_t s = derived;
    const int ready = ReadyBit(m);
    const bool stopped = m.jammed || (d.coverOpen && m.Type() == vela::kTypePrinter);
    if (stopped && ready != kNoBit)
        s &= ~Bit(ready);
    if (const int jam = JamBit(m); m.jammed && jam != kNoBit)
        s |= Bit(jam);
    if (m.Type() == vela::kTypePrinter && d.coverOpen)
        s |= Bit(vela::printer::kCaseIsOpened);
    if (HasRibbon(m) && m.printer.ribbon.remaining <= 0)
        s |= Bit(vela::printer::kRibbonIsEmpty);
    return s;
}

std::uint8_t EventState(const Module& m, std::uint8_t derived) {
    if (!m.jammed)
        return derived;
    return static_cast<std::uint8_t>(derived | Bit(vela::state::kActionFail) |
                                     Bit(vela::state::kCommandFail));
}

bool IsEvent(const std::string& event, bool* needsModule) {
    for (const EventName& e : kEvents)
        if (event == e.name) {
            if (needsModule != nullptr)
                *needsModule = e.needsModule;
            return true;
        }
    return false;
}

VelaResult RaiseEvent(Device& d, const std::string& event, Module* module) {
    bool needsModule = false;
    if (!IsEvent(event, &needsModule) || (needsModule && module == nullptr))
        return kErrBadArgument;
    const bool hasPrinter = std::any_of(d.modules.begin(), d.modules.end(), HasRibbon);
    if (event == "jam") {
        module->jammed = true;
    } else if (event == "hopper-empty") {
        if (!module->IsHopper())
            return kErrBadArgument;
        EmptyHopper(*module);
    } else if (event == "cover-open") {
        if (!hasPrinter)
            return kErrNoModule;
        d.coverOpen = true;
    } else if (event == "ribbon-out") {
        if (!hasPrinter)
            return kErrNoModule;
        for (Module& m : d.modules)
            if (HasRibbon(m))
                m.printer.ribbon.remaining = 0;
    } else {
        ClearErrors(d);
    }
    return kOk;
}

}  // namespace sim

using namespace sim;

extern "C" VELA_EXPORT_ATTR VelaResult VELA_API VelaSim_Event(const char* device, const char* event,
                                                              int module) {
    bool needsModule = false;
    if (event == nullptr || !IsEvent(event, &needsModule))
        return kErrBadArgument;
    return Simulator::Instance().Locked([&](Simulator& s) {
        Device* d = s.ByName(device);
        if (d == nullptr)
            return kErrDeviceNotFound;
        Module* m = needsModule ? d->FindModule(module) : nullptr;
        if (needsModule && m == nullptr)
            return kErrNoModule;
        return RaiseEvent(*d, event, m);
    });
}
