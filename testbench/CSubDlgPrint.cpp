#include "CSubDlgPrint.h"

CSubDlgPrint::CSubDlgPrint(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Print"), host, parent) {
    setObjectName(QStringLiteral("pagePrint"));
}

void CSubDlgPrint::OnDeviceConnected(const QString&) {}

void CSubDlgPrint::OnDeviceDisconnected() {}

void CSubDlgPrint::OnPageShown() {}
