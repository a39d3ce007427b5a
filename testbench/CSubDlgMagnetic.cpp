#include "CSubDlgMagnetic.h"

CSubDlgMagnetic::CSubDlgMagnetic(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Magnetic"), host, parent) {
    setObjectName(QStringLiteral("pageMagnetic"));
}

void CSubDlgMagnetic::OnDeviceConnected(const QString&) {}

void CSubDlgMagnetic::OnDeviceDisconnected() {}

void CSubDlgMagnetic::OnPageShown() {}
