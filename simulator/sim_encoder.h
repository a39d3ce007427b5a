#pragma once
// The magnetic stripe encoders of a printer module and of the laser unit: the rules the
// transport and the scanner share with them.

#include "sim_state.h"

namespace sim {

// Vela_CardMovePosition's encoder positions: the laser unit writes at the first and reads at
// the second; a printer's internal encoder takes the card anywhere in the printer.
inline constexpr int kEncoderWritePosition = 1;
inline constexpr int kEncoderReadPosition = 6;
// The scanner of a flipper is the encoder interface's channel 0x10.
inline constexpr int kScannerChannel = 0x10;

// Vela_CardMovePosition's part for the encoder positions: a module without an encoder refuses
// them, and the card moved there is remembered as the one the encoder faces. kOk for any other
// position.
VelaResult MoveToEncoderPosition(Simulator& s, Device& d, Module& m, int position);

// Vela_ReadEncoder on the scanner channel: a scan, run under the model's lock like any export
// body. The scanner's file defines it; until then the channel answers "not supported".
VelaResult ScannerScan(Simulator& s, VelaHandle h, std::int32_t module);

}  // namespace sim
