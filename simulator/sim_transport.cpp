// Card transport: the card really moves between the modules of the chain, the modules it
// passes are busy for the operation's time, and moves that cannot happen are refused.
//
// Directions: 0 = left (towards the first module of the chain), 1 = right. A command sent with
// flags = 1 is queued: it returns at once and takes effect with the card-out that starts the
// transport ("Card Flip Move"); flags = 0 runs the command to its end before returning.
// The card in transport is a value (sim_card.h): it keeps what it holds wherever it goes, and
// is turned by every flip.

#include <algorithm>
#include <cstdlib>

#include "sim_chips.h"
#include "sim_encoder.h"
#include "sim_events.h"
#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

// Lifelike durations in milliseconds (scaled by the time factor).
constexpr int kMoveMs = 1200;
constexpr int kEjectMs = 1000;
constexpr int kFlipMs = 1500;
constexpr int kStepMs = 600;
constexpr int kSensorMs = 400;
constexpr int kLongestTravel = 5000;  // ms added to a sensor move at most (1 ms per step)
constexpr int kPositionMs = 300;
constexpr int kCommandMs = 100;
constexpr int kFanTestMs = 3000;
constexpr int kNoCard = kNoModule;

// The neighbour of `index` in `direction`, or null at the end of the chain.
Module* Neighbour(Device& d, int index, int direction) {
    int next = index + (direction == 0 ? -1 : 1);
    if (next < 0 || next >= static_cast<int>(d.modules.size()))
        return nullptr;
    return &d.modules[static_cast<size_t>(next)];
}

// Takes the top card of a hopper's deck; `line` picks a hopper of a multi-input hopper
// (0x10 = hopper 1 ... 0x60 = hopper 6, 0 = the first one with cards).
VelaResult TakeFromHopper(Module& hopper, int line, std::optional<Card>& card) {
    if (hopper.Type() == vela::kTypeInputHopper) {
        Deck* deck = hopper.DeckOfLine(0);
        if (deck == nullptr || deck->Empty())
            return kErrHopperEmpty;
        card = deck->Take();
        return kOk;
    }
    for (Deck& deck : hopper.decks) {
        bool chosen = line == 0 ? !deck.Empty() : deck.line == (line >> 4);
        if (!chosen)
            continue;
        if (deck.Empty())
            return kErrHopperEmpty;
        card = deck.Take();
        return kOk;
    }
    return line == 0 ? kErrHopperEmpty : kErrBadArgument;
}

void Finish(Simulator& s, Module& m, int ms, bool queued) {
    s.Occupy(m, ms);
    m.lastCommandFailed = false;
    if (!queued)
        s.BlockFor(ms);
}

// "Card Flip" arms a flipper to turn the card that arrives and give it back; "Card Flip Move"
// stages one to turn the card that passes through.
VelaResult ArmFlipper(const char* fn, VelaHandle h, std::int32_t module, std::int32_t bits,
                      std::int32_t flags, bool Module::*stage) {
    return Simulator::Instance().Run(fn, {h, module, bits, flags}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = s.Target(h, module, d, m); r != kOk)
            return r;
        if (m->Type() != vela::kTypeFlipper)
            return kErrBadArgument;
        m->*stage = true;
        return kOk;
    });
}

}  // namespace

