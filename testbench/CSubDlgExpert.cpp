#include "CSubDlgExpert.h"

CSubDlgExpert::CSubDlgExpert(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Expert"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageExpert"));
}

void CSubDlgExpert::OnDeviceConnected(const QString&) {}

void CSubDlgExpert::OnDeviceDisconnected() {}

void CSubDlgExpert::OnPageShown() {}
