// The simulated scanner, test mode, fan command and lone-printer card feed as a caller of the
// SDK meets them: records checked against the lengths given with them, nothing written past a
// buffer, and scan images saved as bitmap files that show the card.

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "barexp_fixture.h"
#include "sim_fixture.h"
#include "sim_scanner.h"
#include "vela_scanner.h"

namespace halvard::test {

QString DecodeCode39Row(const QImage& image, int y) {
    // The standard table: nine elements per character, "1" for a wide one.
    static const std::map<QString, QChar> table = [] {
        const char* text =
            "0000110100 1100100001 2001100001 3101100000 4000110001 5100110000 6001110000 "
            "7000100101 8100100100 9001100100 A100001001 B001001001 C101001000 D000011001 "
            "E100011000 F001011000 G000001101 H100001100 I001001100 J000011100 K100000011 "
            "L001000011 M101000010 N000010011 O100010010 P001010010 Q000000111 R100000110 "
            "S001000110 T000010110 U110000001 V011000001 W111000000 X010010001 Y110010000 "
            "Z011010000 -010000101 .110000100 *010010100";
        std::map<QString, QChar> t;
        for (const QString& entry : QString::fromLatin1(text).split(u' '))
            t[entry.mid(1)] = entry[0];
        return t;
    }();
    // Runs of dark and light pixels from the first bar on.
    std::vector<int> runs;
    bool dark = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool d = qGray(image.pixel(x, y)) < 128;
        if (runs.empty() && !d)
            continue;
        if (runs.empty() || d != dark)
            runs.push_back(0);
        dark = d;
        ++runs.back();
    }
    if (runs.size() < 9)
        return {};
    const int narrow = *std::min_element(runs.begin(), runs.end());
    QString text;
    for (size_t at = 0; at + 9 <= runs.size(); at += 10) {
        QString pattern;
        for (size_t i = at; i < at + 9; ++i)
            pattern += runs[i] >= 2 * narrow ? u'1' : u'0';
        const auto it = table.find(pattern);
        if (it == table.end())
            return {};
        text += it->second;
    }
    if (!text.startsWith(u'*') || !text.endsWith(u'*') || text.size() < 2)
        return {};
    return text.mid(1, text.size() - 2);
}

namespace {

namespace sc = vela::scanner;
using namespace std::string_literals;
constexpr const char* kFlipperChain = R"({"devices": [{"name": "P", "modules": [{"id": 16},
    {"id": 64}, {"id": 97, "scanner": true}, {"id": 98}]}]})";

class ScannerSimTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        Connect(kFlipperChain);
    }
    VelaResult Run(int op, void* data, std::int32_t* length, int module = 0x61) {
        return b.Device(b.Vela_RunEncoder, module, sc::kChannel, op, data, length);
    }
    VelaResult Scan(int module = 0x61) { return b.Device(b.Vela_ReadEncoder, module, 0x10, 0); }
    // The decoded texts of one side, or the failing result.
    QString SideText(int op) {
        std::array<VelaChar, 512> buffer{};
        std::int32_t length = 1024;
        const VelaResult r = Run(op, buffer.data(), &length);
        return r != 0 ? QString::asprintf("error %08X", static_cast<unsigned>(r))
                      : QString(reinterpret_cast<const QChar*>(buffer.data()));
    }
    // Saves the last scan's images into `dir`; the call's result.
    VelaResult Save(const QString& folder, std::int32_t length = sizeof(sc::ImagePathRecord)) {
        const std::u16string top =
            QString(folder + QStringLiteral("/scan_top.bmp")).toStdU16String();
        const std::u16string bottom =
            QString(folder + QStringLiteral("/scan_bottom.bmp")).toStdU16String();
        sc::ImagePathRecord paths{reinterpret_cast<const VelaChar*>(top.c_str()),
                                  reinterpret_cast<const VelaChar*>(bottom.c_str())};
        return Run(sc::kOpSaveImages, &paths, &length);
    }
    QTemporaryDir dir;
};

TEST_F(ScannerSimTest, ScanReadsEachSidesBarcodeAsTheCardLies) {
    ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, 0x61, R"({"serial": 7})"), 0);
    EXPECT_EQ(SideText(sc::kOpBarcodeTop), QStringLiteral("error 80000345")) << "no scan yet";
    ASSERT_EQ(Scan(), 0);
    EXPECT_EQ(SideText(sc::kOpBarcodeTop), QStringLiteral("HV000007T"));
    EXPECT_EQ(SideText(sc::kOpBarcodeBottom), QStringLiteral("HV000007B"));

    // A card lying face down shows its bottom to the upper scanner.
    ASSERT_EQ(sim->VelaSim_RemoveCard(nullptr), 0);
    ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, 0x61, R"({"serial": 8, "faceDown": true})"), 0);
    ASSERT_EQ(Scan(), 0);
    EXPECT_EQ(SideText(sc::kOpBarcodeTop), QStringLiteral("HV000008B"));
    EXPECT_EQ(SideText(sc::kOpBarcodeBottom), QStringLiteral("HV000008T"));

    // A reset forgets the scan.
    std::int32_t answer = -1, length = 4;
    EXPECT_EQ(Run(sc::kOpReset, &answer, &length), 0);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(SideText(sc::kOpBarcodeTop), QStringLiteral("error 80000345"));
}

