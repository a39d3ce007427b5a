#pragma once
// The two lists the SDK fills in, read as untrusted input: the device list (which devices the
// programs offer) and the module chain of a connected printer system. Counts are clamped to
// the record's room, names are read only up to their buffer, and a list whose call failed
// yields nothing. Widget-free, so both programs share it.

#include <QStringList>

#include <cstdint>
#include <vector>

#include "vela_types.h"

namespace sdk_lists {

// The names of the device list's entries of the printer family (device types 0x3700-0x370F),
// in list order; none when the listing call returned `result` != 0.
QStringList PrinterDeviceNames(VelaResult result, const DeviceList& list);

// A module list fit to keep and hand on: the count clamped to 0..32 and every entry past it
// zeroed, so that no reader meets ids the SDK did not mean.
ConnectedModuleList CleanModuleList(const ConnectedModuleList& raw);

// The module ids of a module list in chain order (card input end first), count clamped.
std::vector<std::uint8_t> ModuleChain(const ConnectedModuleList& list);

}  // namespace sdk_lists
