#pragma once
// The "Magnetic" test page: magnetic-stripe encoding and reading.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgMagnetic : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kMagnetic;

    explicit CSubDlgMagnetic(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
