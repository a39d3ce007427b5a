#pragma once
// The Magnetic page's rules that need no widgets: tracks and their masks, the write passes, the
// encoder list of a module chain, the coercivity range, random track data, the key block and the
// hexadecimal key texts.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "vela_types.h"

namespace magnetic {

// The tracks of one side, in the page's order, with their mask bits and capacities.
inline constexpr int kTrackCount = 4;
inline constexpr std::array<int, kTrackCount> kTrackBits = {0x01, 0x02, 0x04, 0x08};
inline constexpr std::array<int, kTrackCount> kTrackCapacity = {76, 37, 104, 69};
inline constexpr std::array<const char*, kTrackCount> kTrackLabels = {"ISO Track 1", "ISO Track 2",
                                                                      "ISO Track 3", "JIS"};
// "Track 1" ... "Track JIS": the tracks as messages name them.
inline constexpr std::array<const char*, kTrackCount> kTrackNames = {"Track 1", "Track 2",
                                                                     "Track 3", "Track JIS"};
inline constexpr int kJisIndex = 3;
inline constexpr int kJisBit = 0x08;

// The mask of the checked tracks of one side.
int TrackMask(const std::array<bool, kTrackCount>& checked);

// "Mag. Write": with "Interlace" and a mask other than JIS alone, tracks 1 and 3 first, then
// track 2 on its own; otherwise one pass with the whole mask. A zero mask is a pass skipped.
struct WritePasses {
    int first = 0;
    int second = 0;
    bool operator==(const WritePasses&) const = default;
};
WritePasses PlanWritePasses(int mask, bool interlace);

// The tracks of a mask as a message lists them: "Track 1, Track 3".
QString TrackNames(int mask);

// One entry of the encoder selector: its label and module id.
struct EncoderEntry {
    QString text;
    std::uint8_t id = 0;
    bool operator==(const EncoderEntry&) const = default;
};
// The encoders of the chain, in chain order: a printer module whose status (read by `statusOf`)
// reports an internal encoder, "Int-Enc [%02X]"; the laser unit, "Laser [%02X]", without a
// status query.
std::vector<EncoderEntry> EncoderEntries(
    const ConnectedModuleList& list, const std::function<std::uint64_t(std::uint8_t)>& statusOf);

// The coercivity range the encoder takes.
inline constexpr int kMinCoercivity = 150;
inline constexpr int kMaxCoercivity = 800;
inline constexpr bool CoercivityInRange(int value) {
    return value >= kMinCoercivity && value <= kMaxCoercivity;
}
inline constexpr int ClampCoercivity(int value) {
    return value < kMinCoercivity ? kMinCoercivity
                                  : (value > kMaxCoercivity ? kMaxCoercivity : value);
}

// `count` random decimal digits.
QString RandomDigits(int count, std::mt19937& generator);

// ---- Keys ----

inline constexpr int kKeyBlockSize = 16;
inline constexpr int kKeyLimit = 16;     // key box, plain text
inline constexpr int kHexKeyLimit = 47;  // key box, "Hex String Key": 16 bytes as "%02X "
using KeyBlock = std::array<std::uint8_t, kKeyBlockSize>;

// Decodes a hexadecimal text into characters: blanks and tabs are skipped, digits collected
// (either case) until the first other character, an odd last digit dropped, each pair one
// character.
QString DecodeHex(const QString& text);
// Each character's low 8 bits as "%02X ", trimmed: "abc" gives "61 62 63".
QString EncodeHex(const QString& text);
// The key box's canonical hexadecimal form: decoded, encoded again, cut to 47 characters.
QString CanonicalHexKey(const QString& text);
// The key block of a key text: byte k is the low 8 bits of character k of the (decoded) text,
// the rest zero.
KeyBlock BuildKeyBlock(const QString& keyText, bool hex);

}  // namespace magnetic
