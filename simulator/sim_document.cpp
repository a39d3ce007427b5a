#include "sim_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace sim {

namespace {

constexpr int kMaxFileNameLength = 1024;
constexpr int kMaxRibbonNameLength = 32;
constexpr int kDefaultTextSize = 10;
constexpr int kDotsPerInch = 300;
constexpr int kPointsPerInch = 72;
constexpr int kDotsPerMetre = 11811;  // 300 dpi
constexpr int kThreshold = 128;

// An integer member within [lo, hi], `fallback` when it is absent. False when it is present but
// no such number.
bool ReadInt(const QJsonObject& o, QLatin1String key, int lo, int hi, int fallback, int* out) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) {
        *out = fallback;
        return true;
    }
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= lo && d <= hi) || d != std::floor(d))
        return false;
    *out = static_cast<int>(d);
    return true;
}

// A text member of at most `maxLength` characters, `fallback` when absent.
bool ReadText(const QJsonObject& o, QLatin1String key, int maxLength, const QString& fallback,
              QString* out) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) {
        *out = fallback;
        return true;
    }
    if (!v.isString() || v.toString().size() > maxLength)
        return false;
    *out = v.toString();
    return true;
}

bool ReadFlag(const QJsonObject& o, QLatin1String key, bool* out) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) {
        *out = false;
        return true;
    }
    if (!v.isBool())
        return false;
    *out = v.toBool();
    return true;
}

bool ReadColor(const QJsonObject& o, QColor* out) {
    QString text;
    if (!ReadText(o, QLatin1String("color"), 16, QStringLiteral("#000000"), &text))
        return false;
    *out = QColor::fromString(text);
    return out->isValid();
}

std::optional<DocObject> ReadObject(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    DocObject obj;
    const QString type = o.value(QLatin1String("type")).toString();
    bool ok = ReadInt(o, QLatin1String("x"), -kMaxCoordinate, kMaxCoordinate, 0, &obj.x) &&
              ReadInt(o, QLatin1String("y"), -kMaxCoordinate, kMaxCoordinate, 0, &obj.y);
    if (type == u"rect") {
        obj.kind = DocObject::Kind::kRect;
        ok = ok && ReadInt(o, QLatin1String("w"), 0, kMaxCoordinate, 0, &obj.w) &&
             ReadInt(o, QLatin1String("h"), 0, kMaxCoordinate, 0, &obj.h) &&
             ReadColor(o, &obj.color);
    } else if (type == u"text") {
        obj.kind = DocObject::Kind::kText;
        bool bold = false, italic = false, underline = false;
        ok = ok &&
             ReadText(o, QLatin1String("font"), kMaxFontLength, QStringLiteral("Tahoma"),
                      &obj.font) &&
             ReadInt(o, QLatin1String("size"), 1, kMaxTextSize, kDefaultTextSize, &obj.size) &&
             ReadText(o, QLatin1String("text"), kMaxTextLength, QString(), &obj.text) &&
             ReadColor(o, &obj.color) && ReadFlag(o, QLatin1String("bold"), &bold) &&
             ReadFlag(o, QLatin1String("italic"), &italic) &&
             ReadFlag(o, QLatin1String("underline"), &underline);
        obj.style = (bold ? kStyleBold : 0) | (italic ? kStyleItalic : 0) |
                    (underline ? kStyleUnderline : 0);
    } else if (type == u"image") {
        obj.kind = DocObject::Kind::kImage;
        ok = ok && ReadInt(o, QLatin1String("w"), 0, kMaxCoordinate, 0, &obj.w) &&
             ReadInt(o, QLatin1String("h"), 0, kMaxCoordinate, 0, &obj.h) &&
             ReadText(o, QLatin1String("file"), kMaxFileNameLength, QString(), &obj.file) &&
             !obj.file.isEmpty();
    } else {
        return std::nullopt;
    }
    if (!ok)
        return std::nullopt;
    return obj;
}

// Every pixel black or white by its brightness, as the black panel prints.
void Threshold(QImage& image) {
    image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qGray(row[x]) < kThreshold ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
}

void DrawObject(QPainter& p, const DocObject& o) {
    switch (o.kind) {
        case DocObject::Kind::kRect:
            p.fillRect(o.x, o.y, o.w, o.h, o.color);
            break;
        case DocObject::Kind::kText: {
            if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
                return;
            QFont font(o.font);
            font.setPixelSize(std::max(1, o.size * kDotsPerInch / kPointsPerInch));
            font.setBold((o.style & kStyleBold) != 0);
            font.setItalic((o.style & kStyleItalic) != 0);
            font.setUnderline((o.style & kStyleUnderline) != 0);
            font.setStyleStrategy(QFont::NoAntialias);
            p.setFont(font);
            p.setPen(o.color);
            p.drawText(QRect(o.x, o.y, 4 * kCardWidth, 4 * kCardHeight),
                       Qt::AlignLeft | Qt::AlignTop, o.text);
            break;
        }
        case DocObject::Kind::kImage: {
            if (o.picture.isNull())
                return;
            const QRect target(o.x, o.y, o.w > 0 ? o.w : kCardWidth - o.x,
                               o.h > 0 ? o.h : kCardHeight - o.y);
            if (target.isEmpty())
                return;
            QImage picture = o.picture;
            if (o.panel == kPanelBlack)
                Threshold(picture);
            p.drawImage(target, picture);
            break;
        }
    }
}

}  // namespace