// A move from a hopper takes the top card of its deck (or the card waiting at its exit); from
// "out" it takes a card fed by hand; to "out" the card leaves the chain into an output stack.
extern "C" VelaResult VELA_API Vela_CardMove2(VelaHandle h, std::int32_t source,
                                              std::int32_t hopperLine, std::int32_t destination,
                                              std::int32_t a, std::int32_t b) {
    return Simulator::Instance().Run(
        "Vela_CardMove2", {h, source, hopperLine, destination, a, b}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            Module* dest = destination == kNoCard ? nullptr : d->FindModule(destination);
            if (destination != kNoCard && (dest == nullptr))
                return kErrNoModule;
            if (dest != nullptr && dest->IsHopper())
                return kErrBadArgument;
            Module* src = source == kNoCard ? nullptr : d->FindModule(source);
            if (source != kNoCard && src == nullptr)
                return kErrNoModule;
            for (const Module* end : {src, dest})
                if (VelaResult r = EventRefusal(*d, end); r != kOk)
                    return r;
            if ((src && src->Busy(s.Now())) || (dest && dest->Busy(s.Now())))
                return kErrBusy;
            std::optional<Card> entering;
            if (src != nullptr && src->IsHopper()) {
                // The transport must be free.
                if (d->cardModule != kNoCard && d->cardModule != source)
                    return kErrBusy;
                if (d->CardAt(source) == nullptr) {
                    if (VelaResult r = TakeFromHopper(*src, hopperLine, entering); r != kOk) {
                        src->lastCommandFailed = true;
                        return r;
                    }
                }
            } else if (src == nullptr) {
                if (d->cardModule != kNoCard)
                    return kErrBusy;
                entering = d->HandFedCard();
            } else if (d->CardAt(source) == nullptr) {
                return kErrNoCard;
            }
            Card card = entering ? std::move(*entering) : d->TakeCard();
            if (dest != nullptr)
                d->PutCard(std::move(card), destination);
            else
                d->Deliver(std::move(card), source);
            if (src)
                s.Occupy(*src, kMoveMs);
            if (dest)
                s.Occupy(*dest, kMoveMs);
            s.BlockFor(kMoveMs);
            return kOk;
        });
}

