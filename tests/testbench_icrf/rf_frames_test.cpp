// The contactless frames the RF page sends, the "Key :" text, and the decoding of what the SDK
// hands back, trusted no further than the bytes it really returned.

#include <gtest/gtest.h>

#include <QByteArray>

#include <cstring>
#include <vector>

#include "qt_gtest_print.h"
#include "rf_frames.h"

namespace {

using rf::Bytes;

Bytes Hex(const char* text) {
    const QByteArray bytes = QByteArray::fromHex(text);
    return Bytes(bytes.begin(), bytes.end());
}

template <size_t N>
Bytes ToBytes(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(RfFrames, FramesCarryCommandSideBlockAndData) {
    rf::Block data{};
    std::memcpy(data.data(), "HELLO", 5);
    struct Case {
        const char* name;
        Bytes frame;
        const char* expected;
    };
    const Case cases[] = {
        {"get UID", ToBytes(rf::GetUidFrame()), "FD000000 0117"},
        {"auth", ToBytes(rf::AuthFrame({0x5A, 0x3C, 0x96, 0xE1, 0x0F, 0x7B})),
         "FD2F0000 06 5A3C96E10F7B"},
        {"read A", ToBytes(rf::ReadBlockFrame(4, rf::kSideA)), "FD350000 01 04"},
        {"read B", ToBytes(rf::ReadBlockFrame(63, rf::kSideB)), "FD350400 01 3F"},
        {"read, another side value", ToBytes(rf::ReadBlockFrame(1, 7)), "FD350400 01 01"},
        {"write A", ToBytes(rf::WriteBlockFrame(5, rf::kSideA, data)),
         "FD370000 11 05 48454C4C4F0000000000000000000000"},
        {"write B", ToBytes(rf::WriteBlockFrame(8, rf::kSideB, data)),
         "FD370400 11 08 48454C4C4F0000000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.frame, Hex(QByteArray(c.expected).replace(' ', "").constData())) << c.name;
}

TEST(RfFrames, KeyTextKeepsUpperCaseHexDigitsOnly) {
    struct Case {
        const char* text;
        rf::Key key;
    };
    const Case cases[] = {
        {"5A 3C 96 E1 0F 7B", {0x5A, 0x3C, 0x96, 0xE1, 0x0F, 0x7B}},
        {"ab cd ef 01 23 45", {0x01, 0x23, 0x45, 0, 0, 0}},  // lower case is dropped
        {"abcdef", {0, 0, 0, 0, 0, 0}},
        {"ABC", {0xAB, 0, 0, 0, 0, 0}},  // a lone high digit gives 0 and ends the key
        {"A-B:C.D", {0xAB, 0xCD, 0, 0, 0, 0}},
        {"GHZ 12 Q3", {0x12, 0, 0, 0, 0, 0}},  // "3" alone
        {"00112233445566778899", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
        {"", {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rf::ParseKey(QString::fromLatin1(c.text)), c.key) << c.text;
}

TEST(RfFrames, ReportedLengthsAreCutToTheBuffer) {
    const std::array<std::uint8_t, 4> buffer = {1, 2, 3, 4};
    EXPECT_EQ(rf::Returned(buffer, 2).size(), 2u);
    EXPECT_EQ(rf::Returned(buffer, 4).size(), 4u);
    EXPECT_EQ(rf::Returned(buffer, 40).size(), 4u);
    EXPECT_EQ(rf::Returned(buffer, 0x7FFFFFFF).size(), 4u);
    EXPECT_EQ(rf::Returned(buffer, -1).size(), 0u);
    EXPECT_EQ(rf::ReturnedLength(-0x7FFFFFFF - 1, 32), 0);
}

TEST(RfFrames, UidLengthComesFromCardTypeOrLengthByteAndStaysInTheResponse) {
    // Status, 2 bytes, card type, 5 bytes, length code, then the identifier.
    struct Case {
        const char* name;
        const char* response;
        const char* uid;
    };
    const Case cases[] = {
        {"4-byte type ignores byte 9", "000000 42 0004080000 02 A1B2C3D4E5F60718 9000", "A1B2C3D4"},
        {"length code 2: seven bytes", "000000 44 0044080000 02 04112233445566 9000",
         "04112233445566"},
        {"length code 3: ten bytes", "000000 48 0084080000 03 04112233445566778899 9000",
         "04112233445566778899"},
        {"other length codes: four bytes", "000000 10 0000000000 07 0A0B0C0D0E 9000", "0A0B0C0D"},
        {"no card", "010000 FF 0000000000 00 6A82", ""},
        {"card type none with success status", "000000 FF 0000000000 01 01020304 9000", ""},
        {"error status", "050000 42 0000000000 01 01020304 9000", ""},
        {"length code past the response", "000000 48 0084080000 03 0411", "0411"},
        {"nothing after the header", "000000 42 0004080000 01", ""},
        {"shorter than the card type", "00", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        const Bytes response = Hex(QByteArray(c.response).replace(' ', "").constData());
        EXPECT_EQ(rf::DecodeUid(response), Hex(c.uid)) << c.name;
    }
}

TEST(RfFrames, ReadBlockDataOnlyFromASuccessfulResponse) {
    struct Case {
        const char* name;
        const char* response;
        bool ok;
        const char* data;
    };
    const Case cases[] = {
        {"sixteen bytes", "00 48454C4C4F0000000000000000000000 9000", true,
         "48454C4C4F0000000000000000000000"},
        {"no data", "00 9000", true, ""},
        {"more than a block", "00 000102030405060708090A0B0C0D0E0F1011 9000", true,
         "000102030405060708090A0B0C0D0E0F"},
        {"status word not 90 00", "00 48454C4C4F 6300", false, ""},
        {"error status", "02 6300", false, ""},
        {"error status with 90 00", "03 4142 9000", false, ""},
        {"status word alone", "9000", false, ""},
        {"empty", "", false, ""},
    };
    for (const Case& c : cases) {
        Bytes data = {0xEE};
        const bool ok =
            rf::DecodeReadBlock(Hex(QByteArray(c.response).replace(' ', "").constData()), data);
        EXPECT_EQ(ok, c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(data, Hex(c.data)) << c.name;
        }
    }
}

TEST(RfFrames, BlockTextIsCutToWholeCharactersInSixteenBytes) {
    const rf::Block ascii = rf::EncodeBlockText(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(ascii.data()), 16),
              QByteArray("ABCDEFGHIJKLMNOP"));
    const rf::Block shortText = rf::EncodeBlockText(QStringLiteral("Hi"));
    EXPECT_EQ(ToBytes(shortText), Hex("48690000000000000000000000000000"));

    // Characters of several bytes: what is kept reads back as the start of the text, with no
    // broken character, and the rest of the block stays zero.
    const QString wide = QString(16, QChar(0x00E9));
    const rf::Block block = rf::EncodeBlockText(wide);
    const QString back = rf::DecodeBlockText(block);
    EXPECT_FALSE(back.isEmpty());
    EXPECT_TRUE(wide.startsWith(back)) << back.toStdString();

    // Shown up to the first zero byte.
    EXPECT_EQ(rf::DecodeBlockText(Hex("48454C4C4F00414243")), QStringLiteral("HELLO"));
    EXPECT_EQ(rf::DecodeBlockText({}), QString());
}

TEST(RfFrames, ReaderNamesStopAtTheirTerminatorOrTheirField) {
    DeviceInfo info{};
    const QString longName(64, QChar(u'R'));
    std::memcpy(info.icReaderName, u"Contact", 8 * sizeof(VelaChar));
    std::memcpy(info.simReaderName, longName.utf16(), 64 * sizeof(VelaChar));
    // The field after the SIM reader's starts without a terminator in between.
    std::memcpy(info.rfReaderName, u"Next", 5 * sizeof(VelaChar));
    const auto contact = rf::ContactReaderNames(info);
    EXPECT_EQ(contact[0], QStringLiteral("Contact"));
    EXPECT_EQ(contact[1], longName);
    const auto contactless = rf::ContactlessReaderNames(info);
    EXPECT_EQ(contactless[0], QStringLiteral("Next"));
    EXPECT_EQ(contactless[1], QString());
}

}  // namespace
