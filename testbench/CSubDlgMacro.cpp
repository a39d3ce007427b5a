#include "CSubDlgMacro.h"

CSubDlgMacro::CSubDlgMacro(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Macro"), host, parent) {
    setObjectName(QStringLiteral("pageMacro"));
}

void CSubDlgMacro::OnDeviceConnected(const QString&) {}

void CSubDlgMacro::OnDeviceDisconnected() {}

void CSubDlgMacro::OnPageShown() {}
