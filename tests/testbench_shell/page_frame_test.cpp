// The steps every page shares (a device call that keeps its result, the two preemption checks,
// error texts, bounded waits, the log lines), and a real page built against a stand-in host.

#include <QComboBox>
#include <QJsonArray>
#include <QPushButton>

#include <array>

#include "CSubDlgBase.h"
#include "CSubDlgMove.h"
#include "fake_page_host.h"
#include "message_service.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

using WaitResult = CSubDlgBase::WaitResult;
using ErrorForm = CSubDlgBase::ErrorForm;
using Notice = CSubDlgBase::PreemptionNotice;

class FramePage : public CSubDlgBase {
public:
    explicit FramePage(PageHost& host) : CSubDlgBase(999, QStringLiteral("Frame"), host) {}
    void OnDeviceConnected(const QString&) override {}
    void OnDeviceDisconnected() override {}
    void OnPageShown() override {}
};

class PageFrameTest : public ::testing::Test {
protected:
    void SetUp() override { sim.Fresh(); }

    SimControl sim;
    UiRecorder ui;
    FakePageHost host;
    FramePage page{host};
};

TEST_F(PageFrameTest, ADeviceCallAlwaysLeavesItsOwnResult) {
    std::uint64_t status = 0;
    // Each step starts from a planted value, so a result that was not stored shows.
    page.SetLastResult(0x55);
    EXPECT_EQ(page.Call(host.Binding().Vela_GetStatus, 0x40, &status), -1) << "no device";
    EXPECT_EQ(page.LastResult(), 0xFFFFFFFFu);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetStatus")), 0);

    ASSERT_TRUE(host.OpenSimulatorDevice());
    page.SetLastResult(0x55);
    EXPECT_EQ(page.Call(host.Binding().Vela_GetStatus, 0x40, &status), 0);
    EXPECT_EQ(page.LastResult(), 0u);

    sim.VelaSim_InjectFault("Vela_GetStatus", 0, 1, static_cast<VelaResult>(0x80001234));
    page.SetLastResult(0x55);
    EXPECT_EQ(page.Call(host.Binding().Vela_GetStatus, 0x40, &status),
              static_cast<VelaResult>(0x80001234));
    EXPECT_EQ(page.LastResult(), 0x80001234u);
    const auto calls = sim.Calls(QStringLiteral("Vela_GetStatus"));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].value(QStringLiteral("args")).toArray().at(1).toInt(), 0x40);
}