TEST_F(ScannerSimTest, RefusesWhatItCannotDo) {
    struct Case {
        const char* name;
        VelaResult result;
        VelaResult expected;
    };
    std::int32_t value = 0, four = 4;
    const std::vector<Case> cases = {
        {"scan without a card", Scan(), sim::kErrNoCard},
        {"laser unit has no scanner", Scan(0x62), sim::kErrNoScanner},
        {"printer has no scanner", Run(sc::kOpReset, &value, &four, 0x40), sim::kErrNoScanner},
        {"no such module", Scan(0x63), sim::kErrNoModule},
        {"images before a scan", Save(dir.path()), sim::kErrNoScan},
        {"magnetic tracks are not the scanner's", b.Device(b.Vela_ReadEncoder, 0x61, 0x0F, 0),
         sim::kErrNoEncoder},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST_F(ScannerSimTest, RecordsAreCheckedAgainstTheirLengthsAndBuffersKeptTo) {
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x61), 0);
    ASSERT_EQ(Scan(), 0);
    // An image path record shorter than two pointers (a fixed 8 on a 64-bit build) is refused.
    EXPECT_EQ(Save(dir.path(), sizeof(sc::ImagePathRecord) - 1), sim::kErrBadArgument);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("scan_top.bmp"))));

    sc::AreaRecord area{0, 0, 100, 100};
    std::int32_t length = 15;
    EXPECT_EQ(Run(sc::kOpSetArea, &area, &length), sim::kErrBadArgument);
    std::int32_t answer = 77;
    length = 3;
    EXPECT_EQ(Run(sc::kOpRestoreDefault, &answer, &length), sim::kErrBadArgument);
    EXPECT_EQ(answer, 77) << "nothing written into a short buffer";

    // Texts that do not fit: refused, the needed size given, nothing past the buffer touched.
    std::array<VelaChar, 16> texts;
    texts.fill(0x2A2A);
    length = 8;  // four characters: not enough for "HV000001T"
    EXPECT_EQ(Run(sc::kOpBarcodeTop, texts.data(), &length), sim::kErrBufferTooSmall);
    EXPECT_EQ(length, 22);
    EXPECT_EQ(texts[0], 0) << "only the empty text fits";
    for (size_t i = 4; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], 0x2A2A) << i;
    std::array<VelaChar, 8> version;
    version.fill(0x2A2A);
    length = 8;
    EXPECT_EQ(Run(sc::kOpVersion, version.data(), &length), sim::kErrBufferTooSmall);
    EXPECT_EQ(version[4], 0x2A2A);

    std::array<std::int32_t, 17> config;
    config.fill(-1);
    length = 60;
    EXPECT_EQ(b.Device(b.Vela_GetEncConfig2, 0x61, sc::kCfgScanner, config.data(), &length),
              sim::kErrBufferTooSmall);
    EXPECT_EQ(length, 64);
    EXPECT_EQ(config[0], -1);
    std::array<std::int32_t, 5> image = {300, 0, 0, 0, 0};
    EXPECT_EQ(b.Device(b.Vela_SetEncConfig2, 0x61, sc::kCfgImage, image.data(), 19),
              sim::kErrBadArgument);
    image[0] = 5000;  // a resolution the scanner does not have
    EXPECT_EQ(b.Device(b.Vela_SetEncConfig2, 0x61, sc::kCfgImage, image.data(), 20),
              sim::kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_SetEncConfig2, 0x61, sc::kCfgScanner, config.data(), 64),
              sim::kErrBadArgument)
        << "the scanner configuration is read only";
}

