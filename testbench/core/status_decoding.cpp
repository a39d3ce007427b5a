#include "status_decoding.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <array>
#include <span>

namespace {

struct NamedBit {
    int bit;
    const char* text;
    int severity;
};

// State byte, the same for every module type; bits 6 and 7 carry no text.
constexpr NamedBit kStateBits[] = {
    {0, "Action : FAIL", 2},   {1, "Action : Running", 1},  {2, "Detect Card", 0},
    {3, "Initializing...", 1}, {4, "Command : Running", 1}, {5, "Command : FAIL", 2},
};

constexpr NamedBit kInputHopperBits[] = {
    {1, "card ejecting", 1},
    {16, "ready to use", 0},
    {17, "doing command", 1},
    {25, "almost empty cards", 0},
    {26, "empty card", 0},
    {27, "detect cartridge lock sensor", 0},
    {28, "detect cartridge contact sensor", 0},
    {29, "detect card-out sensor", 0},
    {30, "detect right side hook", 0},
    {31, "detect left side hook", 0},
    {33, "error while eject card", 2},
    {48, "initializing failure", 3},
};

constexpr NamedBit kMultiInputHopperBits[] = {
    {0, "initializing", 1},
    {1, "card ejecting", 1},
    {2, "ready to use", 0},
    {3, "doing command", 1},
    {4, "detect hopper 1", 0},
    {5, "detect hopper 2", 0},
    {6, "detect hopper 3", 0},
    {7, "detect hopper 4", 0},
    {8, "detect hopper 5", 0},
    {9, "detect hopper 6", 0},
    {10, "hopper 1 is running", 1},
    {11, "hopper 2 is running", 1},
    {12, "hopper 3 is running", 1},
    {13, "hopper 4 is running", 1},
    {14, "hopper 5 is running", 1},
    {15, "hopper 6 is running", 1},
    {18, "limit sensor left", 0},
    {19, "limit sensor right", 0},
    {20, "shifter position sensor A", 0},
    {21, "shifter position sensor B", 0},
    {22, "shifter position sensor C", 0},
    {23, "shifter position sensor D", 0},
    {24, "card in sensor A0", 0},
    {25, "card in sensor A1", 0},
    {26, "card in sensor B0", 0},
    {27, "card in sensor B1", 0},
    {28, "card in sensor C0", 0},
    {29, "card in sensor C1", 0},
    {30, "card in sensor D0", 0},
    {31, "card in sensor D1", 0},
    {32, "initializing fail", 3},
    {33, "card out error", 2},
    {35, "failed to run command", 2},
    {36, "hopper 1 control error", 2},
    {37, "hopper 2 control error", 2},
    {38, "hopper 3 control error", 2},
    {39, "hopper 4 control error", 2},
    {40, "hopper 5 control error", 2},
    {41, "hopper 6 control error", 2},
    {42, "hopper 1 is empty", 2},
    {43, "hopper 2 is empty", 2},
    {44, "hopper 3 is empty", 2},
    {45, "hopper 4 is empty", 2},
    {46, "hopper 5 is empty", 2},
    {47, "hopper 6 is empty", 2},
    {48, "hopper 1 has error", 2},
    {49, "hopper 2 has error", 2},
    {50, "hopper 3 has error", 2},
    {51, "hopper 4 has error", 2},
    {52, "hopper 5 has error", 2},
    {53, "hopper 6 has error", 2},
};

constexpr NamedBit kPrinterBits[] = {
    {0, "doing SBS Command", 1},
    {1, "card is moving", 1},
    {2, "card is inserting", 1},
    {3, "card is ejecting", 1},
    {4, "thermal head lifting", 1},
    {5, "seek ribbon", 1},
    {6, "moving ribbon", 1},
    {7, "printing", 1},
    {8, "magnetic encoding", 0},
    {9, "receiving print data", 1},
    {10, "receiving print data", 1},
    {11, "ready", 0},
    {15, "internal encoder is installed", 0},
    {16, "external input-hopper is installed", 0},
    {17, "external output-hopper is installed", 0},
    {18, "external encoder is installed", 0},
    {19, "external laminator is installed", 0},
    {20, "external flipper is installed", 0},
    {21, "external etc. module is installed", 0},
    {22, "case is opened", 0},
    {23, "soft locked state", 0},
    {24, "key locked state", 0},
    {25, "detect a card", 0},
    {26, "module is connected to left", 0},
    {27, "module is connected to right", 0},
    {28, "need cleaning", 0},
    {29, "have some printing data", 0},
    {30, "Manual Mode", 0},
    {31, "Test mode", 0},
    {32, "failed to insert card", 2},
    {33, "failed to move card", 2},
    {34, "failed to eject card", 2},
    {35, "failed to lift thermal head", 2},
    {38, "error while printing", 2},
    {39, "magnetic encoding error", 2},
    {40, "magnetic ISO track 1 read error", 2},
    {41, "magnetic ISO track 2 read error", 2},
    {42, "magnetic ISO track 3 read error", 2},
    {43, "ext. input-hopper connection failure", 2},
    {44, "ext. output-hopper connection failure", 2},
    {45, "external encoder connection failure", 2},
    {46, "external laminator connection failure", 2},
    {47, "external flipper connection failure", 2},
    {48, "ext. etc. module connection failure", 2},
    {49, "ext. preset module connection failure", 2},
    {50, "mag. module connection failure", 2},
    {53, "scheduler run error", 2},
    {54, "ribbon is empty", 2},
    {55, "ribbon search failure", 2},
    {56, "ribbon move failure", 2},
    {57, "thermal head is absent", 3},
    {58, "thermal head is overheated", 3},
    {59, "ribbon is absent", 3},
    {60, "error on printing data", 3},
    {61, "wrong password", 3},
    {62, "failed to change printer config", 3},
};

constexpr NamedBit kLaminatorBits[] = {
    {0, "card inserting", 1},
    {1, "card moving", 1},
    {2, "card ejecting", 1},
    {3, "thermal head lifting up", 1},
    {4, "thermal head lifting down", 1},
    {5, "thermal head heating", 1},
    {6, "laminating", 1},
    {7, "install ext. hopper", 0},
    {8, "install ext. stacker", 0},
    {9, "install ext. flipper", 0},
    {16, "ready state", 0},
    {17, "doing command", 1},
    {18, "doing USB command", 1},
    {20, "Case is opened", 0},
    {21, "Detect Cartridge Lock Sensor", 0},
    {22, "Detect a card from out sensor", 0},
    {23, "Detect a card from center sensor B", 0},
    {24, "Detect a card from center sensor A", 0},
    {25, "Detect a card from in sensor", 0},
    {26, "Detect head lift sensor", 0},
    {27, "Detect Case Open Check Sensor", 0},
    {28, "Film Mark Check Sensor B", 0},
    {29, "Film Mark Check Sensor A", 0},
    {30, "Encoder Sensor B", 0},
    {31, "Encoder Sensor A", 0},
    {32, "error while insert card", 2},
    {33, "error while move card", 2},
    {34, "error while eject card", 2},
    {35, "error while lift up header", 2},
    {36, "error while lift down header", 2},
    {37, "error while laminating", 2},
    {39, "ext. flipper connection failure", 3},
    {40, "ext. stacker connection failure", 3},
    {41, "ext. flipper connection failure", 3},
    {48, "initialize failure", 3},
    {49, "error while process command", 2},
    {50, "error while process USB command", 2},
    {52, "laminate film empty", 3},
    {53, "film seek failure", 3},
    {54, "thermal head error", 3},
    {55, "laminate film is absent", 3},
};

constexpr NamedBit kFlipperBits[] = {
    {0, "card inserting", 1},
    {1, "card ejecting", 1},
    {2, "card flipping", 1},
    {3, "card moving", 1},
    {16, "ready state", 0},
    {17, "doing command", 1},
    {21, "board ver. 2", 0},
    {22, "faced to bottom", 0},
    {23, "faced to top", 0},
    {24, "detect cartridge lock sensor", 0},
    {26, "cartridge is full", 0},
    {27, "Vertical Position Control Sensor", 0},
    {28, "Horizontal Position Control Sensor", 0},
    {29, "detect a card at right sensor", 0},
    {30, "detect a card at center sensor", 0},
    {31, "detect a card at left sensor", 0},
    {32, "card insert error", 2},
    {33, "card eject error", 2},
    {34, "flipping error", 2},
    {35, "card moving error", 2},
    {48, "initialize failure", 3},
};

// Flipper bits that exist only on the second board version (status bit 21). Without bit 21 a
// set bit among them is not shown at all.
constexpr int kFlipperBoardV2Bit = 21;
constexpr NamedBit kFlipperBoardV2Bits[] = {
    {4, "ic contactor contacted", 0},
    {5, "ic contactor released", 0},
    {8, "extended board absent", 0},
    {9, "detect a card at scanner in sensor", 0},
    {10, "detect a card at scanner out sensor", 0},
    {11, "detect ic contactor", 0},
    {12, "not installed scanner module", 0},
    {25, "detect case open sensor", 0},
    {36, "ic contactor contact error", 2},
    {37, "ic contactor release error", 2},
};

constexpr NamedBit kLaserBits[] = {
    {0, "card inserting", 1},
    {1, "card ejecting", 1},
    {2, "card flipping", 1},
    {3, "card moving", 1},
    {4, "ic contactor lifting", 1},
    {5, "doing magnetic r/w", 1},
    {11, "No IC CAM", 0},
    {15, "VELA-KLE", 0},
    {16, "ready state", 0},
    {17, "doing command", 1},
    {18, "auto. card insert set", 0},
    {19, "preparing", 0},
    {20, "faced to bottom", 0},
    {21, "faced to top", 0},
    {22, "flipper tilted", 0},
    {24, "door open", 0},
    {25, "flipper is near right", 0},
    {26, "detect card from opt. out sensor", 0},
    {27, "detect card from flipper out sensor", 0},
    {28, "detect card from flipper in sensor", 0},
    {29, "detect card from card out sensor", 0},
    {30, "detect card from flipper center sensor", 0},
    {31, "detect card from card in sensor", 0},
    {32, "card insert error", 2},
    {33, "card eject error", 2},
    {34, "flipping error", 2},
    {35, "card moving error", 2},
    {36, "ic contactor lifting error", 2},
    {37, "magnetic r/w error", 2},
    {48, "initialize failure", 3},
};

constexpr NamedBit kOutputHopperBits[] = {
    {0, "card inserting", 1},
    {2, "lifting up", 1},
    {3, "lifting down", 1},
    {16, "ready state", 0},
    {17, "doing command", 1},
    {25, "detect card standby sensor", 0},
    {26, "output hopper have space", 0},
    {27, "detect cartridge lock sensor", 0},
    {28, "detect cartridge contact sensor", 0},
    {29, "detect able to insert card sensor", 0},
    {30, "lifted up", 0},
    {31, "detect card from in sensor", 0},
    {32, "error while insert card", 2},
    {34, "error while lift up", 2},
    {35, "error while lift down", 2},
    {48, "initializing failure", 3},
};

// A status table expanded to one entry per bit, built once so decoding allocates nothing. The
// texts are shared QStrings: handing one out only bumps its reference count.
struct StatusTable {
    std::array<QString, 64> text;  // empty = bit not named (shown with the "(bit-%d)" fallback)
    std::array<int, 64> severity{};
    std::uint64_t boardV2Only = 0;  // bits named only while kFlipperBoardV2Bit is set