TEST_F(PageFrameTest, PreemptionChecksInBothForms) {
    struct Case {
        std::uint16_t token;
        Notice notice;
        bool held;
        const char* text;
        unsigned icon;
        std::uint32_t result;
    };
    const Case cases[] = {
        {0x1234, Notice::kPleaseFirst, true, nullptr, 0, 0x55},
        {0x0000, Notice::kFirst, true, nullptr, 0, 0x55},
        {0xFFFF, Notice::kPleaseFirst, false, "Please, Preemption First...", mb::kIconInformation,
         0x80000353},
        {0xFFFF, Notice::kFirst, false, "Preemption, First...", mb::kIconWarning, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        host.token = c.token;
        page.SetLastResult(0x55);
        EXPECT_EQ(page.HavePreemption(c.notice), c.held) << c.token;
        EXPECT_EQ(page.LastResult(), c.result) << c.token;
        if (c.text == nullptr) {
            EXPECT_TRUE(ui.messages.isEmpty());
            continue;
        }
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(ui.messages[0].style, c.icon);
    }
}

TEST_F(PageFrameTest, ErrorTextsInThePagesForms) {
    struct Case {
        const char* text;
        std::uint32_t code;
        ErrorForm form;
        const char* expected;
    };
    const Case cases[] = {
        {"Error while CardMove...", 0x80000302, ErrorForm::kParenthesised,
         "Error while CardMove... (error=0x80000302)"},
        {"Failed to Flip Card [61]...", 0x1F, ErrorForm::kParenthesisedBare,
         "Failed to Flip Card [61]... (error=0000001F)"},
        {"Failed", 0xFFFFFFFF, ErrorForm::kDashed, "Failed - error : 0xFFFFFFFF"},
        {"Set Coercivity : Failed", 0, ErrorForm::kDashed,
         "Set Coercivity : Failed - error : 0x00000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSubDlgBase::ErrorText(QString::fromLatin1(c.text), c.code, c.form),
                  QString::fromLatin1(c.expected));
}

TEST_F(PageFrameTest, BoundedWaitsEndOnTheConditionTheLimitOrAStop) {
    struct Case {
        const char* name;
        int holdsAt;  // evaluation at which the condition first holds; 0 = never
        int stopAt;   // evaluations after which a stop is asked for; 0 = never
        int periodMs;
        int limitMs;
        WaitResult result;
        int evaluations;
        int waitedMs;
    };
    const Case cases[] = {
        {"holds at once", 1, 0, 50, 5000, WaitResult::kHeld, 1, 0},
        {"holds later", 3, 0, 50, 5000, WaitResult::kHeld, 3, 100},
        {"never holds", 0, 0, 50, 5000, WaitResult::kTimedOut, 101, 5000},
        {"limit between polls", 0, 0, 30, 100, WaitResult::kTimedOut, 5, 120},
        {"no time at all", 0, 0, 50, 0, WaitResult::kTimedOut, 1, 0},
        {"stopped", 0, 2, 50, 5000, WaitResult::kStopped, 2, 100},
    };
    for (const Case& c : cases) {
        ui.guiWaits.clear();
        int evaluations = 0;
        const auto condition = [&] { return ++evaluations == c.holdsAt; };
        const auto stopWhen = [&] { return c.stopAt != 0 && evaluations >= c.stopAt; };
        EXPECT_EQ(CSubDlgBase::WaitUntil(condition, c.periodMs, c.limitMs, {}, stopWhen), c.result)
            << c.name;
        EXPECT_EQ(evaluations, c.evaluations) << c.name;
        EXPECT_EQ(ui.GuiWaitedMs(), c.waitedMs) << c.name;
    }
    // A stop asked for before the wait: the condition is not even evaluated.
    std::stop_source stopped;
    stopped.request_stop();
    int evaluations = 0;
    EXPECT_EQ(
        CSubDlgBase::WaitUntil([&] { return ++evaluations > 0; }, 50, 5000, stopped.get_token()),
        WaitResult::kStopped);
    EXPECT_EQ(evaluations, 0);
}

TEST_F(PageFrameTest, DeviceCommandLogLines) {
    page.LogCommand(QStringLiteral("IC_POWER_ON"), 0x61);
    EXPECT_TRUE(page.LogResult(0));
    page.LogCommand(QStringLiteral("RF_WRITE_BLOCK block=4 side=1"));
    EXPECT_FALSE(page.LogResult(static_cast<VelaResult>(0x80000302)));
    page.LogCommand(QStringLiteral("IC_POWER_OFF"), 0x0F);
    EXPECT_FALSE(page.LogResult(-1));
    EXPECT_EQ(host.Log(), QStringLiteral("> IC_POWER_ON (mod:61) ... OK\n"
                                         "> RF_WRITE_BLOCK block=4 side=1 ... Failed (0x80000302)\n"
                                         "> IC_POWER_OFF (mod:0F) ... Failed (0xFFFFFFFF)\n"));

    const std::array<std::uint8_t, 4> atr = {0x3B, 0x02, 0x14, 0x00};
    EXPECT_EQ(CSubDlgBase::HexBytes({}), QString());
    EXPECT_EQ(CSubDlgBase::HexBytes(std::span(atr).first(1)), QStringLiteral("3B"));
    EXPECT_EQ(CSubDlgBase::HexBytes(std::span(atr).first(3)), QStringLiteral("3B 02 14"));
    EXPECT_EQ(CSubDlgBase::HexBytes(atr), QStringLiteral("3B 02 14 00"));
}

// ---- A page on a stand-in host ----

class PageOnFakeHostTest : public PageFrameTest {
protected:
    void SetUp() override {
        PageFrameTest::SetUp();
        ASSERT_TRUE(host.OpenSimulatorDevice());
        ConnectedModuleList modules{};
        ASSERT_EQ(host.binding.Device(host.binding.Vela_GetConnectedDevices, &modules), 0);
        move = std::make_unique<CSubDlgMove>(host);
        move->OnDeviceConnected(QStringLiteral("[USB1] Halvard Card Printer"));
        move->OnModulesChanged(modules);
        sim.VelaSim_ClearCallLog();
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        T* w = move->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    std::unique_ptr<CSubDlgMove> move;
};

TEST_F(PageOnFakeHostTest, TheMovePageNeedsOnlyItsHost) {
    ASSERT_EQ(move->GetCurrentModule(), 0x10);
    EXPECT_TRUE(On<QPushButton>("cardMove")->isEnabled());

    // Recording goes to the host's recorder; nothing moves.
    host.recording = 1;
    On<QPushButton>("cardMove")->click();
    ASSERT_EQ(host.recorded.size(), 1u);
    EXPECT_EQ(host.recorded[0].firstModule, 0x10);
    EXPECT_EQ(host.recorded[0].secondModule, 0x40);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 0);

    // Not recording: the move goes through the host's binding.
    host.recording = 0;
    move->SelectCurrentModule(0x10);
    On<QPushButton>("cardMove")->click();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 1);
    EXPECT_EQ(move->LastResult(), 0u);
    EXPECT_EQ(move->GetCurrentModule(), 0x40);

    // The host's token decides the preemption check, and goes into the key-lock frame.
    On<QPushButton>("keyLock")->click();
    EXPECT_EQ(ui.MessageTexts(), Texts({"Please, Preemption First..."}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExCmdSend")), 0);
    host.token = 0x0A42;
    On<QPushButton>("keyLock")->click();
    const auto sends = sim.Calls(QStringLiteral("Vela_ExCmdSend"));
    ASSERT_EQ(sends.size(), 1);
    EXPECT_EQ(sends[0].value(QStringLiteral("args")).toArray().at(1).toString(),
              QStringLiteral("601640420A01"));
}

}  // namespace
}  // namespace halvard::test
