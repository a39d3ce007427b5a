#pragma once
// The "Move" test page: card transport between the modules of the chain.

#include "CSubDlgBase.h"

class CSubDlgMove : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;

    explicit CSubDlgMove(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