    explicit StatusTable(std::span<const NamedBit> bits, std::span<const NamedBit> v2Bits = {}) {
        for (const NamedBit& b : bits) {
            text[b.bit] = QString::fromLatin1(b.text);
            severity[b.bit] = b.severity;
        }
        for (const NamedBit& b : v2Bits) {
            text[b.bit] = QString::fromLatin1(b.text);
            severity[b.bit] = b.severity;
            boardV2Only |= std::uint64_t{1} << b.bit;
        }
    }
};

// The status table of a module, or null for the types that have none.
const StatusTable* TableFor(std::uint8_t id) {
    static const StatusTable inputHopper(kInputHopperBits);
    static const StatusTable multiInputHopper(kMultiInputHopperBits);
    static const StatusTable printer(kPrinterBits);
    static const StatusTable laminator(kLaminatorBits);
    static const StatusTable flipper(kFlipperBits, kFlipperBoardV2Bits);
    static const StatusTable laser(kLaserBits);
    static const StatusTable outputHopper(kOutputHopperBits);

    switch (ModuleType(id)) {
        case kModuleTypeInputHopper:
            return &inputHopper;
        case kModuleTypeMultiInputHopper:
            return &multiInputHopper;
        case kModuleTypePrinter:
            return &printer;
        case kModuleTypeLaminator:
            return &laminator;
        case kModuleTypeFlipper:
            return id == kLaserModuleId ? &laser : &flipper;
        case kModuleTypeOutputHopper:
            return &outputHopper;
        default:
            return nullptr;  // type 3, multi-output hopper and unassigned types
    }
}

const std::array<QString, 8>& StateTexts() {
    static const std::array<QString, 8> texts = [] {
        std::array<QString, 8> t;
        for (const NamedBit& b : kStateBits)
            t[b.bit] = QString::fromLatin1(b.text);
        return t;
    }();
    return texts;
}

constexpr std::array<int, 8> StateSeverities() {
    std::array<int, 8> s{};
    for (const NamedBit& b : kStateBits)
        s[b.bit] = b.severity;
    return s;
}

const ModuleSlot* FindSlot(const ModuleSlot* moduleSlots, int count, std::uint8_t id) {
    if (moduleSlots == nullptr)
        return nullptr;
    for (int i = 0; i < count; ++i) {
        if (moduleSlots[i].id == id)
            return &moduleSlots[i];
    }
    return nullptr;
}

QString HexByte(std::uint8_t v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString FormatModuleName(std::uint8_t id) {
    const QString digits = HexByte(id);
    switch (ModuleType(id)) {
        case kModuleTypeInputHopper:
        case kModuleTypeThree:  // shown under the input hopper's name
            return QStringLiteral("Input-Hopper [") + digits + QLatin1Char(']');
        case kModuleTypeMultiInputHopper:
            return QStringLiteral("Multi-Input-Hopper [") + digits + QLatin1Char(']');
        case kModuleTypePrinter:
            return QStringLiteral("Printer [") + digits + QLatin1Char(']');
        case kModuleTypeLaminator:
            return QStringLiteral("Laminator [") + digits + QLatin1Char(']');
        case kModuleTypeFlipper:
            if (id == kLaserModuleId)
                return QStringLiteral("Laser [") + digits + QLatin1Char(']');
            return QStringLiteral("Flipper [") + digits + QLatin1Char(']');
        case kModuleTypeOutputHopper:
            return QStringLiteral("Output-Hopper [") + digits + QLatin1Char(']');
        case kModuleTypeMultiOutputHopper:
            return QStringLiteral("Multi-Output-Hopper [") + digits + QLatin1Char(']');
        default:
            return {};
    }
}

QColor SeverityColor(int severity) {
    switch (severity) {
        case kSeverityActivity:
            return QColor(0x40, 0x20, 0xC0);
        case kSeverityError:
            return QColor(0xC0, 0x40, 0x20);
        case kSeverityFatal:
            return QColor(0xC0, 0x20, 0x20);
        default:
            return QColor(0, 0, 0);
    }
}

DecodedLine DescribeStateBit(std::uint8_t state, int bit) {
    if (bit < 0 || bit > 7 || (state & (1u << bit)) == 0)
        return {};
    static constexpr std::array<int, 8> kSeverities = StateSeverities();
    return {StateTexts()[bit], kSeverities[bit]};
}

DecodedLine DescribeStatusBit(std::uint8_t id, std::uint64_t status, int bit) {
    if (bit < 0 || bit > 63)
        return {};
    const std::uint64_t mask = std::uint64_t{1} << bit;
    if ((status & mask) == 0)
        return {};
    const StatusTable* table = TableFor(id);
    if (table == nullptr)
        return {};
    if ((table->boardV2Only & mask) != 0 &&
        (status & (std::uint64_t{1} << kFlipperBoardV2Bit)) == 0)
        return {};
    if (table->text[bit].isEmpty())
        return {QStringLiteral("(bit-%1)").arg(bit + 1), kSeverityPlain};
    return {table->text[bit], table->severity[bit]};
}

DecodedLine DescribeStateBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit) {
    const ModuleSlot* slot = FindSlot(moduleSlots, count, id);
    return DescribeStateBit(slot ? slot->state : std::uint8_t{0}, bit);
}

DecodedLine DescribeStatusBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit) {
    const ModuleSlot* slot = FindSlot(moduleSlots, count, id);
    return DescribeStatusBit(id, slot ? slot->status : std::uint64_t{0}, bit);
}

