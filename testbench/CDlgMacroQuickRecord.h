#pragma once
// The small "Macro Recording" window that floats beside the main window while the Macro page
// records. It appends each recorded move to the Macro page's list; its display comes with the
// Macro page.

#include <QDialog>

#include "MacroRecorder.h"
#include "macro_item.h"
#include "page_ids.h"

class CDlgMacroQuickRecord final : public QDialog, public MacroRecorder {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kQuickRecord;

    explicit CDlgMacroQuickRecord(QWidget* parent = nullptr);

    // The Macro page's list that receives the recorded moves (null: moves are dropped).
    void SetMacroList(MacroList* list) { m_macroList = list; }
    MacroList* GetMacroList() const { return m_macroList; }

    void AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                         std::uint8_t secondModule, std::uint32_t secondOption) override;

    // Brings the display up to date (each time the window is shown).
    void Refresh() {}

private:
    MacroList* m_macroList = nullptr;
};
