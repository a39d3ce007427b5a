#include "ParamControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "CSpinEdit.h"

using namespace param;

namespace {

void fillIfEmpty(QComboBox* list, const QStringList& entries) {
    if (list && list->count() == 0) {
        list->addItems(entries);
    }
}

// Range and step of the slot; the position doubles as the id in valueCommitted.
void prepareSpin(CSpinEdit* edit, int position, int minimum, int maximum) {
    if (edit) {
        edit->setRange(minimum, maximum);
        edit->setStep(1);
        edit->setControlId(position);
    }
}

// Shown in a spin edit as "%d"; the edit owes no notice for a value the page put there.
void showInSpin(CSpinEdit* edit, long long shown) {
    if (edit) {
        edit->setText(QString::number(shown));
        edit->clearPendingNotice();
    }
}

long long textNumber(const QLineEdit* edit) {
    return edit ? parseLeadingInt(edit->text()) : 0;
}

void setChecked(QCheckBox* box, bool on) {
    if (box) {
        box->setChecked(on);
    }
}

bool isChecked(const QCheckBox* box) {
    return box && box->isChecked();
}

bool validPosition(int position) {
    return position >= 0 && position < kParamSlotCount;
}

}  // namespace

bool ParamControls::setSpinEdit(int position, CSpinEdit* edit) {
    if (!validPosition(position) || paramSlots[position].control != SlotControl::SpinEdit) {
        return false;
    }
    m_spinEdits[position] = edit;
    prepareSpin(edit, position, paramSlots[position].minimum, paramSlots[position].maximum);
    return true;
}

bool ParamControls::setReadOnlyEdit(int position, QLineEdit* edit) {
    if (!validPosition(position) || paramSlots[position].control != SlotControl::ReadOnlyEdit) {
        return false;
    }
    m_headResistor = edit;
    return true;
}

void ParamControls::setBoardType(QComboBox* list) {
    m_boardType = list;
    fillIfEmpty(list, boardTypeEntries());
}

void ParamControls::setDisplay(QComboBox* displayType, QComboBox* displayLanguage) {
    m_displayType = displayType;
    m_displayLanguage = displayLanguage;
    fillIfEmpty(displayType, displayTypeEntries());
    fillIfEmpty(displayLanguage, displayLanguageEntries());
}

void ParamControls::setSecurity(QCheckBox* pcAuth, QCheckBox* physicalKey, QCheckBox* userAuth,
                                QCheckBox* rootAuth) {
    m_security = {pcAuth, physicalKey, userAuth, rootAuth};
}

void ParamControls::setCleaningCounts(QLineEdit* userCleaning, QLineEdit* userSkipped,
                                      CSpinEdit* factoryCleaning, CSpinEdit* factorySkipped) {
    m_userCleaning = userCleaning;
    m_userSkipped = userSkipped;
    m_factoryCleaning = factoryCleaning;
    m_factorySkipped = factorySkipped;
    prepareSpin(factoryCleaning, kPosCleaning, kFullMinimum, kFullMaximum);
    prepareSpin(factorySkipped, kPosCleaning, kFullMinimum, kFullMaximum);
}

void ParamControls::setSpeeds(CSpinEdit* inOutSpeed, CSpinEdit* moveSpeed) {
    m_inOutSpeed = inOutSpeed;
    m_moveSpeed = moveSpeed;
    prepareSpin(inOutSpeed, kPosSpeeds, kSpeedMinimum, kSpeedMaximum);
    prepareSpin(moveSpeed, kPosSpeeds, kSpeedMinimum, kSpeedMaximum);
}

void ParamControls::setPrinterType(QCheckBox* rewriteCard, QCheckBox* certification) {
    m_rewriteCard = rewriteCard;
    m_certification = certification;
}

