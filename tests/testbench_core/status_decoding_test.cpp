#include <gtest/gtest.h>

#include <QRegularExpression>
#include <map>

#include "status_decoding.h"

namespace {

struct Expected {
    QString text;
    int severity;
};
using BitTable = std::map<int, Expected>;

// Reads a list written as `bit "text" [severity]; ...`, the way the bit meanings are documented.
BitTable ParseList(const char* list) {
    BitTable table;
    static const QRegularExpression entry(QString::fromLatin1(R"re((\d+) "([^"]*)" \[(\d)\])re"));
    auto it = entry.globalMatch(QString::fromLatin1(list));
    while (it.hasNext()) {
        const auto m = it.next();
        const int bit = m.captured(1).toInt();
        EXPECT_EQ(table.count(bit), 0u) << "bit listed twice: " << bit;
        table[bit] = {m.captured(2), m.captured(3).toInt()};
    }
    return table;
}

const char* const kInputHopper =
    R"(1 "card ejecting" [1]; 16 "ready to use" [0]; 17 "doing command" [1]; 25 "almost empty cards" [0]; 26 "empty card" [0]; 27 "detect cartridge lock sensor" [0]; 28 "detect cartridge contact sensor" [0]; 29 "detect card-out sensor" [0]; 30 "detect right side hook" [0]; 31 "detect left side hook" [0]; 33 "error while eject card" [2]; 48 "initializing failure" [3].)";

const char* const kMultiInputHopper =
    R"(0 "initializing" [1]; 1 "card ejecting" [1]; 2 "ready to use" [0]; 3 "doing command" [1]; 4 "detect hopper 1" [0]; 5 "detect hopper 2" [0]; 6 "detect hopper 3" [0]; 7 "detect hopper 4" [0]; 8 "detect hopper 5" [0]; 9 "detect hopper 6" [0]; 10 "hopper 1 is running" [1]; 11 "hopper 2 is running" [1]; 12 "hopper 3 is running" [1]; 13 "hopper 4 is running" [1]; 14 "hopper 5 is running" [1]; 15 "hopper 6 is running" [1]; 18 "limit sensor left" [0]; 19 "limit sensor right" [0]; 20 "shifter position sensor A" [0]; 21 "shifter position sensor B" [0]; 22 "shifter position sensor C" [0]; 23 "shifter position sensor D" [0]; 24 "card in sensor A0" [0]; 25 "card in sensor A1" [0]; 26 "card in sensor B0" [0]; 27 "card in sensor B1" [0]; 28 "card in sensor C0" [0]; 29 "card in sensor C1" [0]; 30 "card in sensor D0" [0]; 31 "card in sensor D1" [0]; 32 "initializing fail" [3]; 33 "card out error" [2]; 35 "failed to run command" [2];
    36 "hopper 1 control error" [2]; 37 "hopper 2 control error" [2]; 38 "hopper 3 control error" [2]; 39 "hopper 4 control error" [2]; 40 "hopper 5 control error" [2]; 41 "hopper 6 control error" [2];
    42 "hopper 1 is empty" [2]; 43 "hopper 2 is empty" [2]; 44 "hopper 3 is empty" [2]; 45 "hopper 4 is empty" [2]; 46 "hopper 5 is empty" [2]; 47 "hopper 6 is empty" [2];
    48 "hopper 1 has error" [2]; 49 "hopper 2 has error" [2]; 50 "hopper 3 has error" [2]; 51 "hopper 4 has error" [2]; 52 "hopper 5 has error" [2]; 53 "hopper 6 has error" [2].)";

const char* const kPrinter =
    R"(0 "doing SBS Command" [1]; 1 "card is moving" [1]; 2 "card is inserting" [1]; 3 "card is ejecting" [1]; 4 "thermal head lifting" [1]; 5 "seek ribbon" [1]; 6 "moving ribbon" [1]; 7 "printing" [1]; 8 "magnetic encoding" [0]; 9 "receiving print data" [1]; 10 "receiving print data" [1]; 11 "ready" [0]; 15 "internal encoder is installed" [0]; 16 "external input-hopper is installed" [0]; 17 "external output-hopper is installed" [0]; 18 "external encoder is installed" [0]; 19 "external laminator is installed" [0]; 20 "external flipper is installed" [0]; 21 "external etc. module is installed" [0]; 22 "case is opened" [0]; 23 "soft locked state" [0]; 24 "key locked state" [0]; 25 "detect a card" [0]; 26 "module is connected to left" [0]; 27 "module is connected to right" [0]; 28 "need cleaning" [0]; 29 "have some printing data" [0]; 30 "Manual Mode" [0]; 31 "Test mode" [0]; 32 "failed to insert card" [2]; 33 "failed to move card" [2]; 34 "failed to eject card" [2]; 35 "failed to lift thermal head" [2]; 38 "error while printing" [2]; 39 "magnetic encoding error" [2]; 40 "magnetic ISO track 1 read error" [2]; 41 "magnetic ISO track 2 read error" [2]; 42 "magnetic ISO track 3 read error" [2]; 43 "ext. input-hopper connection failure" [2]; 44 "ext. output-hopper connection failure" [2]; 45 "external encoder connection failure" [2]; 46 "external laminator connection failure" [2]; 47 "external flipper connection failure" [2]; 48 "ext. etc. module connection failure" [2]; 49 "ext. preset module connection failure" [2]; 50 "mag. module connection failure" [2]; 53 "scheduler run error" [2]; 54 "ribbon is empty" [2]; 55 "ribbon search failure" [2]; 56 "ribbon move failure" [2]; 57 "thermal head is absent" [3]; 58 "thermal head is overheated" [3]; 59 "ribbon is absent" [3]; 60 "error on printing data" [3]; 61 "wrong password" [3]; 62 "failed to change printer config" [3].)";

const char* const kLaminator =
    R"(0 "card inserting" [1]; 1 "card moving" [1]; 2 "card ejecting" [1]; 3 "thermal head lifting up" [1]; 4 "thermal head lifting down" [1]; 5 "thermal head heating" [1]; 6 "laminating" [1]; 7 "install ext. hopper" [0]; 8 "install ext. stacker" [0]; 9 "install ext. flipper" [0]; 16 "ready state" [0]; 17 "doing command" [1]; 18 "doing USB command" [1]; 20 "Case is opened" [0]; 21 "Detect Cartridge Lock Sensor" [0]; 22 "Detect a card from out sensor" [0]; 23 "Detect a card from center sensor B" [0]; 24 "Detect a card from center sensor A" [0]; 25 "Detect a card from in sensor" [0]; 26 "Detect head lift sensor" [0]; 27 "Detect Case Open Check Sensor" [0]; 28 "Film Mark Check Sensor B" [0]; 29 "Film Mark Check Sensor A" [0]; 30 "Encoder Sensor B" [0]; 31 "Encoder Sensor A" [0]; 32 "error while insert card" [2]; 33 "error while move card" [2]; 34 "error while eject card" [2]; 35 "error while lift up header" [2]; 36 "error while lift down header" [2]; 37 "error while laminating" [2]; 39 "ext. flipper connection failure" [3]; 40 "ext. stacker connection failure" [3]; 41 "ext. flipper connection failure" [3]; 48 "initialize failure" [3]; 49 "error while process command" [2]; 50 "error while process USB command" [2]; 52 "laminate film empty" [3]; 53 "film seek failure" [3]; 54 "thermal head error" [3]; 55 "laminate film is absent" [3].)";

const char* const kFlipper =
    R"(0 "card inserting" [1]; 1 "card ejecting" [1]; 2 "card flipping" [1]; 3 "card moving" [1]; 16 "ready state" [0]; 17 "doing command" [1]; 21 "board ver. 2" [0]; 22 "faced to bottom" [0]; 23 "faced to top" [0]; 24 "detect cartridge lock sensor" [0]; 26 "cartridge is full" [0]; 27 "Vertical Position Control Sensor" [0]; 28 "Horizontal Position Control Sensor" [0]; 29 "detect a card at right sensor" [0]; 30 "detect a card at center sensor" [0]; 31 "detect a card at left sensor" [0]; 32 "card insert error" [2]; 33 "card eject error" [2]; 34 "flipping error" [2]; 35 "card moving error" [2]; 48 "initialize failure" [3].)";

// Named only while bit 21 ("board ver. 2") is set too.
const char* const kFlipperBoardV2 =
    R"(4 "ic contactor contacted" [0]; 5 "ic contactor released" [0]; 8 "extended board absent" [0]; 9 "detect a card at scanner in sensor" [0]; 10 "detect a card at scanner out sensor" [0]; 11 "detect ic contactor" [0]; 12 "not installed scanner module" [0]; 25 "detect case open sensor" [0]; 36 "ic contactor contact error" [2]; 37 "ic contactor release error" [2].)";

const char* const kLaser =
    R"(0 "card inserting" [1]; 1 "card ejecting" [1]; 2 "card flipping" [1]; 3 "card moving" [1]; 4 "ic contactor lifting" [1]; 5 "doing magnetic r/w" [1]; 11 "No IC CAM" [0]; 15 "VELA-KLE" [0]; 16 "ready state" [0]; 17 "doing command" [1]; 18 "auto. card insert set" [0]; 19 "preparing" [0]; 20 "faced to bottom" [0]; 21 "faced to top" [0]; 22 "flipper tilted" [0]; 24 "door open" [0]; 25 "flipper is near right" [0]; 26 "detect card from opt. out sensor" [0]; 27 "detect card from flipper out sensor" [0]; 28 "detect card from flipper in sensor" [0]; 29 "detect card from card out sensor" [0]; 30 "detect card from flipper center sensor" [0]; 31 "detect card from card in sensor" [0]; 32 "card insert error" [2]; 33 "card eject error" [2]; 34 "flipping error" [2]; 35 "card moving error" [2]; 36 "ic contactor lifting error" [2]; 37 "magnetic r/w error" [2]; 48 "initialize failure" [3].)";

const char* const kOutputHopper =
    R"(0 "card inserting" [1]; 2 "lifting up" [1]; 3 "lifting down" [1]; 16 "ready state" [0]; 17 "doing command" [1]; 25 "detect card standby sensor" [0]; 26 "output hopper have space" [0]; 27 "detect cartridge lock sensor" [0]; 28 "detect cartridge contact sensor" [0]; 29 "detect able to insert card sensor" [0]; 30 "lifted up" [0]; 31 "detect card from in sensor" [0]; 32 "error while insert card" [2]; 34 "error while lift up" [2]; 35 "error while lift down" [2]; 48 "initializing failure" [3].)";

QString Fallback(int bit) {
    return QStringLiteral("(bit-") + QString::number(bit + 1) + u')';
}

constexpr std::uint64_t Bit(int n) {
    return std::uint64_t{1} << n;
}

// Every bit of module `id`, set alone: a named bit shows its text and severity, any other bit
// the 1-based fallback in black; the clear word shows nothing.
void CheckEveryBit(std::uint8_t id, const BitTable& named, std::uint64_t extraBits = 0) {
    for (int bit = 0; bit < 64; ++bit) {
        SCOPED_TRACE(testing::Message()
                     << "id " << std::hex << int(id) << std::dec << " bit " << bit);
        EXPECT_TRUE(DescribeStatusBit(id, extraBits & ~Bit(bit), bit).text.isEmpty());
        const DecodedLine line = DescribeStatusBit(id, Bit(bit) | extraBits, bit);
        const auto it = named.find(bit);
        if (it != named.end()) {
            EXPECT_EQ(line.text, it->second.text);
            EXPECT_EQ(line.severity, it->second.severity);
        } else {
            EXPECT_EQ(line.text, Fallback(bit));
            EXPECT_EQ(line.severity, 0);
        }
    }
}

TEST(StatusTables, ListsParseCompletely) {
    // Guards the expectations themselves: a typo in a list would silently drop entries.
    EXPECT_EQ(ParseList(kInputHopper).size(), 12u);
    EXPECT_EQ(ParseList(kMultiInputHopper).size(), 51u);
    EXPECT_EQ(ParseList(kPrinter).size(), 56u);
    EXPECT_EQ(ParseList(kLaminator).size(), 41u);
    EXPECT_EQ(ParseList(kFlipper).size(), 21u);
    EXPECT_EQ(ParseList(kFlipperBoardV2).size(), 10u);
    EXPECT_EQ(ParseList(kLaser).size(), 30u);
    EXPECT_EQ(ParseList(kOutputHopper).size(), 16u);
}

TEST(StatusTables, InputHopper) {
    for (std::uint8_t id : {0x10, 0x11, 0x1F})
        CheckEveryBit(id, ParseList(kInputHopper));
}

TEST(StatusTables, MultiInputHopper) {
    for (std::uint8_t id : {0x20, 0x21, 0x2F})
        CheckEveryBit(id, ParseList(kMultiInputHopper));
}

TEST(StatusTables, Printer) {
    for (std::uint8_t id : {0x40, 0x41, 0x4F})
        CheckEveryBit(id, ParseList(kPrinter));
}

TEST(StatusTables, Laminator) {
    for (std::uint8_t id : {0x50, 0x51})
        CheckEveryBit(id, ParseList(kLaminator));
}

TEST(StatusTables, LaserUnitIsOnlyId62) {
    CheckEveryBit(0x62, ParseList(kLaser));
}

TEST(StatusTables, OutputHopper) {
    for (std::uint8_t id : {0x70, 0x71, 0x7F})
        CheckEveryBit(id, ParseList(kOutputHopper));
}

TEST(StatusTables, FlipperWithBoardVersion2) {
    // With bit 21 set the board-2 bits are named as well.
    BitTable named = ParseList(kFlipper);
    for (const auto& [bit, e] : ParseList(kFlipperBoardV2))
        named[bit] = e;
    for (std::uint8_t id : {0x60, 0x61, 0x63, 0x6F})
        CheckEveryBit(id, named, Bit(21));
}

TEST(StatusTables, FlipperWithoutBoardVersion2) {
    // Without bit 21 the board-2 bits show nothing at all (no fallback); the rest decodes as usual.
    const BitTable named = ParseList(kFlipper);
    const BitTable v2 = ParseList(kFlipperBoardV2);
    for (std::uint8_t id : {0x60, 0x61, 0x63}) {
        for (int bit = 0; bit < 64; ++bit) {
            if (bit == 21)
                continue;
            SCOPED_TRACE(bit);
            const DecodedLine line = DescribeStatusBit(id, Bit(bit), bit);
            if (v2.count(bit)) {
                EXPECT_TRUE(line.text.isEmpty()) << line.text.toStdString();
            } else if (named.count(bit)) {
                EXPECT_EQ(line.text, named.at(bit).text);
                EXPECT_EQ(line.severity, named.at(bit).severity);
            } else {
                EXPECT_EQ(line.text, Fallback(bit));
            }
        }
    }
}

TEST(StatusTables, TypesWithoutTableShowNothing) {
    // Type 3, the multi-output hopper and the unassigned types: not even the fallback.
    for (int id : {0x00, 0x01, 0x30, 0x3A, 0x80, 0x8F, 0x90, 0xA5, 0xC0, 0xFE, 0xFF}) {
        for (int bit = 0; bit < 64; ++bit) {
            EXPECT_TRUE(DescribeStatusBit(std::uint8_t(id), ~0ULL, bit).text.isEmpty())
                << "id " << id << " bit " << bit;
        }
    }
}

TEST(StatusTables, BitsOutsideTheWordYieldNothing) {
    for (int bit : {-1, -64, 64, 65, 1000}) {
        EXPECT_TRUE(DescribeStatusBit(0x40, ~0ULL, bit).text.isEmpty()) << bit;
        EXPECT_TRUE(DescribeStateBit(0xFF, bit).text.isEmpty()) << bit;
    }
}

TEST(StatusEdgeCases, PrinterManualModeIsBlack) {
    const DecodedLine line = DescribeStatusBit(0x40, Bit(30), 30);
    EXPECT_EQ(line.text, QStringLiteral("Manual Mode"));
    EXPECT_EQ(line.severity, 0);
    EXPECT_EQ(SeverityColor(line.severity), QColor(0, 0, 0));
    for (int bit = 0; bit < 64; ++bit) {
        if (bit != 30) {
            EXPECT_TRUE(DescribeStatusBit(0x40, Bit(30), bit).text.isEmpty()) << bit;
        }
    }
}

TEST(StatusEdgeCases, FallbackNumbersAreOneBased) {
    EXPECT_EQ(DescribeStatusBit(0x40, Bit(63), 63).text, QStringLiteral("(bit-64)"));
    EXPECT_EQ(DescribeStatusBit(0x10, Bit(0), 0).text, QStringLiteral("(bit-1)"));
    EXPECT_EQ(DescribeStatusBit(0x10, Bit(0), 0).severity, 0);
}

TEST(StatusEdgeCases, MultiInputInitializingIsBlueViolet) {
    const DecodedLine line = DescribeStatusBit(0x20, Bit(0), 0);
    EXPECT_EQ(line.text, QStringLiteral("initializing"));
    EXPECT_EQ(SeverityColor(line.severity), QColor(0x40, 0x20, 0xC0));
}

TEST(StatusEdgeCases, FlipperContactorNeedsBoardVersion2) {
    const std::uint64_t both = Bit(4) | Bit(21);
    EXPECT_EQ(DescribeStatusBit(0x61, both, 4).text, QStringLiteral("ic contactor contacted"));
    EXPECT_EQ(DescribeStatusBit(0x61, both, 21).text, QStringLiteral("board ver. 2"));
    for (int bit = 0; bit < 64; ++bit)
        EXPECT_TRUE(DescribeStatusBit(0x61, Bit(4), bit).text.isEmpty()) << bit;
}

TEST(StatusEdgeCases, LaserAndFlipperIds) {
    // Bit 4 tells the tables apart: laser "ic contactor lifting", flipper needs bit 21.
    EXPECT_EQ(DescribeStatusBit(0x62, Bit(4), 4).text, QStringLiteral("ic contactor lifting"));
    EXPECT_EQ(DescribeStatusBit(0x62, Bit(15), 15).text, QStringLiteral("VELA-KLE"));
    EXPECT_TRUE(DescribeStatusBit(0x63, Bit(4), 4).text.isEmpty());
    EXPECT_EQ(DescribeStatusBit(0x63, Bit(15), 15).text, QStringLiteral("(bit-16)"));
    EXPECT_EQ(DescribeStatusBit(0x63, Bit(21), 21).text, QStringLiteral("board ver. 2"));
    EXPECT_EQ(DescribeStatusBit(0x62, Bit(21), 21).text, QStringLiteral("faced to top"));
}

TEST(StateByte, EveryBit) {
    const BitTable named = ParseList(
        R"(0 "Action : FAIL" [2]; 1 "Action : Running" [1]; 2 "Detect Card" [0]; 3 "Initializing..." [1]; 4 "Command : Running" [1]; 5 "Command : FAIL" [2])");
    ASSERT_EQ(named.size(), 6u);
    for (int bit = 0; bit < 8; ++bit) {
        SCOPED_TRACE(bit);
        const std::uint8_t only = std::uint8_t(1u << bit);
        EXPECT_TRUE(DescribeStateBit(std::uint8_t(~only), bit).text.isEmpty());
        const DecodedLine line = DescribeStateBit(only, bit);
        const DecodedLine inFull = DescribeStateBit(std::uint8_t(0xFF), bit);
        if (named.count(bit)) {
            EXPECT_EQ(line.text, named.at(bit).text);
            EXPECT_EQ(line.severity, named.at(bit).severity);
            EXPECT_EQ(inFull.text, named.at(bit).text);
        } else {
            EXPECT_TRUE(line.text.isEmpty());  // bits 6 and 7 have no text, not even a fallback
            EXPECT_TRUE(inFull.text.isEmpty());
        }
    }
}

TEST(StateByte, OnlyBits6And7ShowNoLines) {
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_TRUE(DescribeStateBit(std::uint8_t(0xC0), bit).text.isEmpty()) << bit;
}

TEST(SlotLookup, DecodesTheWordOfTheMatchingSlot) {
    const ModuleSlot chain[kModuleSlotCount] = {
        {0x10, 0x04, Bit(16)}, {0x40, 0x02, Bit(30) | Bit(63)},
        {0x61, 0x00, Bit(4)},  {0x62, 0x01, Bit(4)},
        {0x70, 0x20, Bit(0)},
    };
    EXPECT_EQ(DescribeStatusBit(chain, kModuleSlotCount, 0x10, 16).text,
              QStringLiteral("ready to use"));
    EXPECT_EQ(DescribeStatusBit(chain, kModuleSlotCount, 0x40, 30).text,
              QStringLiteral("Manual Mode"));
    EXPECT_EQ(DescribeStatusBit(chain, kModuleSlotCount, 0x40, 63).text,
              QStringLiteral("(bit-64)"));
    EXPECT_TRUE(DescribeStatusBit(chain, kModuleSlotCount, 0x40, 16).text.isEmpty());
    EXPECT_TRUE(DescribeStatusBit(chain, kModuleSlotCount, 0x61, 4).text.isEmpty());
    EXPECT_EQ(DescribeStatusBit(chain, kModuleSlotCount, 0x62, 4).text,
              QStringLiteral("ic contactor lifting"));
    EXPECT_EQ(DescribeStatusBit(chain, kModuleSlotCount, 0x70, 0).text,
              QStringLiteral("card inserting"));

    EXPECT_EQ(DescribeStateBit(chain, kModuleSlotCount, 0x10, 2).text,
              QStringLiteral("Detect Card"));
    EXPECT_EQ(DescribeStateBit(chain, kModuleSlotCount, 0x40, 1).text,
              QStringLiteral("Action : Running"));
    EXPECT_EQ(DescribeStateBit(chain, kModuleSlotCount, 0x62, 0).text,
              QStringLiteral("Action : FAIL"));
    EXPECT_EQ(DescribeStateBit(chain, kModuleSlotCount, 0x70, 5).text,
              QStringLiteral("Command : FAIL"));
    EXPECT_TRUE(DescribeStateBit(chain, kModuleSlotCount, 0x70, 2).text.isEmpty());
}

TEST(SlotLookup, UnknownIdReadsAsZero) {
    const ModuleSlot chain[kModuleSlotCount] = {{0x40, 0xFF, ~0ULL}};
    for (int bit = 0; bit < 64; ++bit) {
        EXPECT_TRUE(DescribeStatusBit(chain, kModuleSlotCount, 0x41, bit).text.isEmpty());
        EXPECT_TRUE(DescribeStatusBit(nullptr, 0, 0x40, bit).text.isEmpty());
    }
    for (int bit = 0; bit < 8; ++bit) {
        EXPECT_TRUE(DescribeStateBit(chain, kModuleSlotCount, 0x41, bit).text.isEmpty());
        EXPECT_TRUE(DescribeStateBit(nullptr, 0, 0x40, bit).text.isEmpty());
        // Only the first `count` slots are searched.
        EXPECT_TRUE(DescribeStateBit(chain, 0, 0x40, bit).text.isEmpty());
    }
}

TEST(ModuleNames, EveryType) {
    const std::pair<int, const char*> cases[] = {
        {0x10, "Input-Hopper [10]"},
        {0x1A, "Input-Hopper [1A]"},
        {0x21, "Multi-Input-Hopper [21]"},
        {0x30, "Input-Hopper [30]"},
        {0x3F, "Input-Hopper [3F]"},
        {0x40, "Printer [40]"},
        {0x4B, "Printer [4B]"},
        {0x51, "Laminator [51]"},
        {0x60, "Flipper [60]"},
        {0x61, "Flipper [61]"},
        {0x62, "Laser [62]"},
        {0x63, "Flipper [63]"},
        {0x7E, "Output-Hopper [7E]"},
        {0x80, "Multi-Output-Hopper [80]"},
        {0x00, ""},
        {0x05, ""},
        {0x90, ""},
        {0xAB, ""},
        {0xFF, ""},
    };
    for (const auto& [id, name] : cases)
        EXPECT_EQ(FormatModuleName(std::uint8_t(id)), QString::fromLatin1(name)) << id;
}

TEST(SeverityColors, KnownAndUnknown) {
    EXPECT_EQ(SeverityColor(0), QColor(0, 0, 0));
    EXPECT_EQ(SeverityColor(1), QColor(0x40, 0x20, 0xC0));
    EXPECT_EQ(SeverityColor(2), QColor(0xC0, 0x40, 0x20));
    EXPECT_EQ(SeverityColor(3), QColor(0xC0, 0x20, 0x20));
    EXPECT_EQ(SeverityColor(4), QColor(0, 0, 0));
    EXPECT_EQ(SeverityColor(-1), QColor(0, 0, 0));
}

}  // namespace
