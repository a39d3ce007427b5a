#pragma once
// The Print page's rules that need no widgets: ribbon names, the design document path check,
// the printer settings fields the page reads and writes, and the check and decoding of the
// preview bitmap the SDK hands out.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

#include "vela_types.h"

namespace print {

// Page indexes: card 1 front and back, card 2 front and back ("P1 Front" ... "P2 Back").
inline constexpr int kPageCount = 4;

// The ribbon's name by type number, "Unknown" for any number without one.
QString RibbonName(int type);
// The type number of a ribbon name, compared case-insensitively; 0 when no name matches.
int RibbonType(const QString& name);
// "Ribbon : YMCKO (180/250)".
QString RibbonLabel(int type, int countA, int countB);
// The ribbon type a "Ribbon :" label shows: the name between the colon and the opening
// parenthesis, white space trimmed; 0 when there is no such name or it is unknown.
int RibbonTypeFromLabel(const QString& label);
// Ribbons with colour panels, on which the built-in test card gets its background picture.
bool DrawsBackground(int ribbonType);

// A design document path the page accepts: not empty, and its first ".vdn" (case-sensitive)
// ends it.
bool IsVdnPath(const QString& path);

// 32-bit fields of the printer settings block by byte offset (0 outside the block).
std::int32_t SettingAt(const PrinterSettings& settings, std::size_t offset);
void SetSettingAt(PrinterSettings& settings, std::size_t offset, std::int32_t value);
// Which page radios the settings enable: a card in use enables its front unless its side is 1
// and its back unless its side is 0.
std::array<bool, kPageCount> EnabledPages(const PrinterSettings& settings);
// Selects one page for print data: the card of the page in use and the other not, the side of
// the page (1 unless it is a front), the ribbon type, and the turn and mirror fields cleared.
void SelectPage(PrinterSettings& settings, int pageIndex, int ribbonType);

// The preview bitmap: the bytes of a packed device-independent bitmap (a 40-byte header, then
// the pixel rows) when the record holds a sound one, else empty. Sound means: a 40-byte header
// of one plane, 24 or 32 bits a pixel, uncompressed, no colour table, width and height (either
// way up) at most kMaxPreviewSide, an image size of exactly the rows the dimensions make (or 0,
// meaning that), and all of it within the record's size. Only then is anything copied: the
// header and exactly those rows.
inline constexpr int kMaxPreviewSide = 8192;
QByteArray CopyPreviewBitmap(const VelaBitmap& bitmap);
// A copy made by CopyPreviewBitmap as a picture, top row first; null for anything else.
QImage PreviewImage(const QByteArray& dib);

}  // namespace print