bool ParamControls::setOptionList(int bit, QComboBox* list) {
    if (bit < 0 || bit >= kOptionFlagCount) {
        return false;
    }
    m_options[bit] = list;
    fillIfEmpty(list, optionFlagEntries(bit));
    return true;
}

void ParamControls::setBaudRate(QComboBox* list) {
    m_baudRate = list;
    fillIfEmpty(list, baudRateEntries());
}

std::int32_t ParamControls::read(int position) const {
    if (!validPosition(position)) {
        return 0;
    }
    switch (paramSlots[position].control) {
        case SlotControl::None:
            return 0;
        case SlotControl::SpinEdit: {
            const long long shown = textNumber(m_spinEdits[position]);
            return position == kPosYStart ? yStartFromShown(shown) : saturate32(shown);
        }
        case SlotControl::ReadOnlyEdit:
            return saturate32(textNumber(m_headResistor));
        case SlotControl::BoardType: {
            const int index = m_boardType ? m_boardType->currentIndex() : -1;
            return index >= 0 ? index : m_boardTypeShown;
        }
        case SlotControl::Display:
            return packDisplay(
                m_displayType ? readList(m_displayType, ListMatch::ByIndex) : 0,
                m_displayLanguage ? readList(m_displayLanguage, ListMatch::ByIndex) : 0);
        case SlotControl::Security:
            return packSecurity({isChecked(m_security[0]), isChecked(m_security[1]),
                                 isChecked(m_security[2]), isChecked(m_security[3])});
        case SlotControl::CleaningCounts:
            return packHalves(textNumber(m_factoryCleaning), textNumber(m_factorySkipped));
        case SlotControl::Speeds: {
            const auto half = [](const CSpinEdit* edit) {
                if (!edit) {
                    return static_cast<long long>(kSpeedMaximum);
                }
                return speedHalfForWrite(textNumber(edit), edit->minimum(), edit->maximum());
            };
            return packHalves(half(m_moveSpeed), half(m_inOutSpeed));
        }
        case SlotControl::PrinterType:
            return packPrinterType(isChecked(m_rewriteCard), isChecked(m_certification));
        case SlotControl::OptionFlags: {
            std::array<int, kOptionFlagCount> indexes{};
            for (int bit = 0; bit < kOptionFlagCount; ++bit) {
                indexes[bit] = m_options[bit] ? m_options[bit]->currentIndex() : -1;
            }
            return packOptionFlags(indexes);
        }
        case SlotControl::BaudRate:
            return m_baudRate ? readList(m_baudRate, ListMatch::ByText) : 0;
    }
    return 0;
}

void ParamControls::show(int position, std::int32_t value) {
    if (!validPosition(position)) {
        return;
    }
    switch (paramSlots[position].control) {
        case SlotControl::None:
            return;
        case SlotControl::SpinEdit:
            showInSpin(m_spinEdits[position], position == kPosYStart ? yStartShown(value) : value);
            return;
        case SlotControl::ReadOnlyEdit:
            if (m_headResistor) {
                m_headResistor->setText(plainText(value));
            }
            return;
        case SlotControl::BoardType:
            m_boardTypeShown = value;
            if (m_boardType) {
                m_boardType->setCurrentIndex(value >= 0 && value < m_boardType->count() ? value
                                                                                        : -1);
            }
            return;
        case SlotControl::Display: {
            const DisplayFields fields = unpackDisplay(value);
            if (m_displayType) {
                showInList(m_displayType, fields.type, ListMatch::ByIndex);
            }
            if (m_displayLanguage) {
                showInList(m_displayLanguage, fields.language, ListMatch::ByIndex);
            }
            return;
        }
        case SlotControl::Security: {
            const auto bits = unpackSecurity(value);
            for (int b = 0; b < 4; ++b) {
                setChecked(m_security[b], bits[b]);
            }
            return;
        }
        case SlotControl::CleaningCounts: {
            const Halves halves = unpackHalves(value);
            if (m_userCleaning) {
                m_userCleaning->setText(QString::number(halves.low));
            }
            if (m_userSkipped) {
                m_userSkipped->setText(QString::number(halves.high));
            }
            showInSpin(m_factoryCleaning, halves.low);
            showInSpin(m_factorySkipped, halves.high);
            return;
        }
        case SlotControl::Speeds: {
            const Halves halves = unpackHalves(value);
            showInSpin(m_moveSpeed, halves.low);
            showInSpin(m_inOutSpeed, halves.high);
            return;
        }
        case SlotControl::PrinterType: {
            // The check boxes follow the value shown, so that a write sends the printer's own
            // Rewrite Card and Certification settings back instead of clearing them.
            const PrinterTypeFields fields = unpackPrinterType(value);
            setChecked(m_rewriteCard, fields.rewriteCard);
            setChecked(m_certification, fields.certification);
            return;
        }
        case SlotControl::OptionFlags:
            for (int bit = 0; bit < kOptionFlagCount; ++bit) {
                if (m_options[bit]) {
                    m_options[bit]->setCurrentIndex(optionIndexForValue(value, bit));
                }
            }
            return;
        case SlotControl::BaudRate:
            if (m_baudRate) {
                showInList(m_baudRate, value, ListMatch::ByText);
            }
            return;
    }
}

