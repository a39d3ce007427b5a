#pragma once
// The real main window connected to the simulator, with its Move page selected, instant waits
// on the GUI thread and the status poll held after its first round.

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "CSubDlgMacro.h"
#include "CSubDlgMove.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {

// The entries of a selector as "label=data" texts (data in hex).
inline QStringList EntriesOf(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries
            << QStringLiteral("%1=%2").arg(box->itemText(i)).arg(box->itemData(i).toInt(), 0, 16);
    return entries;
}

// The arguments of a logged call after the device handle.
inline QList<qint64> ArgsOf(const QJsonObject& call) {
    QList<qint64> args;
    const QJsonArray all = call.value(QLatin1String("args")).toArray();
    for (qsizetype i = 1; i < all.size(); ++i)
        args << all[i].toInteger();
    return args;
}

class MovePageTest : public TestBenchTest {
protected:
    void SetUp() override {
        TestBenchTest::SetUp();
        // The status poll's one-second pause is held until the test releases it, so the poll
        // adds nothing to the call log after its first round; other worker pauses are short
        // real ones. GUI-thread waits are instant and recorded by the recorder.
        released = false;
        ui.workerWait = [this](int ms) {
            if (ms >= kPollPauseMs) {
                std::unique_lock lock(releaseMutex);
                releaseWake.wait_for(lock, std::chrono::seconds(60), [this] { return released; });
            }
            QThread::msleep(2);
        };
    }
    void TearDown() override {
        ReleaseWorkers();
        TestBenchTest::TearDown();
    }
    // Lets held worker pauses end (before anything stops the status poll).
    void ReleaseWorkers() {
        {
            std::lock_guard lock(releaseMutex);
            released = true;
        }
        releaseWake.notify_all();
    }

    // Opens the main window, connects and returns the Move page. `scenario` replaces the
    // preset's chain when given.
    CSubDlgMove& Connected(const char* scenario = nullptr) {
        if (scenario != nullptr) {
            EXPECT_EQ(sim.VelaSim_LoadScenario(scenario), 0);
            sim.VelaSim_SetTimeScale(0);
        }
        Open();
        ConnectFirst();
        page = window->findChild<CSubDlgMove*>();
        EXPECT_NE(page, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([this] { return window->PollCycles() >= 1; }, 5000));
        sim.VelaSim_ClearCallLog();
        boxes.clear();
        return *page;
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        T* w = page->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Presses a page button the way a click (or the batch loop) does.
    void Press(const char* name) { On<QPushButton>(name)->click(); }
    // Picks the entry of a selector whose item data is `data`.
    void Pick(const char* name, int data) {
        auto* box = On<QComboBox>(name);
        const int index = box->findData(data);
        ASSERT_GE(index, 0) << name << " has no entry " << data;
        box->setCurrentIndex(index);
    }
    // Puts the simulator's card into `module` and makes it the page's current module.
    void CardAt(int module) {
        ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, module), 0);
        Pick("currentModule", module);
    }
    void HoldToken() {
        Click("request");
        ASSERT_NE(window->GetPreemptionToken(), 0xFFFF);
        sim.VelaSim_ClearCallLog();
    }
    int Card() { return sim.VelaSim_GetCardModule(nullptr); }
    std::uint64_t Status(int module) {
        std::uint64_t status = 0;
        EXPECT_EQ(window->Binding().Device(window->Binding().Vela_GetStatus, module, &status), 0);
        return status;
    }
    // The Macro page's recorded items.
    const MacroList& MacroItems() const {
        return static_cast<const CSubDlgMacro*>(PageOf(page_id::kMacro))->MacroItems();
    }
    QStringList CalledExports() const {
        QStringList names;
        for (const QJsonObject& call : sim.Calls())
            names << call.value(QLatin1String("fn")).toString();
        return names;
    }

    static constexpr int kPollPauseMs = 1000;
    CSubDlgMove* page = nullptr;
    std::mutex releaseMutex;
    std::condition_variable releaseWake;
    bool released = false;
};

// Input hopper, printer, output hopper.
inline constexpr const char* kShortChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 16, "cards": 50}, {"id": 64}, {"id": 112}]}]})";

}  // namespace halvard::test
