#include "rf_frames.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <iterator>

#include "sdk_text.h"

namespace rf {

namespace {

constexpr std::uint8_t kClass = 0xFD;
constexpr std::uint8_t kGetUid = 0x00;
constexpr std::uint8_t kAuthenticate = 0x2F;
constexpr std::uint8_t kReadBlock = 0x35;
constexpr std::uint8_t kWriteBlock = 0x37;
constexpr std::uint8_t kUidSelector = 0x17;

constexpr int kUidStart = 10;
constexpr int kUidLengthCode = 9;
constexpr int kCardType = 3;
constexpr std::uint8_t kCardTypeNone = 0xFF;
constexpr std::uint8_t kCardTypeFourBytes = 0x42;
constexpr std::uint8_t kSw1Ok = 0x90;
constexpr std::uint8_t kSw2Ok = 0x00;

int UidLength(std::span<const std::uint8_t> response) {
    auto at = [&](size_t i) -> std::uint8_t { return i < response.size() ? response[i] : 0; };
    if (response.empty() || response[0] != 0 || at(kCardType) == kCardTypeNone)
        return 0;
    if (at(kCardType) == kCardTypeFourBytes)
        return 4;
    switch (at(kUidLengthCode)) {
        case 2:
            return 7;
        case 3:
            return 10;
        default:
            return 4;
    }
}

QString ReaderName(const VelaChar (&text)[64]) {
    return halvard::FromSdkText(text, static_cast<int>(std::size(text)));
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    return u <= u'9' ? u - u'0' : u - u'A' + 10;
}

}  // namespace

int ReturnedLength(std::int32_t reported, int capacity) {
    return std::clamp(reported, 0, std::max(capacity, 0));
}

std::span<const std::uint8_t> Returned(std::span<const std::uint8_t> buffer,
                                       std::int32_t reported) {
    return buffer.first(
        static_cast<size_t>(ReturnedLength(reported, static_cast<int>(buffer.size()))));
}

std::uint8_t SideCode(int side) {
    return side == kSideA ? kSideCodeA : kSideCodeB;
}

std::array<std::uint8_t, 6> GetUidFrame() {
    return {kClass, kGetUid, 0x00, 0x00, 0x01, kUidSelector};
}

std::array<std::uint8_t, 11> AuthFrame(const Key& key) {
    std::array<std::uint8_t, 11> frame{kClass, kAuthenticate, 0x00, 0x00, kKeySize};
    std::copy(key.begin(), key.end(), frame.begin() + 5);
    return frame;
}

std::array<std::uint8_t, 6> ReadBlockFrame(std::uint8_t block, int side) {
    return {kClass, kReadBlock, SideCode(side), 0x00, 0x01, block};
}

std::array<std::uint8_t, 22> WriteBlockFrame(std::uint8_t block, int side, const Block& data) {
    std::array<std::uint8_t, 22> frame{kClass, kWriteBlock,    SideCode(side),
                                       0x00,   1 + kBlockSize, block};
    std::copy(data.begin(), data.end(), frame.begin() + 6);
    return frame;
}

Key ParseKey(const QString& text) {
    QString digits;
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))
            digits += c;
    Key key{};
    for (int i = 0; i < kKeySize; ++i) {
        // No pair left, or a lone high digit (its byte stays 0): the key ends.
        if (2 * i + 1 >= digits.size())
            break;
        key[static_cast<size_t>(i)] =
            static_cast<std::uint8_t>(HexValue(digits[2 * i]) << 4 | HexValue(digits[2 * i + 1]));
    }
    return key;
}

Bytes DecodeUid(std::span<const std::uint8_t> response) {
    const size_t length = static_cast<size_t>(UidLength(response));
    if (response.size() <= kUidStart)
        return {};
    const auto uid = response.subspan(kUidStart);
    return Bytes(uid.begin(),
                 uid.begin() + static_cast<std::ptrdiff_t>(std::min(length, uid.size())));
}

bool DecodeReadBlock(std::span<const std::uint8_t> response, Bytes& data) {
    const size_t n = response.size();
    if (n < 3 || response[0] != 0 || response[n - 2] != kSw1Ok || response[n - 1] != kSw2Ok)
        return false;
    const size_t count = std::min<size_t>(n - 3, kBlockSize);
    data.assign(response.begin() + 1, response.begin() + 1 + static_cast<std::ptrdiff_t>(count));
    return true;
}

Block EncodeBlockText(const QString& text) {
    Block block{};
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    const QString cut = text.left(kBlockSize);
    size_t used = 0;
    for (qsizetype i = 0; i < cut.size();) {
        // One character: a surrogate pair stays together.
        const qsizetype units = cut[i].isHighSurrogate() && i + 1 < cut.size() ? 2 : 1;
        const QByteArray bytes = encoder.encode(QStringView(cut).mid(i, units));
        if (used + static_cast<size_t>(bytes.size()) > block.size())
            break;
        std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(used));
        used += static_cast<size_t>(bytes.size());
        i += units;
    }
    return block;
}

QString DecodeBlockText(std::span<const std::uint8_t> data) {
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(data.data(), end - data.begin()));
}

std::array<QString, 2> ContactReaderNames(const DeviceInfo& info) {
    return {ReaderName(info.icReaderName), ReaderName(info.simReaderName)};
}

std::array<QString, 2> ContactlessReaderNames(const DeviceInfo& info) {
    return {ReaderName(info.rfReaderName), ReaderName(info.rfReaderName2)};
}

}  // namespace rf
