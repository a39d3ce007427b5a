#pragma once
// The "Print" test page: card design printing.

#include "CSubDlgBase.h"
#include "page_ids.h"

class CSubDlgPrint : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kPrint;

    explicit CSubDlgPrint(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;
};
