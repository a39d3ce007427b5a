#include "macro_logic.h"

#include "module_labels.h"

namespace macro {

namespace {
constexpr std::uint8_t kEjectBit = 0x20;
}

QString QuickLine(const _tagMacroItem& item) {
    if (item.type != _tagMacroItem::kMove)
        return QString();
    return QStringLiteral("MOVE\t") + labels::MacroShortName(item.firstModule) +
           QStringLiteral(" -> ") + labels::MacroShortName(item.secondModule);
}

QString ListLine(const _tagMacroItem& item) {
    if (item.type != _tagMacroItem::kMove)
        return QString();
    return QString::asprintf("MOVE( %02X, %08X, %02X, %08X );", item.firstModule,
                             static_cast<unsigned>(item.firstOption), item.secondModule,
                             static_cast<unsigned>(item.secondOption));
}

Replay ReplayCommand(const _tagMacroItem& item) {
    const std::uint8_t target = item.secondModule;
    if (target == vela::kModuleNone)
        return Replay::kCardEject;
    const bool ejectTarget = vela::IsType(target, vela::kTypeMultiInputHopper) ||
                             vela::IsType(target, vela::kTypeFlipper);
    return (target & kEjectBit) != 0 && ejectTarget ? Replay::kCardEject : Replay::kCardMove;
}

std::optional<int> ParsePasses(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const int passes = trimmed.toInt(&ok, 10);
    if (!ok || passes < 0)
        return std::nullopt;
    return passes;
}

std::vector<std::uint8_t> PolledModules(const _tagMacroItem& item) {
    std::vector<std::uint8_t> modules;
    for (std::uint8_t m : {item.firstModule, item.secondModule, item.thirdModule})
        if (m != vela::kModuleNone)
            modules.push_back(m);
    return modules;
}

std::uint8_t FirstBusy(std::span<const Polled> round) {
    for (const Polled& p : round)
        if ((p.status & vela::BusyMask(vela::TypeOf(p.module))) != 0)
            return p.module;
    return vela::kModuleNone;
}

Idle JudgeRound(std::span<const Polled> round, VelaResult lastResult, std::int64_t waitedMs,
                std::int64_t stopAskedMs) {
    if (lastResult != 0)
        return Idle::kQueryFailed;
    if (FirstBusy(round) == vela::kModuleNone)
        return Idle::kIdle;
    if (stopAskedMs >= kStopGraceMs)
        return Idle::kStopped;
    if (waitedMs >= kIdleLimitMs)
        return Idle::kTimedOut;
    return Idle::kBusy;
}

}  // namespace macro
