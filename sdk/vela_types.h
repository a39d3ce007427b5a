#pragma once
// Records that cross the SDK boundary. Plain structs whose sizes and field offsets are fixed by
// the SDK; every offset the programs rely on is checked at compile time.

#include <cstddef>
#include <cstdint>

#include "vela_platform.h"

inline constexpr int kMaxDevices = 32;
inline constexpr int kMaxModules = 32;

struct DeviceListEntry {
    VelaChar description[256];  // not read by either program
    VelaChar name[256];         // shown in the device selector, passed to the open functions
    std::uint32_t type;         // listed only when (type & ~0xF) == 0x3700
};

struct DeviceList {
    std::int32_t count;  // valid entries, at most 32 (untrusted: clamp before use)
    DeviceListEntry entries[kMaxDevices];
};

struct DeviceInfo {
    std::uint8_t reserved0[256];
    VelaChar printerId[64];  // byte 256
    std::uint8_t reserved1[1432 - 256 - 128];
    VelaChar icReaderName[64];   // byte 1432
    VelaChar simReaderName[64];  // byte 1560
    VelaChar rfReaderName[64];   // byte 1688
    VelaChar rfReaderName2[64];  // byte 1816
};

struct ConnectedModuleEntry {
    std::uint8_t id;    // module id: high nibble type, low nibble instance
    std::uint8_t info;  // not interpreted
};

struct ConnectedModuleList {
    std::int32_t count;  // untrusted: clamp to 0..32 before use
    ConnectedModuleEntry entries[kMaxModules];
};

// The user and factory issue counter records: seven signed 32-bit values.
struct IssueCountRecord {
    std::int32_t values[7];
};

// A document preview the SDK hands out (Vela_GetPreviewBitmap): a packed device-independent
// bitmap, that is a 40-byte BITMAPINFOHEADER followed at once by the pixel rows, `size` bytes in
// all from `dib`. The bytes stay owned by the SDK and valid until the next Vela_GetPreviewBitmap
// or Vela_CloseDocument on that connection, or until it closes. Untrusted: a caller checks the
// header against `size` and the stated dimensions before it copies or paints anything.
struct VelaBitmap {
    const std::uint8_t* dib;  // null: no bitmap
    std::int32_t size;
};
inline constexpr std::size_t kDibHeaderSize = 40;

// The printer settings block of a printer module, read and written whole.
inline constexpr std::size_t kPrinterSettingsSize = 10240;
struct PrinterSettings {
    std::uint8_t raw[kPrinterSettingsSize];
};
// Byte offsets of the 32-bit fields of the block that the programs touch.
namespace printer_settings {
inline constexpr std::size_t kCard1InUse = 904;   // 0/1
inline constexpr std::size_t kCard1Side = 908;    // 0 front, 1 back, 2 both
inline constexpr std::size_t kRibbonType = 5024;  // the ribbon the print data is made for
inline constexpr std::size_t kCard2InUse = 5056;
inline constexpr std::size_t kCard2Side = 5060;
inline constexpr std::size_t kRotate180 = 9208;  // non-zero: the print is turned by 180 degrees
inline constexpr std::size_t kMirror = 9220;     // non-zero: the print is mirrored left to right
}  // namespace printer_settings

static_assert(sizeof(DeviceListEntry) == 1028);
static_assert(offsetof(DeviceListEntry, name) == 512);
static_assert(offsetof(DeviceListEntry, type) == 1024);
static_assert(sizeof(DeviceList) == 32900);
static_assert(offsetof(DeviceList, entries) == 4);
static_assert(sizeof(DeviceInfo) == 1944);
static_assert(offsetof(DeviceInfo, printerId) == 256);
static_assert(offsetof(DeviceInfo, icReaderName) == 1432);
static_assert(offsetof(DeviceInfo, simReaderName) == 1560);
static_assert(offsetof(DeviceInfo, rfReaderName) == 1688);
static_assert(offsetof(DeviceInfo, rfReaderName2) == 1816);
static_assert(sizeof(ConnectedModuleEntry) == 2);
static_assert(sizeof(ConnectedModuleList) == 68);
static_assert(offsetof(ConnectedModuleList, entries) == 4);
static_assert(sizeof(IssueCountRecord) == 28);
