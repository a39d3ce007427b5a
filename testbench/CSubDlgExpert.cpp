#include "CSubDlgExpert.h"

CSubDlgExpert::CSubDlgExpert(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Expert"), host, parent) {
    setObjectName(QStringLiteral("pageExpert"));
}

void CSubDlgExpert::OnDeviceConnected(const QString&) {}

void CSubDlgExpert::OnDeviceDisconnected() {}

void CSubDlgExpert::OnPageShown() {}
