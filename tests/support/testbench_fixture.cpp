#include "testbench_fixture.h"

#include <QJsonArray>
#include <QTabBar>
#include <QThread>

#include <algorithm>
#include <chrono>

#include "status_poller.h"

namespace halvard::test {

QStringList Texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

void TestBenchTest::SetUp() {
    sim.Fresh(Preset());
    ui.workerWait = [](int ms) {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(std::min(ms, kWorkerPauseMs)));
    };
}

void TestBenchTest::TearDown() {
    ReleasePoll();
    window.reset();
}

QStringList TestBenchTest::CalledExports() const {
    QStringList names;
    for (const QJsonObject& call : sim.Calls())
        names << call.value(QLatin1String("fn")).toString();
    return names;
}

void TestBenchTest::ShowTab(const char* title) {
    auto* tabs = Find<QTabBar>("tabs");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QLatin1String(title)) {
            tabs->setCurrentIndex(i);
            return;
        }
    ADD_FAILURE() << "no tab " << title;
}

void TestBenchTest::HoldPoll() {
    {
        std::lock_guard lock(pollMutex);
        pollReleased = false;
    }
    ui.workerWait = [this](int ms) {
        if (ms >= StatusPoller::kPollIntervalMs) {
            std::unique_lock lock(pollMutex);
            pollWake.wait_for(lock, std::chrono::seconds(60), [this] { return pollReleased; });
        }
        if (ms > 0)
            QThread::msleep(2);
    };
}

void TestBenchTest::ReleasePoll() {
    {
        std::lock_guard lock(pollMutex);
        pollReleased = true;
    }
    pollWake.notify_all();
}

bool TestBenchTest::WaitForFirstPoll() {
    return QTest::qWaitFor([this] { return window->PollCycles() >= 1; }, 5000);
}

CHalvardTestDlg& TestBenchTest::Open(bool showExpert) {
    window = std::make_unique<CHalvardTestDlg>(showExpert);
    window->show();
    window->Initialise(QString::fromUtf8(SimulatorLibrary()));
    QCoreApplication::processEvents();
    return *window;
}

void TestBenchTest::ConnectFirst() {
    Click("connect");
    ASSERT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Disconnect"));
}

QStringList TestBenchTest::TabTitles() {
    QStringList titles;
    auto* tabs = Find<QTabBar>("tabs");
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

}  // namespace halvard::test
