#pragma once
// "Enter Head Resister Value": edits `headResistorMemo`.

#include <QDialog>

class QLineEdit;

class CAskHeadResisterDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAskHeadResisterDlg)
public:
    static constexpr int kMaxTextLength = 16;

    explicit CAskHeadResisterDlg(QWidget* parent = nullptr);

    QLineEdit* ValueEdit() const { return m_edit; }

    // Stores the typed value into `headResistorMemo`; text that is not a number leaves it.
    void accept() override;

private:
    QLineEdit* m_edit;
};
