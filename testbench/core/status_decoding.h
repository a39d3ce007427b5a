#pragma once
// The decoding of every module's state byte and 64-bit status word into coloured text lines,
// plus the off-screen rendering of the "Device Status" panel. Module ids, types and named bits
// come from the shared module vocabulary, module names from module_labels.h. Widget-free: the
// status polling thread calls RenderStatusPanel directly.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

#include "module_labels.h"
#include "vela_modules.h"

// Number of module slots the main window shows (pictures, polling and status lines).
inline constexpr int kModuleSlotCount = 10;

// Severity of a decoded line; each has its text colour (SeverityColor).
inline constexpr int kSeverityPlain = 0;     // black
inline constexpr int kSeverityActivity = 1;  // blue-violet
inline constexpr int kSeverityError = 2;     // orange-red
inline constexpr int kSeverityFatal = 3;     // red

// One displayed module: id (0 = empty slot), last polled state byte and status word.
struct ModuleSlot {
    std::uint8_t id = 0;
    std::uint8_t state = 0;
    std::uint64_t status = 0;
};

// One decoded line; an empty text means "no line".
struct DecodedLine {
    QString text;
    int severity = kSeverityPlain;
};

// Text colour of a severity; an unknown severity is drawn black.
QColor SeverityColor(int severity);

// Line for bit 0-7 of a state byte (same meaning for every module type). A clear bit, bits 6
// and 7 and a bit outside 0-7 yield an empty line.
DecodedLine DescribeStateBit(std::uint8_t state, int bit);

// Line for bit 0-63 of the status word of module `id`, decoded with the table of its type.
// A clear bit, a bit outside 0-63 and a module type without table yield an empty line.
DecodedLine DescribeStatusBit(std::uint8_t id, std::uint64_t status, int bit);

// The same, taking the state byte / status word of the slot whose id matches (0 if none
// matches). `moduleSlots` may be null when `count` is 0.
DecodedLine DescribeStateBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit);
DecodedLine DescribeStatusBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit);

// Drawing area of the panel inside the group box's client rectangle: inset by 4 pixels left,
// right and bottom and 16 at the top. Empty when the group box is too small.
QRect StatusPanelArea(const QRect& groupClientRect);

// Draws the 10 slots into an image of the drawing area's size (StatusPanelArea of a client
// rectangle of `groupClientSize`); the caller shows it at the area's offset. Slots with id 0x00
// or 0xFF are skipped; lines below the area are clipped. Safe to call from a non-GUI thread.
QImage RenderStatusPanel(const ModuleSlot moduleSlots[kModuleSlotCount], QSize groupClientSize);
