#pragma once
// What the IC and RF pages send to the card readers and how they read the answers: the
// contactless command frames, the "Key :" text, and the decoding of answer-to-reset, UID and
// block responses. Every length the SDK reports is untrusted: it is cut to the bytes the buffer
// holds, so a decoder never reads beyond what was returned.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "vela_types.h"

namespace rf {

inline constexpr int kAtrBufferSize = 32;
inline constexpr int kResponseBufferSize = 300;
inline constexpr int kKeySize = 6;
inline constexpr int kBlockSize = 16;

// "Side :" item values and their side codes in a block frame.
inline constexpr int kSideA = 1;
inline constexpr int kSideB = 2;
inline constexpr std::uint8_t kSideCodeA = 0x00;
inline constexpr std::uint8_t kSideCodeB = 0x04;

using Key = std::array<std::uint8_t, kKeySize>;
using Block = std::array<std::uint8_t, kBlockSize>;
using Bytes = std::vector<std::uint8_t>;

// The bytes an SDK call returned into a buffer of `capacity` bytes when it reported `reported`:
// a negative count is none, a count above the buffer is cut to the buffer.
int ReturnedLength(std::int32_t reported, int capacity);
// The first ReturnedLength(reported, buffer size) bytes of `buffer`.
std::span<const std::uint8_t> Returned(std::span<const std::uint8_t> buffer, std::int32_t reported);

// 0x00 for "A Side" (value 1), 0x04 for any other side value.
std::uint8_t SideCode(int side);

std::array<std::uint8_t, 6> GetUidFrame();
std::array<std::uint8_t, 11> AuthFrame(const Key& key);
std::array<std::uint8_t, 6> ReadBlockFrame(std::uint8_t block, int side);
std::array<std::uint8_t, 22> WriteBlockFrame(std::uint8_t block, int side, const Block& data);

// The "Key :" text as six bytes: only 0-9 and A-F count (lower case and everything else is
// dropped); pairs give the bytes high nibble first; a pair without its second character gives 0
// and ends the key; missing bytes are 0.
Key ParseKey(const QString& text);

// The identifier of a Get UID response (the bytes returned): none when the response is empty,
// its status byte is not 0 or the card type (byte 3) is 0xFF; 4 bytes for card type 0x42;
// otherwise byte 9 gives the length (1: 4, 2: 7, 3: 10 bytes, else 4). It starts at byte 10 and
// is cut to the bytes the response holds.
Bytes DecodeUid(std::span<const std::uint8_t> response);

// The data of a read-block response (the bytes returned) when its status byte is 0 and it ends
// with 0x90 0x00: the bytes between, at most 16. False otherwise.
bool DecodeReadBlock(std::span<const std::uint8_t> response, Bytes& data);

// The "Data :" text of a write in the system's code page: at most 16 characters, whole
// characters only, into a zeroed block.
Block EncodeBlockText(const QString& text);
// Block data shown as text from the system's code page, up to the first zero byte.
QString DecodeBlockText(std::span<const std::uint8_t> data);

// The two contact reader names of the device information (its texts at bytes 1432 and 1560),
// and the two contactless ones (1688 and 1816); each up to its terminator, at most 64 characters.
std::array<QString, 2> ContactReaderNames(const DeviceInfo& info);
std::array<QString, 2> ContactlessReaderNames(const DeviceInfo& info);

}  // namespace rf
