#include "CAskHeadResisterDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "head_resistor_memo.h"
#include "param_model.h"

CAskHeadResisterDlg::CAskHeadResisterDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("askHeadResisterDlg"));
    setWindowTitle(QStringLiteral("Enter Head Resister Value"));
    auto* label = new QLabel(QStringLiteral("Head Resister : "), this);
    m_value = new QLineEdit(QString::number(headResistorMemo), this);
    m_value->setObjectName(QStringLiteral("headResisterValue"));
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(m_value);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAskHeadResisterDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAskHeadResisterDlg::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_value);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void CAskHeadResisterDlg::accept() {
    // "%d": a leading number is taken; text without one leaves the kept value as it was.
    const QString text = m_value->text().trimmed();
    const bool hasNumber =
        !text.isEmpty() &&
        (text[0].isDigit() ||
         (text.size() > 1 && (text[0] == u'-' || text[0] == u'+') && text[1].isDigit()));
    if (hasNumber)
        headResistorMemo = param::saturate32(param::parseLeadingInt(text));
    QDialog::accept();
}
