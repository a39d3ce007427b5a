#pragma once
// The small "Macro Recording" window that floats beside the main window while the Macro page
// records. For now it keeps the recorded moves in a list; its display comes with the Macro page.

#include <QDialog>
#include <QList>

#include "MacroRecorder.h"

class CDlgMacroQuickRecord final : public QDialog, public MacroRecorder {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 138;

    struct RecordedMove {
        std::uint8_t firstModule = 0xFF;
        std::int32_t firstOption = 0;
        std::uint8_t secondModule = 0xFF;
        std::int32_t secondOption = 0;
    };

    explicit CDlgMacroQuickRecord(QWidget* parent = nullptr);

    void AddRecordedMove(std::uint8_t firstModule, std::int32_t firstOption,
                         std::uint8_t secondModule, std::int32_t secondOption) override;

    const QList<RecordedMove>& Items() const { return m_items; }
    void ClearItems() { m_items.clear(); }
    // Brings the display up to date (each time the window is shown).
    void Refresh() {}

private:
    QList<RecordedMove> m_items;
};
