#pragma once
// "Enter Password": in login mode only the password field shows; in change mode the current
// password is shown disabled and a new password is typed twice.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class CPWDlg final : public QDialog {
    Q_OBJECT
public:
    enum Mode { LoginMode = 0, ChangeMode = 1 };

    explicit CPWDlg(Mode mode, const QString& currentPassword = QString(),
                    QWidget* parent = nullptr);

    QString CurrentPassword() const { return m_current; }
    QString NewPassword() const { return m_new; }

    void accept() override;

private:
    void OnPasswordEdited(const QString& text);
    void UpdateOk();

    Mode m_mode;
    QString m_current;
    QString m_new;
    QLineEdit* m_password;
    QLineEdit* m_newPassword;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
};
