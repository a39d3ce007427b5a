#pragma once
// The "Macro" test page: recording and playing back card moves. It owns the list of recorded
// items, which the quick-record window fills while the Move page records.

#include "CSubDlgBase.h"
#include "macro_item.h"
#include "page_ids.h"

class CSubDlgMacro : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kMacro;

    explicit CSubDlgMacro(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnPageShown() override;

    // The recorded steps, in recording order.
    MacroList& MacroItems() { return m_macroList; }
    const MacroList& MacroItems() const { return m_macroList; }

private:
    MacroList m_macroList;
};
