#pragma once
// The "Move" test page: card transport between the modules of the chain. It keeps track of
// where the card is ("Curr. Card Module :"), moves, ejects, flips and passes it, moves it by
// sensor or distance, sends it to the error bin, key-locks the printer and runs the endless
// positioning test on a thread of its own.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "CSubDlgBase.h"
#include "move_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CVelaCommBinding;

class CSubDlgMove : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;

    // "Card Flip Move" gave up waiting for its modules to leave "Command : Running".
    static constexpr std::uint32_t kFlipMoveTimedOut = 0x80000352;
    static constexpr int kFlipMoveTimeoutMs = 30000;
    static constexpr int kFlipMovePollMs = 20;
    // A command that needs the preemption token was not sent because none is held.
    static constexpr std::uint32_t kNoPreemption = 0x80000353;
    // The positioning test was not started: no distance or no working module.
    static constexpr std::uint32_t kBadInput = 0x80000354;

    // Eject re-centring of a flipper's card, and the default "Speed".
    static constexpr int kRecentreOption = 0x20;
    static constexpr int kRecentreSpeed = 3500;
    static constexpr int kRecentrePosition = 4;
    // The positioning test: its speed, the flipper that moves by scan, and the pause after
    // starting it; a failing move is retried after a short rest instead of spinning.
    static constexpr int kPosTestSpeed = 1368;
    static constexpr std::uint8_t kPosTestScanModule = 0x62;
    static constexpr int kPosTestScanOption = 0x40;
    static constexpr int kPosTestStartWaitMs = 500;
    static constexpr int kPosTestRetryMs = 100;

    explicit CSubDlgMove(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);
    ~CSubDlgMove() override;

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // Whether the positioning test thread runs, and the result of its latest move.
    bool PositionTestRunning() const { return m_posTest != nullptr; }
    std::uint32_t PositionTestResult() const { return m_posTestResult->load(); }
    // The moves the positioning test has made since it was started.
    int PositionTestMoves() const { return m_posTestMoves->load(); }

public slots:
    void OnCardMove();
    void OnCardEject();
    void OnCardFlip();
    void OnCardFlipMove();
    void OnModuleAction();
    void OnMoveToErrorBin();
    void OnKeyLock();
    void OnKeyUnlock();
    void OnModuleCardIn();
    void OnModuleCardOut();
    void OnPositionTest();

private:
    void BuildControls();
    // The enabling and visibility rules for a page with or without a connection.
    void UpdateControls(bool connected);
    void OnEjectDestinationChanged();
    void OnOptionToggled(QCheckBox* box, bool checked);
    // Makes `id` the current module and re-evaluates the page.
    void MakeCurrent(std::uint8_t id);
    // Makes the card's default position current (input hopper, else "out").
    void MakeDefaultCurrent();
    bool Connected() const;
    bool Recording() const;
    // The preemption check of the commands that need the token; false (after the information
    // box) when none is held.
    bool HavePreemption();
    void SendKeyLock(bool lock);
    std::uint64_t ReadStatus(std::uint8_t module, VelaResult* result) const;
    void Warn(const QString& text);
    void StopPositionTest();

    QComboBox* m_currentModule = nullptr;
    QComboBox* m_hopperLine = nullptr;
    QPushButton* m_cardMove = nullptr;
    QComboBox* m_moveDestination = nullptr;
    QPushButton* m_cardEject = nullptr;
    QComboBox* m_ejectDestination = nullptr;
    QLabel* m_hopLineLabel = nullptr;
    QComboBox* m_hopLine = nullptr;
    QLabel* m_ejectDirLabel = nullptr;
    QComboBox* m_ejectDir = nullptr;
    QPushButton* m_cardFlip = nullptr;
    QComboBox* m_flipper = nullptr;
    QPushButton* m_cardFlipMove = nullptr;
    QComboBox* m_flipMoveFlipper = nullptr;
    QComboBox* m_giveTo = nullptr;
    QPushButton* m_moduleAction = nullptr;
    QLabel* m_sensorLabel = nullptr;
    QComboBox* m_sensor = nullptr;
    QLabel* m_optionLabel = nullptr;
    std::array<QCheckBox*, 7> m_options{};
    QLineEdit* m_distAngle = nullptr;
    QLineEdit* m_speed = nullptr;
    QPushButton* m_moveToErrorBin = nullptr;
    QComboBox* m_errorBin = nullptr;
    QPushButton* m_keyLock = nullptr;
    QPushButton* m_keyUnlock = nullptr;
    QPushButton* m_moduleCardIn = nullptr;
    QComboBox* m_cardInFrom = nullptr;
    QPushButton* m_moduleCardOut = nullptr;
    QComboBox* m_cardOutTo = nullptr;
    QLineEdit* m_distance = nullptr;
    QPushButton* m_posTestButton = nullptr;
    // Controls whose enabled state follows "connected, a card module, not recording".
    QList<QWidget*> m_cardControls;

    // The positioning test thread (null when not running) and what it reports back.
    std::unique_ptr<std::jthread> m_posTest;
    std::shared_ptr<std::atomic<std::uint32_t>> m_posTestResult =
        std::make_shared<std::atomic<std::uint32_t>>(0);
    std::shared_ptr<std::atomic<int>> m_posTestMoves = std::make_shared<std::atomic<int>>(0);
};
