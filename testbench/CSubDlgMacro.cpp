#include "CSubDlgMacro.h"

CSubDlgMacro::CSubDlgMacro(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Macro"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageMacro"));
}

void CSubDlgMacro::OnDeviceConnected(const QString&) {}

void CSubDlgMacro::OnDeviceDisconnected() {}

void CSubDlgMacro::OnPageShown() {}
