#include "CCardPreview.h"

#include <QPainter>

using namespace halvard::preview;

namespace {

// Card area inside the frame, portrait like the card picture (636 x 1012).
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
    setFixedSize(kFrameWidth, kFrameHeight);
}

void CCardPreview::SetPicture(const QByteArray& bmpFile) {
    m_source = decodeBmp(bmpFile);
    m_sourceImage = toQImage(m_source);
    m_scaled = QImage();
    m_resampled = false;
    update();
}

void CCardPreview::Rescale() {
    if (!m_source.isNull())
        m_resampled = false;
    update();
}

Box CCardPreview::Frame() const {
    return Box::fromQRect(rect().adjusted(1, 1, -1, -1));
}

Box CCardPreview::Card() const {
    return Box::fromQRect(kCardArea.adjusted(1, 1, -1, -1));
}

PreviewRects CCardPreview::Rects() const {
    const Values v = m_values ? m_values() : Values{};
    return previewRects(Frame(), Card(), v.dx, v.dy, v.e, v.s);
}

void CCardPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Box frame = Frame();
    const Box card = Card();
    p.fillRect(frame.toQRect(), palette().color(QPalette::Button));
    p.fillRect(card.toQRect(), Qt::white);

    const PreviewRects r = Rects();
    if (!m_resampled && !m_source.isNull()) {
        m_scaled = toQImage(Resample(m_source, r.picture.width(), r.picture.height()));
        m_resampled = true;
    }
    const QImage& picture = m_scaled.isNull() ? m_sourceImage : m_scaled;
    if (!picture.isNull() && !r.clip.isEmpty()) {
        p.save();
        p.setClipRect(r.clip.toQRect());
        p.drawImage(r.picture.toQRect(), picture);
        p.restore();
    }

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
