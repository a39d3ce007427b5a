#include "magnetic_logic.h"

#include <QStringList>

#include <algorithm>

#include "module_labels.h"
#include "sdk_lists.h"
#include "vela_modules.h"

namespace magnetic {

int TrackMask(const std::array<bool, kTrackCount>& checked) {
    int mask = 0;
    for (int t = 0; t < kTrackCount; ++t)
        if (checked[static_cast<size_t>(t)])
            mask |= kTrackBits[static_cast<size_t>(t)];
    return mask;
}

WritePasses PlanWritePasses(int mask, bool interlace) {
    constexpr int kTracks1And3 = 0x05;
    constexpr int kTrack2 = 0x02;
    if (interlace && mask != kJisBit)
        return {mask & kTracks1And3, (mask & kTrack2) != 0 ? kTrack2 : 0};
    return {mask, 0};
}

QString TrackNames(int mask) {
    QStringList names;
    for (int t = 0; t < kTrackCount; ++t)
        if ((mask & kTrackBits[static_cast<size_t>(t)]) != 0)
            names << QLatin1String(kTrackNames[static_cast<size_t>(t)]);
    return names.join(QStringLiteral(", "));
}

std::vector<EncoderEntry> EncoderEntries(
    const ConnectedModuleList& list, const std::function<std::uint64_t(std::uint8_t)>& statusOf) {
    std::vector<EncoderEntry> entries;
    for (std::uint8_t id : sdk_lists::ModuleChain(list)) {
        if (vela::TypeOf(id) == vela::kTypePrinter) {
            if ((statusOf(id) & vela::Bit(vela::printer::kInternalEncoderIsInstalled)) != 0)
                entries.push_back({labels::Magnetic(id), id});
        } else if (id == vela::kModuleLaser) {
            entries.push_back({labels::Magnetic(id), id});
        }
    }
    return entries;
}

QString RandomDigits(int count, std::mt19937& generator) {
    QString digits;
    digits.reserve(count);
    for (int i = 0; i < count; ++i)
        digits += QChar(u'0' + static_cast<char16_t>(generator() % 10));
    return digits;
}

QString DecodeHex(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        const char16_t u = c.unicode();
        const bool hexDigit =
            (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
        if (!hexDigit)
            break;
        digits += c.toUpper();
    }
    if (digits.size() % 2 != 0)
        digits.chop(1);
    QString decoded;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        decoded += QChar(static_cast<char16_t>(digits.mid(i, 2).toUInt(nullptr, 16)));
    return decoded;
}

QString EncodeHex(const QString& text) {
    QString hex;
    for (QChar c : text)
        hex += QString::asprintf("%02X ", c.unicode() & 0xFF);
    return hex.trimmed();
}

QString CanonicalHexKey(const QString& text) {
    QString canonical = EncodeHex(DecodeHex(text));
    if (canonical.size() > kHexKeyLimit)
        canonical.truncate(kHexKeyLimit);
    return canonical;
}

KeyBlock BuildKeyBlock(const QString& keyText, bool hex) {
    const QString key = hex ? DecodeHex(keyText) : keyText;
    KeyBlock block{};
    const qsizetype n = std::min<qsizetype>(key.size(), kKeyBlockSize);
    for (qsizetype i = 0; i < n; ++i)
        block[static_cast<size_t>(i)] = static_cast<std::uint8_t>(key[i].unicode() & 0xFF);
    return block;
}

}  // namespace magnetic
