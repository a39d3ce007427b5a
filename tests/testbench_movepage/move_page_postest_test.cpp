// The endless positioning test: its input checks, its own thread moving the card back and
// forth, and its stop (by the button, by a disconnect and by the page going away).

#include <thread>

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
    EXPECT_GE(guiWaitedMs.load(), 500) << "the page waits before it shows the stop caption";

    Press("posMoveTest");
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
    const auto calls = sim.Calls(QStringLiteral("Vela_CardMoveSensor"));
    ASSERT_GE(calls.size(), 4);
    for (qsizetype i = 0; i < calls.size(); ++i)
        EXPECT_EQ(ArgsOf(calls[i]), (Args{0x62, 0x40, i % 2 == 0 ? 40 : -40, 1368})) << i;
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
    EXPECT_EQ(ArgsOf(calls[0]), (Args{0x40, 0, 15, 1368}));
    EXPECT_EQ(ArgsOf(calls[1]), (Args{0x40, 3, 15, 1368}));
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

TEST_F(PositionTest, DisconnectStopsTheTest) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(2);
    ReleaseWorkers();
    Click("connect");  // disconnect
    EXPECT_FALSE(page->PositionTestRunning());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
}

TEST_F(PositionTest, ClosingTheWindowStopsTheTest) {
    Connected();
    CardAt(0x40);
    On<QLineEdit>("distance")->setText(QStringLiteral("15"));
    StartAndRun(2);
    ReleaseWorkers();
    window.reset();  // destroys the page while its test runs
    // The thread was joined: nothing moves the card any more.
    sim.VelaSim_ClearCallLog();
    for (int i = 0; i < 200; ++i)
        std::this_thread::yield();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMoveSensor")), 0);
}

}  // namespace
}  // namespace halvard::test
