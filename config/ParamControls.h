#pragma once
// Maps block positions to the printer page's controls: "read position i from the controls" and
// "show value v at position i". The page creates its widgets and registers them here; every
// packing rule lives in param_model.

#include <QList>
#include <QPointer>

#include <array>
#include <cstdint>
#include <vector>

#include "param_model.h"

class CSpinEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

class ParamControls final {
    Q_DISABLE_COPY_MOVE(ParamControls)

public:
    ParamControls() = default;

    // Registration. Spin edits get their slot's range, step 1 and the position as control id;
    // empty drop lists are filled with their entries. A widget offered for a position of another
    // kind is refused (false).
    bool setSpinEdit(int position, CSpinEdit* edit);
    bool setReadOnlyEdit(int position, QLineEdit* edit);  // Header Resister
    void setBoardType(QComboBox* list);
    void setDisplay(QComboBox* displayType, QComboBox* displayLanguage);
    void setSecurity(QCheckBox* pcAuth, QCheckBox* physicalKey, QCheckBox* userAuth,
                     QCheckBox* rootAuth);
    // Position 18: shown in the two read-only user fields and the two factory spin edits, read
    // back from the spin edits.
    void setCleaningCounts(QLineEdit* userCleaning, QLineEdit* userSkipped,
                           CSpinEdit* factoryCleaning, CSpinEdit* factorySkipped);
    void setSpeeds(CSpinEdit* inOutSpeed, CSpinEdit* moveSpeed);
    void setPrinterType(QCheckBox* rewriteCard, QCheckBox* certification);
    bool setOptionList(int bit, QComboBox* list);
    void setBaudRate(QComboBox* list);

    // The packed value of a position; a position without controls reads as 0.
    std::int32_t read(int position) const;
    // Sets the position's controls; a position without controls is left alone. Spin edits
    // forget an owed committed notice.
    void show(int position, std::int32_t value);

    // Every registered widget of a position (for enabling and showing by the page).
    QList<QWidget*> widgets(int position) const;

    // Drop lists that accept any value, on a real combo box: earlier extra entries (those with
    // item data) are removed, then the matching entry is selected or one is appended.
    static std::vector<param::ListEntry> entriesOf(const QComboBox* list);
    static void showInList(QComboBox* list, std::int32_t value, param::ListMatch match);
    static std::int32_t readList(const QComboBox* list, param::ListMatch match);

private:
    std::array<QPointer<CSpinEdit>, param::kParamSlotCount> m_spinEdits;
    QPointer<QLineEdit> m_headResistor;
    QPointer<QComboBox> m_boardType;
    int m_boardTypeShown = 0;  // written back while the value has no list entry
    QPointer<QComboBox> m_displayType;
    QPointer<QComboBox> m_displayLanguage;
    std::array<QPointer<QCheckBox>, 4> m_security;
    QPointer<QLineEdit> m_userCleaning;
    QPointer<QLineEdit> m_userSkipped;
    QPointer<CSpinEdit> m_factoryCleaning;
    QPointer<CSpinEdit> m_factorySkipped;
    QPointer<CSpinEdit> m_inOutSpeed;
    QPointer<CSpinEdit> m_moveSpeed;
    QPointer<QCheckBox> m_rewriteCard;
    QPointer<QCheckBox> m_certification;
    std::array<QPointer<QComboBox>, param::kOptionFlagCount> m_options;
    QPointer<QComboBox> m_baudRate;
};
