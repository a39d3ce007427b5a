#pragma once
// "Change Head Dialog": the identity texts of a replaced print head, and whether the user issue
// counters start again from zero.

#include <QDialog>
#include <QString>

#include "head_resistor_memo.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// What the technician confirmed in the dialog.
struct HeadChange {
    QString serial;
    QString headSerial;
    QString headResister;
    bool resetUserCounts = true;
};

class CChangeSerialDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChangeSerialDlg)
public:
    // Without `showSerial` the printer's own serial row is not shown (and not editable); its
    // text is handed back unchanged.
    explicit CChangeSerialDlg(const HeadChange& preset, bool showSerial = false,
                              QWidget* parent = nullptr);

    // Valid after OK.
    const HeadChange& Values() const { return m_values; }

    // Asks for confirmation first; Cancel there returns to the dialog.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HeadChange m_values;
    QLineEdit* m_serial;
    QLineEdit* m_headSerial;
    QLineEdit* m_headResister;
    QCheckBox* m_reset;
};

// Hands a confirmed head change to the printer page: the three texts, the counter reset when
// asked for, and the head resistance into `headResistorMemo` (unchanged when not a number).
template <class Page>
void ApplyHeadChange(const HeadChange& change, Page& page) {
    page.SetSerialText(change.serial);
    page.SetHeadSerialText(change.headSerial);
    page.SetHeadResisterText(change.headResister);
    if (change.resetUserCounts)
        page.ResetUserCounters();
    if (std::optional<int> value = ScanDecimal(change.headResister))
        headResistorMemo = *value;
}
