#pragma once
// Every form in which the test bench labels a module id: the module name of the "Device Status"
// panel and the short labels of each page's module selectors. Each form covers the module types
// its page lists; for any other id it yields an empty text.

#include <QString>

#include <cstdint>

// "Input-Hopper [10]", "Printer [40]", "Laser [62]", ...; empty for an unassigned module type.
QString FormatModuleName(std::uint8_t id);

namespace labels {

// Move page: "I  [10]", "MI [21]", "E  [30]", "P  [40]", "L  [50]", "F  [62]", "O  [70]",
// "MO [81]"; ids 0x10-0x8F of any other type as "I  [%02X]"; empty below 0x10 and from 0x90.
QString Move(std::uint8_t id);
// The Move page's entry for "no module": "out [FF]".
QString MoveOut();
// Expert page: as the Move page, but every id of another type (including those the Move page
// leaves empty) is labelled "I  [%02X]".
QString Expert(std::uint8_t id);
// Print page: "P [40]" for a printer, "L [50]" for a laminator.
QString Print(std::uint8_t id);
// Barcode page: "F [61]" for a flipper-type module.
QString Barcode(std::uint8_t id);
// Magnetic page: "Int-Enc [40]" for a printer (its internal encoder), "Laser [62]" for the
// laser unit; other flipper-type modules have no encoder and no label.
QString Magnetic(std::uint8_t id);
// IC and RF pages: "Printer [40]" for a printer, "Flipper [62]" for every flipper-type module
// (the laser unit included).
QString Station(std::uint8_t id);
// The macro's short name: a letter for the type (I, M, P, L, F, O for types 1, 2, 4, 5, 6, 7,
// else the type's hexadecimal digit), then the instance digit: "P1", "F2", "FF", "30".
QString MacroShortName(std::uint8_t id);

}  // namespace labels
