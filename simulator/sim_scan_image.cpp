// What the scanner sees of a card side: the printed picture (or a white card), the card's edge,
// and its barcode as Code 39 bars with the text beneath.

#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "sim_scanner.h"

namespace sim::scanner {

namespace {

// Code 39: each character is nine elements, bar and space by turns starting with a bar; "1"
// marks the three wide ones.
struct Code39Char {
    char c;
    const char* wide;
};
constexpr std::array<Code39Char, 44> kCode39 = {{
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
    {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
    {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
    {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
    {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
    {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
    {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
    {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
    {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
    {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"}, {'*', "010010100"},
}};
constexpr int kWideModules = 3;
// The contact pad at 300 dpi.
constexpr int kChipLeft = 121;
constexpr int kChipTop = 227;
constexpr int kChipWidth = 142;
constexpr int kChipHeight = 118;
constexpr int kQuietModules = 10;

const char* PatternOf(char c) {
    for (const Code39Char& entry : kCode39)
        if (entry.c == c)
            return entry.wide;
    return nullptr;
}

void AppendChar(std::vector<bool>& modules, char c) {
    const char* wide = PatternOf(c);
    if (wide == nullptr)
        wide = PatternOf('-');
    for (int i = 0; i < 9; ++i) {
        const bool bar = i % 2 == 0;
        const int width = wide[i] == '1' ? kWideModules : 1;
        modules.insert(modules.end(), static_cast<size_t>(width), bar);
    }
}

// Code 39 draws capitals; a character it lacks is drawn as "-".
char DrawnChar(QChar ch) {
    const QChar upper = ch.toUpper();
    if (upper.unicode() > 0x7F || upper == u'*')
        return '-';
    const char c = static_cast<char>(upper.unicode());
    return PatternOf(c) != nullptr ? c : '-';
}

}  // namespace

QSize CardSize(int dpi) {
    const int d = std::clamp(dpi, kMinDpi, kMaxDpi);
    return {kCardWidth * d / kBaseDpi, kCardHeight * d / kBaseDpi};
}

std::vector<bool> Code39(const QString& text) {
    std::vector<bool> modules;
    AppendChar(modules, '*');
    for (QChar ch : text) {
        modules.push_back(false);
        AppendChar(modules, DrawnChar(ch));
    }
    modules.push_back(false);
    AppendChar(modules, '*');
    return modules;
}

QImage RenderSide(const Card& card, CardSide side, int dpi, int mode) {
    const QSize size = CardSize(dpi);
    const double scale = static_cast<double>(size.width()) / kCardWidth;
    QImage image(size, QImage::Format_RGB32);
    const QImage& printed = card.printed[static_cast<size_t>(side)].image;
    if (printed.isNull())
        image.fill(Qt::white);
    else
        image = printed.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A contact chip shows on the top side, where ISO 7816 puts its contacts.
    if (side == kTop && card.chip.Present()) {
        const QRectF pad(kChipLeft * scale, kChipTop * scale, kChipWidth * scale,
                         kChipHeight * scale);
        p.setPen(QPen(QColor(0x8A, 0x6D, 0x1E), std::max(1.0, 2 * scale)));
        p.setBrush(kChipGold);
        p.drawRoundedRect(pad, 14 * scale, 14 * scale);
        p.drawLine(QPointF(pad.left(), pad.center().y()), QPointF(pad.right(), pad.center().y()));
        p.drawLine(QPointF(pad.center().x(), pad.top()), QPointF(pad.center().x(), pad.bottom()));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    // The card's edge.
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), std::max(1.0, 2 * scale)));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));

    const QString text = card.barcodes[static_cast<size_t>(side)];
    if (!text.isEmpty()) {
        // The bars on a white label near the bottom left, as wide as the card allows.
        const std::vector<bool> modules = Code39(text);
        const int margin = static_cast<int>(40 * scale);
        const int room = size.width() - 2 * margin;
        const int total = static_cast<int>(modules.size()) + 2 * kQuietModules;
        const int module = std::max(
            1, std::min(static_cast<int>(std::lround(2 * scale)), room / std::max(1, total)));
        const int barHeight = static_cast<int>(110 * scale);
        const int textHeight = static_cast<int>(34 * scale);
        const int top = size.height() - margin - barHeight - textHeight;
        const int labelWidth = std::min(room, total * module);
        p.fillRect(margin, top, labelWidth, barHeight + textHeight, Qt::white);
        int x = margin + kQuietModules * module;
        for (bool bar : modules) {
            if (x + module > margin + labelWidth)
                break;  // a text too long for the card is cut at its edge
            if (bar)
                p.fillRect(x, top, module, barHeight, Qt::black);
            x += module;
        }
        // Text needs the font system, which only a GUI process has.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            QFont font(QStringLiteral("DejaVu Sans Mono"));
            font.setStyleHint(QFont::TypeWriter);
            font.setPixelSize(std::max(6, static_cast<int>(26 * scale)));
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRect(margin, top + barHeight, labelWidth, textHeight), Qt::AlignCenter,
                       text);
        }
    }
    p.end();

    if (mode == kModeGrey)
        return image.convertToFormat(QImage::Format_Grayscale8);
    if (mode == kModeMono)
        return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    return image;
}

QImage CropToArea(const QImage& image, const std::array<std::int32_t, 4>& area) {
    // Values from a scenario are not checked like those set through the SDK: keep them sane.
    const auto at = [&area](size_t i) { return std::clamp(area[i], 0, kMaxAreaCoordinate); };
    const QRect wanted(QPoint(at(0), at(1)), QPoint(at(2) - 1, at(3) - 1));
    const QRect kept = wanted.intersected(image.rect());
    if (kept.isEmpty())
        return {};
    return kept == image.rect() ? image : image.copy(kept);
}

}  // namespace sim::scanner
