#include "CAskHeadResisterDlg.h"

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

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &CAskHeadResisterDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CAskHeadResisterDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_edit->setText(QString::number(headResistorMemo).left(kMaxTextLength));
    m_edit->setFocus();
    m_edit->end(false);
}

void CAskHeadResisterDlg::accept() {
    if (std::optional<int> value = ScanDecimal(m_edit->text().left(kMaxTextLength)))
        headResistorMemo = *value;
    QDialog::accept();
}
