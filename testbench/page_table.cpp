#include "page_table.h"

#include <array>

#include "CSubDlgBarcode.h"
#include "CSubDlgExpert.h"
#include "CSubDlgIC.h"
#include "CSubDlgMacro.h"
#include "CSubDlgMagnetic.h"
#include "CSubDlgMove.h"
#include "CSubDlgPrint.h"
#include "CSubDlgRF.h"

namespace {

template <typename Page>
CSubDlgBase* Create(PageHost& host, QWidget* parent) {
    return new Page(host, parent);
}

constexpr std::array<PageEntry, 8> kPages = {{
    {CSubDlgMove::kTemplateId, &Create<CSubDlgMove>, false},
    {CSubDlgMagnetic::kTemplateId, &Create<CSubDlgMagnetic>, false},
    {CSubDlgRF::kTemplateId, &Create<CSubDlgRF>, false},
    {CSubDlgIC::kTemplateId, &Create<CSubDlgIC>, false},
    {CSubDlgPrint::kTemplateId, &Create<CSubDlgPrint>, false},
    {CSubDlgBarcode::kTemplateId, &Create<CSubDlgBarcode>, false},
    {CSubDlgExpert::kTemplateId, &Create<CSubDlgExpert>, true},
    {CSubDlgMacro::kTemplateId, &Create<CSubDlgMacro>, true},
}};

}  // namespace

std::span<const PageEntry> PageTable() {
    return kPages;
}

bool IsExpertOnlyPage(int templateId) {
    for (const PageEntry& entry : kPages)
        if (entry.templateId == templateId)
            return entry.expertOnly;
    return false;
}
