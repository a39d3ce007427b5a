#include "preview_frame.h"

#include <QPainter>

namespace {
// The card's proportions (1012 x 636) and the frame's smallest useful width.
constexpr int kCardWidth = 1012;
constexpr int kCardHeight = 636;
constexpr int kMinWidth = 253;
constexpr int kHintWidth = 404;
}  // namespace

PreviewFrame::PreviewFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("preview"));
    setAccessibleName(QStringLiteral(">>> Document Preview <<<"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PreviewFrame::SetImage(const QImage& image) {
    m_image = image;
    update();
}

QSize PreviewFrame::sizeHint() const {
    return {kHintWidth, heightForWidth(kHintWidth)};
}

QSize PreviewFrame::minimumSizeHint() const {
    return {kMinWidth, heightForWidth(kMinWidth)};
}

int PreviewFrame::heightForWidth(int width) const {
    return width * kCardHeight / kCardWidth;
}

void PreviewFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    if (m_image.isNull()) {
        painter.drawText(inside, Qt::AlignCenter, QStringLiteral(">>> Document Preview <<<"));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(inside, m_image);
}
