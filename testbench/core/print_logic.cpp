#include "print_logic.h"

#include <QtEndian>

#include <cstring>
#include <optional>

namespace print {

namespace {

// Ribbon names by type number; the empty entry has no name.
constexpr const char* kRibbonNames[] = {"YMCKO",  "YMCKOK",     "hYMCKO", "KO",
                                        "K",      "BO",         "B",      "YMC",
                                        "YMCFKO", "Rewritable", nullptr,  "hYMCKOKO"};
constexpr int kRibbonNameCount = static_cast<int>(std::size(kRibbonNames));

// The pages a card's two fields describe: its index base, "in use" and side offsets.
struct CardFields {
    int firstPage;
    std::size_t inUse;
    std::size_t side;
};
constexpr CardFields kCards[] = {
    {0, printer_settings::kCard1InUse, printer_settings::kCard1Side},
    {2, printer_settings::kCard2InUse, printer_settings::kCard2Side},
};

// What a sound preview header states.
struct DibLayout {
    int width = 0;
    int height = 0;  // rows, whichever way up
    bool bottomUp = true;
    int bits = 0;
    qint64 stride = 0;
    qint64 imageBytes = 0;  // stride x height
};

// Reads the header at `p`, of which `available` bytes may be read; nullopt unless it states a
// bitmap the page can show whose rows all lie within `available`.
std::optional<DibLayout> ReadLayout(const std::uint8_t* p, qint64 available) {
    if (p == nullptr || available < static_cast<qint64>(kDibHeaderSize))
        return std::nullopt;
    const quint32 headerSize = qFromLittleEndian<quint32>(p);
    const qint32 width = qFromLittleEndian<qint32>(p + 4);
    const qint32 height = qFromLittleEndian<qint32>(p + 8);
    const quint16 planes = qFromLittleEndian<quint16>(p + 12);
    const quint16 bits = qFromLittleEndian<quint16>(p + 14);
    const quint32 compression = qFromLittleEndian<quint32>(p + 16);
    const quint32 imageSize = qFromLittleEndian<quint32>(p + 20);
    const quint32 coloursUsed = qFromLittleEndian<quint32>(p + 32);
    if (headerSize != kDibHeaderSize || planes != 1 || (bits != 24 && bits != 32) ||
        compression != 0 || coloursUsed != 0)
        return std::nullopt;
    if (width <= 0 || width > kMaxPreviewSide || height == 0 || height < -kMaxPreviewSide ||
        height > kMaxPreviewSide)
        return std::nullopt;
    DibLayout layout;
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.bottomUp = height > 0;
    layout.bits = bits;
    layout.stride = (static_cast<qint64>(width) * bits + 31) / 32 * 4;
    layout.imageBytes = layout.stride * layout.height;
    if (imageSize != 0 && imageSize != layout.imageBytes)
        return std::nullopt;
    if (available - static_cast<qint64>(kDibHeaderSize) < layout.imageBytes)
        return std::nullopt;
    return layout;
}

}  // namespace

QString RibbonName(int type) {
    if (type < 0 || type >= kRibbonNameCount || kRibbonNames[type] == nullptr)
        return QStringLiteral("Unknown");
    return QString::fromLatin1(kRibbonNames[type]);
}

int RibbonType(const QString& name) {
    for (int type = 0; type < kRibbonNameCount; ++type)
        if (kRibbonNames[type] != nullptr &&
            name.compare(QLatin1String(kRibbonNames[type]), Qt::CaseInsensitive) == 0)
            return type;
    return 0;
}

QString RibbonLabel(int type, int countA, int countB) {
    return QStringLiteral("Ribbon : %1 (%2/%3)").arg(RibbonName(type)).arg(countA).arg(countB);
}

int RibbonTypeFromLabel(const QString& label) {
    const qsizetype colon = label.indexOf(u':');
    if (colon < 0)
        return 0;
    const qsizetype open = label.indexOf(u'(', colon + 1);
    if (open < 0)
        return 0;
    return RibbonType(label.mid(colon + 1, open - colon - 1).trimmed());
}

bool DrawsBackground(int ribbonType) {
    switch (ribbonType) {
        case 0:
        case 1:
        case 2:
        case 7:
        case 8:
        case 11:
            return true;
        default:
            return false;
    }
}

bool IsVdnPath(const QString& path) {
    const qsizetype at = path.indexOf(QLatin1String(".vdn"));
    return at >= 0 && at + 4 == path.size();
}

std::int32_t SettingAt(const PrinterSettings& settings, std::size_t offset) {
    std::int32_t value = 0;
    if (offset <= kPrinterSettingsSize - sizeof value)
        std::memcpy(&value, settings.raw + offset, sizeof value);
    return value;
}

void SetSettingAt(PrinterSettings& settings, std::size_t offset, std::int32_t value) {
    if (offset <= kPrinterSettingsSize - sizeof value)
        std::memcpy(settings.raw + offset, &value, sizeof value);
}

std::array<bool, kPageCount> EnabledPages(const PrinterSettings& settings) {
    std::array<bool, kPageCount> enabled{};
    for (const CardFields& card : kCards) {
        if (SettingAt(settings, card.inUse) == 0)
            continue;
        const std::int32_t side = SettingAt(settings, card.side);
        enabled[static_cast<std::size_t>(card.firstPage)] = side != 1;
        enabled[static_cast<std::size_t>(card.firstPage + 1)] = side != 0;
    }
    return enabled;
}

void SelectPage(PrinterSettings& settings, int pageIndex, int ribbonType) {
    for (const CardFields& card : kCards) {
        const bool chosen = pageIndex == card.firstPage || pageIndex == card.firstPage + 1;
        SetSettingAt(settings, card.inUse, chosen ? 1 : 0);
        SetSettingAt(settings, card.side, pageIndex == card.firstPage ? 0 : 1);
    }
    SetSettingAt(settings, printer_settings::kRibbonType, ribbonType);
    SetSettingAt(settings, printer_settings::kRotate180, 0);
    SetSettingAt(settings, printer_settings::kMirror, 0);
}

QByteArray CopyPreviewBitmap(const VelaBitmap& bitmap) {
    const std::optional<DibLayout> layout = ReadLayout(bitmap.dib, bitmap.size);
    if (!layout)
        return {};
    return QByteArray(reinterpret_cast<const char*>(bitmap.dib),
                      static_cast<qsizetype>(kDibHeaderSize + layout->imageBytes));
}

QImage PreviewImage(const QByteArray& dib) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(dib.constData());
    const std::optional<DibLayout> layout = ReadLayout(bytes, dib.size());
    if (!layout || dib.size() != static_cast<qint64>(kDibHeaderSize) + layout->imageBytes)
        return {};
    const QImage rows(bytes + kDibHeaderSize, layout->width, layout->height,
                      static_cast<qsizetype>(layout->stride),
                      layout->bits == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32);
    // A deep copy, top row first: the rows above belong to `dib`.
    return layout->bottomUp ? rows.mirrored(false, true) : rows.copy();
}

}  // namespace print
