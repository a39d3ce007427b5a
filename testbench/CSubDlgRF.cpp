#include "CSubDlgRF.h"

CSubDlgRF::CSubDlgRF(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("RF"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageRF"));
}

void CSubDlgRF::OnDeviceConnected(const QString&) {}

void CSubDlgRF::OnDeviceDisconnected() {}

void CSubDlgRF::OnPageShown() {}
