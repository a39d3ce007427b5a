#pragma once
// The "RF" test page: contactless card commands.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgRF : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kRF;

    explicit CSubDlgRF(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
