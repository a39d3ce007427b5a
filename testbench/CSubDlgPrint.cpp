#include "CSubDlgPrint.h"

CSubDlgPrint::CSubDlgPrint(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Print"), mainWindow, parent) {
    setObjectName(QStringLiteral("pagePrint"));
}

void CSubDlgPrint::OnDeviceConnected(const QString&) {}

void CSubDlgPrint::OnDeviceDisconnected() {}

void CSubDlgPrint::OnPageShown() {}
