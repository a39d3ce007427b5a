#include "param_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

using namespace param;

namespace {

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

std::vector<ListEntry> plainEntries(const QStringList& texts) {
    std::vector<ListEntry> entries;
    for (const QString& t : texts) {
        entries.push_back(ListEntry{t, std::nullopt});
    }
    return entries;
}

}  // namespace

TEST(ParamSlotTable, LevelsRebootFlagsAndControls) {
    const std::set<int> reboot{13, 14, 16, 24, 25, 28, 29};
    const std::set<int> reserved{23, 26, 27};
    for (int i = 0; i < kParamSlotCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(paramSlots[i].minLevel, i == 24 ? 0 : 2);
        EXPECT_EQ(paramSlots[i].needsReboot, reboot.count(i) == 1);
        const bool noControl = i >= kDefinedSlotCount || reserved.count(i) == 1;
        EXPECT_EQ(paramSlots[i].control == SlotControl::None, noControl);
    }
    // accessLevel is 2: slot 24 stays hidden, every other defined slot is shown.
    EXPECT_FALSE(slotVisible(24, 2));
    EXPECT_TRUE(slotVisible(0, 2));
    EXPECT_TRUE(slotVisible(24, 0));
    EXPECT_FALSE(slotVisible(66, 0));
}

TEST(ParamSlotTable, SpinRanges) {
    for (int i : {19, 20, 21}) {
        EXPECT_EQ(paramSlots[i].minimum, -2000);
        EXPECT_EQ(paramSlots[i].maximum, 2000);
    }
    EXPECT_EQ(paramSlots[22].minimum, 150);
    EXPECT_EQ(paramSlots[22].maximum, 300);
    for (int i : {0, 1, 2, 3, 11, 15, 17, 29}) {
        EXPECT_EQ(paramSlots[i].control, SlotControl::SpinEdit);
        EXPECT_EQ(paramSlots[i].minimum, kMin32);
        EXPECT_EQ(paramSlots[i].maximum, kMax32);
    }
}

TEST(ParamBlockSize, PositionCountFromByteCount) {
    EXPECT_EQ(positionCountFromBytes(264), 66);
    EXPECT_EQ(positionCountFromBytes(80), 20);
    EXPECT_EQ(positionCountFromBytes(83), 20);
    EXPECT_EQ(positionCountFromBytes(3), 0);
    EXPECT_EQ(positionCountFromBytes(0), 0);
    EXPECT_EQ(positionCountFromBytes(-8), 0);
    // A printer reporting more than the buffer holds must not lead past deviceParams.
    EXPECT_EQ(positionCountFromBytes(268), 66);
    EXPECT_EQ(positionCountFromBytes(1LL << 40), 66);
}

TEST(PlainValues, ParseLeadingInteger) {
    EXPECT_EQ(parseLeadingInt(u"42"), 42);
    EXPECT_EQ(parseLeadingInt(u"  -12 "), -12);
    EXPECT_EQ(parseLeadingInt(u"+7x"), 7);
    EXPECT_EQ(parseLeadingInt(u"12abc"), 12);
    EXPECT_EQ(parseLeadingInt(u"abc12"), 0);
    EXPECT_EQ(parseLeadingInt(u""), 0);
    EXPECT_EQ(parseLeadingInt(u"-"), 0);
    EXPECT_EQ(saturate32(parseLeadingInt(u"99999999999999999999999")), kMax32);
    EXPECT_EQ(saturate32(parseLeadingInt(u"-99999999999999999999999")), kMin32);
    EXPECT_EQ(plainText(-35), QStringLiteral("-35"));
}

TEST(Packing, YStartIsNegated) {
    EXPECT_EQ(yStartShown(-35), 35);
    EXPECT_EQ(yStartFromShown(-12), 12);
    for (std::int32_t v : {0, 1, -1, 35, -35, kMax32, kMin32}) {
        EXPECT_EQ(yStartFromShown(yStartShown(v)), v) << v;
    }
}

