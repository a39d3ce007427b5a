// The endless positioning test: its input checks, its own thread moving the card back and
// forth, and its stop (by the button, by a disconnect and by the page going away).

#include <mutex>
#include <thread>
#include <vector>

#include "move_page_fixture.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;

class PositionTest : public MovePageTest {
protected:
    // Starts the test and waits until it has made at least `moves` moves.
    void StartAndRun(int moves) {
        Press("posMoveTest");
        ASSERT_TRUE(page->PositionTestRunning());
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->PositionTestMoves() >= moves; }, 10000));
    }

    std::mutex pausesMutex;
    std::vector<int> pauses;
};

TEST_F(PositionTest, NeedsADistanceAndAWorkingModule) {
    Connected();
    Press("posMoveTest");
    EXPECT_EQ(BoxTexts(), Texts({"Please insert valid distance value..."}));
    EXPECT_EQ(boxes[0].style, mb::kIconWarning);
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_NE(page->LastResult(), 0u);

    boxes.clear();
    On<QLineEdit>("distance")->setText(QStringLiteral("40"));
    Pick("currentModule", 0xFF);
    Press("posMoveTest");
    EXPECT_EQ(BoxTexts(), Texts({"Please select working module..."}));
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 0);
}

TEST_F(PositionTest, ScanFlipperMovesForthAndBackUntilStopped) {
    Connected();
    CardAt(0x62);
    On<QLineEdit>("distance")->setText(QStringLiteral("40"));
    StartAndRun(4);
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* STOP pos. move test *"));
    EXPECT_GE(ui.GuiWaitedMs(), 500) << "the page waits before it shows the stop caption";

    Press("posMoveTest");
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
    const auto calls = sim.Calls(QStringLiteral("Vela_CardMoveSensor"));
    ASSERT_GE(calls.size(), 4);
    for (qsizetype i = 0; i < calls.size(); ++i)
        EXPECT_EQ(IntArgsOf(calls[i]), (Args{0x62, 0x40, i % 2 == 0 ? 40 : -40, 1368})) << i;
    EXPECT_EQ(page->PositionTestResult(), 0u);
    // Stopped means stopped: no move after the stop.
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), calls.size());
}

TEST_F(PositionTest, OtherModulesUseTheLeftAndRightSensors) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(2);
    Press("posMoveTest");
    const auto calls = sim.Calls(QStringLiteral("Vela_CardMoveSensor"));
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(IntArgsOf(calls[0]), (Args{0x40, 0, 15, 1368}));
    EXPECT_EQ(IntArgsOf(calls[1]), (Args{0x40, 3, 15, 1368}));
}

TEST_F(PositionTest, FailingMovesAreRecordedAndRetried) {
    Connected();
    Pick("currentModule", 0x40);  // no card there
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(3);
    EXPECT_EQ(page->PositionTestResult(), 0x80000301u);
    Press("posMoveTest");
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_TRUE(boxes.empty()) << "results are only stored";
}

TEST_F(PositionTest, PausesBetweenMovesAndWaitsForTheModuleToBeIdle) {
    // The workers' pauses are noted (set before any worker runs).
    ui.workerWait = [&, held = ui.workerWait](int ms) {
        if (ms < StatusPoller::kPollIntervalMs) {
            const std::lock_guard lock(pausesMutex);
            pauses.push_back(ms);
        }
        held(ms);
    };
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    // The printer stays busy after the first move: the test polls it instead of moving again.
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x40, 0x10, 0), 0);  // "Command : Running"
    Press("posMoveTest");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.CountCalls(QStringLiteral("Vela_GetModuleState")) >= 5; }, 10000));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 1);

    // Idle again: the moves go on, each followed by a pause.
    ASSERT_EQ(sim.VelaSim_SetStateBits(nullptr, 0x40, 0, 0x10), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->PositionTestMoves() >= 4; }, 10000));
    Press("posMoveTest");
    const int moves = page->PositionTestMoves();
    const std::lock_guard lock(pausesMutex);
    EXPECT_GE(static_cast<int>(pauses.size()), moves - 1);
}

TEST_F(PositionTest, WithoutADeviceItFailsAndAConnectMeanwhileChangesNothing) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    ReleasePoll();
    Click("connect");  // disconnect; the selectors keep the card's module
    ASSERT_EQ(page->GetCurrentModule(), 0x40);
    StartAndRun(2);
    EXPECT_EQ(page->PositionTestResult(), 0xFFFFFFFFu);
    // A device opened while the test runs is not the test's: it goes on failing, without
    // reaching the SDK, until it is restarted.
    ConnectFirst();
    const int moves = page->PositionTestMoves();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->PositionTestMoves() >= moves + 2; }, 10000));
    EXPECT_EQ(page->PositionTestResult(), 0xFFFFFFFFu);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 0);
    Press("posMoveTest");
    EXPECT_FALSE(page->PositionTestRunning());
}

TEST_F(PositionTest, DisconnectStopsTheTest) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(2);
    ReleasePoll();
    Click("connect");  // disconnect
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
}

TEST_F(PositionTest, ClosingTheWindowStopsTheTest) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(2);
    ReleasePoll();
    window.reset();  // destroys the page while its test runs
    // The thread was joined: nothing moves the card any more.
    sim.VelaSim_ClearCallLog();
    for (int i = 0; i < 200; ++i)
        std::this_thread::yield();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 0);
}

}  // namespace
}  // namespace halvard::test
