#include "CMagAuthKeyDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CMagAuthKeyDlg::CMagAuthKeyDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dialog"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("key"));
    m_edit->setMaxLength(kMaxKeyLength);
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* label = new QLabel(QStringLiteral("Write Magnetic Encryption Key"), this);
    label->setAlignment(Qt::AlignCenter);
    label->setBuddy(m_edit);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CMagAuthKeyDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CMagAuthKeyDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->setFocus();
}

void CMagAuthKeyDlg::accept() {
    m_key = m_edit->text();
    QDialog::accept();
}
