#pragma once
// The "Print" test page: card design printing.

#include "CSubDlgBase.h"

class CSubDlgPrint : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 134;

    explicit CSubDlgPrint(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
