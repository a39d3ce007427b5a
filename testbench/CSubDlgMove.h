#pragma once
// The "Move" test page: card transport between the modules of the chain. It keeps track of
// where the card is ("Curr. Card Module :"), moves, ejects, flips and passes it, moves it by
// sensor or distance, sends it to the error bin, key-locks the printer and runs the endless
// positioning test on a thread of its own.

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "CSubDlgBase.h"
#include "move_logic.h"
#include "page_drivers.h"
#include "page_ids.h"
#include "worker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CSubDlgMove : public CSubDlgBase, public MovePageDriver {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kMove;

    // "Card Flip Move" gave up waiting for its modules to leave "Command : Running".
    static constexpr std::uint32_t kFlipMoveTimedOut = 0x80000352;
    static constexpr int kFlipMoveTimeoutMs = 30000;
    static constexpr int kFlipMovePollMs = 20;
    // A command was not sent: the positioning test has no distance or no working module, or a
    // module selector the command needs is empty.
    static constexpr std::uint32_t kBadInput = 0x80000354;

    // Eject re-centring of a flipper's card, and the default "Speed".
    static constexpr int kRecentreOption = 0x20;
    static constexpr int kRecentreSpeed = 3500;
    static constexpr int kRecentrePosition = 4;
    // The positioning test: its speed, the flipper that moves by scan, and the pause after
    // starting it. After each move it pauses, then waits (bounded) until the module is idle, so
    // that it neither spins on moves that return at once nor sends a move to a busy module.
    static constexpr int kPosTestSpeed = 1368;
    static constexpr std::uint8_t kPosTestScanModule = vela::kModuleLaser;
    static constexpr int kPosTestScanOption = 0x40;
    static constexpr int kPosTestStartWaitMs = 500;
    static constexpr int kPosTestPauseMs = 50;
    static constexpr int kPosTestIdleLimitMs = 10000;

    explicit CSubDlgMove(PageHost& host, QWidget* parent = nullptr);
    ~CSubDlgMove() override;

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // ---- Driver (batch run, macro playback) ----
    bool SetCurrentModule(std::uint8_t id) override;
    bool SetHopperLine(std::uint32_t value) override;
    bool SetMoveDestination(std::uint8_t id) override;
    bool SetEjectTarget(std::uint8_t id) override;
    bool SetHopLine(std::uint32_t value) override;
    bool SetEjectDirection(std::uint32_t value) override;
    void RunCardMove() override { OnCardMove(); }
    void RunCardEject() override { OnCardEject(); }
    std::uint32_t LastResult() const override { return CSubDlgBase::LastResult(); }

    // Whether the positioning test thread runs, and the result of its latest move.
    bool PositionTestRunning() const { return m_posTest.Started(); }
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
    void SendKeyLock(bool lock);
    std::uint64_t ReadStatus(std::uint8_t module, VelaResult* result) const;
    // False (with the last result kBadInput) when any of `selectors` has no module selected.
    bool HasModules(std::initializer_list<const QComboBox*> selectors);
    void StopPositionTest();

    QComboBox* m_currentModule = nullptr;
    QLabel* m_hopperLineLabel = nullptr;
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
    // Controls whose enabled state follows "connected, a card module, not recording" (the flip
    // and error-bin commands also need their selectors filled).
    QList<QWidget*> m_cardControls;

    // The positioning test thread and what it reports back.
    Worker m_posTest;
    std::shared_ptr<std::atomic<std::uint32_t>> m_posTestResult =
        std::make_shared<std::atomic<std::uint32_t>>(0);
    std::shared_ptr<std::atomic<int>> m_posTestMoves = std::make_shared<std::atomic<int>>(0);
};