TEST(Packing, RoundTripsOfEveryPackedPosition) {
    const std::vector<std::int32_t> samples{
        0, 1, -1, 0x12345678, kMin32, kMax32, 0x00FF00FF, -35, 0x7FFF8001, 0x0001FFFF, 0x00012C00};
    for (std::int32_t v : samples) {
        SCOPED_TRACE(v);
        const DisplayFields d = unpackDisplay(v);
        EXPECT_EQ(packDisplay(d.type, d.language), v);
        const Halves h = unpackHalves(v);
        EXPECT_EQ(packHalves(h.low, h.high), v);
        EXPECT_EQ(packSecurity(unpackSecurity(v)), v & 0xF);
        const PrinterTypeFields p = unpackPrinterType(v);
        EXPECT_EQ(static_cast<std::uint32_t>(packPrinterType(p.rewriteCard, p.certification)),
                  static_cast<std::uint32_t>(v) & kPrinterTypeControlBits);
        std::array<int, kOptionFlagCount> indexes{};
        for (int bit = 0; bit < kOptionFlagCount; ++bit) {
            indexes[bit] = optionIndexForValue(v, bit);
        }
        EXPECT_EQ(static_cast<std::uint32_t>(packOptionFlags(indexes)),
                  static_cast<std::uint32_t>(v) & kOptionControlBits);
    }
}

TEST(Packing, DisplayAndHalvesLayout) {
    EXPECT_EQ(packDisplay(0, 1), 0x100);
    EXPECT_EQ(unpackDisplay(0x0203).type, 3);
    EXPECT_EQ(unpackDisplay(0x0203).language, 2);
    EXPECT_EQ(unpackDisplay(static_cast<std::int32_t>(0xFFFFFF01u)).language, 0xFFFFFF);
    // Cleaning count low, skipped cleanings high, both unsigned.
    EXPECT_EQ(packHalves(5, 7), 0x00070005);
    EXPECT_EQ(unpackHalves(static_cast<std::int32_t>(0xFFFE0001u)).high, 0xFFFE);
    EXPECT_EQ(unpackHalves(static_cast<std::int32_t>(0xFFFE0001u)).low, 1);
    EXPECT_EQ(packSecurity({true, false, true, false}), 0b0101);
}

TEST(Packing, SpeedHalvesOutsideRangeBecomeMaximum) {
    // Move Speed low, In/Out Speed high.
    const Halves h = unpackHalves(packSpeeds(200, 90));
    EXPECT_EQ(h.low, 200);
    EXPECT_EQ(h.high, 300);
    EXPECT_EQ(unpackHalves(packSpeeds(301, 150)).low, 300);
    EXPECT_EQ(unpackHalves(packSpeeds(-5, 150)).low, 300);
    EXPECT_EQ(packSpeeds(150, 300), (300 << 16) | 150);
}

TEST(Packing, CleaningWarningIsInverted) {
    std::array<int, kOptionFlagCount> indexes{};  // all index 0
    EXPECT_EQ(packOptionFlags(indexes), 1 << 9);  // "Off" sets bit 9
    indexes[9] = 1;                               // "On"
    EXPECT_EQ(packOptionFlags(indexes), 0);
    indexes[0] = 1;
    indexes[19] = 1;
    EXPECT_EQ(packOptionFlags(indexes), (1 << 0) | (1 << 19));
    EXPECT_EQ(optionIndexForValue(1 << 9, 9), 0);
    EXPECT_EQ(optionIndexForValue(0, 9), 1);
    EXPECT_EQ(optionIndexForValue(1 << 4, 4), 1);
    // No selection leaves a bit clear, like index 0 (or index 1 for the inverted bit).
    indexes.fill(-1);
    EXPECT_EQ(packOptionFlags(indexes), 0);
}

