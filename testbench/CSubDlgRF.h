#pragma once
// The "RF" test page: the contactless station of a printer or flipper. It moves the card to the
// RF position and back, switches the field on (showing the card's answer to reset) and off,
// reads the card's UID, and authenticates, writes and reads one Mifare block through the
// reader's transparent channel.

#include <cstdint>
#include <span>

#include "CSubDlgBase.h"
#include "page_ids.h"
#include "rf_frames.h"

class QLineEdit;
class QPushButton;

class CSubDlgRF : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kRF;

    // Card positions and the printer's sensor move the page asks for.
    static constexpr int kRfPosition = 3;
    static constexpr int kRestorePosition = 4;
    static constexpr int kPrinterRfSensor = 3;
    // Reader item values: the printer's reader and the flipper's.
    static constexpr int kPrinterReader = 1;
    static constexpr int kFlipperReader = 2;

    explicit CSubDlgRF(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

public slots:
    void OnMoveRfPosition();
    void OnRestorePosition();
    void OnPowerOn();
    void OnPowerOff();
    void OnGetUid();
    void OnAuth();
    void OnWriteBlock();
    void OnReadBlock();

private:
    void BuildControls();
    void OnModuleChosen();
    void OnReaderChosen();
    // Sends one frame; `response` receives the bytes returned (cut to the buffer).
    VelaResult Transmit(std::span<const std::uint8_t> frame, rf::Bytes& response);
    // The "Block :" number, or false after telling the user to enter one.
    bool BlockAddress(std::uint8_t& block);
    int Side() const;
    void LogResponse(const rf::Bytes& response);

    QComboBox* m_currentModule = nullptr;
    QComboBox* m_reader = nullptr;
    QPushButton* m_moveRfPosition = nullptr;
    QPushButton* m_restorePosition = nullptr;
    QPushButton* m_powerOn = nullptr;
    QPushButton* m_powerOff = nullptr;
    QLineEdit* m_atr = nullptr;
    QPushButton* m_getUid = nullptr;
    QLineEdit* m_uid = nullptr;
    QPushButton* m_auth = nullptr;
    QLineEdit* m_key = nullptr;
    QComboBox* m_side = nullptr;
    QLineEdit* m_block = nullptr;
    QPushButton* m_writeBlock = nullptr;
    QLineEdit* m_writeData = nullptr;
    QPushButton* m_readBlock = nullptr;
    QLineEdit* m_readData = nullptr;
    // Set while one selector follows the other, so that the change does not echo back.
    bool m_coupling = false;
};
