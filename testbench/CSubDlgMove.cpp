#include "CSubDlgMove.h"

CSubDlgMove::CSubDlgMove(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Move"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageMove"));
}

void CSubDlgMove::OnDeviceConnected(const QString&) {}

void CSubDlgMove::OnDeviceDisconnected() {}

void CSubDlgMove::OnPageShown() {}
