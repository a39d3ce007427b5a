#pragma once
// The device parameter block: which position is shown in which control, how each 32-bit value
// is packed from its controls, the option lists, the write array and the read-back check.
// Widget-free: the page's control mapper (ParamControls) and the data file build on this.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace param {

inline constexpr int kParamSlotCount = 66;    // room in deviceParams
inline constexpr int kParamBlockBytes = 264;  // 66 values of 4 bytes
inline constexpr int kDefinedSlotCount = 30;  // positions 0..29 have controls
inline constexpr int kMinWriteCount = 30;     // a write always sends at least 30 values
inline constexpr int kOptionFlagCount = 20;   // option drop lists of position 25
inline constexpr int kSpeedMinimum = 150;     // range of both speed spin edits (position 22)
inline constexpr int kSpeedMaximum = 300;
inline constexpr int kOffsetMinimum = -2000;  // range of the offset spin edits (19..21)
inline constexpr int kOffsetMaximum = 2000;
inline constexpr int kFullMinimum = std::numeric_limits<std::int32_t>::min();
inline constexpr int kFullMaximum = std::numeric_limits<std::int32_t>::max();

// Positions with a packing of their own.
inline constexpr int kPosYStart = 1;
inline constexpr int kPosHeadResistor = 12;
inline constexpr int kPosBoardType = 13;
inline constexpr int kPosDisplay = 14;
inline constexpr int kPosSecurity = 16;
inline constexpr int kPosCleaning = 18;
inline constexpr int kPosSpeeds = 22;
inline constexpr int kPosPrinterType = 24;
inline constexpr int kPosOptionFlags = 25;
inline constexpr int kPosBaudRate = 28;

// Bits of position 24 and 25 that the controls own; the rest belongs to the printer.
inline constexpr std::uint32_t kRewriteCardBit = 1u << 0;
inline constexpr std::uint32_t kCertificationBit = 1u << 31;
inline constexpr std::uint32_t kPrinterTypeControlBits = kRewriteCardBit | kCertificationBit;
inline constexpr std::uint32_t kPrinterTypeDeviceBits = ~kPrinterTypeControlBits;  // bits 1..30
inline constexpr std::uint32_t kOptionControlBits = 0x000FFFFFu;                   // bits 0..19
inline constexpr std::uint32_t kOptionDeviceBits = ~kOptionControlBits;            // bits 20..31
inline constexpr std::uint32_t kPrinterTypeCompareBits = 0x7FFu;  // read-back: bits 0..10
inline constexpr int kInvertedOptionBit = 9;                      // Cleaning Warning: set = "Off"

enum class SlotControl {
    None,            // reserved position, or no slot
    SpinEdit,        // plain value in one spin edit (position 1: negated)
    ReadOnlyEdit,    // Header Resister
    BoardType,       // drop list, selection index
    Display,         // Display Type (bits 0..7) and Display Language (bits 8 and up)
    Security,        // four check boxes, bits 0..3
    CleaningCounts,  // cleaning count (low half) and skipped cleanings (high half)
    Speeds,          // Move Speed (low half) and In/Out Speed (high half)
    PrinterType,     // Rewrite Card (bit 0) and Certification (bit 31)
    OptionFlags,     // twenty drop lists, bits 0..19
    BaudRate,        // drop list of baud rates
};

struct ParamSlot {
    SlotControl control = SlotControl::None;
    int minLevel = 2;            // controls shown while accessLevel <= minLevel
    bool needsReboot = false;    // a change takes effect after the printer restarts
    const char* label = "";      // first dialog label of the slot ("" when none)
    int minimum = kFullMinimum;  // spin edit range (SpinEdit and Speeds slots)
    int maximum = kFullMaximum;
};

// Slot i describes block position i; slots 30..65 have no control.
extern const std::array<ParamSlot, kParamSlotCount> paramSlots;

// Whether the slot's controls are shown at the given access level.
bool slotVisible(int position, int accessLevel);

// N from the byte count the printer reports: bytes / 4, kept within 0..66 so that a count
// larger than the buffer never indexes past deviceParams.
int positionCountFromBytes(long long byteCount);

// ---- Text of plain values ----------------------------------------------------------------

// "%d".
QString plainText(std::int32_t value);
// A decimal integer from the start of the text (leading blanks, optional sign, digits); text
// without a number reads as 0. Saturates instead of overflowing.
long long parseLeadingInt(QStringView text);
// Cuts a parsed number to the signed 32-bit range.
std::int32_t saturate32(long long value);

