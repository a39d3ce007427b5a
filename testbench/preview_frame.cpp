#include "preview_frame.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// The card's proportions (1012 x 636), the frame's smallest and its preferred width.
constexpr int kCardWidth = 1012;
constexpr int kCardHeight = 636;
constexpr int kMinWidth = 253;
constexpr int kHintWidth = 404;
}  // namespace

PreviewFrame::PreviewFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("preview"));
    setAccessibleName(QStringLiteral(">>> Document Preview <<<"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewFrame::SetImage(const QImage& image) {
    m_image = image;
    update();
}

QRect PreviewFrame::FrameRect() const {
    int width = this->width();
    int height = width * kCardHeight / kCardWidth;
    if (height > this->height()) {
        height = this->height();
        width = height * kCardWidth / kCardHeight;
    }
    return {0, 0, width, height};
}

QSize PreviewFrame::sizeHint() const {
    return {kHintWidth, kHintWidth * kCardHeight / kCardWidth};
}

QSize PreviewFrame::minimumSizeHint() const {
    return {kMinWidth, kMinWidth * kCardHeight / kCardWidth};
}

void PreviewFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = FrameRect();
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = frame;
    option.lineWidth = 1;
    option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
    const QRect inside = frame.adjusted(1, 1, -1, -1);
    if (m_image.isNull()) {
        painter.drawText(inside, Qt::AlignCenter, QStringLiteral(">>> Document Preview <<<"));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(inside, m_image);
}
