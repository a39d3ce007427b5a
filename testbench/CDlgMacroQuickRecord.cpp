#include "CDlgMacroQuickRecord.h"

CDlgMacroQuickRecord::CDlgMacroQuickRecord(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("macroQuickRecord"));
    setWindowTitle(QStringLiteral("Macro Recording"));
    setModal(false);
    // No close box: the Macro page shows and hides it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(260, 320);
}

void CDlgMacroQuickRecord::AddRecordedMove(std::uint8_t firstModule, std::int32_t firstOption,
                                           std::uint8_t secondModule, std::int32_t secondOption) {
    m_items.append(RecordedMove{firstModule, firstOption, secondModule, secondOption});
}
