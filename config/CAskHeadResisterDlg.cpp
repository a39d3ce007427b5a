#include "CAskHeadResisterDlg.h"

#include "dialog_buttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "head_resistor_memo.h"

CAskHeadResisterDlg::CAskHeadResisterDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter Head Resister Value"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("headResister"));
    m_edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* label = new QLabel(QStringLiteral("Head Resister : "), this);
    label->setBuddy(m_edit);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_edit, 1);

    AddContentAndButtons(*this, row, DefaultButton::Ok);

    m_edit->setText(QString::number(headResistorMemo).left(kMaxTextLength));
    m_edit->setFocus();
    m_edit->end(false);
}

void CAskHeadResisterDlg::accept() {
    if (std::optional<int> value = ScanDecimal(m_edit->text().left(kMaxTextLength)))
        headResistorMemo = *value;
    QDialog::accept();
}
