#pragma once
// The card scanner of a flipper module as the SDK addresses it: encoder channel 0x10, reached
// through the encoder calls. Operation codes of Vela_RunEncoder, configuration identifiers of
// Vela_GetEncConfig2 / Vela_SetEncConfig2, and the records passed with them.

#include <cstdint>

#include "vela_platform.h"

namespace vela::scanner {

// The encoder channel (and Vela_ReadEncoder track mask) that is the scanner.
inline constexpr std::int32_t kChannel = 0x10;

// Vela_RunEncoder operations.
enum Operation : std::int32_t {
    kOpVersion = 10,          // buffer <- version text
    kOpSaveImageConfig = 11,  // one int32 in, the scanner's answer out
    kOpSaveImages = 12,       // ImagePathRecord: bitmaps of the last scan
    kOpBarcodeTop = 13,       // buffer <- decoded texts of the top side
    kOpBarcodeBottom = 14,    // buffer <- decoded texts of the bottom side
    kOpSetArea = 15,          // AreaRecord
    kOpReset = 16,            // one int32 in, the scanner's answer out
    kOpDoShading = 17,        // one int32 in, the scanner's answer out
    kOpRestoreDefault = 18,   // one int32 in, the scanner's answer out
};

// Vela_GetEncConfig2 / Vela_SetEncConfig2 configuration identifiers.
enum ConfigId : std::int32_t {
    kCfgImage = 10,    // ImageConfigRecord, read and write
    kCfgScanner = 11,  // ScannerConfigRecord, read only
    kCfgGain = 12,     // one int32
    kCfgOffset = 13,
    kCfgSpeed = 14,
    kCfgShading = 15,
};

// Buffer sizes the test bench passes, in bytes.
inline constexpr std::int32_t kBarcodeBufferBytes = 1024;
inline constexpr std::int32_t kVersionBufferBytes = 128;

struct ImageConfigRecord {
    std::int32_t dpi, mode, side, face, drop;
};

struct ScannerConfigRecord {
    std::int32_t dpi, mode, side, face, drop, width, height, gain, offset, speed, state, cline,
        sline, trigger, shading, monitoring;
};

struct AreaRecord {
    std::int32_t x1, y1, x2, y2;
};

// Where operation 12 writes the images of the last scan: two zero-terminated UTF-16 paths. The
// record holds two pointers, so its length is the platform's: 8 bytes on a 32-bit build, 16 on
// a 64-bit one.
struct ImagePathRecord {
    const VelaChar* top;
    const VelaChar* bottom;
};

static_assert(sizeof(ImageConfigRecord) == 20);
static_assert(sizeof(ScannerConfigRecord) == 64);
static_assert(sizeof(AreaRecord) == 16);
static_assert(sizeof(ImagePathRecord) == 2 * sizeof(void*));

}  // namespace vela::scanner
