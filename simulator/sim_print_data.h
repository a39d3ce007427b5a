#pragma once
// Print data: the bytes Vela_PrintDocument makes for one page and Vela_ExWriteData takes back
// from the caller to queue a print job. A 20-byte header, then the printed picture:
//
//   0  "VPRN"            4  uint16 version (1)   6  uint16 job id
//   8  uint8 printer module id                   9  uint8 page index (0-3)
//   10 uint16 0          12 uint32 width         16 uint32 height
//   20 width x height pixels, 3 bytes each (red, green, blue), top row first
//
// Numbers are little-endian. The card is always kCardWidth x kCardHeight.

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <optional>

namespace sim {

inline constexpr int kPrintDataHeaderSize = 20;

struct PrintPage {
    std::uint16_t id = 0;
    std::uint8_t module = 0;
    int page = 0;
    QImage image;  // kCardWidth x kCardHeight
};

QByteArray EncodePrintData(const PrintPage& page);
// Checks the bytes against the layout above; nullopt for anything else.
std::optional<PrintPage> DecodePrintData(const std::uint8_t* data, std::int64_t size);

}  // namespace sim
