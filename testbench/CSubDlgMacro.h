#pragma once
// The "Macro" test page: recording and playing back card moves.

#include "CSubDlgBase.h"

class CSubDlgMacro : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 137;

    explicit CSubDlgMacro(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
