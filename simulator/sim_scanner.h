#pragma once
// The card scanner of a flipper (encoder channel 0x10): what it makes of a card, and how it
// answers through the caller's buffers. The exports live in sim_scanner.cpp.

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

#include "sim_card.h"
#include "sim_document.h"
#include "vela_platform.h"

namespace sim::scanner {

// The card (kCardWidth x kCardHeight) is at 300 dpi; other resolutions scale it.
inline constexpr int kBaseDpi = 300;
inline constexpr int kMinDpi = 100;
inline constexpr int kMaxDpi = 600;
// Image modes: colour, grey, black and white.
inline constexpr int kModeColour = 0;
inline constexpr int kModeGrey = 1;
inline constexpr int kModeMono = 2;
// The colour of a contact chip's pad.
inline const QColor kChipGold{0xD4, 0xAF, 0x37};
// Scanning area coordinates are pixels of the scan, 0 to this.
inline constexpr std::int32_t kMaxAreaCoordinate = 99999;

// The size of a whole card side at `dpi` (clamped to kMinDpi..kMaxDpi).
QSize CardSize(int dpi);

// One side of `card` as the scanner sees it: the picture printed on it (a white card when
// nothing was), the contact chip on the top side, its edge, and the side's barcode drawn as
// Code 39 bars with the text beneath.
QImage RenderSide(const Card& card, CardSide side, int dpi, int mode);

// The part of `image` inside the scanning area (x1, y1, x2, y2 in pixels); a null image when
// the area misses the image.
QImage CropToArea(const QImage& image, const std::array<std::int32_t, 4>& area);

// Code 39 of `text` as modules, true = bar: start and stop characters, narrow elements one
// module, wide ones three, one narrow space between characters. Lower-case letters are drawn
// as capitals, characters Code 39 lacks as "-".
std::vector<bool> Code39(const QString& text);

// The decoded texts of one side as the scanner reports them: a card side carries one barcode,
// none when its text is empty.
QStringList SideTexts(const QString& barcode);

// Writes `texts` into a caller's buffer of `bytes` bytes: each text zero-terminated, then an
// empty text. Only whole texts are written, and nothing past the buffer. Returns the bytes the
// whole list needs; `complete` says whether all of it was written.
struct Packed {
    std::int32_t needed = 0;
    bool complete = false;
};
Packed PackTexts(const QStringList& texts, VelaChar* buffer, std::int32_t bytes);

}  // namespace sim::scanner

namespace sim {

class Simulator;

// Scans the card in `module`: the body of Vela_ReadEncoder on the scanner's channel, run under
// the model's lock.
VelaResult ScannerScan(Simulator& s, VelaHandle h, std::int32_t module);

}  // namespace sim