// Ejects the card: out of the system into an output stack, back onto a multi-input hopper's
// deck, or into a flipper.
extern "C" VelaResult VELA_API Vela_CardEject2(VelaHandle h, std::int32_t module, std::int32_t a,
                                               std::int32_t destination, std::int32_t extra) {
    return Simulator::Instance().Run(
        "Vela_CardEject2", {h, module, a, destination, extra}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
                return r;
            if (destination == kNoCard) {
                d->Deliver(d->TakeCard(), module);
            } else {
                Module* dest = d->FindModule(destination);
                if (dest == nullptr)
                    return kErrNoModule;
                if (VelaResult r = EventRefusal(*d, dest); r != kOk)
                    return r;
                if (dest->Type() == vela::kTypeMultiInputHopper) {
                    // Back into one of the multi-input hopper's hoppers; a hopper that is
                    // not fitted cannot take it.
                    const int line = (extra >> 16) & 0xF;
                    if (dest->Busy(s.Now()))
                        return kErrBusy;
                    Deck* target = nullptr;
                    for (Deck& deck : dest->decks)
                        if (deck.line == line || line == 0) {
                            target = &deck;
                            break;
                        }
                    if (target == nullptr)
                        return kErrBadArgument;
                    target->PutOnTop(d->TakeCard());
                } else if (dest->Type() == vela::kTypeFlipper) {
                    d->MoveCardTo(destination);
                } else {
                    return kErrBadArgument;
                }
                s.Occupy(*dest, kEjectMs);
            }
            Finish(s, *m, kEjectMs, false);
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_CardPass(VelaHandle h, std::int32_t module,
                                             std::int32_t passFlags, std::int32_t flags) {
    return ArmFlipper("Vela_CardPass", h, module, passFlags, flags, &Module::armedPass);
}

extern "C" VelaResult VELA_API Vela_CardMoveQuick(VelaHandle h, std::int32_t module,
                                                  std::int32_t direction, std::int32_t flags) {
    return Simulator::Instance().Run(
        "Vela_CardMoveQuick", {h, module, direction, flags}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
                return r;
            Module* next = Neighbour(*d, d->IndexOf(module), direction);
            if (next == nullptr)
                return kErrBadArgument;
            if (VelaResult r = EventRefusal(*d, next); r != kOk)
                return r;
            if (next->armedPass) {
                // The armed flipper turns the card and gives it straight back.
                next->armedPass = false;
                next->facedDown = !next->facedDown;
                d->CardAt(module)->Flip();
                s.Occupy(*next, kFlipMs);
                Finish(s, *m, kFlipMs, flags == 1);
            } else {
                d->MoveCardTo(next->id);
                s.Occupy(*next, kStepMs);
                Finish(s, *m, kStepMs, flags == 1);
            }
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_CardIn(VelaHandle h, std::int32_t module,
                                           std::int32_t direction, std::int32_t flags) {
    return Simulator::Instance().Run(
        "Vela_CardIn", {h, module, direction, flags}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.Target(h, module, d, m); r != kOk)
                return r;
            if (flags == 1) {
                m->stagedIn = true;  // waits for the card the transport brings
                return kOk;
            }
            // Take the card from the neighbour on that side; a module with no neighbour there
            // takes a card fed by hand when the system holds none.
            Module* from = Neighbour(*d, d->IndexOf(module), direction);
            if (from != nullptr && d->CardAt(from->id) != nullptr)
                if (VelaResult r = EventRefusal(*d, from); r != kOk)
                    return r;
            if (from == nullptr && d->cardModule == kNoCard) {
                d->PutCard(d->HandFedCard(), module);
                Finish(s, *m, kStepMs, false);
                return kOk;
            }
            if (from == nullptr || d->CardAt(from->id) == nullptr) {
                if (d->CardAt(module) != nullptr)
                    return kOk;  // already here
                return kErrNoCard;
            }
            d->MoveCardTo(module);
            s.Occupy(*from, kStepMs);
            Finish(s, *m, kStepMs, false);
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_CardFlipPass(VelaHandle h, std::int32_t module,
                                                 std::int32_t flipFlags, std::int32_t flags) {
    return ArmFlipper("Vela_CardFlipPass", h, module, flipFlags, flags, &Module::stagedFlip);
}

extern "C" VelaResult VELA_API Vela_CardOut(VelaHandle h, std::int32_t module,
                                            std::int32_t direction, std::int32_t flags) {
    return Simulator::Instance().Run(
        "Vela_CardOut", {h, module, direction, flags}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
                return r;
            const int index = d->IndexOf(module);
            // With a module ahead staged to take the card, the card travels to it, turned by
            // every flipper staged on the way; otherwise it moves one step.
            std::vector<Module*> ahead;
            for (Module* next = Neighbour(*d, index, direction); next != nullptr;
                 next = Neighbour(*d, d->IndexOf(next->id), direction))
                ahead.push_back(next);
            std::vector<Module*> path;
            for (Module* next : ahead) {
                path.push_back(next);
                if (next->stagedIn)
                    break;
            }
            if (path.empty() || !path.back()->stagedIn)
                path.resize(std::min<size_t>(1, path.size()));
            for (const Module* p : path)
                if (VelaResult r = EventRefusal(*d, p); r != kOk)
                    return r;
            int end = path.empty() ? index : d->IndexOf(path.back()->id);
            if (path.empty()) {
                // Out of the end of the chain: on the right into an output stack, on the
                // left into the tray.
                Card card = d->TakeCard();
                if (direction == 0)
                    d->outTray.Push(std::move(card));
                else
                    d->Deliver(std::move(card), module);
                Finish(s, *m, kStepMs, flags == 1);
                return kOk;
            }
            Module* last = &d->modules[static_cast<size_t>(end)];
            const int ms = flags == 1 ? kFlipMs + kStepMs : kStepMs;
            for (Module* p : path) {
                if (p->stagedFlip) {
                    p->facedDown = !p->facedDown;
                    d->CardAt(module)->Flip();
                }
                p->stagedFlip = false;
                s.Occupy(*p, ms);
            }
            last->stagedIn = false;
            d->MoveCardTo(last->id);
            Finish(s, *m, ms, flags == 1);
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_CardMoveSensor(VelaHandle h, std::int32_t module,
                                                   std::int32_t option, std::int32_t distance,
                                                   std::int32_t speed) {
    return Simulator::Instance().Run(
        "Vela_CardMoveSensor", {h, module, option, distance, speed}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
                return r;
            if (speed < 0)
                return kErrBadArgument;
            // A printer's right sensor holds its card over the contactless reader.
            if (m->Type() == vela::kTypePrinter)
                PlaceCard(*d, *m, option == kRfSensor && m->rf.installed ? kRfPosition : 0);
            // The card travels `distance` past the sensor; longer moves take longer.
            Finish(s, *m, kSensorMs + std::min(std::abs(distance), kLongestTravel), false);
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_CardMovePosition(VelaHandle h, std::int32_t module,
                                                     std::int32_t position) {
    return Simulator::Instance().Run(
        "Vela_CardMovePosition", {h, module, position}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
                return r;
            if (position < 0 || position > 8)
                return kErrBadArgument;
            // 1 and 6: the encoder's write and read positions (each needs an encoder).
            if (VelaResult r = MoveToEncoderPosition(*d, *m, position); r != kOk)
                return r;
            // 2: IC position, 3: RF position (each needs its station), 4: restored.
            if (VelaResult r = CheckPosition(*m, position); r != kOk)
                return r;
            PlaceCard(*d, *m, position);
            Finish(s, *m, kPositionMs, false);
            return kOk;
        });
}

// The card goes into the error bin of a flipper, where it is kept.
extern "C" VelaResult VELA_API Vela_CardEjectBin(VelaHandle h, std::int32_t module,
                                                 std::int32_t bin) {
    return Simulator::Instance().Run("Vela_CardEjectBin", {h, module, bin}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = s.TargetHolding(h, module, d, m); r != kOk)
            return r;
        Module* binModule = d->FindModule(bin);
        if (binModule == nullptr)
            return kErrNoModule;
        if (VelaResult r = EventRefusal(*d, binModule); r != kOk)
            return r;
        if (binModule->Type() != vela::kTypeFlipper)
            return kErrBadArgument;
        binModule->stack.Push(d->TakeCard());
        s.Occupy(*binModule, kEjectMs);
        Finish(s, *m, kEjectMs, false);
        return kOk;
    });
}

// Raw commands. The key-lock frame: 0x60 0x16, the printer's module id, the preemption token
// (little-endian), 1 = lock or 2 = unlock. Three-byte frames are printer test commands; the fan
// test (0x40 0x70 0x01) runs the printer's fans for a while, its station busy meanwhile.
extern "C" VelaResult VELA_API Vela_ExCmdSend(VelaHandle h, const std::uint8_t* command,
                                              std::int32_t length) {
    return Simulator::Instance().Run(
        "Vela_ExCmdSend", {h, Hex{command, length}, length}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (command == nullptr || length <= 0)
                return kErrBadArgument;
            if (length == 6 && command[0] == 0x60 && command[1] == 0x16) {
                Module* m = d->FindModule(command[2]);
                if (m == nullptr)
                    return kErrNoModule;
                if (m->Type() != vela::kTypePrinter)
                    return kErrBadArgument;
                const std::uint16_t token =
                    static_cast<std::uint16_t>(command[3] | (command[4] << 8));
                if (d->preemptionToken == 0xFFFF || token != d->preemptionToken)
                    return kErrNotPreempted;
                if (command[5] != 1 && command[5] != 2)
                    return kErrBadArgument;
                d->keyLocked = command[5] == 1;
                Finish(s, *m, kCommandMs, false);
                return kOk;
            }
            if (length == 3 && command[0] == 0x40 && command[1] == 0x70 && command[2] == 0x01) {
                Module* printer = d->FindModule(vela::kModulePrinter);
                if (printer == nullptr)
                    return kErrNoModule;
                if (printer->Busy(s.Now()) || printer->printer.Busy(s.Now()))
                    return kErrBusy;
                s.Occupy(printer->printer, kFanTestMs);
                return kOk;
            }
            if (length == 3) {
                Module* printer = d->FindModule(vela::kModulePrinter);
                if (printer)
                    Finish(s, *printer, kCommandMs, false);
                return kOk;
            }
            return kErrBadArgument;
        });
}
