#include "expert_rules.h"

#include "sdk_lists.h"
#include "vela_modules.h"

namespace expert {

std::optional<std::uint8_t> DefaultModule(const ConnectedModuleList& modules) {
    for (std::uint8_t id : sdk_lists::ModuleChain(modules))
        if (vela::IsType(id, vela::kTypePrinter) || vela::IsType(id, vela::kTypeLaminator))
            return id;
    return std::nullopt;
}

bool IsPrinter(std::uint8_t module) {
    return vela::IsType(module, vela::kTypePrinter);
}

QString CardMoveCaption(std::uint8_t module) {
    const QString printer =
        IsPrinter(module) ? QString::asprintf("P%X", module & 0x0F) : QStringLiteral("P#");
    return QStringLiteral("[%1] Card Move Test").arg(printer);
}

std::optional<int> IterationCount(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    return ok ? value : 1;
}

}  // namespace expert
