#include "CSubDlgBarcode.h"

CSubDlgBarcode::CSubDlgBarcode(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Barcode"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageBarcode"));
}

void CSubDlgBarcode::OnDeviceConnected(const QString&) {}

void CSubDlgBarcode::OnDeviceDisconnected() {}

void CSubDlgBarcode::OnPageShown() {}
