#pragma once
// "Enter Password" for a new user password: the user or root password, then the new user
// password twice.

#include <QDialog>

class QLineEdit;
class QPushButton;

class CUserPWDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUserPWDlg)
public:
    explicit CUserPWDlg(QWidget* parent = nullptr);

    // Valid after OK: the password that authorises the change and the new user password.
    QString Password() const { return m_password; }
    QString NewUserPassword() const { return m_newUserPassword; }

    void accept() override;

private:
    void UpdateOk();

    QString m_password;
    QString m_newUserPassword;
    QLineEdit* m_current;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
};
