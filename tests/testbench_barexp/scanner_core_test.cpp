// The widget-free rules of the Barcode and Expert pages: the barcode texts walked out of an
// untrusted buffer, the image paths, the number boxes, and the Expert page's module choice,
// caption and iteration count.

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

#include "expert_rules.h"
#include "qt_gtest_print.h"
#include "scanner_records.h"

namespace {

// A buffer of exactly `units` characters on the heap, so that a read past it is caught by the
// address sanitizer.
std::unique_ptr<VelaChar[]> Buffer(const std::u16string& content, size_t units) {
    auto buffer = std::make_unique<VelaChar[]>(units);
    for (size_t i = 0; i < units; ++i)
        buffer[i] = i < content.size() ? static_cast<VelaChar>(content[i]) : VelaChar{0};
    return buffer;
}

TEST(BarcodeTexts, WalksTextsUpToTheEmptyOneAndNeverPastTheBuffer) {
    struct Case {
        const char* name;
        std::u16string content;
        size_t units;
        std::vector<const char*> texts;
    };
    const std::vector<Case> cases = {
        {"zeroed buffer", u"", 512, {}},
        {"two texts in order", std::u16string(u"HV01T\0CODE-2\0\0", 14), 512, {"HV01T", "CODE-2"}},
        {"stops at the first empty text", std::u16string(u"A\0\0B\0", 5), 16, {"A"}},
        {"text filling the buffer unterminated", u"ABCD", 4, {"ABCD"}},
        {"last text cut by the buffer's end", std::u16string(u"A\0BC", 4), 4, {"A", "BC"}},
        {"terminator in the last unit", std::u16string(u"AB\0", 3), 3, {"AB"}},
        {"no room at all", u"", 0, {}},
    };
    for (const Case& c : cases) {
        const auto buffer = Buffer(c.content, c.units);
        QStringList expected;
        for (const char* text : c.texts)
            expected << QString::fromLatin1(text);
        EXPECT_EQ(scanner::WalkBarcodeTexts(buffer.get(), c.units), expected) << c.name;
    }
    EXPECT_TRUE(scanner::WalkBarcodeTexts(nullptr, 512).isEmpty());
}

TEST(ScanImagePaths, ConcatenateFolderSeparatorAndName) {
    struct Case {
        const char* folder;
        char separator;
        const char* top;
        const char* bottom;
    };
    const std::vector<Case> cases = {
        // A root folder already ends with the separator: the text is joined as it stands.
        {"C:\\", '\\', "C:\\\\scan_top.bmp", "C:\\\\scan_bottom.bmp"},
        {"D:\\scans", '\\', "D:\\scans\\scan_top.bmp", "D:\\scans\\scan_bottom.bmp"},
        {"/", '/', "//scan_top.bmp", "//scan_bottom.bmp"},
        {"/home/eng/scans", '/', "/home/eng/scans/scan_top.bmp", "/home/eng/scans/scan_bottom.bmp"},
    };
    for (const Case& c : cases) {
        const auto [top, bottom] =
            scanner::ScanImagePaths(QString::fromUtf8(c.folder), QChar::fromLatin1(c.separator));
        EXPECT_EQ(top, QString::fromUtf8(c.top)) << c.folder;
        EXPECT_EQ(bottom, QString::fromUtf8(c.bottom)) << c.folder;
    }
#if !defined(_WIN32)
    EXPECT_EQ(scanner::ScanImagePaths(QStringLiteral("/tmp/x")).first,
              QStringLiteral("/tmp/x/scan_top.bmp"));
    EXPECT_FALSE(scanner::InitialImageFolder().isEmpty());
#endif
}

TEST(NumberBoxes, ReadDecimalOrZero) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"12", 12},        {" 7 ", 7},   {"-3", -3},  {"", 0},
        {"abc", 0},        {"12abc", 0}, {"0x10", 0}, {"2147483647", 2147483647},
        {"99999999999", 0}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(scanner::BoxValue(QString::fromUtf8(text)), value) << text;
}

ConnectedModuleList Chain(std::initializer_list<int> ids, std::optional<int> count = {}) {
    ConnectedModuleList list{};
    int n = 0;
    for (int id : ids)
        list.entries[n++].id = static_cast<std::uint8_t>(id);
    list.count = count.value_or(n);
    return list;
}

TEST(ExpertRules, ModuleChoiceCaptionAndIterationCount) {
    EXPECT_EQ(expert::DefaultModule(Chain({0x10, 0x41, 0x40})), 0x41);
    EXPECT_EQ(expert::DefaultModule(Chain({0x10, 0x50, 0x40})), 0x50);
    EXPECT_EQ(expert::DefaultModule(Chain({0x10, 0x61, 0x70})), std::nullopt);
    // The SDK's count is not trusted beyond the record.
    EXPECT_EQ(expert::DefaultModule(Chain({0x10, 0x40}, -5)), std::nullopt);
    EXPECT_EQ(expert::DefaultModule(Chain({0x10, 0x40}, 100000)), 0x40);

    const std::vector<std::pair<int, const char*>> captions = {{0x40, "[P0] Card Move Test"},
                                                               {0x41, "[P1] Card Move Test"},
                                                               {0x4F, "[PF] Card Move Test"},
                                                               {0x50, "[P#] Card Move Test"},
                                                               {0xFF, "[P#] Card Move Test"}};
    for (const auto& [id, caption] : captions)
        EXPECT_EQ(expert::CardMoveCaption(static_cast<std::uint8_t>(id)),
                  QString::fromLatin1(caption));

    EXPECT_EQ(expert::IterationCount(QString()), std::nullopt);
    EXPECT_EQ(expert::IterationCount(QStringLiteral("  ")), std::nullopt);
    EXPECT_EQ(expert::IterationCount(QStringLiteral("3")), 3);
    EXPECT_EQ(expert::IterationCount(QStringLiteral("many")), 1);
    EXPECT_EQ(expert::IterationCount(QStringLiteral("-2")), -2);
}

}  // namespace
