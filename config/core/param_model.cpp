#include "param_model.h"

#include <algorithm>

namespace param {

namespace {

constexpr ParamSlot spin(const char* label, bool reboot = false, int minimum = kFullMinimum,
                         int maximum = kFullMaximum) {
    return ParamSlot{SlotControl::SpinEdit, 2, reboot, label, minimum, maximum};
}

constexpr ParamSlot other(SlotControl control, const char* label, bool reboot) {
    return ParamSlot{control, 2, reboot, label, kFullMinimum, kFullMaximum};
}

constexpr ParamSlot kReserved{};

constexpr std::array<ParamSlot, kParamSlotCount> makeSlots() {
    std::array<ParamSlot, kParamSlotCount> s{};
    s[0] = spin("X Start Position");
    s[1] = spin("Y Start Position");
    s[2] = spin("Y End Position");
    s[3] = spin("Y Scale");
    s[4] = spin("Total Density");
    s[5] = spin("YMC Density");
    s[6] = spin("Black Density");
    s[7] = spin("Overlay Density");
    s[8] = spin("RMP +");
    s[9] = spin("RMP -");
    s[10] = spin("RMM +");
    s[11] = spin("RMM -");
    s[12] = other(SlotControl::ReadOnlyEdit, "Header Resister", false);
    s[13] = other(SlotControl::BoardType, "Board Type", true);
    s[14] = other(SlotControl::Display, "Display Type", true);
    s[15] = spin("Warming Up Display");
    s[16] = other(SlotControl::Security, "Security", true);
    s[17] = spin("Ribbon Position");
    s[18] = other(SlotControl::CleaningCounts, "Cleaning Count", false);
    s[19] = spin("YMC Offset", false, kOffsetMinimum, kOffsetMaximum);
    s[20] = spin("Black Offset", false, kOffsetMinimum, kOffsetMaximum);
    s[21] = spin("Overlay Offset", false, kOffsetMinimum, kOffsetMaximum);
    s[22] = ParamSlot{SlotControl::Speeds, 2, false, "In/Out Speed", kSpeedMinimum, kSpeedMaximum};
    s[23] = kReserved;
    s[24] =
        ParamSlot{SlotControl::PrinterType, 0, true, "Rewrite Card", kFullMinimum, kFullMaximum};
    s[25] = other(SlotControl::OptionFlags, "", true);
    s[26] = kReserved;
    s[27] = kReserved;
    s[28] = other(SlotControl::BaudRate, "UART Baud Rate", true);
    s[29] = spin("Magnetic Position", true);
    return s;
}

QStringList toList(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list << QString::fromLatin1(t);
    }
    return list;
}

}  // namespace

const std::array<ParamSlot, kParamSlotCount> paramSlots = makeSlots();

const std::array<OptionFlagList, kOptionFlagCount> optionFlagLists{{
    {"DCL Mode", {"Not Use", "Use"}},
    {"Dump Mode", {"Not Use", "Use"}},
    {"Card Out Direction", {"Front", "Rear"}},
    {"Error Card Out", {"Front", "Rear"}},
    {"Card In Direction", {"Front", "Rear"}},
    {"Auto Card In", {"Not Use", "Use"}},
    {"SBS Only", {"Not Use", "Use"}},
    {"Use USB Serial", {"Not Use", "Use"}},
    {"UART Bypass", {"Off", "On"}},
    {"Cleaning Warning", {"Off", "On"}},
    {"Printer Master/Slave", {"Master", "Slave"}},
    {"LCD Error Display", {"Text", "Code"}},
    {"Normal Ribbon Search", {"Off", "On"}},
    {"Manual Card In", {"Not Use", "Use"}},
    {"Mag Err. to Flipper", {"Off", "On"}},
    {"Flipper Flip Out", {"Not Use", "Use"}},
    {"Mag. Interlaced Write", {"Not Use", "Use"}},
    {"Tag Reader Type", {"Old", "New"}},
    {"Auto Cancel", {"Not Use", "Use"}},
    {"Use V3 Ribbon Only", {"Not Use", "Use"}},
}};

