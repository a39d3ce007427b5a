#pragma once
// The small "Macro Recording" window that floats beside the main window while the Macro page
// records: the number of recorded moves and one readable line per move. It appends each move
// the Move page records to the Macro page's list.

#include <QDialog>

#include "MacroRecorder.h"
#include "macro_item.h"
#include "page_ids.h"

class QLabel;
class QPlainTextEdit;

class CDlgMacroQuickRecord final : public QDialog, public MacroRecorder {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kQuickRecord;

    explicit CDlgMacroQuickRecord(QWidget* parent = nullptr);

    // The Macro page's list that receives the recorded moves (null: moves are dropped).
    void SetMacroList(MacroList* list) { m_macroList = list; }
    MacroList* GetMacroList() const { return m_macroList; }

    // Appends a move step to the list, counts it and shows its line.
    void AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                         std::uint8_t secondModule, std::uint32_t secondOption) override;

    // Shows the count and the line of every step of the list afresh (each time it is shown).
    void Refresh();

    QString CountText() const;
    QString LinesText() const;

protected:
    // Escape and Enter do not close it and the user cannot close it; other keys (the hidden-tab
    // chord among them) go to the main window.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetCount();
    void AppendLine(const _tagMacroItem& item);

    MacroList* m_macroList = nullptr;
    QLabel* m_count = nullptr;
    QPlainTextEdit* m_lines = nullptr;
};
