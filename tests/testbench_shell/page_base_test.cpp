// The page frame: the reporting rule with its two control bits and the current-module
// selector.

#include <QComboBox>

#include "CSubDlgBase.h"
#include "fake_page_host.h"
#include "message_service.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

class TestPage : public CSubDlgBase {
public:
    explicit TestPage(PageHost& host) : CSubDlgBase(999, QStringLiteral("Test"), host) {
        selector = new QComboBox(this);
        SetCurrentModuleSelector(selector);
    }
    void OnDeviceConnected(const QString&) override {}
    void OnDeviceDisconnected() override {}
    void OnPageShown() override {}
    void AddModule(const QString& text, int id) { selector->addItem(text, id); }
    void DropSelector() { SetCurrentModuleSelector(nullptr); }
    QComboBox* selector;
};

class PageBaseTest : public ::testing::Test {
protected:
    UiRecorder ui;
    QList<ShownMessage>& shown = ui.messages;
    FakePageHost host;
    TestPage page{host};
};

TEST_F(PageBaseTest, StartsInteractiveIdleAndEmpty) {
    EXPECT_EQ(page.Interactive(), 1);
    EXPECT_EQ(page.Busy(), 0);
    EXPECT_EQ(page.LastResult(), 0u);
    EXPECT_TRUE(page.MessageBuffer().isEmpty());
    EXPECT_EQ(page.Modules().count, 0);
    EXPECT_FALSE(page.HasWorker());
    EXPECT_FALSE(page.RunsOwnBatch());
}

TEST_F(PageBaseTest, NonInteractiveClearWithoutAccumulateDropsEverything) {
    page.SetInteractive(0);
    page.ReportInfo(QStringLiteral("earlier"));
    page.ReportMessage(0x80000030u, QStringLiteral("Card Move Error"));
    EXPECT_TRUE(page.MessageBuffer().isEmpty());
    EXPECT_TRUE(shown.empty());
}

TEST_F(PageBaseTest, AccumulatedReportsAreShownTogetherLater) {
    page.SetInteractive(0);
    page.ReportInfo(QStringLiteral("first"));
    page.ReportInfo(QStringLiteral("second"));
    EXPECT_EQ(page.MessageBuffer(), QStringLiteral("first\nsecond"));
    EXPECT_TRUE(shown.empty());
    page.SetInteractive(1);
    page.ReportMessage(mb::kIconWarning, QStringLiteral("third"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("first\nsecond\nthird"));
    EXPECT_EQ(shown[0].style, mb::kIconWarning);
    EXPECT_TRUE(page.MessageBuffer().isEmpty());
}

TEST_F(PageBaseTest, InteractiveReportsStripTheControlBits) {
    page.SetInteractive(0);
    page.ReportInfo(QStringLiteral("old"));
    page.SetInteractive(1);
    page.ReportMessage(0x80000030u, QStringLiteral("fresh"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("fresh"));
    EXPECT_EQ(shown[0].style, 0x30u);
    page.ReportInfo(QStringLiteral("info"));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1].text, QStringLiteral("info"));
    EXPECT_EQ(shown[1].style, mb::kIconInformation);
    // Accumulation without clearing when not interactive, a clear with accumulation keeps
    // only the new text.
    page.SetInteractive(0);
    page.ReportMessage(0x01000030u, QStringLiteral("a"));
    page.ReportMessage(0x00000030u, QStringLiteral("dropped"));
    page.ReportMessage(0x81000030u, QStringLiteral("b"));
    EXPECT_EQ(page.MessageBuffer(), QStringLiteral("b"));
}

TEST_F(PageBaseTest, CurrentModuleSelector) {
    EXPECT_EQ(page.GetCurrentModule(), 0xFF);  // empty selector
    page.AddModule(QStringLiteral("Input Hopper [10]"), 0x10);
    page.AddModule(QStringLiteral("Printer [40]"), 0x40);
    page.AddModule(QStringLiteral("Printer again [40]"), 0x40);
    page.AddModule(QStringLiteral("Output Hopper [70]"), 0x70);
    page.selector->setCurrentIndex(0);
    EXPECT_EQ(page.GetCurrentModule(), 0x10);
    page.SelectCurrentModule(0x40);
    EXPECT_EQ(page.selector->currentIndex(), 2);  // the later of the two
    EXPECT_EQ(page.GetCurrentModule(), 0x40);
    page.SelectCurrentModule(0x55);  // no match: unchanged
    EXPECT_EQ(page.selector->currentIndex(), 2);
    page.selector->setCurrentIndex(-1);
    EXPECT_EQ(page.GetCurrentModule(), 0xFF);
    page.DropSelector();
    EXPECT_EQ(page.GetCurrentModule(), 0xFF);
    page.SelectCurrentModule(0x10);  // no selector: nothing happens
}

TEST_F(PageBaseTest, ModulesChangedKeepsACopy) {
    ConnectedModuleList list{};
    list.count = 2;
    list.entries[0].id = 0x10;
    list.entries[1].id = 0x40;
    page.OnModulesChanged(list);
    list.entries[1].id = 0x41;
    EXPECT_EQ(page.Modules().count, 2);
    EXPECT_EQ(page.Modules().entries[1].id, 0x40);
}

}  // namespace
}  // namespace halvard::test
