#include "scanner_records.h"

#include <QDir>

namespace scanner {

QStringList WalkBarcodeTexts(const VelaChar* buffer, std::size_t units) {
    QStringList texts;
    if (buffer == nullptr)
        return texts;
    std::size_t at = 0;
    while (at < units) {
        std::size_t end = at;
        while (end < units && buffer[end] != 0)
            ++end;
        if (end == at)
            break;  // the empty text that ends the list
        texts << QString(reinterpret_cast<const QChar*>(buffer + at),
                         static_cast<qsizetype>(end - at));
        at = end + 1;
    }
    return texts;
}

std::pair<QString, QString> ScanImagePaths(const QString& folder, QChar separator) {
    return {folder + separator + QStringLiteral("scan_top.bmp"),
            folder + separator + QStringLiteral("scan_bottom.bmp")};
}

std::pair<QString, QString> ScanImagePaths(const QString& folder) {
    return ScanImagePaths(QDir::toNativeSeparators(folder), QDir::separator());
}

QString InitialImageFolder() {
#if defined(_WIN32)
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

std::int32_t BoxValue(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? static_cast<std::int32_t>(value) : 0;
}

}  // namespace scanner
