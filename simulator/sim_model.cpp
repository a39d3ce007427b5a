// The model's helpers, and every state byte and status word derived from the model through the
// named bits of the shared module vocabulary.

#include <algorithm>
#include <cstring>

#include "sim_model.h"

#include "sim_events.h"

namespace sim {

namespace {

using vela::Bit;

constexpr int kAlmostEmptyCards = 10;

bool IsOutputHopper(const Module& m) {
    return m.Type() == vela::kTypeOutputHopper || m.Type() == vela::kTypeMultiOutputHopper;
}

// Any station of the module is running an operation.
bool StationBusy(const Module& m, Clock::time_point now) {
    return m.encoder.Busy(now) || m.ic.Busy(now) || m.rf.Busy(now) || m.scanner.Busy(now) ||
           m.printer.Busy(now);
}

std::uint64_t InputHopperStatus(const Module& m, bool busy, bool card) {
    namespace b = vela::input_hopper;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardEjecting) : Bit(b::kReadyToUse);
    const int cards = m.CardsInDecks();
    if (cards == 0)
        s |= Bit(b::kEmptyCard);
    if (cards > 0 && cards < kAlmostEmptyCards)
        s |= Bit(b::kAlmostEmptyCards);
    s |= Bit(b::kDetectCartridgeLockSensor) | Bit(b::kDetectCartridgeContactSensor);
    if (card)
        s |= Bit(b::kDetectCardOutSensor);
    return s;
}

std::uint64_t MultiInputHopperStatus(const Module& m, bool busy, bool card) {
    namespace b = vela::multi_input_hopper;
    constexpr int kLines = 6;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardEjecting) : Bit(b::kReadyToUse);
    for (const Deck& deck : m.decks) {
        if (deck.line < 1 || deck.line > kLines)
            continue;
        s |= Bit(b::kDetectHopper1 + deck.line - 1);
        if (deck.Empty())
            s |= Bit(b::kHopper1IsEmpty + deck.line - 1);
    }
    if (card)
        s |= Bit(b::kCardInSensorA0);
    return s;
}

std::uint64_t PrinterStatus(const Device& d, const Module& m, bool busy, bool card,
                            Clock::time_point now) {
    namespace b = vela::printer;
    const bool encoding = m.encoder.Busy(now);
    std::uint64_t s = busy ? Bit(b::kCardIsMoving) : 0;
    if (!busy && !StationBusy(m, now))
        s |= Bit(b::kReady);
    if (encoding)
        s |= Bit(b::kMagneticEncoding);
    if (m.encoder.installed)
        s |= Bit(b::kInternalEncoderIsInstalled);
    for (const Module& other : d.modules) {
        switch (other.Type()) {
            case vela::kTypeInputHopper:
            case vela::kTypeMultiInputHopper:
                s |= Bit(b::kExternalInputHopperIsInstalled);
                break;
            case vela::kTypeOutputHopper:
            case vela::kTypeMultiOutputHopper:
                s |= Bit(b::kExternalOutputHopperIsInstalled);
                break;
            case vela::kTypeLaminator:
                s |= Bit(b::kExternalLaminatorIsInstalled);
                break;
            case vela::kTypeFlipper:
                s |= Bit(b::kExternalFlipperIsInstalled);
                break;
            default:
                break;
        }
    }
    const int index = d.IndexOf(m.id);
    if (index > 0)
        s |= Bit(b::kModuleIsConnectedToLeft);
    if (index >= 0 && index + 1 < static_cast<int>(d.modules.size()))
        s |= Bit(b::kModuleIsConnectedToRight);
    if (d.keyLocked)
        s |= Bit(b::kKeyLockedState);
    if (card)
        s |= Bit(b::kDetectACard);
    if (d.manualMode)
        s |= Bit(b::kManualMode);
    if (d.testMode)
        s |= Bit(b::kTestMode);
    if (d.wrongPassword)
        s |= Bit(b::kWrongPassword);
    return s;
}

std::uint64_t LaminatorStatus(bool busy, bool card) {
    namespace b = vela::laminator;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardMoving) : Bit(b::kReadyState);
    if (card)
        s |= Bit(b::kDetectACardFromCenterSensorA);
    return s;
}

std::uint64_t FlipperStatus(const Module& m, bool busy, bool stationBusy, bool card) {
    namespace b = vela::flipper;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardMoving) : 0;
    if (!busy)
        s |= stationBusy ? Bit(b::kDoingCommand) : Bit(b::kReadyState);
    s |= m.facedDown ? Bit(b::kFacedToBottom) : Bit(b::kFacedToTop);
    if (card)
        s |= Bit(b::kDetectACardAtCenterSensor);
    if (m.boardV2) {
        s |= Bit(b::kBoardVer2);
        if (m.ic.installed) {
            s |= Bit(b::kDetectIcContactor);
            s |= m.ic.contacted ? Bit(b::kIcContactorContacted) : Bit(b::kIcContactorReleased);
        }
        if (!m.scanner.installed)
            s |= Bit(b::kNotInstalledScannerModule);
    }
    return s;
}

std::uint64_t LaserStatus(const Module& m, bool busy, bool stationBusy, bool card,
                          Clock::time_point now) {
    namespace b = vela::laser;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardMoving) : 0;
    if (!busy)
        s |= stationBusy ? Bit(b::kDoingCommand) : Bit(b::kReadyState);
    if (m.encoder.Busy(now))
        s |= Bit(b::kDoingMagneticRW);
    if (m.ic.Busy(now))
        s |= Bit(b::kIcContactorLifting);
    s |= m.facedDown ? Bit(b::kFacedToBottom) : Bit(b::kFacedToTop);
    if (card)
        s |= Bit(b::kDetectCardFromFlipperCenterSensor);
    return s;
}