// ---- Packing per position ----------------------------------------------------------------

// Position 1 holds minus the number shown.
long long yStartShown(std::int32_t value);
std::int32_t yStartFromShown(long long shown);

struct DisplayFields {
    int type = 0;      // bits 0..7
    int language = 0;  // bits 8 and up
};
DisplayFields unpackDisplay(std::int32_t value);
std::int32_t packDisplay(int type, int language);

// bit 0 "PC Auth.", bit 1 "Physical Key", bit 2 "User Auth.", bit 3 "Root Auth."
std::array<bool, 4> unpackSecurity(std::int32_t value);
std::int32_t packSecurity(const std::array<bool, 4>& bits);

struct Halves {
    int low = 0;   // bits 0..15, unsigned
    int high = 0;  // bits 16..31, unsigned
};
Halves unpackHalves(std::int32_t value);
// Each half is cut to 16 bits.
std::int32_t packHalves(long long low, long long high);

// Position 22: a half outside [minimum, maximum] is replaced by the maximum before packing.
long long speedHalfForWrite(long long half, int minimum = kSpeedMinimum,
                            int maximum = kSpeedMaximum);
std::int32_t packSpeeds(long long move, long long inOut, int minimum = kSpeedMinimum,
                        int maximum = kSpeedMaximum);

struct PrinterTypeFields {
    bool rewriteCard = false;
    bool certification = false;
};
PrinterTypeFields unpackPrinterType(std::int32_t value);
std::int32_t packPrinterType(bool rewriteCard, bool certification);

// Position 25: selection index (0 or 1) of the drop list of the given bit, and back.
int optionIndexForValue(std::int32_t value, int bit);
// Bits 0..19 from the twenty selection indexes; index 1 sets the bit (bit 9: index 0 sets it).
// An index other than 0 or 1 (no selection) leaves the bit clear, like index 0.
std::int32_t packOptionFlags(const std::array<int, kOptionFlagCount>& indexes);

// ---- Option lists ------------------------------------------------------------------------

struct OptionFlagList {
    const char* label;
    const char* entries[2];  // index 0, index 1
};
extern const std::array<OptionFlagList, kOptionFlagCount> optionFlagLists;

QStringList optionFlagEntries(int bit);
QStringList boardTypeEntries();
QStringList displayTypeEntries();
QStringList displayLanguageEntries();
QStringList baudRateEntries();

// ---- Drop lists that accept any value ----------------------------------------------------

// One entry of a drop list; entries appended for values without a list entry carry the value
// as item data.
struct ListEntry {
    QString text;
    std::optional<int> data;
    bool operator==(const ListEntry&) const = default;
};

// How a plain entry matches a value: Display Type and Display Language by index, UART Baud Rate
// by the number in its text.
enum class ListMatch { ByIndex, ByText };

// "%d (0x%08X) ***"
QString extraEntryText(std::int32_t value);

// Removes every entry with item data, then finds the entry for the value (item data, else the
// plain match) or appends an extra entry for it. Returns the index to select.
int showListValue(std::vector<ListEntry>& entries, std::int32_t value, ListMatch match);

// The value of the selected entry: its item data, else its index or the number in its text.
// No selection reads as 0.
std::int32_t readListValue(const std::vector<ListEntry>& entries, int selected, ListMatch match);

// ---- Writing and checking the block ------------------------------------------------------

using DeviceParams = std::array<std::int32_t, kParamSlotCount>;

struct WriteArray {
    std::vector<std::int32_t> values;  // count = max(30, N), at most 66
    bool rebootNeeded = false;
};

// Builds the array Set Config writes. readPosition(i) is the value read from the controls.
// Positions 24 and 25 take their printer-owned bits from deviceParams. Positions 30 and up
// have no controls and send back the fetched values unchanged.
WriteArray buildWriteArray(const std::function<std::int32_t(int)>& readPosition,
                           const DeviceParams& deviceParams, int positionCount);

// The read-back check: the first position whose re-read value differs from the one written,
// or nothing when all are equal. Position 22 counts as equal when any half lies outside the
// speed range; position 24 compares bits 0..10 only.
std::optional<int> firstDifference(const std::vector<std::int32_t>& written,
                                   const DeviceParams& deviceParams);

}  // namespace param
