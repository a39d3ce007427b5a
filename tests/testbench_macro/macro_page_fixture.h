#pragma once
// The real main window connected to the simulator with the Expert and Macro tabs shown, and the
// status poll held after its first round, so that the call log holds only what the pages do.

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "CDlgMacroQuickRecord.h"
#include "CSubDlgMacro.h"
#include "CSubDlgMove.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {

class MacroPageTest : public TestBenchTest {
protected:
    static constexpr int kPollPauseMs = 1000;

    void SetUp() override {
        TestBenchTest::SetUp();
        // The poll's one-second pause lasts until the test ends; GUI-thread waits are instant.
        ui.workerWait = [this](int ms) {
            if (ms >= kPollPauseMs) {
                std::unique_lock lock(m_holdMutex);
                m_holdWake.wait_for(lock, std::chrono::seconds(60), [this] { return m_released; });
            }
            QThread::msleep(1);
        };
    }
    void TearDown() override {
        ReleasePoll();
        TestBenchTest::TearDown();
    }
    // Lets the held poll go on; needed before anything stops it (disconnect, the window going).
    void ReleasePoll() {
        {
            std::lock_guard lock(m_holdMutex);
            m_released = true;
        }
        m_holdWake.notify_all();
    }
    // Destroys the window (its poll released first) and starts the simulator afresh.
    void CloseAndRestart() {
        ReleasePoll();
        window.reset();
        boxes.clear();
        sim.Fresh();
    }

    // Opens the main window with the Macro tab, connects and shows the Macro page.
    void Connected(const char* scenario = nullptr) {
        {
            std::lock_guard lock(m_holdMutex);
            m_released = false;
        }
        if (scenario != nullptr) {
            ASSERT_EQ(sim.VelaSim_LoadScenario(scenario), 0);
            sim.VelaSim_SetTimeScale(0);
        }
        Open(true);
        ConnectFirst();
        macro = static_cast<CSubDlgMacro*>(PageOf(page_id::kMacro));
        move = static_cast<CSubDlgMove*>(PageOf(page_id::kMove));
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->PollCycles() >= 1; }, 5000));
        ShowTab("Macro");
        sim.VelaSim_ClearCallLog();
    }
    // Selects a tab by its title, as a click on it does.
    void ShowTab(const char* title) {
        auto* tabs = Find<QTabBar>("tabs");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == QLatin1String(title)) {
                tabs->setCurrentIndex(i);
                return;
            }
        ADD_FAILURE() << "no tab " << title;
    }
    template <typename T = QPushButton>
    T* MacroControl(const char* name) {
        T* w = macro->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Presses a Macro page button; a disabled one cannot be pressed.
    void Press(const char* name) {
        QPushButton* button = MacroControl(name);
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    // Presses a Move page button, with the Move page shown.
    void PressOnMove(const char* name) {
        ShowTab("Move");
        auto* button = move->findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    void PickOnMove(const char* name, int data) {
        auto* box = move->findChild<QComboBox*>(QLatin1String(name));
        ASSERT_NE(box, nullptr) << name;
        const int index = box->findData(data);
        ASSERT_GE(index, 0) << name << " has no entry " << data;
        box->setCurrentIndex(index);
    }
    // Steps handed to the list the way the Move page hands them while recording.
    void Recorded(std::initializer_list<std::array<std::uint32_t, 4>> steps) {
        for (const auto& s : steps)
            window->QuickRecorder()->AddRecordedMove(static_cast<std::uint8_t>(s[0]), s[1],
                                                     static_cast<std::uint8_t>(s[2]), s[3]);
        // Back from another page, the Macro page shows the new state.
        ShowTab("Move");
        ShowTab("Macro");
    }
    void SetPasses(const char* text) {
        MacroControl<QLineEdit>("passes")->setText(QString::fromUtf8(text));
    }
    QString PlayCaption() { return MacroControl("macroPlayStart")->text(); }
    QString CurrentPass() { return MacroControl<QLineEdit>("currentPass")->text(); }
    QString ListText() { return MacroControl<QPlainTextEdit>("macroList")->toPlainText(); }

    // Runs `action` once, from the event processing of whatever runs, as soon as `when` holds.
    void OnceDuringEvents(std::function<bool()> when, std::function<void()> action) {
        m_trigger = std::make_unique<QTimer>();
        m_trigger->setInterval(0);
        QObject::connect(m_trigger.get(), &QTimer::timeout, [this, when, action] {
            if (!when())
                return;
            m_trigger->stop();
            action();
        });
        m_trigger->start();
    }

    // Transport commands the simulator received, as "export(args after the handle)".
    QStringList Transport() const {
        QStringList lines;
        for (const QJsonObject& call : sim.Calls()) {
            const QString fn = call.value(QLatin1String("fn")).toString();
            if (fn != u"Vela_CardMove2" && fn != u"Vela_CardEject2")
                continue;
            // The arguments after the device handle, in hex.
            QStringList args;
            const QJsonArray all = call.value(QLatin1String("args")).toArray();
            for (qsizetype i = 1; i < all.size(); ++i)
                args << QString::number(all[i].toInteger(), 16).toUpper();
            lines << fn.mid(5) + u'(' + args.join(u',') + u')';
        }
        return lines;
    }

    CSubDlgMacro* macro = nullptr;
    CSubDlgMove* move = nullptr;

private:
    std::mutex m_holdMutex;
    std::condition_variable m_holdWake;
    bool m_released = false;
    std::unique_ptr<QTimer> m_trigger;
};

// Card from the input hopper onto the printer, ejected into the flipper, out of the system: one
// card into the output hopper's stack per pass.
inline constexpr std::array<std::uint32_t, 4> kToPrinter = {0x10, 0, 0x40, 0};
inline constexpr std::array<std::uint32_t, 4> kToFlipper = {0x40, 0, 0x61, 0};
inline constexpr std::array<std::uint32_t, 4> kOut = {0x61, 0, 0xFF, 0};

}  // namespace halvard::test
