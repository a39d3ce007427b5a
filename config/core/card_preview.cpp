#include "card_preview.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace halvard::preview {

namespace {

constexpr int kBmpHeaderSize = 54;
constexpr int kMaxBmpSide = 32768;

std::uint32_t u32At(const QByteArray& b, int at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t u16At(const QByteArray& b, int at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The source pixels one destination pixel covers along one axis, with the part of each one
// inside the span.
struct AxisSpans {
    std::vector<int> first;   // first source index, per destination index
    std::vector<int> offset;  // start of its weights in `weights`, one extra at the end
    std::vector<float> weights;
    std::vector<float> total;  // sum of the weights applied, per destination index
};

// Spans of the destination indices [from, to) only; index d is found at d - from.
AxisSpans axisSpans(int sourceSize, int destSize, int from, int to) {
    AxisSpans spans;
    const int count = to - from;
    spans.first.resize(count);
    spans.offset.resize(count + 1);
    spans.total.resize(count);
    const double f = static_cast<double>(sourceSize) / destSize;
    for (int n = 0; n < count; ++n) {
        const int d = from + n;
        const double start = d * f;
        const double end = std::min((d + 1) * f, static_cast<double>(sourceSize));
        const int first = std::min(static_cast<int>(std::floor(start)), sourceSize - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(end)) - 1, first, sourceSize - 1);
        spans.first[n] = first;
        spans.offset[n] = static_cast<int>(spans.weights.size());
        float sum = 0;
        for (int i = first; i <= last; ++i) {
            const double w = std::min<double>(i + 1, end) - std::max<double>(i, start);
            const float wf = static_cast<float>(std::max(w, 0.0));
            spans.weights.push_back(wf);
            sum += wf;
        }
        if (sum <= 0) {
            // A span of no width (only through rounding) takes its first pixel whole.
            spans.weights.back() = 1;
            sum = 1;
        }
        spans.total[n] = sum;
    }
    spans.offset[count] = static_cast<int>(spans.weights.size());
    return spans;
}

std::uint8_t level(float sum, float area) {
    return static_cast<std::uint8_t>(std::clamp(sum / area + 0.5f, 0.0f, 255.0f));
}

// The area-averaging resample of the destination pixels [x0, x1) x [y0, y1) of a wd x hd
// picture; `put(x, y, r, g, b)` receives each, counted from (x0, y0).
template <typename Put>
void resampleInto(const Rgb24View& src, int wd, int hd, int x0, int x1, int y0, int y1, Put put) {
    const AxisSpans cols = axisSpans(src.width, wd, x0, x1);
    const AxisSpans rows = axisSpans(src.height, hd, y0, y1);
    // Only the source columns under the part take part: from the first one of x0 to the last
    // one of x1 - 1.
    const int firstColumn = cols.first.front();
    const int lastColumn =
        cols.first.back() + (cols.offset[x1 - x0] - cols.offset[x1 - x0 - 1]) - 1;
    const std::size_t span = static_cast<std::size_t>(lastColumn - firstColumn + 1) * 3;
    const int r = src.bgr ? 2 : 0;
    const int b = src.bgr ? 0 : 2;

    // Per destination row: the source rows it covers are summed, weighted, into one row
    // (a straight loop the compiler vectorises), then that row is reduced across and divided
    // by the weight applied. Only one row of intermediate sums is kept.
    std::vector<float> acc(span);
    for (int y = 0; y < y1 - y0; ++y) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        int j = rows.first[y];
        for (int k = rows.offset[y]; k < rows.offset[y + 1]; ++k, ++j) {
            const float w = rows.weights[k];
            const std::uint8_t* in = src.row(j) + 3 * firstColumn;
            float* a = acc.data();
            for (std::size_t i = 0; i < span; ++i) {
                a[i] += w * in[i];
            }
        }
        for (int x = 0; x < x1 - x0; ++x) {
            const float* p = acc.data() + 3 * (cols.first[x] - firstColumn);
            float c0 = 0, c1 = 0, c2 = 0;
            for (int k = cols.offset[x]; k < cols.offset[x + 1]; ++k, p += 3) {
                const float w = cols.weights[k];
                c0 += w * p[0];
                c1 += w * p[1];
                c2 += w * p[2];
            }
            const float area = cols.total[x] * rows.total[y];
            const float c[3] = {c0, c1, c2};
            put(x, y, level(c[r], area), level(c1, area), level(c[b], area));
        }
    }
}

}  // namespace

Rgb24View viewOf(const Rgb24Image& image) {
    if (image.isNull()) {
        return {};
    }
    return Rgb24View{image.pixels.data(), static_cast<std::ptrdiff_t>(image.width) * 3, image.width,
                     image.height, false};
}

Rgb24View bmpView(const QByteArray& file) {
    if (file.size() < kBmpHeaderSize || file.at(0) != 'B' || file.at(1) != 'M') {
        return {};
    }
    const long long dataOffset = u32At(file, 10);
    const auto width = static_cast<std::int32_t>(u32At(file, 18));
    const auto rawHeight = static_cast<std::int32_t>(u32At(file, 22));
    const int bitCount = u16At(file, 28);
    const std::uint32_t compression = u32At(file, 30);
    const long long imageSize = u32At(file, 34);
    if (bitCount != 24 || compression != 0 || width <= 0 || width > kMaxBmpSide || rawHeight == 0 ||
        rawHeight < -kMaxBmpSide || rawHeight > kMaxBmpSide) {
        return {};
    }
    const bool bottomUp = rawHeight > 0;
    const int height = bottomUp ? rawHeight : -rawHeight;
    const long long rowBytes = 3LL * width;
    const long long stride = imageSize != 0 ? imageSize / height : (rowBytes + 3) / 4 * 4;
    if (stride < rowBytes || dataOffset < kBmpHeaderSize ||
        dataOffset + stride * (height - 1) + rowBytes > file.size()) {
        return {};
    }
    const auto* base = reinterpret_cast<const std::uint8_t*>(file.constData()) + dataOffset;
    // The file keeps its rows bottom-up unless the height is negative.
    return Rgb24View{bottomUp ? base + stride * (height - 1) : base,
                     static_cast<std::ptrdiff_t>(bottomUp ? -stride : stride), width, height, true};
}

