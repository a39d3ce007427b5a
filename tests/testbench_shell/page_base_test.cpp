// The page frame: the reporting rule with its two control bits, the current-module selector
// and the worker's cooperative stop.

#include <QComboBox>
#include <QMetaObject>

#include <atomic>

#include "CSubDlgBase.h"
#include "message_service.h"
#include "shell_fixture.h"
#include "wait_service.h"

namespace halvard::test {
namespace {

class TestPage : public CSubDlgBase {
public:
    TestPage() : CSubDlgBase(999, QStringLiteral("Test"), nullptr) {
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
    void SetUp() override {
        MessageService::SetHandler([this](const MessageRequest& request) {
            shown.push_back({request.text, request.style});
            return mb::kIdOk;
        });
    }
    void TearDown() override { MessageService::SetHandler({}); }
    std::vector<ShownBox> shown;
    TestPage page;
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
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("first\nsecond\nthird"));
    EXPECT_EQ(shown[0].style, mb::kIconWarning);
    EXPECT_TRUE(page.MessageBuffer().isEmpty());
}

TEST_F(PageBaseTest, InteractiveReportsStripTheControlBits) {
    page.SetInteractive(0);
    page.ReportInfo(QStringLiteral("old"));
    page.SetInteractive(1);
    page.ReportMessage(0x80000030u, QStringLiteral("fresh"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("fresh"));
    EXPECT_EQ(shown[0].style, 0x30u);
    page.ReportInfo(QStringLiteral("info"));
    ASSERT_EQ(shown.size(), 2u);
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

TEST_F(PageBaseTest, StopWorkerOnAnEndedWorkerOnlyForgetsIt) {
    std::stop_token seen;
    std::atomic<bool> done{false};
    page.StartWorkerThread([&](std::stop_token stop) {
        seen = stop;
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load() && !page.WorkerRunning(); }, 5000));
    EXPECT_TRUE(page.HasWorker());
    page.StopWorker();
    EXPECT_FALSE(page.HasWorker());
    EXPECT_FALSE(seen.stop_requested());
    page.StopWorker();  // nothing left to stop
    EXPECT_FALSE(page.HasWorker());
}

TEST_F(PageBaseTest, StopWorkerAsksARunningWorkerToStop) {
    std::atomic<int> waits{0};
    std::atomic<bool> sawStop{false};
    page.StartWorkerThread([&](std::stop_token stop) {
        while (WaitService::WaitFor(stop, 60000))
            ++waits;
        sawStop = stop.stop_requested();
    });
    EXPECT_TRUE(page.WorkerRunning());
    page.StopWorker();
    EXPECT_FALSE(page.HasWorker());
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(waits.load(), 0);  // the long wait was cut short
}

TEST_F(PageBaseTest, StopWorkerDoesNotDeadlockAgainstAWorkerWaitingForTheGui) {
    std::atomic<bool> started{false};
    std::atomic<int> guiCalls{0};
    page.StartWorkerThread([&](std::stop_token stop) {
        started = true;
        while (!stop.stop_requested()) {
            // A blocking call onto the GUI thread, as the batch loop makes.
            QMetaObject::invokeMethod(
                &page, [&] { ++guiCalls; }, Qt::BlockingQueuedConnection);
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load() && guiCalls.load() > 0; }, 5000));
    page.StopWorker();
    EXPECT_FALSE(page.HasWorker());
}

TEST_F(PageBaseTest, DestroyingAPageStopsItsWorker) {
    std::atomic<bool> sawStop{false};
    {
        TestPage local;
        local.StartWorkerThread([&](std::stop_token stop) {
            while (WaitService::WaitFor(stop, 60000)) {
            }
            sawStop = true;
        });
    }
    EXPECT_TRUE(sawStop.load());
}

}  // namespace
}  // namespace halvard::test
