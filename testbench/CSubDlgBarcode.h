#pragma once
// The "Barcode" test page: barcode scanning.

#include "CSubDlgBase.h"

class CSubDlgBarcode : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 135;

    explicit CSubDlgBarcode(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
