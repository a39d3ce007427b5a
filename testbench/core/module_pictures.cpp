#include "module_pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "vela_modules.h"

namespace {

constexpr int kPictureHeight = 133;
// Height of the card path through every module, the same for all so that the chain lines up.
constexpr int kCardPathY = 104;

struct PictureStyle {
    int width;
    QColor body;
    QLatin1Char letter;
};

// Width, body colour and label letter per module type 1-7.
const PictureStyle* StyleFor(int moduleType) {
    static const PictureStyle kStyles[] = {
        {42, QColor(0x9C, 0xC3, 0xE6), QLatin1Char('I')},  // input hopper
        {42, QColor(0x7F, 0xB2, 0xD9), QLatin1Char('M')},  // multi-input hopper
        {88, QColor(0xC8, 0xC8, 0xC8), QLatin1Char('E')},  // type 3
        {89, QColor(0xE8, 0xD4, 0xA8), QLatin1Char('P')},  // printer
        {88, QColor(0xB8, 0xDD, 0xB0), QLatin1Char('L')},  // laminator
        {40, QColor(0xE0, 0xB8, 0xD8), QLatin1Char('F')},  // flipper or laser unit
        {36, QColor(0xF2, 0xC2, 0x9E), QLatin1Char('O')},  // output hopper
    };
    if (moduleType < vela::kTypeInputHopper || moduleType > vela::kTypeOutputHopper)
        return nullptr;
    return &kStyles[moduleType - 1];
}

// A stack of cards lying in a hopper, `count` cards from `top` downwards.
void DrawCardStack(QPainter& p, int left, int right, int top, int count) {
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(Qt::white);
    for (int i = 0; i < count; ++i)
        p.drawRect(left, top + i * 4, right - left, 3);
}

void DrawRoller(QPainter& p, QPointF centre, qreal radius) {
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawEllipse(centre, radius, radius);
}

void DrawDetails(QPainter& p, int type, int w) {
    switch (type) {
        case vela::kTypeInputHopper:
            DrawCardStack(p, 8, w - 8, 30, 12);
            break;
        case vela::kTypeMultiInputHopper:
            // Six small hoppers above the shifter.
            for (int i = 0; i < 6; ++i)
                DrawCardStack(p, 8, w - 8, 24 + i * 12, 2);
            break;
        case vela::kTypeThree:
            DrawCardStack(p, 12, w / 2 - 4, 36, 8);
            DrawCardStack(p, w / 2 + 4, w - 12, 36, 8);
            break;
        case vela::kTypePrinter:
            // Ribbon supply and take-up spools with the ribbon running past the print head.
            DrawRoller(p, QPointF(24, 44), 12);
            DrawRoller(p, QPointF(w - 24, 44), 12);
            p.setPen(QPen(QColor(0x20, 0x20, 0x80), 2));
            p.drawLine(QPointF(24, 56), QPointF(w / 2.0, kCardPathY - 6));
            p.drawLine(QPointF(w / 2.0, kCardPathY - 6), QPointF(w - 24, 56));
            p.setBrush(QColor(0x40, 0x40, 0x40));
            p.setPen(Qt::NoPen);
            p.drawRect(w / 2 - 6, kCardPathY - 14, 12, 8);  // print head
            break;
        case vela::kTypeLaminator:
            // Heated roller pair over the card path.
            DrawRoller(p, QPointF(w / 3.0, kCardPathY - 10), 8);
            DrawRoller(p, QPointF(2 * w / 3.0, kCardPathY - 10), 8);
            p.setPen(QPen(QColor(0x20, 0x70, 0x20), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(w / 2.0, 44), 18, 18);  // film roll
            break;
        case vela::kTypeFlipper: {
            // A turning arrow around the flipping drum.
            p.setPen(QPen(QColor(0x60, 0x20, 0x60), 2));
            p.setBrush(Qt::NoBrush);
            const QRectF drum(w / 2.0 - 12, 40, 24, 24);
            p.drawArc(drum, 30 * 16, 300 * 16);
            QPainterPath head;
            head.moveTo(drum.right(), drum.center().y() - 8);
            head.lineTo(drum.right() + 4, drum.center().y() - 1);
            head.lineTo(drum.right() - 4, drum.center().y() - 3);
            head.closeSubpath();
            p.fillPath(head, QColor(0x60, 0x20, 0x60));
            break;
        }
        case vela::kTypeOutputHopper:
            DrawCardStack(p, 6, w - 6, 70, 7);
            break;
        default:
            break;
    }
}

}  // namespace

QSize ModulePictureSize(int moduleType) {
    const PictureStyle* style = StyleFor(moduleType);
    return style ? QSize(style->width, kPictureHeight) : QSize(0, 0);
}

QImage ModulePicture(int moduleType) {
    const PictureStyle* style = StyleFor(moduleType);
    if (style == nullptr)
        return {};
    const int w = style->width;
    QImage image(w, kPictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Housing.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.setBrush(style->body);
    p.drawRoundedRect(QRectF(0.5, 12.5, w - 1, kPictureHeight - 13), 3, 3);

    // Card path: the slot a card passes through, open at both sides.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x28, 0x28, 0x28));
    p.drawRect(0, kCardPathY - 2, w, 4);

    DrawDetails(p, moduleType, w);

    // Label letter near the foot of the housing.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x10, 0x10, 0x10));
    p.drawText(QRect(0, kCardPathY + 4, w, kPictureHeight - kCardPathY - 6), Qt::AlignCenter,
               QString(style->letter));
    p.end();
    return image;
}

const QImage& ModulePictureCache::Picture(int moduleType) {
    static const QImage kNone;
    if (moduleType < 0 || moduleType >= kTypes)
        return kNone;
    const auto type = static_cast<size_t>(moduleType);
    if (!m_done[type]) {
        m_pictures[type] = ModulePicture(moduleType);
        m_done[type] = true;
        if (!m_pictures[type].isNull())
            ++m_drawn;
    }
    return m_pictures[type];
}
