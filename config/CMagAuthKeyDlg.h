#pragma once
// "Write Magnetic Encryption Key": one field of at most 16 characters.

#include <QDialog>

class QLineEdit;

class CMagAuthKeyDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMagAuthKeyDlg)
public:
    static constexpr int kMaxKeyLength = 16;

    explicit CMagAuthKeyDlg(QWidget* parent = nullptr);

    // Valid after OK.
    QString Key() const { return m_key; }

    void accept() override;

private:
    QString m_key;
    QLineEdit* m_edit;
};
