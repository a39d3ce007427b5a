#pragma once
// The "Expert" test page: endurance iterations for engineers.

#include "CSubDlgBase.h"

class CSubDlgExpert : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 136;

    explicit CSubDlgExpert(CHalvardTestDlg* mainWindow, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
