#pragma once
// The test pages the main window creates, in creation order (also the order of their tabs):
// each with its template id, its factory and whether its tab is shown only in expert mode
// ("ShowExpert", or the hidden key chord).

#include <span>

class CSubDlgBase;
class PageHost;
class QWidget;

struct PageEntry {
    int templateId;
    CSubDlgBase* (*create)(PageHost& host, QWidget* parent);
    bool expertOnly;
};

std::span<const PageEntry> PageTable();

// Whether the page of `templateId` has an expert-only tab (false for an unknown id).
bool IsExpertOnlyPage(int templateId);
