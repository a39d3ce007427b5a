// The status polling thread: what it reads, what the "Device Status" panel shows, and that
// disconnecting and closing stop it cooperatively, also in the middle of a slow SDK call.

#include <QElapsedTimer>
#include <QJsonArray>
#include <QThread>
#include <QTimer>

#include "module_chain_view.h"
#include "status_panel_box.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

class PollingTest : public TestBenchTest {
protected:
    // Calls of `fn` made by the poll: those after its first state query (pages told of the
    // connection may read statuses of their own before the poll starts).
    QList<QJsonObject> PollCalls(const QString& fn) const {
        const QList<QJsonObject> states = sim.Calls(QStringLiteral("Vela_GetModuleState"));
        const int start = states.isEmpty() ? 0 : states[0].value(QStringLiteral("seq")).toInt();
        QList<QJsonObject> calls;
        for (const QJsonObject& call : sim.Calls(fn))
            if (call.value(QStringLiteral("seq")).toInt() >= start)
                calls << call;
        return calls;
    }
};

TEST_F(PollingTest, EachCycleReadsEveryModuleAndShowsThePanel) {
    Open();
    ConnectFirst();
    EXPECT_TRUE(window->PollingActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->StatusImagesShown() > 0; }, 5000));

    // One cycle: state and status of each of the six modules, in chain order.
    QList<int> stateModules, statusModules;
    for (const QJsonObject& call : sim.Calls(QStringLiteral("Vela_GetModuleState")))
        stateModules << call.value(QStringLiteral("args")).toArray().at(1).toInt();
    for (const QJsonObject& call : PollCalls(QStringLiteral("Vela_GetStatus")))
        statusModules << call.value(QStringLiteral("args")).toArray().at(1).toInt();
    const QList<int> chain = {0x10, 0x40, 0x61, 0x62, 0x50, 0x70};
    EXPECT_EQ(stateModules.mid(0, 6), chain);
    EXPECT_EQ(statusModules.mid(0, 6), chain);

    // The shown image is the panel rendered from the polled slots.
    const QImage shown = window->StatusBox()->Image();
    ASSERT_FALSE(shown.isNull());
    ModuleSlot polled[kModuleSlotCount];
    for (int i = 0; i < kModuleSlotCount; ++i)
        polled[i] = window->Slots()[i];
    EXPECT_EQ(shown, RenderStatusPanel(polled, window->StatusBox()->size()));
    EXPECT_EQ(shown.size(), StatusPanelArea(window->StatusBox()->rect()).size());
}

TEST_F(PollingTest, ConnectAndDisconnectWhilePolling) {
    Open();
    // Short waits between cycles, so several cycles pass quickly.
    ui.workerWait = [](int) { QThread::msleep(2); };
    for (int round = 0; round < 4; ++round) {
        ConnectFirst();
        const int shownBefore = window->StatusImagesShown();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->StatusImagesShown() >= shownBefore + 2; }, 5000));
        Click("request");
        Click("connect");
        ASSERT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
        EXPECT_FALSE(window->PollingActive());
        // Everything the connection showed is gone, and stays gone.
        const int calls = sim.CountCalls(QStringLiteral("Vela_GetStatus"));
        QCoreApplication::processEvents();
        QTest::qWait(20);
        EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetStatus")), calls);
        EXPECT_TRUE(window->StatusBox()->Image().isNull());
        EXPECT_TRUE(window->ModuleView()->PictureRects().isEmpty());
        EXPECT_EQ(window->Modules().count, 0);
        for (const ModuleSlot& slot : window->Slots())
            EXPECT_EQ(slot.id, 0);
        EXPECT_TRUE(window->DeviceId().isEmpty());
        // The token was given back before the close.
        EXPECT_EQ(Find<QLineEdit>("preemptionToken")->text(), QStringLiteral("FFFF"));
    }
    EXPECT_EQ(sim.CountCalls(QStringLiteral("VelaDCL_CloseDevice")), 4);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 4);
}

TEST_F(PollingTest, StopDuringASlowCallWaitsForTheCallToFinish) {
    Open();
    sim.VelaSim_SetDelay("Vela_GetStatus", 300);
    ConnectFirst();
    // The first module's state is read; its status call is now under way.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.CountCalls(QStringLiteral("Vela_GetModuleState")) >= 1; }, 5000));
    // The window's timers keep running while the disconnect waits for that call.
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] { ++ticks; });
    timer.start();
    QElapsedTimer clock;
    clock.start();
    Click("connect");
    const qint64 elapsed = clock.elapsed();
    timer.stop();
    EXPECT_GE(ticks, 3) << "the window froze for " << elapsed << " ms";
    EXPECT_FALSE(window->PollingActive());
    // The call in flight ran to its end (it is logged with its result) and nothing followed.
    const auto statusCalls = PollCalls(QStringLiteral("Vela_GetStatus"));
    ASSERT_EQ(statusCalls.size(), 1);
    EXPECT_EQ(statusCalls[0].value(QStringLiteral("result")).toInt(), 0);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetModuleState")), 1);
    // The stop did not wait for a whole cycle of slow calls or the 1-second pause.
    EXPECT_LT(elapsed, 900);
    const auto close = sim.Calls(QStringLiteral("VelaDCL_CloseDevice"));
    ASSERT_EQ(close.size(), 1);
    EXPECT_GT(close[0].value(QStringLiteral("seq")).toInt(),
              statusCalls[0].value(QStringLiteral("seq")).toInt());
    sim.VelaSim_SetDelay("Vela_GetStatus", 0);
}

TEST_F(PollingTest, ClosingTheWindowStopsPollingFirst) {
    Open();
    sim.VelaSim_SetDelay("Vela_GetStatus", 100);
    ConnectFirst();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.CountCalls(QStringLiteral("Vela_GetModuleState")) >= 1; }, 5000));
    window.reset();
    const auto calls = sim.Calls();
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last().value(QStringLiteral("fn")).toString(),
              QStringLiteral("VelaDCL_CloseDevice"));
    sim.VelaSim_SetDelay("Vela_GetStatus", 0);
}

TEST_F(PollingTest, AFailingPollKeepsThePreviousValues) {
    Open();
    ui.workerWait = [](int) { QThread::msleep(2); };
    sim.VelaSim_SetStatusBits(nullptr, 0x40, std::uint64_t{1} << 30, 0);
    ConnectFirst();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->StatusImagesShown() > 0; }, 5000));
    const std::uint64_t printerStatus = window->Slots()[1].status;
    EXPECT_TRUE(printerStatus & (std::uint64_t{1} << 30));
    sim.VelaSim_InjectFault("Vela_GetStatus", 0, -1, static_cast<VelaResult>(0x80000005));
    sim.VelaSim_SetStatusBits(nullptr, 0x40, 0, std::uint64_t{1} << 30);
    const int shown = window->StatusImagesShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->StatusImagesShown() >= shown + 2; }, 5000));
    EXPECT_EQ(window->Slots()[1].status, printerStatus);
}

}  // namespace
}  // namespace halvard::test
