#pragma once
// The Expert page's rules without widgets: its module choice, the card move button's caption,
// the iteration count box, and the printer commands it sends.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "vela_types.h"

namespace expert {

// The printer fan test command frame for Vela_ExCmdSend.
inline constexpr std::array<std::uint8_t, 3> kFanCommand = {0x40, 0x70, 0x01};

// The card move test: the sensor and distance of each move.
inline constexpr int kForwardSensor = 3;
inline constexpr int kForwardDistance = 430;
inline constexpr int kBackSensor = 0;
inline constexpr int kBackDistance = -430;
inline constexpr int kFinalDistance = -700;

// The module the page selects on a module update: the first printer or laminator of the chain,
// none when there is neither. The count is untrusted and clamped to the record.
std::optional<std::uint8_t> DefaultModule(const ConnectedModuleList& modules);

// "[P1] Card Move Test" for a printer (the low nibble of its id), "[P#] Card Move Test"
// otherwise.
QString CardMoveCaption(std::uint8_t module);

// Whether `module` is a printer (0x40 to 0x4F).
bool IsPrinter(std::uint8_t module);

// The number of iterations box: nullopt when it is empty (blanks only count as empty), else its
// decimal value, 1 when the text is not a number.
std::optional<int> IterationCount(const QString& text);

}  // namespace expert
