#pragma once
// The "IC" test page: contact IC card commands.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgIC : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kIC;

    explicit CSubDlgIC(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
