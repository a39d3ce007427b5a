#pragma once
// Card design documents (docs/card-document-format.md): reading the project's card document
// format, the pictures a document names, and rendering a page (one side of one card) as the
// printer would print it. Plain functions of their inputs, so they are fuzzed on their own.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace sim {

// The card the printer prints on: 300 dpi, landscape, origin top-left.
inline constexpr int kCardWidth = 1012;
inline constexpr int kCardHeight = 636;

// Pages of a document by page index: card 1 front and back, card 2 front and back.
inline constexpr int kPageCount = 4;
constexpr int PageIndex(int card, int back) {
    return (card - 1) * 2 + back;
}

// Limits of what a document may hold; a document beyond them is refused.
inline constexpr qint64 kMaxDocumentBytes = 4 * 1024 * 1024;
inline constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
inline constexpr int kMaxPictureSide = 4096;
inline constexpr int kMaxObjectsPerPage = 1000;
inline constexpr int kMaxCoordinate = 10000;
inline constexpr int kMaxTextLength = 1000;
inline constexpr int kMaxFontLength = 64;
inline constexpr int kMaxTextSize = 200;  // points

// Text style bits (Vela_DrawText's style).
inline constexpr int kStyleBold = 1;
inline constexpr int kStyleItalic = 2;
inline constexpr int kStyleUnderline = 4;

// Ribbon panels a drawing goes on: the colour panels or the black one.
inline constexpr int kPanelColour = 1;
inline constexpr int kPanelBlack = 2;

struct DocObject {
    enum class Kind { kRect, kText, kImage };
    Kind kind = Kind::kRect;
    int x = 0, y = 0;
    int w = 0, h = 0;  // rect, image; 0 for an image: to the card's edge
    QColor color = Qt::black;
    QString font;  // text
    int size = 0;  // text, in points
    int style = 0;
    QString text;
    QString file;  // image: as the document names it
    QImage picture;
    int panel = kPanelColour;
};

struct DocPage {
    std::vector<DocObject> objects;
};

struct CardDocument {
    QString ribbon;  // the ribbon the document is made for, as it names it
    std::array<std::optional<DocPage>, kPageCount> pages;

    int PageCount() const;
    bool HasPage(int index) const {
        return index >= 0 && index < kPageCount && pages[static_cast<size_t>(index)].has_value();
    }
    // The lowest page index present, -1 when there is none.
    int FirstPage() const;
};

// Reads a document from its bytes. Pictures are only named here (LoadPictures reads them).
// Anything the format does not allow gives nullopt.
std::optional<CardDocument> ParseCardDocument(const QByteArray& bytes);

// Reads a picture file: at most kMaxPictureBytes and kMaxPictureSide pixels a side. Null when
// it cannot be read.
QImage ReadPicture(const QString& path);

// Reads the pictures the document names, relative to `folder`. False when one cannot be read.
bool LoadPictures(CardDocument& document, const QString& folder);

// Reads and loads a document file; nullopt when it is none or a picture of it cannot be read.
std::optional<CardDocument> ReadCardDocument(const QString& path);

struct RenderOptions {
    bool monochrome = false;  // black panel only: every pixel black or white
    bool rotate180 = false;
    bool mirror = false;
};

// One page as printed: kCardWidth x kCardHeight, white where nothing was drawn. Text is drawn
// only in a process with a GUI application (the font system needs one); it is not smoothed,
// as a print head prints dots.
QImage RenderPage(const CardDocument& document, int index, const RenderOptions& options = {});

// A picture as a packed device-independent bitmap: a 40-byte BITMAPINFOHEADER, then 24-bit
// rows, bottom row first, each padded to four bytes.
QByteArray PackDib(const QImage& image);

}  // namespace sim