bool slotVisible(int position, int accessLevel) {
    if (position < 0 || position >= kParamSlotCount) {
        return false;
    }
    return accessLevel <= paramSlots[position].minLevel;
}

int positionCountFromBytes(long long byteCount) {
    if (byteCount <= 0) {
        return 0;
    }
    return static_cast<int>(std::min<long long>(byteCount / 4, kParamSlotCount));
}

QString plainText(std::int32_t value) {
    return QString::number(value);
}

long long parseLeadingInt(QStringView text) {
    constexpr long long kCap = 1LL << 40;  // far beyond 32 bits, far from overflow
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long number = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        number = std::min(kCap, number * 10 + (text[i].unicode() - u'0'));
        ++i;
    }
    return negative ? -number : number;
}

std::int32_t saturate32(long long value) {
    return static_cast<std::int32_t>(std::clamp<long long>(value, kFullMinimum, kFullMaximum));
}

long long yStartShown(std::int32_t value) {
    return -static_cast<long long>(value);
}

std::int32_t yStartFromShown(long long shown) {
    return saturate32(-shown);
}

DisplayFields unpackDisplay(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return DisplayFields{static_cast<int>(bits & 0xFFu), static_cast<int>(bits >> 8)};
}

std::int32_t packDisplay(int type, int language) {
    const std::uint32_t bits =
        (static_cast<std::uint32_t>(type) & 0xFFu) | (static_cast<std::uint32_t>(language) << 8);
    return static_cast<std::int32_t>(bits);
}

std::array<bool, 4> unpackSecurity(std::int32_t value) {
    std::array<bool, 4> bits{};
    for (int b = 0; b < 4; ++b) {
        bits[b] = (value >> b) & 1;
    }
    return bits;
}

std::int32_t packSecurity(const std::array<bool, 4>& bits) {
    std::int32_t value = 0;
    for (int b = 0; b < 4; ++b) {
        if (bits[b]) {
            value |= 1 << b;
        }
    }
    return value;
}

Halves unpackHalves(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return Halves{static_cast<int>(bits & 0xFFFFu), static_cast<int>(bits >> 16)};
}

std::int32_t packHalves(long long low, long long high) {
    const std::uint32_t bits = (static_cast<std::uint32_t>(low) & 0xFFFFu) |
                               ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16);
    return static_cast<std::int32_t>(bits);
}

long long speedHalfForWrite(long long half, int minimum, int maximum) {
    return (half < minimum || half > maximum) ? maximum : half;
}

std::int32_t packSpeeds(long long move, long long inOut, int minimum, int maximum) {
    return packHalves(speedHalfForWrite(move, minimum, maximum),
                      speedHalfForWrite(inOut, minimum, maximum));
}

PrinterTypeFields unpackPrinterType(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return PrinterTypeFields{(bits & kRewriteCardBit) != 0, (bits & kCertificationBit) != 0};
}

std::int32_t packPrinterType(bool rewriteCard, bool certification) {
    std::uint32_t bits = 0;
    if (rewriteCard) {
        bits |= kRewriteCardBit;
    }
    if (certification) {
        bits |= kCertificationBit;
    }
    return static_cast<std::int32_t>(bits);
}

int optionIndexForValue(std::int32_t value, int bit) {
    const int set = (static_cast<std::uint32_t>(value) >> bit) & 1u;
    return bit == kInvertedOptionBit ? 1 - set : set;
}

std::int32_t packOptionFlags(const std::array<int, kOptionFlagCount>& indexes) {
    std::uint32_t bits = 0;
    for (int bit = 0; bit < kOptionFlagCount; ++bit) {
        const bool set = bit == kInvertedOptionBit ? indexes[bit] == 0 : indexes[bit] == 1;
        if (set) {
            bits |= 1u << bit;
        }
    }
    return static_cast<std::int32_t>(bits);
}

