// The device list and the module chain as the SDK hands them over: whatever the record holds,
// only what it may hold is read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "qt_gtest_print.h"
#include "sdk_lists.h"

namespace {

void SetName(DeviceListEntry& entry, const std::u16string& name) {
    std::fill(std::begin(entry.name), std::end(entry.name), VelaChar{0});
    std::copy(name.begin(), name.end(), entry.name);
}

TEST(DeviceListDecoding, OffersOnlyWhatTheListMayHold) {
    auto list = std::make_unique<DeviceList>();
    for (int i = 0; i < kMaxDevices; ++i) {
        SetName(list->entries[i], u"[USB" + std::u16string(1, char16_t(u'A' + i)) + u"]");
        list->entries[i].type = 0x3700u + static_cast<std::uint32_t>(i % 16);
    }
    list->entries[1].type = 0x3710;  // the next family
    list->entries[2].type = 0x36FF;
    list->entries[3].type = 0x83700;
    // A name that fills its whole buffer without a terminator, followed by the type field.
    std::fill(std::begin(list->entries[4].name), std::end(list->entries[4].name), u'x');

    struct Case {
        const char* what;
        VelaResult result;
        std::int32_t count;
        qsizetype names;
    };
    const Case cases[] = {
        {"first five", 0, 5, 2},
        {"count beyond the record", 0, 1000, kMaxDevices - 3},
        {"negative count", 0, -1, 0},
        {"failed call", static_cast<VelaResult>(0x80000101), 5, 0},
    };
    for (const Case& c : cases) {
        list->count = c.count;
        const QStringList names = sdk_lists::PrinterDeviceNames(c.result, *list);
        ASSERT_EQ(names.size(), c.names) << c.what;
        if (c.names > 0) {
            EXPECT_EQ(names[0], QStringLiteral("[USBA]")) << c.what;
            EXPECT_EQ(names[1], QString(256, u'x')) << c.what;
        }
    }
    list->count = kMaxDevices;
    EXPECT_EQ(sdk_lists::PrinterDeviceNames(0, *list).last(),
              QString::fromUtf16(u"[USB") + QChar(u'A' + kMaxDevices - 1) + u']');
}

TEST(ModuleListDecoding, KeepsOnlyTheCountedModules) {
    ConnectedModuleList raw{};
    for (int i = 0; i < kMaxModules; ++i)
        raw.entries[i] = {static_cast<std::uint8_t>(0x10 + i), 0x55};
    struct Case {
        std::int32_t count;
        int kept;
    };
    for (const Case c : {Case{3, 3}, Case{0, 0}, Case{-7, 0}, Case{33, 32}, Case{1 << 30, 32}}) {
        raw.count = c.count;
        const ConnectedModuleList clean = sdk_lists::CleanModuleList(raw);
        EXPECT_EQ(clean.count, c.kept) << c.count;
        for (int i = 0; i < kMaxModules; ++i) {
            EXPECT_EQ(clean.entries[i].id, i < c.kept ? raw.entries[i].id : 0) << c.count;
            EXPECT_EQ(clean.entries[i].info, i < c.kept ? 0x55 : 0) << c.count;
        }
        const std::vector<std::uint8_t> chain = sdk_lists::ModuleChain(raw);
        ASSERT_EQ(chain.size(), static_cast<size_t>(c.kept)) << c.count;
        if (c.kept > 0) {
            EXPECT_EQ(chain.front(), 0x10);
            EXPECT_EQ(chain.back(), 0x10 + c.kept - 1);
        }
    }
}

}  // namespace
