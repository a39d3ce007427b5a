#pragma once
// The "Magnetic" test page: magnetic-stripe encoding and reading.

#include "CSubDlgBase.h"

class CSubDlgMagnetic : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 131;

    explicit CSubDlgMagnetic(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
