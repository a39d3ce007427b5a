#pragma once
// The head resistance last fetched from the printer or typed by the technician. One value for
// the whole process: the print-head dialogs and the printer page read and write it.

#include <QString>

#include <optional>

extern int headResistorMemo;

// Reads a decimal integer the way "%d" scans one: leading blanks, an optional sign, then
// digits; anything after the digits is ignored. No digits, or a value outside the int range,
// gives nothing.
std::optional<int> ScanDecimal(const QString& text);
