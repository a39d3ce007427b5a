#include "sim_print_data.h"

#include <QtEndian>

#include <cstring>

#include "sim_document.h"

namespace sim {

namespace {
constexpr char kMagic[4] = {'V', 'P', 'R', 'N'};
constexpr std::uint16_t kVersion = 1;
constexpr int kPageLimit = 4;
}  // namespace

QByteArray EncodePrintData(const PrintPage& page) {
    const QImage rgb = page.image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const qsizetype row = static_cast<qsizetype>(width) * 3;
    QByteArray bytes(kPrintDataHeaderSize + row * height, '\0');
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    std::memcpy(out, kMagic, sizeof kMagic);
    qToLittleEndian<quint16>(kVersion, out + 4);
    qToLittleEndian<quint16>(page.id, out + 6);
    out[8] = page.module;
    out[9] = static_cast<uchar>(page.page);
    qToLittleEndian<quint32>(static_cast<quint32>(width), out + 12);
    qToLittleEndian<quint32>(static_cast<quint32>(height), out + 16);
    for (int y = 0; y < height; ++y)
        std::memcpy(out + kPrintDataHeaderSize + row * y, rgb.constScanLine(y),
                    static_cast<size_t>(row));
    return bytes;
}

std::optional<PrintPage> DecodePrintData(const std::uint8_t* data, std::int64_t size) {
    if (data == nullptr || size < kPrintDataHeaderSize ||
        std::memcmp(data, kMagic, sizeof kMagic) != 0 ||
        qFromLittleEndian<quint16>(data + 4) != kVersion || data[9] >= kPageLimit ||
        qFromLittleEndian<quint16>(data + 10) != 0)
        return std::nullopt;
    const quint32 width = qFromLittleEndian<quint32>(data + 12);
    const quint32 height = qFromLittleEndian<quint32>(data + 16);
    if (width != kCardWidth || height != kCardHeight ||
        size != kPrintDataHeaderSize + std::int64_t{width} * height * 3)
        return std::nullopt;
    PrintPage page;
    page.id = qFromLittleEndian<quint16>(data + 6);
    page.module = data[8];
    page.page = data[9];
    page.image = QImage(kCardWidth, kCardHeight, QImage::Format_RGB888);
    const qsizetype row = qsizetype{kCardWidth} * 3;
    for (int y = 0; y < kCardHeight; ++y)
        std::memcpy(page.image.scanLine(y), data + kPrintDataHeaderSize + row * y,
                    static_cast<size_t>(row));
    return page;
}

}  // namespace sim
