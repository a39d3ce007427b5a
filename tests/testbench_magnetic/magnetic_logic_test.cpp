// The Magnetic page's widget-free rules: write passes, the encoder list, the hexadecimal key
// texts and the key block; and the batch run's comparison of written and read tracks.
#include <gtest/gtest.h>

#include "batch_run.h"
#include "magnetic_logic.h"
#include "qt_gtest_print.h"

namespace {

using magnetic::WritePasses;

TEST(MagneticLogic, WritePassesAndTheirTrackNames) {
    struct Case {
        int mask;
        bool interlace;
        WritePasses passes;
    };
    const Case cases[] = {
        {0x07, true, {0x05, 0x02}},  // tracks 1 and 3, then 2
        {0x08, true, {0x08, 0x00}},  // JIS alone: one pass
        {0x02, true, {0x00, 0x02}},  // track 2 alone: no first pass
        {0x0F, true, {0x05, 0x02}},  // JIS is not written interlaced
        {0x07, false, {0x07, 0x00}}, {0x00, false, {0x00, 0x00}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(magnetic::PlanWritePasses(c.mask, c.interlace), c.passes)
            << c.mask << " " << c.interlace;
    EXPECT_EQ(magnetic::TrackNames(0x05), QStringLiteral("Track 1, Track 3"));
    EXPECT_EQ(magnetic::TrackNames(0x0A), QStringLiteral("Track 2, Track JIS"));
}

TEST(MagneticLogic, EncodersOfAChain) {
    ConnectedModuleList list{};
    const std::uint8_t ids[] = {0x10, 0x40, 0x41, 0x61, 0x62, 0x70};
    list.count = 6;
    for (int i = 0; i < list.count; ++i)
        list.entries[i].id = ids[i];
    std::vector<std::uint8_t> asked;
    // 0x40 has an encoder (status bit 15), 0x41 does not.
    const auto entries = magnetic::EncoderEntries(list, [&](std::uint8_t id) -> std::uint64_t {
        asked.push_back(id);
        return id == 0x40 ? 0x8000 : 0x7FFF;
    });
    EXPECT_EQ(entries, (std::vector<magnetic::EncoderEntry>{{QStringLiteral("Int-Enc [40]"), 0x40},
                                                            {QStringLiteral("Laser [62]"), 0x62}}));
    EXPECT_EQ(asked, (std::vector<std::uint8_t>{0x40, 0x41})) << "only printers are asked";
    // A count the SDK got wrong is not followed past the record.
    list.count = 1000;
    EXPECT_EQ(magnetic::EncoderEntries(list, [](std::uint8_t) { return 0ull; }).size(), 1u);
}

TEST(MagneticLogic, HexadecimalKeys) {
    struct Case {
        const char16_t* text;
        const char16_t* decoded;
    };
    const Case cases[] = {
        {u"0g12", u""},          // the scan stops at g, the odd digit is dropped
        {u"   1 2 3", u"\x12"},  // blanks skipped, the odd last digit dropped
        {u"61\t62 63", u"abc"},  // tabs too
        {u"a1b2", u"\xA1\xB2"},  // lower case
        {u"4142 zz 43", u"AB"},  // stops at the first other character
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(magnetic::DecodeHex(QString::fromUtf16(c.text)), QString::fromUtf16(c.decoded))
            << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(magnetic::EncodeHex(QStringLiteral("abc")), QStringLiteral("61 62 63"));
    EXPECT_EQ(magnetic::CanonicalHexKey(QStringLiteral("a1b2")), QStringLiteral("A1 B2"));
    // Seventeen bytes written out are cut to the box's 47 characters.
    EXPECT_EQ(magnetic::CanonicalHexKey(QStringLiteral("00").repeated(17)),
              QStringLiteral("00 ").repeated(15) + QStringLiteral("00"));
}

TEST(MagneticLogic, KeyBlockIsTheLowBytesOfTheKeyText) {
    const magnetic::KeyBlock plain = magnetic::BuildKeyBlock(QStringLiteral("Key\u0141"), false);
    EXPECT_EQ(plain, (magnetic::KeyBlock{'K', 'e', 'y', 0x41}));
    const magnetic::KeyBlock hex = magnetic::BuildKeyBlock(QStringLiteral("4B 65 79"), true);
    EXPECT_EQ(hex, (magnetic::KeyBlock{'K', 'e', 'y'}));
    // Never more than 16 bytes, whatever the text.
    const magnetic::KeyBlock longKey =
        magnetic::BuildKeyBlock(QStringLiteral("0123456789ABCDEFGHIJ"), false);
    EXPECT_EQ(longKey[15], 'F');
}

TEST(BatchCompare, ListsEveryCheckedTrackWhenOneDiffers) {
    TrackTexts texts;
    texts.writeChecked = {true, true, true, true};
    texts.readChecked = {true, true, true, true};
    texts.written = {QStringLiteral("1"), QStringLiteral("22"), QStringLiteral("3"),
                     QStringLiteral("J")};
    texts.read = texts.written;
    EXPECT_TRUE(CompareTracks(texts).isEmpty());
    // A track checked on one side only is not compared.
    texts.readChecked[0] = false;
    texts.read[0] = QStringLiteral("x");
    EXPECT_TRUE(CompareTracks(texts).isEmpty());
    texts.readChecked[0] = true;
    texts.read[0] = texts.written[0];

    texts.read[1] = QStringLiteral("2?");
    EXPECT_EQ(
        CompareTracks(texts),
        (QStringList{
            QStringLiteral("    T1 Write = [1]\r\n"), QStringLiteral("    T1 Read  = [1]\r\n"),
            QStringLiteral("    T2 Write = [22]\r\n"), QStringLiteral("    T2 Read  = [2?]\r\n"),
            QStringLiteral("    T3 Write = [3]\r\n"), QStringLiteral("    T3 Read  = [3]\r\n"),
            QStringLiteral("    JIS Write = [J]\r\n"), QStringLiteral("    JIS Read  = [J]\r\n")}));
    // Compared exactly: case matters.
    texts.read[1] = texts.written[1];
    texts.read[3] = QStringLiteral("j");
    EXPECT_EQ(CompareTracks(texts).size(), 8);
}

}  // namespace
