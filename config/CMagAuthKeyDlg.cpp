#include "CMagAuthKeyDlg.h"

#include "dialog_buttons.h"

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

    auto* content = new QVBoxLayout;
    content->addWidget(label);
    content->addWidget(m_edit);
    AddContentAndButtons(*this, content, DefaultButton::Cancel, true);
    m_edit->setFocus();
}

void CMagAuthKeyDlg::accept() {
    m_key = m_edit->text();
    QDialog::accept();
}