QList<QWidget*> ParamControls::widgets(int position) const {
    QList<QWidget*> out;
    const auto add = [&out](QWidget* w) {
        if (w) {
            out << w;
        }
    };
    if (!validPosition(position)) {
        return out;
    }
    switch (paramSlots[position].control) {
        case SlotControl::None:
            break;
        case SlotControl::SpinEdit:
            add(m_spinEdits[position]);
            break;
        case SlotControl::ReadOnlyEdit:
            add(m_headResistor);
            break;
        case SlotControl::BoardType:
            add(m_boardType);
            break;
        case SlotControl::Display:
            add(m_displayType);
            add(m_displayLanguage);
            break;
        case SlotControl::Security:
            for (const auto& box : m_security) {
                add(box);
            }
            break;
        case SlotControl::CleaningCounts:
            add(m_userCleaning);
            add(m_userSkipped);
            add(m_factoryCleaning);
            add(m_factorySkipped);
            break;
        case SlotControl::Speeds:
            add(m_inOutSpeed);
            add(m_moveSpeed);
            break;
        case SlotControl::PrinterType:
            add(m_rewriteCard);
            add(m_certification);
            break;
        case SlotControl::OptionFlags:
            for (const auto& list : m_options) {
                add(list);
            }
            break;
        case SlotControl::BaudRate:
            add(m_baudRate);
            break;
    }
    return out;
}

std::vector<ListEntry> ParamControls::entriesOf(const QComboBox* list) {
    // Any item data marks an entry appended for a value without a list entry.
    std::vector<ListEntry> entries;
    for (int i = 0; i < list->count(); ++i) {
        const QVariant data = list->itemData(i);
        entries.push_back(ListEntry{
            list->itemText(i), data.isValid() ? std::optional<int>(data.toInt()) : std::nullopt});
    }
    return entries;
}

void ParamControls::showInList(QComboBox* list, std::int32_t value, ListMatch match) {
    std::vector<ListEntry> entries = entriesOf(list);
    const int selected = showListValue(entries, value, match);
    // showListValue keeps the plain entries in order and only appends: mirror that in place.
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->itemData(i).isValid()) {
            list->removeItem(i);
        }
    }
    for (std::size_t i = static_cast<std::size_t>(list->count()); i < entries.size(); ++i) {
        list->addItem(entries[i].text, entries[i].data ? QVariant(*entries[i].data) : QVariant());
    }
    list->setCurrentIndex(selected);
}

std::int32_t ParamControls::readList(const QComboBox* list, ListMatch match) {
    return readListValue(entriesOf(list), list->currentIndex(), match);
}