TEST(OptionLists, Texts) {
    EXPECT_STREQ(optionFlagLists[0].label, "DCL Mode");
    EXPECT_EQ(optionFlagEntries(2), (QStringList{QStringLiteral("Front"), QStringLiteral("Rear")}));
    EXPECT_EQ(optionFlagEntries(10),
              (QStringList{QStringLiteral("Master"), QStringLiteral("Slave")}));
    EXPECT_EQ(optionFlagEntries(17), (QStringList{QStringLiteral("Old"), QStringLiteral("New")}));
    EXPECT_STREQ(optionFlagLists[19].label, "Use V3 Ribbon Only");
    EXPECT_TRUE(optionFlagEntries(20).isEmpty());
    EXPECT_EQ(boardTypeEntries(), QStringList{QStringLiteral("Type1")});
    EXPECT_EQ(displayTypeEntries(), QStringList{QStringLiteral("TLCD 16x2")});
    EXPECT_EQ(displayLanguageEntries(),
              (QStringList{QStringLiteral("English"), QStringLiteral("Farsi")}));
    EXPECT_EQ(baudRateEntries().size(), 8);
    EXPECT_EQ(baudRateEntries().first(), QStringLiteral("1200"));
    EXPECT_EQ(baudRateEntries().last(), QStringLiteral("115200"));
}

TEST(ListValues, BaudRateWithoutEntryGetsExtraEntryRemovedNextTime) {
    auto entries = plainEntries(baudRateEntries());
    const int selected = showListValue(entries, 14400, ListMatch::ByText);
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(selected, 8);
    EXPECT_EQ(entries[8].text, QStringLiteral("14400 (0x00003840) ***"));
    EXPECT_EQ(entries[8].data, 14400);
    EXPECT_EQ(readListValue(entries, selected, ListMatch::ByText), 14400);

    EXPECT_EQ(showListValue(entries, 9600, ListMatch::ByText), 3);
    EXPECT_EQ(entries.size(), 8u);
    EXPECT_EQ(readListValue(entries, 3, ListMatch::ByText), 9600);
}

TEST(ListValues, IndexListsAndOddValues) {
    auto entries = plainEntries(displayLanguageEntries());
    EXPECT_EQ(showListValue(entries, 1, ListMatch::ByIndex), 1);
    EXPECT_EQ(readListValue(entries, 1, ListMatch::ByIndex), 1);
    EXPECT_EQ(showListValue(entries, 7, ListMatch::ByIndex), 2);
    EXPECT_EQ(readListValue(entries, 2, ListMatch::ByIndex), 7);
    // A second unknown value replaces the first extra entry instead of piling up.
    EXPECT_EQ(showListValue(entries, -1, ListMatch::ByIndex), 2);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].text, QStringLiteral("-1 (0xFFFFFFFF) ***"));
    EXPECT_EQ(readListValue(entries, 2, ListMatch::ByIndex), -1);
    EXPECT_EQ(readListValue(entries, -1, ListMatch::ByIndex), 0);
    EXPECT_EQ(readListValue(entries, 9, ListMatch::ByIndex), 0);
    EXPECT_EQ(extraEntryText(0), QStringLiteral("0 (0x00000000) ***"));
}

TEST(WriteArray, AtLeastThirtyValuesAndReadFromControls) {
    DeviceParams device{};
    std::vector<int> asked;
    const auto reader = [&asked](int i) {
        asked.push_back(i);
        return i * 10;
    };
    const WriteArray out = buildWriteArray(reader, device, 20);
    ASSERT_EQ(out.values.size(), 30u);
    EXPECT_EQ(asked.size(), 30u);  // slots beyond N are still written from their controls
    EXPECT_EQ(out.values[29], 290);
    EXPECT_EQ(out.values[20], 200);
}

TEST(WriteArray, CountIsCappedAndPositionsBeyondSlotsKeepFetchedValues) {
    DeviceParams device{};
    for (int i = 0; i < kParamSlotCount; ++i) {
        device[i] = 1000 + i;
    }
    const auto reader = [](int) { return 0; };
    const WriteArray full = buildWriteArray(reader, device, 66);
    ASSERT_EQ(full.values.size(), 66u);
    EXPECT_EQ(full.values[30], 1030);
    EXPECT_EQ(full.values[65], 1065);
    EXPECT_EQ(buildWriteArray(reader, device, 500).values.size(), 66u);
}

