#pragma once
// The "IC" test page: the contact chip station of a flipper. It moves the card to the IC
// position and back, lowers and lifts the contact head, and powers the chip on (showing its
// answer to reset) and off.

#include <cstdint>

#include "CSubDlgBase.h"
#include "page_ids.h"

class QLineEdit;
class QPushButton;

class CSubDlgIC : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kIC;

    // Card positions the page asks for.
    static constexpr int kIcPosition = 2;
    static constexpr int kRestorePosition = 4;
    // Wait-ready before a head or power command: poll the module state every 50 ms while its
    // "command running" bit is set, for at most 5000 ms; the command is sent in any case.
    static constexpr int kReadyPollMs = 50;
    static constexpr int kReadyLimitMs = 5000;
    static constexpr std::uint32_t kReadyTimedOut = 0x8000000D;

    explicit CSubDlgIC(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

public slots:
    void OnMoveIcPosition();
    void OnRestorePosition();
    void OnHeadDown();
    void OnHeadUp();
    void OnPowerOn();
    void OnPowerOff();

private:
    void BuildControls();
    void MovePosition(int position);
    void WaitReady(std::uint8_t module);
    void ReportFailure(VelaResult result);

    QComboBox* m_currentModule = nullptr;
    QComboBox* m_reader = nullptr;
    QPushButton* m_moveIcPosition = nullptr;
    QPushButton* m_restorePosition = nullptr;
    QPushButton* m_headDown = nullptr;
    QPushButton* m_headUp = nullptr;
    QPushButton* m_powerOn = nullptr;
    QPushButton* m_powerOff = nullptr;
    QLineEdit* m_atr = nullptr;
};
