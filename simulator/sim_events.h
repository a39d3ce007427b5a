#pragma once
// Named events raised on a running printer system (a card jam, an open cover, an empty ribbon or
// hopper) and what the model answers while they last: the status bits they show and the
// commands they refuse, until the errors are cleared.

#include <string>

#include "sim_model.h"
#include "vela_platform.h"

namespace sim {

// What an event refuses a command on `module` (null: a command of the device as a whole, such
// as a print): kErrCoverOpen while the cover is open, kErrJammed while the module is jammed,
// kOk otherwise.
VelaResult EventRefusal(const Device& d, const Module* module);

// The derived status word and state byte of a module with what the events show on it.
std::uint64_t EventStatus(const Device& d, const Module& m, std::uint64_t derived);
std::uint8_t EventState(const Module& m, std::uint8_t derived);

// Raises a named event: "jam" and "hopper-empty" on `module`, "cover-open", "ribbon-out" and
// "clear-errors" on the device (`module` is not used). kErrBadArgument for an unknown event,
// a missing module or a module the event does not apply to.
VelaResult RaiseEvent(Device& d, const std::string& event, Module* module);

// True when `event` names an event, and whether it needs a module.
bool IsEvent(const std::string& event, bool* needsModule = nullptr);

}  // namespace sim
