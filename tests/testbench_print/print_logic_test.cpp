// The Print page's widget-free rules: ribbon names both ways, the path check, the settings
// fields, and above all the check of the untrusted preview bitmap before anything is copied.

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstring>
#include <functional>

#include "print_logic.h"
#include "qt_gtest_print.h"

namespace {

namespace ps = printer_settings;

TEST(PrintLogic, RibbonNamesBothWaysAndFromTheLabel) {
    const struct {
        int type;
        const char* name;
    } names[] = {{0, "YMCKO"},    {1, "YMCKOK"},     {2, "hYMCKO"},   {3, "KO"},
                 {4, "K"},        {5, "BO"},         {6, "B"},        {7, "YMC"},
                 {8, "YMCFKO"},   {9, "Rewritable"}, {10, "Unknown"}, {11, "hYMCKOKO"},
                 {12, "Unknown"}, {-1, "Unknown"}};
    for (const auto& n : names)
        EXPECT_EQ(print::RibbonName(n.type), QLatin1String(n.name)) << n.type;
    EXPECT_EQ(print::RibbonLabel(4, 180, 250), QStringLiteral("Ribbon : K (180/250)"));

    const struct {
        const char* label;
        int type;
    } labels[] = {
        {"Ribbon : YMCKO (250/250)", 0},
        {"Ribbon :   hymckoko  (1/2)", 11},
        {"Ribbon : Rewritable (0/0)", 9},
        {"Ribbon : Unknown (3/4)", 0},
        {"Ribbon : KO", 0},
        {"KO (1/2)", 0},
        {"", 0},
        {"Ribbon :K(1/2)", 4},
    };
    for (const auto& l : labels)
        EXPECT_EQ(print::RibbonTypeFromLabel(QString::fromUtf8(l.label)), l.type) << l.label;

    for (int type : {0, 1, 2, 7, 8, 11})
        EXPECT_TRUE(print::DrawsBackground(type)) << type;
    for (int type : {3, 4, 5, 6, 9, 10, -1})
        EXPECT_FALSE(print::DrawsBackground(type)) << type;
}

TEST(PrintLogic, VdnPathMustEndAtItsFirstExtension) {
    const struct {
        const char* path;
        bool ok;
    } cases[] = {
        {"", false},          {"card.vdn", true},         {"/samples/card.VDN", false},
        {"a.vdn.vdn", false}, {"card.vdnx", false},       {"C:\\cards\\id.vdn", true},
        {".vdn", true},       {"old.vdn/new.vdn", false}, {"card.vdn ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(print::IsVdnPath(QString::fromUtf8(c.path)), c.ok) << c.path;
}

TEST(PrintLogic, PagesFromSettingsAndBackForOnePage) {
    const struct {
        int card1, side1, card2, side2;
        std::array<bool, 4> enabled;
    } cases[] = {
        {1, 0, 0, 0, {true, false, false, false}}, {1, 1, 0, 0, {false, true, false, false}},
        {1, 2, 0, 0, {true, true, false, false}},  {0, 2, 1, 2, {false, false, true, true}},
        {1, 0, 1, 1, {true, false, false, true}},  {0, 0, 0, 0, {false, false, false, false}},
    };
    for (const auto& c : cases) {
        PrinterSettings s{};
        print::SetSettingAt(s, ps::kCard1InUse, c.card1);
        print::SetSettingAt(s, ps::kCard1Side, c.side1);
        print::SetSettingAt(s, ps::kCard2InUse, c.card2);
        print::SetSettingAt(s, ps::kCard2Side, c.side2);
        EXPECT_EQ(print::EnabledPages(s), c.enabled) << c.card1 << c.side1 << c.card2 << c.side2;
    }

    // One page selected; the rest of the block, which belongs to the SDK, stays as it was.
    const struct {
        int page;
        int card1, side1, card2, side2;
    } pages[] = {{0, 1, 0, 0, 1}, {1, 1, 1, 0, 1}, {2, 0, 1, 1, 0}, {3, 0, 1, 1, 1}};
    for (const auto& p : pages) {
        PrinterSettings s;
        std::memset(s.raw, 0x5A, sizeof s.raw);
        const PrinterSettings before = s;
        print::SelectPage(s, p.page, 7);
        EXPECT_EQ(print::SettingAt(s, ps::kCard1InUse), p.card1) << p.page;
        EXPECT_EQ(print::SettingAt(s, ps::kCard1Side), p.side1) << p.page;
        EXPECT_EQ(print::SettingAt(s, ps::kCard2InUse), p.card2) << p.page;
        EXPECT_EQ(print::SettingAt(s, ps::kCard2Side), p.side2) << p.page;
        EXPECT_EQ(print::SettingAt(s, ps::kRibbonType), 7);
        EXPECT_EQ(print::SettingAt(s, ps::kRotate180), 0);
        EXPECT_EQ(print::SettingAt(s, ps::kMirror), 0);
        int changed = 0;
        for (size_t i = 0; i < sizeof s.raw; ++i)
            changed += s.raw[i] != before.raw[i] ? 1 : 0;
        EXPECT_LE(changed, 7 * 4) << "only the seven fields change";
    }
    PrinterSettings s{};
    print::SetSettingAt(s, kPrinterSettingsSize - 2, 1);  // no room: nothing written
    EXPECT_EQ(print::SettingAt(s, kPrinterSettingsSize - 2), 0);
}

// ---- The preview bitmap ----

// A packed bitmap 3 x 2 pixels of `bits`, rows either way up, with room to spare after it.
struct Dib {
    QByteArray bytes;
    int stride = 0;
    void Put32(int offset, quint32 v) {
        qToLittleEndian(v, reinterpret_cast<uchar*>(bytes.data()) + offset);
    }
    void Put16(int offset, quint16 v) {
        qToLittleEndian(v, reinterpret_cast<uchar*>(bytes.data()) + offset);
    }
    static constexpr qsizetype kWhole = -1;
    VelaBitmap Record(qsizetype size = kWhole) const {
        return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<std::int32_t>(size == kWhole ? bytes.size() : size)};
    }
};

Dib MakeDib(int bits, bool bottomUp, int spare = 0) {
    constexpr int kWidth = 3, kHeight = 2;
    Dib d;
    d.stride = (kWidth * bits / 8 + 3) & ~3;
    d.bytes = QByteArray(40 + d.stride * kHeight + spare, '\x77');
    d.Put32(0, 40);
    d.Put32(4, kWidth);
    d.Put32(8, static_cast<quint32>(bottomUp ? kHeight : -kHeight));
    d.Put16(12, 1);
    d.Put16(14, static_cast<quint16>(bits));
    d.Put32(16, 0);
    d.Put32(20, static_cast<quint32>(d.stride * kHeight));
    for (int i = 24; i < 40; ++i)
        d.bytes[i] = 0;
    // Top row red, bottom row blue, stored blue-green-red.
    const int bytesPerPixel = bits / 8;
    for (int row = 0; row < kHeight; ++row) {
        const bool top = bottomUp ? row == kHeight - 1 : row == 0;
        for (int x = 0; x < kWidth; ++x) {
            char* p = d.bytes.data() + 40 + row * d.stride + x * bytesPerPixel;
            p[0] = top ? '\x00' : '\xFF';
            p[1] = '\x00';
            p[2] = top ? '\xFF' : '\x00';
        }
    }
    return d;
}

TEST(PreviewBitmap, SoundBitmapsAreCopiedExactlyAndShownTopRowFirst) {
    for (int bits : {24, 32}) {
        for (bool bottomUp : {true, false}) {
            SCOPED_TRACE(testing::Message() << bits << (bottomUp ? " bottom-up" : " top-down"));
            Dib d = MakeDib(bits, bottomUp, 64);
            const QByteArray copy = print::CopyPreviewBitmap(d.Record());
            ASSERT_EQ(copy.size(), 40 + d.stride * 2) << "header and rows, not what follows";
            EXPECT_EQ(copy, d.bytes.left(copy.size()));
            const QImage image = print::PreviewImage(copy);
            ASSERT_EQ(image.size(), QSize(3, 2));
            EXPECT_EQ(image.pixelColor(1, 0), QColor(255, 0, 0));
            EXPECT_EQ(image.pixelColor(2, 1), QColor(0, 0, 255));
        }
    }
    // An image size of 0 stands for the rows the dimensions make.
    Dib d = MakeDib(24, true);
    d.Put32(20, 0);
    EXPECT_EQ(print::CopyPreviewBitmap(d.Record()).size(), d.bytes.size());
}

TEST(PreviewBitmap, AnythingElseIsRefusedBeforeAnyCopy) {
    const struct {
        const char* what;
        std::function<void(Dib&)> spoil;
        qsizetype size;  // the record's size, or Dib::kWhole
    } cases[] = {
        {"no bitmap", [](Dib& d) { d.bytes.clear(); }, 0},
        {"shorter than a header", [](Dib&) {}, 39},
        {"header of 12 bytes", [](Dib& d) { d.Put32(0, 12); }, Dib::kWhole},
        {"header of 124 bytes", [](Dib& d) { d.Put32(0, 124); }, Dib::kWhole},
        {"width 0", [](Dib& d) { d.Put32(4, 0); }, Dib::kWhole},
        {"negative width", [](Dib& d) { d.Put32(4, static_cast<quint32>(-3)); }, Dib::kWhole},
        {"height 0", [](Dib& d) { d.Put32(8, 0); }, Dib::kWhole},
        {"huge width", [](Dib& d) { d.Put32(4, 0x7FFFFFFF); }, Dib::kWhole},
        {"most negative height", [](Dib& d) { d.Put32(8, 0x80000000u); }, Dib::kWhole},
        {"two planes", [](Dib& d) { d.Put16(12, 2); }, Dib::kWhole},
        {"8 bits with a palette", [](Dib& d) { d.Put16(14, 8); }, Dib::kWhole},
        {"16 bits", [](Dib& d) { d.Put16(14, 16); }, Dib::kWhole},
        {"compressed", [](Dib& d) { d.Put32(16, 1); }, Dib::kWhole},
        {"colour table", [](Dib& d) { d.Put32(32, 2); }, Dib::kWhole},
        {"image size beyond the rows", [](Dib& d) { d.Put32(20, 24 + 4); }, Dib::kWhole},
        {"image size short of the rows", [](Dib& d) { d.Put32(20, 12); }, Dib::kWhole},
        {"image size of 4 GB", [](Dib& d) { d.Put32(20, 0xFFFFFFFFu); }, Dib::kWhole},
        {"rows cut short", [](Dib&) {}, 40 + 24 - 1},
        {"negative size", [](Dib&) {}, -2},
        {"dimensions beyond the bytes",
         [](Dib& d) {
             d.Put32(4, 4000);
             d.Put32(20, 0);
         },
         Dib::kWhole},
    };
    for (const auto& c : cases) {
        Dib d = MakeDib(24, true);
        c.spoil(d);
        VelaBitmap record = d.Record(c.size);
        if (d.bytes.isEmpty())
            record.dib = nullptr;
        EXPECT_TRUE(print::CopyPreviewBitmap(record).isEmpty()) << c.what;
        // The same bytes handed straight to the decoder show nothing either.
        if (c.size == Dib::kWhole) {
            EXPECT_TRUE(print::PreviewImage(d.bytes).isNull()) << c.what;
        }
    }
    // A copy is shown only when it is exactly header and rows.
    Dib d = MakeDib(24, true, 4);
    EXPECT_TRUE(print::PreviewImage(d.bytes).isNull());
}

}  // namespace