TEST_F(ScannerSimTest, SavedImagesAreBitmapsShowingTheCard) {
    ASSERT_EQ(sim->VelaSim_InsertCard(nullptr, 0x61, R"({"serial": 42})"), 0);
    ASSERT_EQ(Scan(), 0);
    ASSERT_EQ(Save(dir.path()), 0);
    for (const auto& [name, text] :
         {std::pair{"scan_top.bmp", "HV000042T"}, std::pair{"scan_bottom.bmp", "HV000042B"}}) {
        QImageReader reader(dir.filePath(QString::fromLatin1(name)));
        EXPECT_EQ(reader.format(), QByteArray("bmp")) << name;
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.size(), QSize(1012, 636));
        EXPECT_EQ(image.pixelColor(500, 100), QColor(Qt::white)) << "a blank white card";
        // The contact chip of the default card is on its top side only.
        EXPECT_EQ(image.pixelColor(160, 260) == sim::scanner::kChipGold, name == "scan_top.bmp"s)
            << name;
        // The side's barcode, readable from the picture.
        QString decoded;
        for (int y = 0; y < image.height() && decoded.isEmpty(); y += 4)
            decoded = DecodeCode39Row(image, y);
        EXPECT_EQ(decoded, QString::fromLatin1(text)) << name;
    }

    // Resolution, mode and area shape the next scan.
    std::array<std::int32_t, 5> image = {150, 1, 0, 0, 0};
    ASSERT_EQ(b.Device(b.Vela_SetEncConfig2, 0x61, sc::kCfgImage, image.data(), 20), 0);
    sc::AreaRecord area{10, 20, 400, 9999};
    std::int32_t length = 16;
    ASSERT_EQ(Run(sc::kOpSetArea, &area, &length), 0);
    ASSERT_EQ(Scan(), 0);
    ASSERT_EQ(Save(dir.path()), 0);
    const QImage top(dir.filePath(QStringLiteral("scan_top.bmp")));
    EXPECT_EQ(top.size(), QSize(390, 318 - 20));
    EXPECT_TRUE(top.allGray());
    std::array<std::int32_t, 16> config{};
    length = 64;
    ASSERT_EQ(b.Device(b.Vela_GetEncConfig2, 0x61, sc::kCfgScanner, config.data(), &length), 0);
    EXPECT_EQ(config[5], 390) << "width of the last scan";
    EXPECT_EQ(config[6], 298);

    // A folder that cannot be written: the call says so and writes nothing.
    const QString missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_EQ(Save(missing), sim::kErrFileWrite);
    EXPECT_FALSE(QDir(missing).exists());
}

TEST_F(ScannerSimTest, SettingsChangeAndComeBackToDefaults) {
    for (auto [id, value] : {std::pair{sc::kCfgGain, 21}, std::pair{sc::kCfgOffset, -4},
                             std::pair{sc::kCfgSpeed, 2}, std::pair{sc::kCfgShading, 1}})
        ASSERT_EQ(b.Device(b.Vela_SetEncConfig2, 0x61, id, &value, 4), 0) << id;
    std::array<std::int32_t, 16> config{};
    std::int32_t length = 64;
    ASSERT_EQ(b.Device(b.Vela_GetEncConfig2, 0x61, sc::kCfgScanner, config.data(), &length), 0);
    EXPECT_EQ((std::array{config[7], config[8], config[9], config[14]}),
              (std::array{21, -4, 2, 1}));

    // Shading needs the card out of the scanner; the scanner answers, the call succeeds.
    ASSERT_EQ(sim->VelaSim_SetCardModule(nullptr, 0x61), 0);
    std::int32_t answer = 0;
    length = 4;
    EXPECT_EQ(Run(sc::kOpDoShading, &answer, &length), 0);
    EXPECT_EQ(answer, 2);
    answer = -1;
    EXPECT_EQ(Run(sc::kOpRestoreDefault, &answer, &length), 0);
    EXPECT_EQ(answer, 0);
    length = 64;
    ASSERT_EQ(b.Device(b.Vela_GetEncConfig2, 0x61, sc::kCfgScanner, config.data(), &length), 0);
    EXPECT_EQ((std::array{config[0], config[7], config[8], config[9], config[14]}),
              (std::array{300, 10, 0, 3, 0}));
}

using PrinterSimTest = SimFixture;

TEST_F(PrinterSimTest, TestModeFanAndALonePrinterTakeTime) {
    Connect(R"({"devices": [{"name": "P", "modules": [{"id": 64}]}]})");
    // A lone printer takes a card fed by hand; the move back and forth keeps it.
    EXPECT_EQ(b.Device(b.Vela_CardIn, 0x40, 0, 0), 0);
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0x40);
    EXPECT_EQ(b.Device(b.Vela_CardMoveSensor, 0x40, 3, 430, 0), 0);

    const std::array<std::uint8_t, 3> fan = {0x40, 0x70, 0x01};
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, fan.data(), 3), 0);

    sim->VelaSim_SetTimeScale(1);
    ASSERT_EQ(b.Device(b.Vela_ExToggleTestMode), 0);
    const std::uint64_t status = Status(0x40);
    EXPECT_TRUE(status & vela::Bit(vela::printer::kTestMode));
    EXPECT_TRUE(status & vela::BusyMask(vela::kTypePrinter)) << "busy while it switches";
    EXPECT_EQ(b.Device(b.Vela_ExToggleTestMode), sim::kErrBusy);
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, fan.data(), 3), sim::kErrBusy);

    Connect(R"({"devices": [{"name": "P", "modules": [{"id": 16}]}]})");
    EXPECT_EQ(b.Device(b.Vela_ExToggleTestMode), sim::kErrNoModule);
    EXPECT_EQ(b.Device(b.Vela_ExCmdSend, fan.data(), 3), sim::kErrNoModule);
}

}  // namespace
}  // namespace halvard::test
