// The one worker type: a cooperative stop that cuts waits short, a stop that cannot deadlock
// against a worker waiting for the GUI thread, a GUI thread that keeps processing events while
// it waits for an SDK call in flight, and the page's worker on top of it. Waits here are real.

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <thread>

#include "CSubDlgBase.h"
#include "fake_page_host.h"
#include "testbench_fixture.h"
#include "wait_service.h"
#include "worker.h"

namespace halvard::test {
namespace {

constexpr int kLongMs = 60000;

TEST(WorkerTest, StopCutsALongWaitShort) {
    Worker worker;
    std::atomic<int> waits{0};
    std::atomic<bool> sawStop{false};
    worker.Start([&](std::stop_token stop) {
        while (WaitService::WaitFor(stop, kLongMs))
            ++waits;
        sawStop = stop.stop_requested();
    });
    EXPECT_TRUE(worker.Started());
    EXPECT_TRUE(worker.Running());
    QElapsedTimer clock;
    clock.start();
    worker.Stop();
    EXPECT_LT(clock.elapsed(), kLongMs / 2);
    EXPECT_FALSE(worker.Started());
    EXPECT_FALSE(worker.Running());
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(waits.load(), 0);
    worker.Stop();  // nothing left to stop
}

TEST(WorkerTest, ABoundedWaitOnAWorkerEndsOnTheStop) {
    Worker worker;
    std::atomic<bool> waiting{false};
    std::atomic<int> result{-1};
    worker.Start([&](std::stop_token stop) {
        waiting = true;
        result = static_cast<int>(CSubDlgBase::WaitUntil([] { return false; }, 50, kLongMs, stop));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting.load(); }, 5000));
    worker.Stop();
    EXPECT_EQ(result.load(), static_cast<int>(CSubDlgBase::WaitResult::kStopped));
}

TEST(WorkerTest, AnEndedWorkerIsOnlyForgotten) {
    Worker worker;
    std::atomic<bool> sawStop{true};
    worker.Start([&](std::stop_token stop) { sawStop = stop.stop_requested(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.Running(); }, 5000));
    EXPECT_TRUE(worker.Started());
    worker.Stop();
    EXPECT_FALSE(worker.Started());
    EXPECT_FALSE(sawStop.load()) << "it ended on its own";
}

TEST(WorkerTest, StopWhileTheWorkerWaitsOnTheGuiThread) {
    QObject context;
    Worker worker;
    std::atomic<int> guiCalls{0};
    std::atomic<int> refused{0};
    worker.Start([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            if (!RunOnGuiThread(stop, &context, [&] { ++guiCalls; }))
                ++refused;
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return guiCalls.load() >= 3; }, 5000));
    // The GUI thread is now busy here and not serving the worker's call; the stop must still end
    // the worker.
    worker.Stop();
    EXPECT_FALSE(worker.Started());
    EXPECT_LE(refused.load(), 1);
}

TEST(WorkerTest, ACallNotYetBegunIsDroppedOnAStop) {
    QObject context;
    Worker worker;
    std::atomic<bool> calling{false};
    std::atomic<int> ran{0};
    std::atomic<int> answer{-1};
    worker.Start([&](std::stop_token stop) {
        calling = true;
        answer = RunOnGuiThread(stop, &context, [&] { ++ran; }) ? 1 : 0;
    });
    // The GUI thread does not process events until the worker has given up.
    while (!calling.load())
        std::this_thread::yield();
    worker.RequestStop();
    QElapsedTimer clock;
    clock.start();
    while (worker.Running() && clock.elapsed() < 5000)
        std::this_thread::yield();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(answer.load(), 0);
    QCoreApplication::processEvents();  // the dropped call, if queued, does nothing now
    EXPECT_EQ(ran.load(), 0);
    worker.Stop();
}

TEST(WorkerTest, TheGuiKeepsProcessingEventsWhileAStopWaitsForAnSdkCall) {
    SimControl sim;
    sim.Fresh();
    FakePageHost host;
    ASSERT_TRUE(host.OpenSimulatorDevice());
    constexpr int kSlowMs = 400;
    sim.VelaSim_SetDelay("Vela_GetStatus", kSlowMs);
    CVelaCommBinding& b = host.binding;

    Worker worker;
    std::atomic<bool> calling{false};
    std::atomic<VelaResult> result{-2};
    worker.Start([&](std::stop_token) {
        std::uint64_t status = 0;
        calling = true;
        result = b.Device(b.Vela_GetStatus, 0x40, &status);
    });
    while (!calling.load())
        std::this_thread::yield();

    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] { ++ticks; });
    timer.start();
    QElapsedTimer clock;
    clock.start();
    worker.Stop();
    const qint64 waited = clock.elapsed();
    timer.stop();
    sim.VelaSim_SetDelay("Vela_GetStatus", 0);

    // The call ran to its end while the GUI thread went on serving its timer.
    EXPECT_EQ(result.load(), 0);
    EXPECT_GE(waited, kSlowMs / 4);
    EXPECT_GE(ticks, static_cast<int>(waited / 10 / 4)) << "waited " << waited << " ms";
    EXPECT_GE(ticks, 3);
}

TEST(WorkerTest, AStopAskedForWhileAnotherStopWaitsWaitsToo) {
    Worker worker;
    std::atomic<bool> firstEnded{false};
    std::atomic<bool> secondStartedAfterFirst{false};
    std::atomic<bool> secondRan{false};
    worker.Start([&](std::stop_token stop) {
        while (WaitService::WaitFor(stop, 20)) {
        }
        // Linger a little, so the nested stop really has to wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        firstEnded = true;
    });
    // Processed while the outer Stop waits: stop again, then start a new body.
    QTimer::singleShot(0, [&] {
        worker.Stop();
        EXPECT_TRUE(firstEnded.load()) << "the nested stop returned before the worker ended";
        worker.Start([&](std::stop_token stop) {
            secondStartedAfterFirst = firstEnded.load();
            secondRan = true;
            while (WaitService::WaitFor(stop, 20)) {
            }
        });
    });
    worker.Stop();
    EXPECT_TRUE(firstEnded.load());
    // The worker started meanwhile is the current one, and runs until stopped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondRan.load(); }, 5000));
    EXPECT_TRUE(secondStartedAfterFirst.load());
    EXPECT_TRUE(worker.Running());
    worker.Stop();
    EXPECT_FALSE(worker.Started());
}

// ---- The page's worker ----

class WorkerPage : public CSubDlgBase {
public:
    explicit WorkerPage(PageHost& host) : CSubDlgBase(999, QStringLiteral("Worker"), host) {}
    void OnDeviceConnected(const QString&) override {}
    void OnDeviceDisconnected() override {}
    void OnPageShown() override {}
};

TEST(PageWorkerTest, StopWorkerAndDestructionStopTheWorker) {
    FakePageHost host;
    std::atomic<int> stops{0};
    const auto body = [&](std::stop_token stop) {
        while (WaitService::WaitFor(stop, kLongMs)) {
        }
        ++stops;
    };
    {
        WorkerPage page(host);
        EXPECT_FALSE(page.HasWorker());
        page.StartWorkerThread(body);
        EXPECT_TRUE(page.WorkerRunning());
        page.StopWorker();
        EXPECT_FALSE(page.HasWorker());
        EXPECT_EQ(stops.load(), 1);
        page.StartWorkerThread(body);
    }
    EXPECT_EQ(stops.load(), 2) << "the page's destruction stopped its worker";
}

}  // namespace
}  // namespace halvard::test