Rgb24Image decodeBmp(const QByteArray& file) {
    const Rgb24View view = bmpView(file);
    if (view.isNull()) {
        return {};
    }
    Rgb24Image image;
    image.width = view.width;
    image.height = view.height;
    image.pixels.resize(static_cast<std::size_t>(view.width) * view.height * 3);
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* in = view.row(y);
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < view.width; ++x) {
            // The file keeps blue, green, red.
            out[3 * x + 0] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x + 0];
        }
    }
    return image;
}

QImage toQImage(const Rgb24Image& image) {
    if (image.isNull()) {
        return {};
    }
    QImage out(image.width, image.height, QImage::Format_RGB888);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(out.scanLine(y), image.row(y), static_cast<std::size_t>(image.width) * 3);
    }
    return out;
}

Rgb24Image fromQImage(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Rgb24Image out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y) {
        std::memcpy(out.row(y), rgb.constScanLine(y), static_cast<std::size_t>(out.width) * 3);
    }
    return out;
}

Rgb24Image Resample(const Rgb24Image& src, int wd, int hd) {
    if (src.isNull() || wd <= 0 || hd <= 0 || wd > kMaxResampleSide || hd > kMaxResampleSide) {
        return {};
    }
    Rgb24Image dst;
    dst.width = wd;
    dst.height = hd;
    dst.pixels.resize(static_cast<std::size_t>(wd) * hd * 3);
    resampleInto(viewOf(src), wd, hd, 0, wd, 0, hd,
                 [&dst](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
                     std::uint8_t* out = dst.row(y) + 3 * x;
                     out[0] = r;
                     out[1] = g;
                     out[2] = b;
                 });
    return dst;
}

QImage ResamplePart(const Rgb24View& src, int wd, int hd, const QRect& part) {
    if (src.isNull() || wd <= 0 || hd <= 0 || wd > kMaxResampleExtent || hd > kMaxResampleExtent ||
        part.isEmpty() || part.left() < 0 || part.top() < 0 || part.right() >= wd ||
        part.bottom() >= hd || part.width() > kMaxResampleSide ||
        part.height() > kMaxResampleSide) {
        return {};
    }
    QImage out(part.size(), QImage::Format_RGB32);
    if (out.isNull()) {
        return {};
    }
    uchar* const bits = out.bits();
    const qsizetype perLine = out.bytesPerLine();
    resampleInto(src, wd, hd, part.left(), part.left() + part.width(), part.top(),
                 part.top() + part.height(),
                 [bits, perLine](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
                     reinterpret_cast<QRgb*>(bits + perLine * y)[x] = qRgb(r, g, b);
                 });
    return out;
}

Box intersect(const Box& a, const Box& b) {
    Box r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
    return r.isEmpty() ? Box{} : r;
}

PreviewRects previewRects(const Box& frame, const Box& card, int dx, int dy, int e, int s) {
    const auto held = [](int v) { return std::clamp(v, -kMaxShownOffset, kMaxShownOffset); };
    dx = held(dx);
    dy = held(dy);
    e = held(e);
    s = held(s);

    const Box moved{card.left + dx, card.top + dy, card.right + dx, card.bottom + dy};
    PreviewRects r;
    r.picture = moved;
    r.picture.bottom += s;
    if (r.picture.top >= r.picture.bottom) {
        r.picture.bottom = r.picture.top + 1;
    }
    Box clip = moved;
    clip.bottom += e;
    r.clip = intersect(clip, card);
    r.pictureOutline = intersect(r.picture, frame);
    return r;
}

AxisMarks axisMarks(const Box& frame, const Box& card, int printTextWidth) {
    AxisMarks m;
    const int h = (frame.left + card.left) / 2;
    const int v = (frame.top + card.top) / 2;
    m.origin = QPoint(h, v);

    m.xLine = QLine(h, v, h + 20, v);
    m.xHead1 = QLine(h + 20, v, h + 16, v - 4);
    m.xHead2 = QLine(h + 20, v, h + 16, v + 4);
    m.xText = QPoint(h + 26, v - 6);

    m.yLine = QLine(h, v, h, v + 20);
    m.yHead1 = QLine(h, v + 20, h - 4, v + 16);
    m.yHead2 = QLine(h, v + 20, h + 4, v + 16);
    m.yText = QPoint(h + 8, v + 24);

    const int x = card.right + (frame.right - card.right) * 3 / 8;
    m.printLine = QLine(x, card.top, x, card.bottom);
    m.printHead1 = QLine(x, card.bottom, x - 4, card.bottom - 4);
    m.printHead2 = QLine(x, card.bottom, x + 4, card.bottom - 4);
    m.printText = QPoint(x + 14, card.top + (card.height() - printTextWidth) / 2);
    return m;
}

}  // namespace halvard::preview
