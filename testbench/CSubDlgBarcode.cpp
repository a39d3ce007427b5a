#include "CSubDlgBarcode.h"

CSubDlgBarcode::CSubDlgBarcode(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Barcode"), host, parent) {
    setObjectName(QStringLiteral("pageBarcode"));
}

void CSubDlgBarcode::OnDeviceConnected(const QString&) {}

void CSubDlgBarcode::OnDeviceDisconnected() {}

void CSubDlgBarcode::OnPageShown() {}
