// The Magnetic page's widget-free rules: the encoder list, the hexadecimal key texts and the key
// block.
#include <gtest/gtest.h>

#include "magnetic_logic.h"
#include "qt_gtest_print.h"

namespace {

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

}  // namespace
