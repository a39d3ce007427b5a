#include "CDlgMacroQuickRecord.h"

CDlgMacroQuickRecord::CDlgMacroQuickRecord(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("macroQuickRecord"));
    setWindowTitle(QStringLiteral("Macro Recording"));
    setModal(false);
    // No close box: the Macro page shows and hides it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(260, 320);
}

void CDlgMacroQuickRecord::AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                                           std::uint8_t secondModule, std::uint32_t secondOption) {
    if (m_macroList == nullptr)
        return;
    _tagMacroItem item;
    item.firstModule = firstModule;
    item.firstOption = firstOption;
    item.secondModule = secondModule;
    item.secondOption = secondOption;
    m_macroList->push_back(item);
}
