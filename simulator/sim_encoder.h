#pragma once
// The magnetic stripe encoders of a printer module and of the laser unit: their positions, which
// the transport shares.

#include "sim_state.h"

namespace sim {

// Vela_CardMovePosition's encoder positions: the laser unit writes at the first and reads at
// the second; a printer's internal encoder takes the card anywhere in the printer.
inline constexpr int kEncoderWritePosition = 1;
inline constexpr int kEncoderReadPosition = 6;

// Vela_CardMovePosition's part for the encoder positions: a module without an encoder refuses
// them, and the card moved there is remembered as the one the encoder faces. kOk for any other
// position.
VelaResult MoveToEncoderPosition(Device& d, Module& m, int position);

}  // namespace sim
