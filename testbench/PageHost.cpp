#include "PageHost.h"

#include <cstdarg>

#include "CSubDlgBase.h"
#include "page_drivers.h"
#include "page_ids.h"

void PageHost::AppendLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const QString text = QString::vasprintf(format, args);
    va_end(args);
    AppendLogText(text);
}

MovePageDriver* PageHost::FindMoveDriver() const {
    return dynamic_cast<MovePageDriver*>(FindPage(page_id::kMove));
}

MagneticPageDriver* PageHost::FindMagneticDriver() const {
    return dynamic_cast<MagneticPageDriver*>(FindPage(page_id::kMagnetic));
}
