#pragma once
// "Enter Head Resister Value": asks for the print-head resistance, pre-filled with
// headResistorMemo; OK stores a typed number there.

#include <QDialog>

class QLineEdit;

class CAskHeadResisterDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAskHeadResisterDlg)

public:
    explicit CAskHeadResisterDlg(QWidget* parent = nullptr);

    QLineEdit* ValueEdit() const { return m_value; }
    void accept() override;

private:
    QLineEdit* m_value;
};
