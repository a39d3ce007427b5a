#include "CUserPWDlg.h"

#include "dialog_buttons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* PasswordEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}
}  // namespace

CUserPWDlg::CUserPWDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter Password"));
    m_current = PasswordEdit("userOrRootPassword", this);
    m_new = PasswordEdit("newUserPassword", this);
    m_confirm = PasswordEdit("confirm", this);

    auto* form = new QFormLayout;
    const std::pair<const char16_t*, QLineEdit*> rows[] = {{u"User or Root Password : ", m_current},
                                                           {u"New User Password : ", m_new},
                                                           {u"Confirm : ", m_confirm}};
    for (const auto& [caption, edit] : rows) {
        auto* label = new QLabel(QString::fromUtf16(caption), this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }

    m_ok = AddContentAndButtons(*this, form, DefaultButton::Ok).ok;

    connect(m_new, &QLineEdit::textEdited, this, &CUserPWDlg::UpdateOk);
    connect(m_confirm, &QLineEdit::textEdited, this, &CUserPWDlg::UpdateOk);
    m_current->setFocus();
}

// OK while the new user password and its confirmation agree (both empty agree too).
void CUserPWDlg::UpdateOk() {
    m_ok->setEnabled(m_new->text() == m_confirm->text());
}

void CUserPWDlg::accept() {
    m_password = m_current->text();
    m_newUserPassword = m_confirm->text();
    QDialog::accept();
}