int CardDocument::PageCount() const {
    int n = 0;
    for (const std::optional<DocPage>& page : pages)
        n += page.has_value() ? 1 : 0;
    return n;
}

int CardDocument::FirstPage() const {
    for (int i = 0; i < kPageCount; ++i)
        if (HasPage(i))
            return i;
    return -1;
}

std::optional<CardDocument> ParseCardDocument(const QByteArray& bytes) {
    if (bytes.size() > kMaxDocumentBytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return std::nullopt;
    const QJsonObject root = json.object();
    if (root.value(QLatin1String("format")).toString() != u"vela-card-document" ||
        root.value(QLatin1String("version")) != QJsonValue(1))
        return std::nullopt;
    CardDocument document;
    if (!ReadText(root, QLatin1String("ribbon"), kMaxRibbonNameLength, QString(), &document.ribbon))
        return std::nullopt;
    const QJsonValue pages = root.value(QLatin1String("pages"));
    if (!pages.isArray() || pages.toArray().size() > kPageCount)
        return std::nullopt;
    for (const QJsonValue& value : pages.toArray()) {
        if (!value.isObject())
            return std::nullopt;
        const QJsonObject page = value.toObject();
        int card = 1;
        const QString side = page.value(QLatin1String("side")).toString();
        if (!ReadInt(page, QLatin1String("card"), 1, 2, 1, &card) ||
            (side != u"front" && side != u"back"))
            return std::nullopt;
        std::optional<DocPage>& slot =
            document.pages[static_cast<size_t>(PageIndex(card, side == u"back" ? 1 : 0))];
        if (slot.has_value())
            return std::nullopt;  // the same side twice
        const QJsonValue objects = page.value(QLatin1String("objects"));
        if (!objects.isUndefined() &&
            (!objects.isArray() || objects.toArray().size() > kMaxObjectsPerPage))
            return std::nullopt;
        DocPage content;
        for (const QJsonValue& o : objects.toArray()) {
            std::optional<DocObject> obj = ReadObject(o);
            if (!obj)
                return std::nullopt;
            content.objects.push_back(std::move(*obj));
        }
        slot = std::move(content);
    }
    return document;
}

QImage ReadPicture(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxPictureBytes)
        return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return {};
    const QImage picture = reader.read();
    if (picture.isNull() || picture.width() > kMaxPictureSide || picture.height() > kMaxPictureSide)
        return {};
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool LoadPictures(CardDocument& document, const QString& folder) {
    const QDir dir(folder);
    for (std::optional<DocPage>& page : document.pages) {
        if (!page)
            continue;
        for (DocObject& o : page->objects) {
            if (o.kind != DocObject::Kind::kImage)
                continue;
            o.picture = ReadPicture(dir.filePath(o.file));
            if (o.picture.isNull())
                return false;
        }
    }
    return true;
}

std::optional<CardDocument> ReadCardDocument(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) ||
        file.size() > kMaxDocumentBytes)
        return std::nullopt;
    std::optional<CardDocument> document = ParseCardDocument(file.read(kMaxDocumentBytes + 1));
    if (document && !LoadPictures(*document, QFileInfo(path).absolutePath()))
        return std::nullopt;
    return document;
}

QImage RenderPage(const CardDocument& document, int index, const RenderOptions& options) {
    QImage card(kCardWidth, kCardHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    if (!document.HasPage(index))
        return card;
    {
        QPainter p(&card);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const DocObject& o : document.pages[static_cast<size_t>(index)]->objects)
            DrawObject(p, o);
    }
    if (options.monochrome)
        Threshold(card);
    if (options.rotate180 || options.mirror)
        card = card.mirrored(options.rotate180 != options.mirror, options.rotate180);
    return card;
}

QByteArray PackDib(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    const int width = bgr.width();
    const int height = bgr.height();
    const int stride = (width * 3 + 3) & ~3;
    QByteArray dib(static_cast<qsizetype>(40) + static_cast<qsizetype>(stride) * height, '\0');
    auto* out = reinterpret_cast<uchar*>(dib.data());
    qToLittleEndian<quint32>(40, out);
    qToLittleEndian<qint32>(width, out + 4);
    qToLittleEndian<qint32>(height, out + 8);  // positive: bottom row first
    qToLittleEndian<quint16>(1, out + 12);
    qToLittleEndian<quint16>(24, out + 14);
    qToLittleEndian<quint32>(0, out + 16);  // uncompressed
    qToLittleEndian<quint32>(static_cast<quint32>(stride * height), out + 20);
    qToLittleEndian<qint32>(kDotsPerMetre, out + 24);
    qToLittleEndian<qint32>(kDotsPerMetre, out + 28);
    for (int y = 0; y < height; ++y)
        std::memcpy(out + 40 + static_cast<qsizetype>(stride) * (height - 1 - y), bgr.scanLine(y),
                    static_cast<size_t>(width) * 3);
    return dib;
}

}  // namespace sim
