#pragma once
// The "Expert" test page: endurance iterations for engineers.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgExpert : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kExpert;

    explicit CSubDlgExpert(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
