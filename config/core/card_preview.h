#pragma once
// The card preview's picture handling and geometry, free of widgets: decoding the built-in card
// picture, area-averaging it to the picture rectangle, and the rectangles and marks the painter
// draws.

#include <QByteArray>
#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

namespace halvard::preview {

// A 24-bit picture, top row first, each row width * 3 bytes with no padding, channels in the
// order R, G, B (the byte order of QImage::Format_RGB888).
struct Rgb24Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    bool isNull() const { return width <= 0 || height <= 0 || pixels.empty(); }
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
    const std::uint8_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width * 3;
    }
};

// 24-bit pixels where they lie, without a copy: the first (top) row, the distance from one
// row to the next below it (negative for a bitmap file's bottom-up rows), and the channel
// order. It does not own the bytes.
struct Rgb24View {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    bool bgr = false;  // blue, green, red in memory (a bitmap file's order)

    bool isNull() const { return top == nullptr || width <= 0 || height <= 0; }
    const std::uint8_t* row(int y) const { return top + stride * y; }
};

Rgb24View viewOf(const Rgb24Image& image);

// The pixels of a Windows bitmap file of 24 bits per pixel (uncompressed; rows bottom-up, or
// top-down for a negative height), seen in place inside `file`, which must outlive the view.
// Width at offset 18, height at 22, bit count at 28, row stride = the image size field at 34
// divided by the height (the padded row size when that field is 0), pixel rows from the data
// offset at 10. Anything else, or data too short for what the header announces, gives a null
// view.
Rgb24View bmpView(const QByteArray& file);

// The same pixels copied into a picture of their own; an empty picture where bmpView is null.
Rgb24Image decodeBmp(const QByteArray& file);

// Copies into a QImage of Format_RGB888 for drawing; a null QImage for an empty picture.
QImage toQImage(const Rgb24Image& image);
Rgb24Image fromQImage(const QImage& image);

// Largest destination side Resample produces; the painter draws the source stretched instead.
inline constexpr int kMaxResampleSide = 4096;

// Area-averaging resample to wd x hd. Each destination pixel is the mean of the source area it
// covers, every source pixel weighted by the part of it inside that area, so a uniform picture
// stays uniform at any scale and an integral reduction gives the plain mean of each block
// (rounded to the nearest level). Empty source, a non-positive size or a side above
// kMaxResampleSide give an empty picture.
Rgb24Image Resample(const Rgb24Image& src, int wd, int hd);

// Largest destination side ResamplePart accepts; the part itself is at most kMaxResampleSide.
inline constexpr int kMaxResampleExtent = 1 << 24;

// Only `part` of the wd x hd resample (in destination pixels): each pixel has the value it has
// in the whole resample, and only the source pixels under the part are read. A QImage of the
// part's size in Format_RGB32 (ready to draw); a null QImage for an empty source or part, a
// part outside the destination, or sizes beyond the limits.
QImage ResamplePart(const Rgb24View& src, int wd, int hd, const QRect& part);

// A rectangle with exclusive right and bottom edges, as the preview arithmetic counts them.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
    static Box fromQRect(const QRect& r) {
        return Box{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend bool operator==(const Box&, const Box&) = default;
};

// Overlap of two boxes; all zero when they do not overlap.
Box intersect(const Box& a, const Box& b);

struct PreviewRects {
    Box picture;         // P: where the picture is stretched to
    Box clip;            // K: what of it is visible
    Box pictureOutline;  // P within the frame, for its outline
    friend bool operator==(const PreviewRects&, const PreviewRects&) = default;
};

// O = the preview frame, C = the card area (both already shrunk by one pixel on every side);
// dx = X Start Position, dy = Y Start Position, e = Y End Position, s = Y Scale as shown.
// P = C moved by (dx, dy) with its bottom lowered by s (at least one pixel high);
// K = C moved by (dx, dy) with its bottom lowered by e, within C. Shown values far outside any
// screen are held to +-kMaxShownOffset so the arithmetic cannot overflow.
inline constexpr int kMaxShownOffset = 1000000;
PreviewRects previewRects(const Box& frame, const Box& card, int dx, int dy, int e, int s);

struct AxisMarks {
    QPoint origin;  // midpoint of the frame's and the card's top-left corners
    QLine xLine, xHead1, xHead2;
    QPoint xText;  // "X"
    QLine yLine, yHead1, yHead2;
    QPoint yText;  // "Y", font turned 90 degrees clockwise
    QLine printLine, printHead1, printHead2;
    QPoint printText;  // "Print direction", turned font
};

// printTextWidth = the measured width of "Print direction" in the turned font.
AxisMarks axisMarks(const Box& frame, const Box& card, int printTextWidth);

}  // namespace halvard::preview
