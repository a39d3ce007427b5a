#include "module_labels.h"

#include <array>

#include "vela_modules.h"

namespace {

using Formats = std::array<const char*, 16>;

// The page selectors' forms, by module type; null where the page has no label of its own.
constexpr Formats kShortFormats = {nullptr,     "I  [%02X]", "MI [%02X]", "E  [%02X]",
                                   "P  [%02X]", "L  [%02X]", "F  [%02X]", "O  [%02X]",
                                   "MO [%02X]", nullptr,     nullptr,     nullptr,
                                   nullptr,     nullptr,     nullptr,     nullptr};
constexpr const char* kOtherShortFormat = "I  [%02X]";

QString Format(const char* format, std::uint8_t id) {
    return format != nullptr ? QString::asprintf(format, id) : QString();
}

}  // namespace

QString FormatModuleName(std::uint8_t id) {
    static constexpr Formats kNames = {nullptr,
                                       "Input-Hopper [%02X]",
                                       "Multi-Input-Hopper [%02X]",
                                       "Input-Hopper [%02X]",  // type 3 goes by the hopper's name
                                       "Printer [%02X]",
                                       "Laminator [%02X]",
                                       "Flipper [%02X]",
                                       "Output-Hopper [%02X]",
                                       "Multi-Output-Hopper [%02X]",
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr};
    if (id == vela::kModuleLaser)
        return Format("Laser [%02X]", id);
    return Format(kNames[vela::TypeOf(id)], id);
}

namespace labels {

QString Move(std::uint8_t id) {
    if (id < 0x10 || id >= 0x90)
        return {};
    return Expert(id);
}

QString MoveOut() {
    return Format("out [%02X]", vela::kModuleNone);
}

QString Expert(std::uint8_t id) {
    const char* format = kShortFormats[vela::TypeOf(id)];
    return Format(format != nullptr ? format : kOtherShortFormat, id);
}

QString Print(std::uint8_t id) {
    switch (vela::TypeOf(id)) {
        case vela::kTypePrinter:
            return Format("P [%02X]", id);
        case vela::kTypeLaminator:
            return Format("L [%02X]", id);
        default:
            return {};
    }
}

QString Barcode(std::uint8_t id) {
    return vela::TypeOf(id) == vela::kTypeFlipper ? Format("F [%02X]", id) : QString();
}

QString Magnetic(std::uint8_t id) {
    if (vela::TypeOf(id) == vela::kTypePrinter)
        return Format("Int-Enc [%02X]", id);
    if (id == vela::kModuleLaser)
        return Format("Laser [%02X]", id);
    return {};
}

QString Station(std::uint8_t id) {
    switch (vela::TypeOf(id)) {
        case vela::kTypePrinter:
            return Format("Printer [%02X]", id);
        case vela::kTypeFlipper:
            return Format("Flipper [%02X]", id);
        default:
            return {};
    }
}

QString MacroShortName(std::uint8_t id) {
    static constexpr std::array<char, 16> kLetters = {0, 'I', 'M', 0, 'P', 'L', 'F', 'O',
                                                      0, 0,   0,   0, 0,   0,   0,   0};
    const int type = vela::TypeOf(id);
    const QString prefix =
        kLetters[type] != 0 ? QString(QLatin1Char(kLetters[type])) : QString::asprintf("%1X", type);
    return prefix + QString::asprintf("%1X", id & 0x0F);
}

}  // namespace labels