TEST(WriteArray, PrinterOwnedBitsComeFromDeviceParams) {
    DeviceParams device{};
    device[24] = static_cast<std::int32_t>(0x7FFFFFFEu);  // every printer bit, no control bit
    device[25] = static_cast<std::int32_t>(0xABC00000u);
    // The controls claim every bit; only their own bits are taken.
    const auto reader = [](int i) {
        if (i == 24) {
            return static_cast<std::int32_t>(0x80000001u);
        }
        if (i == 25) {
            return static_cast<std::int32_t>(0xFFFFFFFFu);
        }
        return 0;
    };
    const WriteArray out = buildWriteArray(reader, device, 30);
    EXPECT_EQ(static_cast<std::uint32_t>(out.values[24]), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<std::uint32_t>(out.values[25]), 0xABCFFFFFu);

    const auto clearing = [](int) { return 0; };
    const WriteArray cleared = buildWriteArray(clearing, device, 30);
    EXPECT_EQ(static_cast<std::uint32_t>(cleared.values[24]), 0x7FFFFFFEu);
    EXPECT_EQ(static_cast<std::uint32_t>(cleared.values[25]), 0xABC00000u);
}

TEST(WriteArray, RebootOnlyForRebootPositions) {
    DeviceParams device{};
    device[28] = 9600;
    device[25] = static_cast<std::int32_t>(0x00F00000u);
    auto values = device;
    const auto reader = [&values](int i) { return values[i]; };
    EXPECT_FALSE(buildWriteArray(reader, device, 30).rebootNeeded);
    values[0] = 55;  // X Start Position
    EXPECT_FALSE(buildWriteArray(reader, device, 30).rebootNeeded);
    values[28] = 115200;  // UART Baud Rate
    EXPECT_TRUE(buildWriteArray(reader, device, 30).rebootNeeded);
    values[28] = 9600;
    values[25] = 0;  // printer-owned bits come back from deviceParams: no change
    EXPECT_FALSE(buildWriteArray(reader, device, 30).rebootNeeded);
    values[25] = 1;
    EXPECT_TRUE(buildWriteArray(reader, device, 30).rebootNeeded);
}

TEST(ReadBack, ComparesExactlyExceptSpeedsAndPrinterType) {
    DeviceParams device{};
    std::vector<std::int32_t> written(30, 0);
    EXPECT_EQ(firstDifference(written, device), std::nullopt);

    written[20] = 5;
    written[27] = 1;
    EXPECT_EQ(firstDifference(written, device), 20);
    written[20] = 0;
    EXPECT_EQ(firstDifference(written, device), 27);
    written[27] = 0;

    // Position 24: bits 11 and up are not compared.
    written[24] = 1 << 11;
    EXPECT_EQ(firstDifference(written, device), std::nullopt);
    written[24] = 1 << 10;
    EXPECT_EQ(firstDifference(written, device), 24);
    written[24] = 0;

    // Position 22: in range halves compare exactly.
    written[22] = packHalves(200, 250);
    device[22] = packHalves(200, 260);
    EXPECT_EQ(firstDifference(written, device), 22);
    // The printer keeps an In/Out Speed outside the range: counts as equal.
    device[22] = packHalves(200, 90);
    EXPECT_EQ(firstDifference(written, device), std::nullopt);
    device[22] = packHalves(200, 260);
    written[22] = packHalves(0, 250);
    EXPECT_EQ(firstDifference(written, device), std::nullopt);
}

TEST(ReadBack, OnlyWrittenPositionsAreCompared) {
    DeviceParams device{};
    device[40] = 7;
    EXPECT_EQ(firstDifference(std::vector<std::int32_t>(30, 0), device), std::nullopt);
    std::vector<std::int32_t> written(66, 0);
    EXPECT_EQ(firstDifference(written, device), 40);
}
