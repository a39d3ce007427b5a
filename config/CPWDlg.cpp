#include "CPWDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kPasswordLength = 8;

QLineEdit* PasswordEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kPasswordLength);
    return edit;
}
}  // namespace

CPWDlg::CPWDlg(Mode mode, const QString& currentPassword, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_current(currentPassword) {
    setWindowTitle(QStringLiteral("Enter Password"));
    m_password = PasswordEdit("password", this);
    m_newPassword = PasswordEdit("newPassword", this);
    m_confirm = PasswordEdit("confirm", this);

    auto* form = new QFormLayout;
    auto* passwordLabel = new QLabel(QStringLiteral("Password : "), this);
    auto* newLabel = new QLabel(QStringLiteral("New Password : "), this);
    auto* confirmLabel = new QLabel(QStringLiteral("Confirm : "), this);
    passwordLabel->setBuddy(m_password);
    newLabel->setBuddy(m_newPassword);
    confirmLabel->setBuddy(m_confirm);
    form->addRow(passwordLabel, m_password);
    form->addRow(newLabel, m_newPassword);
    form->addRow(confirmLabel, m_confirm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPWDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPWDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_password, &QLineEdit::textEdited, this, &CPWDlg::OnPasswordEdited);
    connect(m_newPassword, &QLineEdit::textEdited, this, &CPWDlg::UpdateOk);
    connect(m_confirm, &QLineEdit::textEdited, this, &CPWDlg::UpdateOk);

    if (m_mode == ChangeMode) {
        m_password->setEnabled(false);
    } else {
        // Login: only the password row; OK and Cancel move up under it.
        for (QWidget* w : {static_cast<QWidget*>(newLabel), static_cast<QWidget*>(m_newPassword),
                           static_cast<QWidget*>(confirmLabel), static_cast<QWidget*>(m_confirm)})
            w->hide();
        UpdateOk();
    }
    m_ok->setEnabled(true);
    m_password->setText(m_current);
    (m_mode == ChangeMode ? m_newPassword : m_password)->setFocus();
}

void CPWDlg::OnPasswordEdited(const QString& text) {
    m_current = text;
}

// OK only while both new texts agree and differ from the current password.
void CPWDlg::UpdateOk() {
    const QString typed = m_newPassword->text();
    m_ok->setEnabled(typed == m_confirm->text() && typed != m_current);
}

void CPWDlg::accept() {
    m_new = m_newPassword->text();
    QDialog::accept();
}
