#include "CSubDlgIC.h"

CSubDlgIC::CSubDlgIC(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("IC"), host, parent) {
    setObjectName(QStringLiteral("pageIC"));
}

void CSubDlgIC::OnDeviceConnected(const QString&) {}

void CSubDlgIC::OnDeviceDisconnected() {}

void CSubDlgIC::OnPageShown() {}
