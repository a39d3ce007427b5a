#pragma once
// The "Barcode" test page: barcode scanning.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgBarcode : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kBarcode;

    explicit CSubDlgBarcode(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
