#pragma once
// The test bench's shared window fixture: a fresh simulator, one UiRecorder standing in for the
// user (message boxes, dialogs, file dialogs, waits), and the real main window loaded against
// the simulator, driven through its controls.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QJsonObject>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTest>

#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "CHalvardTestDlg.h"
#include "page_controls.h"
#include "sim_control.h"
#include "ui_recorder.h"

namespace halvard::test {

// A list of texts written as plain literals.
QStringList Texts(std::initializer_list<const char*> items);

class TestBenchTest : public ::testing::Test {
protected:
    // Real pause of a worker's wait (the status poll's one-second pause among them): short, so
    // workers neither spin nor hold a test up.
    static constexpr int kWorkerPauseMs = 10;

    void SetUp() override;
    void TearDown() override;
    virtual const char* Preset() const { return "default"; }

    // The main window shown after start-up, its posted "Refresh" done.
    CHalvardTestDlg& Open(bool showExpert = false);
    template <typename T = QWidget>
    T* Find(const char* name) {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    // Connects to the first listed device.
    void ConnectFirst();
    QStringList TabTitles();
    // The page of the main window with the given template id.
    CSubDlgBase* PageOf(int templateId) const { return window->FindPage(templateId); }
    QStringList BoxTexts() const { return ui.MessageTexts(); }
    // The exports called since the call log was last cleared, in order.
    QStringList CalledExports() const;
    // Selects the tab with this title, as a click on it does.
    void ShowTab(const char* title);

    // Opens the main window (with the Expert and Macro tabs when `showExpert`), loads
    // `scenario` first when given (JSON, instant operations), connects, selects the tab titled
    // `tab` when given, and returns the page of type Page; the call log and the boxes start
    // empty.
    template <typename Page>
    Page& ConnectedPage(const char* scenario = nullptr, const char* tab = nullptr,
                        bool showExpert = false) {
        if (scenario != nullptr) {
            EXPECT_EQ(sim.VelaSim_LoadScenario(scenario), 0);
            sim.VelaSim_SetTimeScale(0);
        }
        Open(showExpert);
        ConnectFirst();
        if (tab != nullptr)
            ShowTab(tab);
        Page* page = window->findChild<Page*>();
        EXPECT_NE(page, nullptr);
        QCoreApplication::processEvents();  // notifications the pages posted to themselves
        sim.VelaSim_ClearCallLog();
        boxes.clear();
        return *page;
    }

    // Holds the status poll's one-second pause until ReleasePoll() (or the test's end), so that
    // after its first round the poll adds nothing to the call log; waits for that first round.
    // Call before Open(); release before anything stops the poll (a disconnect, the window
    // going).
    void HoldPoll();
    void ReleasePoll();
    bool WaitForFirstPoll();

    SimControl sim;
    UiRecorder ui;
    std::mutex pollMutex;
    std::condition_variable pollWake;
    bool pollReleased = true;
    // The message boxes shown so far (the recorder's list).
    QList<ShownMessage>& boxes = ui.messages;
    std::unique_ptr<CHalvardTestDlg> window;
};

}  // namespace halvard::test