QRect StatusPanelArea(const QRect& groupClientRect) {
    constexpr int kInsetSide = 4;
    constexpr int kInsetTop = 16;
    constexpr int kInsetBottom = 4;
    const QRect area = groupClientRect.adjusted(kInsetSide, kInsetTop, -kInsetSide, -kInsetBottom);
    return area.isValid() ? area : QRect(area.topLeft(), QSize(0, 0));
}

QImage RenderStatusPanel(const ModuleSlot moduleSlots[kModuleSlotCount], QSize groupClientSize) {
    const QRect area = StatusPanelArea(QRect(QPoint(0, 0), groupClientSize));
    if (area.isEmpty())
        return {};

    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    if (moduleSlots == nullptr)
        return image;

    // Fonts and their metrics once per call; a line's height is its font's height.
    struct LineFont {
        QFont font;
        int ascent;
        int height;
    };
    const auto makeFont = [](int pixelSize, QFont::Weight weight) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(pixelSize);
        font.setWeight(weight);
        const QFontMetrics metrics(font);
        return LineFont{font, metrics.ascent(), metrics.height()};
    };
    const LineFont title = makeFont(15, QFont::Bold);
    const LineFont heading = makeFont(13, QFont::Bold);
    const LineFont body = makeFont(13, QFont::Normal);

    QPainter painter(&image);
    painter.setClipRect(image.rect());
    painter.setBackgroundMode(Qt::TransparentMode);

    const int bottom = image.height();
    const QColor black(0, 0, 0);
    int x = 0;
    int y = 0;
    int h = 0;  // height of the last measured line
    const LineFont* current = nullptr;
    const auto useFont = [&](const LineFont& f) {
        current = &f;
        painter.setFont(f.font);
    };
    // Draws one single-line text at the pen and moves the pen down by its height.
    const auto drawLine = [&](const QString& text) {
        h = current->height;
        if (!text.isEmpty())
            painter.drawText(x, y + current->ascent, text);
        y += h;
    };

    painter.setPen(black);
    for (int i = 0; i < kModuleSlotCount && y < bottom; ++i) {
        const ModuleSlot& slot = moduleSlots[i];
        if (slot.id == kModuleIdNone || slot.id == kModuleIdNoneSel)
            continue;

        useFont(title);
        drawLine(FormatModuleName(slot.id));

        useFont(heading);
        x += 8;
        y += h / 2;
        drawLine(QStringLiteral("State : [") + HexByte(slot.state) + QLatin1Char(']'));

        useFont(body);
        x += 8;
        for (int bit = 0; bit < 8 && y < bottom; ++bit) {
            const DecodedLine line = DescribeStateBit(slot.state, bit);
            if (line.text.isEmpty())
                continue;
            painter.setPen(SeverityColor(line.severity));
            drawLine(line.text);
        }
        painter.setPen(black);
        x -= 8;

        useFont(heading);
        y += h / 2;
        drawLine(QStringLiteral("Status : [") +
                 QStringLiteral("%1").arg(slot.status, 16, 16, QLatin1Char('0')).toUpper() +
                 QLatin1Char(']'));
        x += 8;

        useFont(body);
        for (int bit = 0; bit < 64 && y < bottom; ++bit) {
            const DecodedLine line = DescribeStatusBit(slot.id, slot.status, bit);
            if (line.text.isEmpty())
                continue;
            painter.setPen(SeverityColor(line.severity));
            drawLine(line.text);
        }
        painter.setPen(black);
        y += 3 * h / 2;
        x -= 16;
    }
    return image;
}