std::uint64_t OutputHopperStatus(bool busy, bool card) {
    namespace b = vela::output_hopper;
    std::uint64_t s = busy ? Bit(b::kDoingCommand) | Bit(b::kCardInserting) : Bit(b::kReadyState);
    s |= Bit(b::kOutputHopperHaveSpace) | Bit(b::kDetectCartridgeLockSensor) |
         Bit(b::kDetectCartridgeContactSensor);
    if (card)
        s |= Bit(b::kDetectCardFromInSensor);
    return s;
}

}  // namespace

// ---- stations and modules ----

std::int32_t PrinterStation::SettingAt(size_t offset) const {
    std::int32_t value = 0;
    if (offset + sizeof value <= settings.size())
        std::memcpy(&value, settings.data() + offset, sizeof value);
    return value;
}

void PrinterStation::SetSettingAt(size_t offset, std::int32_t value) {
    if (offset + sizeof value <= settings.size())
        std::memcpy(settings.data() + offset, &value, sizeof value);
}

Deck* Module::DeckOfLine(int line) {
    for (Deck& deck : decks)
        if (deck.line == line)
            return &deck;
    return nullptr;
}

int Module::CardsInDecks() const {
    int n = 0;
    for (const Deck& deck : decks)
        n += deck.Count();
    return n;
}

// ---- device ----

Module* Device::FindModule(int id) {
    for (Module& m : modules)
        if (m.id == id)
            return &m;
    return nullptr;
}

const Module* Device::FindModule(int id) const {
    for (const Module& m : modules)
        if (m.id == id)
            return &m;
    return nullptr;
}

int Device::IndexOf(int id) const {
    for (size_t i = 0; i < modules.size(); ++i)
        if (modules[i].id == id)
            return static_cast<int>(i);
    return -1;
}

Module* Device::FirstPrinter() {
    for (Module& m : modules)
        if (m.Type() == vela::kTypePrinter)
            return &m;
    return nullptr;
}

const Module* Device::FirstPrinter() const {
    for (const Module& m : modules)
        if (m.Type() == vela::kTypePrinter)
            return &m;
    return nullptr;
}

Card* Device::CardAt(int module) {
    return card && module != kNoModule && cardModule == module ? &*card : nullptr;
}

void Device::PutCard(Card next, int module) {
    card = std::move(next);
    cardModule = module;
    if (Module* m = FindModule(module))
        m->position = 0;
}

void Device::MoveCardTo(int module) {
    if (card && module != cardModule) {
        card->LeaveStation();
        // A card arrives at a module's entry, off its stations.
        if (Module* m = FindModule(module))
            m->position = 0;
    }
    cardModule = card ? module : kNoModule;
}

Card Device::TakeCard() {
    Card taken = std::move(*card);
    taken.LeaveStation();
    card.reset();
    cardModule = kNoModule;
    return taken;
}

Card Device::HandFedCard() {
    return MakeCard(*profiles.at(kDefaultProfile), nextSerial++);
}

void Device::SetCardModule(int module) {
    if (module == kNoModule) {
        if (card)
            TakeCard();
    } else if (card) {
        MoveCardTo(module);
    } else {
        PutCard(HandFedCard(), module);
    }
}

void Device::Deliver(Card leaving, int module) {
    const int index = IndexOf(module);
    Module* target = nullptr;
    if (index >= 0 && IsOutputHopper(modules[static_cast<size_t>(index)]))
        target = &modules[static_cast<size_t>(index)];
    for (size_t i = static_cast<size_t>(std::max(index, 0)); !target && i < modules.size(); ++i)
        if (IsOutputHopper(modules[i]))
            target = &modules[i];
    for (auto it = modules.rbegin(); !target && it != modules.rend(); ++it)
        if (IsOutputHopper(*it))
            target = &*it;
    (target ? target->stack : outTray).Push(std::move(leaving));
}

std::uint64_t Device::Status(const Module& m, Clock::time_point now) const {
    const bool busy = m.Busy(now);
    const bool stationBusy = StationBusy(m, now);
    const bool holding = cardModule == m.id;
    std::uint64_t s = 0;
    switch (m.Type()) {
        case vela::kTypeInputHopper:
            s = InputHopperStatus(m, busy, holding);
            break;
        case vela::kTypeMultiInputHopper:
            s = MultiInputHopperStatus(m, busy, holding);
            break;
        case vela::kTypePrinter:
            s = PrinterStatus(*this, m, busy, holding, now);
            break;
        case vela::kTypeLaminator:
            s = LaminatorStatus(busy, holding);
            break;
        case vela::kTypeFlipper:
            s = m.IsLaser() ? LaserStatus(m, busy, stationBusy, holding, now)
                            : FlipperStatus(m, busy, stationBusy, holding);
            break;
        case vela::kTypeOutputHopper:
            s = OutputHopperStatus(busy, holding);
            break;
        default:
            break;
    }
    s = EventStatus(*this, m, s);
    return (s | m.statusSet) & ~m.statusClear;
}

std::uint8_t Device::State(const Module& m, Clock::time_point now) const {
    namespace b = vela::state;
    std::uint64_t s = 0;
    if (m.Busy(now) || StationBusy(m, now))
        s |= Bit(b::kActionRunning) | Bit(b::kCommandRunning);
    if (cardModule == m.id)
        s |= Bit(b::kDetectCard);
    if (m.lastCommandFailed)
        s |= Bit(b::kCommandFail);
    s = EventState(m, static_cast<std::uint8_t>(s));
    return static_cast<std::uint8_t>((s | m.stateSet) & ~m.stateClear);
}

}  // namespace sim
