#include "CSubDlgVELA.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ConfigHost.h"

CSubDlgVELA::CSubDlgVELA(ConfigHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("printerPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setMinimumSize(480, 320);
}

CSubDlgVELA::~CSubDlgVELA() = default;

void CSubDlgVELA::UpdateControls() {}

void CSubDlgVELA::GetConfig() {}

QString CSubDlgVELA::SerialText() const { return m_serial; }
QString CSubDlgVELA::HeadSerialText() const { return m_headSerial; }
QString CSubDlgVELA::HeadResisterText() const { return m_headResister; }
void CSubDlgVELA::SetSerialText(const QString& text) { m_serial = text; }
void CSubDlgVELA::SetHeadSerialText(const QString& text) { m_headSerial = text; }
void CSubDlgVELA::SetHeadResisterText(const QString& text) { m_headResister = text; }
void CSubDlgVELA::ResetUserCounters() {}