QStringList optionFlagEntries(int bit) {
    if (bit < 0 || bit >= kOptionFlagCount) {
        return {};
    }
    const auto& list = optionFlagLists[bit];
    return toList({list.entries[0], list.entries[1]});
}

QStringList boardTypeEntries() {
    return toList({"Type1"});
}

QStringList displayTypeEntries() {
    return toList({"TLCD 16x2"});
}

QStringList displayLanguageEntries() {
    return toList({"English", "Farsi"});
}

QStringList baudRateEntries() {
    return toList({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
}

QString extraEntryText(std::int32_t value) {
    return QString::asprintf("%d (0x%08X) ***", value, static_cast<unsigned>(value));
}

int showListValue(std::vector<ListEntry>& entries, std::int32_t value, ListMatch match) {
    std::erase_if(entries, [](const ListEntry& e) { return e.data.has_value(); });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ListEntry& e = entries[i];
        const bool matches = e.data                        ? *e.data == value
                             : match == ListMatch::ByIndex ? static_cast<long long>(i) == value
                                                           : parseLeadingInt(e.text) == value;
        if (matches) {
            return static_cast<int>(i);
        }
    }
    entries.push_back(ListEntry{extraEntryText(value), value});
    return static_cast<int>(entries.size()) - 1;
}

std::int32_t readListValue(const std::vector<ListEntry>& entries, int selected, ListMatch match) {
    if (selected < 0 || selected >= static_cast<int>(entries.size())) {
        return 0;
    }
    const ListEntry& e = entries[selected];
    if (e.data) {
        return *e.data;
    }
    return match == ListMatch::ByIndex ? selected : saturate32(parseLeadingInt(e.text));
}

WriteArray buildWriteArray(const std::function<std::int32_t(int)>& readPosition,
                           const DeviceParams& deviceParams, int positionCount) {
    const int count = std::clamp(std::max(kMinWriteCount, positionCount), 0, kParamSlotCount);
    WriteArray out;
    out.values.resize(count);
    for (int i = 0; i < count; ++i) {
        const ParamSlot& slot = paramSlots[i];
        std::uint32_t v = 0;
        if (i >= kDefinedSlotCount) {
            v = static_cast<std::uint32_t>(deviceParams[i]);
        } else {
            v = static_cast<std::uint32_t>(readPosition(i));
        }
        const auto device = static_cast<std::uint32_t>(deviceParams[i]);
        if (i == kPosPrinterType) {
            v = (v & kPrinterTypeControlBits) | (device & kPrinterTypeDeviceBits);
        } else if (i == kPosOptionFlags) {
            v = (v & kOptionControlBits) | (device & kOptionDeviceBits);
        }
        out.values[i] = static_cast<std::int32_t>(v);
        if (slot.needsReboot && out.values[i] != deviceParams[i]) {
            out.rebootNeeded = true;
        }
    }
    return out;
}

std::optional<int> firstDifference(const std::vector<std::int32_t>& written,
                                   const DeviceParams& deviceParams) {
    const int count = std::min<int>(static_cast<int>(written.size()), kParamSlotCount);
    for (int i = 0; i < count; ++i) {
        const std::int32_t device = deviceParams[i];
        const std::int32_t sent = written[i];
        bool same = device == sent;
        if (i == kPosSpeeds) {
            const Halves d = unpackHalves(device);
            const Halves w = unpackHalves(sent);
            const auto outside = [](int h) { return h < kSpeedMinimum || h > kSpeedMaximum; };
            if (outside(d.low) || outside(d.high) || outside(w.low) || outside(w.high)) {
                same = true;
            }
        } else if (i == kPosPrinterType) {
            same = ((static_cast<std::uint32_t>(device) ^ static_cast<std::uint32_t>(sent)) &
                    kPrinterTypeCompareBits) == 0;
        }
        if (!same) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace param
