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
    // GUI-thread waits are instant; the status poll is held after its first round.
    void SetUp() override {
        TestBenchTest::SetUp();
        HoldPoll();
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
        HoldPoll();
        macro = &ConnectedPage<CSubDlgMacro>(scenario, "Macro", true);
        move = static_cast<CSubDlgMove*>(PageOf(page_id::kMove));
        ASSERT_TRUE(WaitForFirstPoll());
        sim.VelaSim_ClearCallLog();
    }
    template <typename T = QPushButton>
    T* MacroControl(const char* name) {
        return ControlOf<T>(macro, name);
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
    void PickOnMove(const char* name, int data) { PickOn(move, name, data); }
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
    std::unique_ptr<QTimer> m_trigger;
};

// Card from the input hopper onto the printer, ejected into the flipper, out of the system: one
// card into the output hopper's stack per pass.
inline constexpr std::array<std::uint32_t, 4> kToPrinter = {0x10, 0, 0x40, 0};
inline constexpr std::array<std::uint32_t, 4> kToFlipper = {0x40, 0, 0x61, 0};
inline constexpr std::array<std::uint32_t, 4> kOut = {0x61, 0, 0xFF, 0};

}  // namespace halvard::test
