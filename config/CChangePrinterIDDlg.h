#pragma once
// "Change Printer ID": shows the printer's current ID and takes a new one of at most 8
// characters without ':', '[' or ']'.

#include <QDialog>

class QLineEdit;

class CChangePrinterIDDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChangePrinterIDDlg)
public:
    static constexpr int kMaxIdLength = 8;

    explicit CChangePrinterIDDlg(const QString& currentId, QWidget* parent = nullptr);

    QString NewId() const { return m_newId; }

    // Refuses an ID with a forbidden character and keeps the dialog open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_newId;
    QLineEdit* m_current;
    QLineEdit* m_change;
};
