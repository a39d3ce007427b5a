#pragma once
// The "IC" test page: contact IC card commands.

#include "CSubDlgBase.h"

class CSubDlgIC : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 133;

    explicit CSubDlgIC(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
