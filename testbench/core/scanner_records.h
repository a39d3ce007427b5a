#pragma once
// What the Barcode page reads from and hands to the scanner without widgets: the decoded texts
// in a buffer the SDK filled, the scan image paths built from a chosen folder, and the decimal
// number boxes.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "vela_platform.h"

namespace scanner {

// The texts of a barcode buffer: zero-terminated texts one after another, ended by an empty
// text. The buffer is untrusted: nothing is read past `units` characters, and a text that runs
// to the end of the buffer without its terminator is taken as far as it goes and ends the walk.
QStringList WalkBarcodeTexts(const VelaChar* buffer, std::size_t units);

// The scanner's image files in `folder`: folder + separator + "scan_top.bmp" (and
// "scan_bottom.bmp"), concatenated as they stand, so a folder that already ends with the
// separator gets it twice ("C:\" gives "C:\\scan_top.bmp").
std::pair<QString, QString> ScanImagePaths(const QString& folder, QChar separator);
// The same with the platform's separator ("\" on Windows, "/" elsewhere), the folder first put
// into the platform's own form.
std::pair<QString, QString> ScanImagePaths(const QString& folder);

// The image folder a process starts with: "C:\" on Windows, the user's home folder elsewhere.
QString InitialImageFolder();

// A number box as the page reads it: a decimal number (surrounding blanks ignored), 0 when the
// text is not one or does not fit 32 bits.
std::int32_t BoxValue(const QString& text);

}  // namespace scanner
