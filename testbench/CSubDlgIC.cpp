#include "CSubDlgIC.h"

CSubDlgIC::CSubDlgIC(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("IC"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageIC"));
}

void CSubDlgIC::OnDeviceConnected(const QString&) {}

void CSubDlgIC::OnDeviceDisconnected() {}

void CSubDlgIC::OnPageShown() {}
