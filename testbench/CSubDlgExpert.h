#pragma once
// The "Expert" test page: engineering tests of a printer module. The card move endurance test
// moves a card forward and back inside the printer a chosen number of times on the GUI thread,
// dispatching waiting messages between moves so the window stays usable and the test can be
// stopped; the fan test and the test-mode switch are single printer commands.

#include <QString>

#include <cstdint>

#include "CSubDlgBase.h"
#include "page_ids.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class CSubDlgExpert : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kExpert;

    // The card move test's pause after each iteration.
    static constexpr int kIterationPauseMs = 50;
    // Toggle Test Mode polls the printer every 50 ms until it is idle, for at most 30 s.
    static constexpr int kIdlePollMs = 50;
    static constexpr int kIdleLimitMs = 30000;
    // Last results of the page's own outcomes: the idle wait timed out (the code the Move page
    // uses for its bounded wait too), the card move test was stopped by the engineer.
    static constexpr std::uint32_t kIdleTimedOut = 0x80000352;
    static constexpr std::uint32_t kStopped = 0x80000355;

    explicit CSubDlgExpert(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // Whether the card move test is running; asks it to stop after the current iteration.
    bool CardMoveTestRunning() const { return m_running; }
    void StopCardMoveTest();

public slots:
    // Starts the card move test, or asks the running one to stop.
    void OnCardMoveTest();
    void OnPrinterFanTest();
    void OnToggleTestMode();

private:
    enum class StopReason { kNone, kEngineer, kDisconnected, kClosing };

    void BuildControls();
    // The enabling rule, for a page with or without an open device.
    void UpdateControls(bool connected);
    void OnModuleSelected();
    void RunCardMoveTest();
    // Whether the test must end before its next step, and why (the window closing counts).
    StopReason PendingStop() const;
    void ShowIteration(int iteration);
    // The card move test's closing messages are plain boxes (its refusals are warnings).
    void Say(const QString& text);

    QComboBox* m_module = nullptr;
    QLineEdit* m_current = nullptr;
    QLineEdit* m_count = nullptr;
    QPushButton* m_cardMove = nullptr;
    QPushButton* m_fan = nullptr;
    QPushButton* m_testMode = nullptr;
    bool m_running = false;
    StopReason m_stop = StopReason::kNone;
    bool m_windowShown = false;  // the window showed when the running test started
    // Toggle Test Mode is waiting for an idle printer (it does not start twice).
    bool m_waitingIdle = false;
};
