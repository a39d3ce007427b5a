#include "testbench_fixture.h"

#include <QTabBar>
#include <QThread>

#include <algorithm>

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
    window.reset();
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
