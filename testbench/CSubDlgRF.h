#pragma once
// The "RF" test page: contactless card commands.

#include "CSubDlgBase.h"

class CSubDlgRF : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;

    explicit CSubDlgRF(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
