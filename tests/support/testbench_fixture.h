#pragma once
// The test bench's shared window fixture: a fresh simulator, one UiRecorder standing in for the
// user (message boxes, dialogs, file dialogs, waits), and the real main window loaded against
// the simulator, driven through its controls.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTest>

#include <initializer_list>
#include <memory>

#include "CHalvardTestDlg.h"
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

    SimControl sim;
    UiRecorder ui;
    // The message boxes shown so far (the recorder's list).
    QList<ShownMessage>& boxes = ui.messages;
    std::unique_ptr<CHalvardTestDlg> window;
};

}  // namespace halvard::test
