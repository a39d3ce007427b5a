#pragma once
// The "Barcode" test page: the card scanner of a flipper module, which the SDK addresses as
// encoder channel 0x10. It scans, reads the decoded barcodes of either side, saves the scanned
// images as bitmap files, sets the scanning area, and reads and changes the scanner's settings.
// Every command runs on the GUI thread and shows its failure at once in a warning box.

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

#include "CSubDlgBase.h"
#include "page_ids.h"

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CSubDlgBarcode : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kBarcode;

    explicit CSubDlgBarcode(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // The folder "Save Scanned Image" offers and that the last pick replaced; one per process.
    static QString RememberedImageFolder();
    static void SetRememberedImageFolder(const QString& folder);

public slots:
    void OnScanning();
    void OnReadBarcodeData();
    void OnSaveScannedImage();
    void OnSetScanningArea();
    void OnGetVersion();
    void OnReset();
    void OnGetImageConfig();
    void OnSetImageConfig();
    void OnSaveImageConfig();
    void OnGetConfig();
    void OnSetGain();
    void OnSetOffset();
    void OnSetSpeed();
    void OnSetShading();
    void OnDoShading();
    void OnRestoreDefault();

private:
    void BuildControls();
    // The warning box of a failed command: `format` holds one %08X for the code.
    void Fail(const char* format, VelaResult code);
    // An operation that passes one 32-bit value 0 and judges the call, then the value the
    // scanner wrote back.
    void RunAnswered(std::int32_t operation, const char* failure);
    // Sends the 32-bit value of `box` under configuration identifier `id`.
    void SetValue(std::int32_t id, const QLineEdit* box, const char* failure);

    QComboBox* m_module = nullptr;
    QComboBox* m_side = nullptr;
    QPlainTextEdit* m_data = nullptr;
    std::array<QLineEdit*, 4> m_area{};  // x1, y1, x2, y2
    QLineEdit* m_version = nullptr;
    std::array<QLineEdit*, 5> m_image{};    // dpi, mode, side, face, drop
    std::array<QLineEdit*, 16> m_config{};  // in the scanner configuration record's order
    // Every control the enabling rule switches (all but the module selector).
    QList<QWidget*> m_controls;
};
