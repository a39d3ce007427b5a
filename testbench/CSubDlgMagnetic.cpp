#include "CSubDlgMagnetic.h"

CSubDlgMagnetic::CSubDlgMagnetic(CHalvardTestDlg* mainWindow, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Magnetic"), mainWindow, parent) {
    setObjectName(QStringLiteral("pageMagnetic"));
}

void CSubDlgMagnetic::OnDeviceConnected(const QString&) {}

void CSubDlgMagnetic::OnDeviceDisconnected() {}

void CSubDlgMagnetic::OnPageShown() {}
