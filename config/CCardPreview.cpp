#include "CCardPreview.h"

#include <QEvent>
#include <QPainter>

using namespace halvard::preview;

namespace {

// Card area inside the frame (in frame coordinates), portrait like the card picture
// (636 x 1012).
constexpr QRect kCardArea(28, 22, 122, 194);

const QColor kPictureOutline(144, 152, 160);
const QColor kClipOutline(160, 128, 80);
const QColor kAxisGrey(144, 144, 144);

// A GDI-style outline of a box whose right and bottom edges are exclusive.
void Outline(QPainter& p, const Box& b) {
    if (b.isEmpty())
        return;
    p.drawRect(QRect(b.left, b.top, b.width() - 1, b.height() - 1));
}

QFont PreviewFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    return font;
}

// Text whose top-left corner is at `at`, turned 90 degrees clockwise when `turned`.
void DrawText(QPainter& p, QPoint at, const QString& text, bool turned) {
    const int ascent = p.fontMetrics().ascent();
    p.save();
    p.translate(at);
    if (turned)
        p.rotate(90);
    p.drawText(0, ascent, text);
    p.restore();
}

}  // namespace

CCardPreview::CCardPreview(ValueSource values, QWidget* parent)
    : QWidget(parent), m_values(std::move(values)) {
    setObjectName(QStringLiteral("cardPreview"));
    setFixedSize(sizeHint());
    // Every pixel is painted from the kept drawing: nothing below needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCardPreview::SetPicture(const QByteArray& bmpFile) {
    m_file = bmpFile;
    m_source = bmpView(m_file);
    m_part = QImage();
    m_partOf = QSize();
    m_partRect = QRect();
    update();
}

Box CCardPreview::Frame() const {
    return Box::fromQRect(rect());
}

Box CCardPreview::Card() const {
    return Box::fromQRect(kCardArea.adjusted(1, 1, -1, -1).translated(-kFrameInset, -kFrameInset));
}

PreviewRects CCardPreview::Rects() const {
    const Values v = m_values ? m_values() : Values{};
    return previewRects(Frame(), Card(), v.dx, v.dy, v.e, v.s);
}

void CCardPreview::UpdatePart(const PreviewRects& r) {
    // B is drawn into P clipped to K: only the part of P inside K is ever made.
    const Box shown = intersect(r.picture, r.clip);
    if (m_source.isNull() || shown.isEmpty())
        return;
    const QSize size(r.picture.width(), r.picture.height());
    const QRect part(shown.left - r.picture.left, shown.top - r.picture.top, shown.width(),
                     shown.height());
    if (size == m_partOf && part == m_partRect)
        return;
    m_part = ResamplePart(m_source, size.width(), size.height(), part);
    m_partOf = size;
    m_partRect = part;
    ++m_resampleCount;
}

void CCardPreview::Render(QPainter& p, const PreviewRects& r) const {
    const Box frame = Frame();
    const Box card = Card();
    p.fillRect(frame.toQRect(), palette().color(QPalette::Button));
    p.fillRect(card.toQRect(), Qt::white);

    const Box shown = intersect(r.picture, r.clip);
    if (!m_part.isNull() && !shown.isEmpty())
        p.drawImage(QPoint(shown.left, shown.top), m_part);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kPictureOutline, 1, Qt::SolidLine));
    Outline(p, r.pictureOutline);
    p.setPen(QPen(kClipOutline, 1, Qt::DotLine));
    Outline(p, r.clip);
    p.setPen(QPen(Qt::black, 1));
    Outline(p, card);

    const QFont font = PreviewFont();
    p.setFont(font);
    const int textWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("Print direction"));
    const AxisMarks m = axisMarks(frame, card, textWidth);
    p.setPen(QPen(kAxisGrey, 1));
    for (const QLine& l : {m.xLine, m.xHead1, m.xHead2, m.yLine, m.yHead1, m.yHead2, m.printLine,
                           m.printHead1, m.printHead2})
        p.drawLine(l);
    DrawText(p, m.xText, QStringLiteral("X"), false);
    DrawText(p, m.yText, QStringLiteral("Y"), true);
    DrawText(p, m.printText, QStringLiteral("Print direction"), true);
}

void CCardPreview::paintEvent(QPaintEvent*) {
    const PreviewRects r = Rects();
    UpdatePart(r);
    // The drawing is kept and shown again as long as nothing it depends on changed: a repaint
    // of an unchanged preview (the window moved or was uncovered) is one copy.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_drawn.isNull() || m_drawn.size() != pixels || m_drawnRects != r ||
        m_drawnPart != m_part.cacheKey()) {
        m_drawn = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_drawn.setDevicePixelRatio(ratio);
        QPainter p(&m_drawn);
        Render(p, r);
        m_drawnRects = r;
        m_drawnPart = m_part.cacheKey();
    }
    QPainter(this).drawImage(QPoint(0, 0), m_drawn);
}

void CCardPreview::changeEvent(QEvent* event) {
    // Colours, fonts and the style go into the drawing.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::FontChange)
        m_drawn = QImage();
    QWidget::changeEvent(event);
}
