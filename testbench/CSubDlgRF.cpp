#include "CSubDlgRF.h"

CSubDlgRF::CSubDlgRF(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("RF"), host, parent) {
    setObjectName(QStringLiteral("pageRF"));
}

void CSubDlgRF::OnDeviceConnected(const QString&) {}

void CSubDlgRF::OnDeviceDisconnected() {}

void CSubDlgRF::OnPageShown() {}
