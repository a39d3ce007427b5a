#include "private_profile.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <optional>

namespace halvard {

namespace {

QString DecodeFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString StripQuotes(QString value) {
    if (value.size() >= 2) {
        QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

std::optional<QString> Lookup(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = DecodeFile(file.readAll());
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            qsizetype close = line.indexOf(u']');
            QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(wantedKey, Qt::CaseInsensitive) != 0)
            continue;
        return StripQuotes(line.mid(eq + 1).trimmed().toString());
    }
    return std::nullopt;
}

}  // namespace

QString PrivateProfile::ReadString(const QString& path, const QString& section, const QString& key,
                                   const QString& fallback, int capacity) {
    QString value = Lookup(path, section, key).value_or(fallback);
    if (capacity <= 0)
        return QString();
    if (value.size() > capacity - 1)
        value.truncate(capacity - 1);
    return value;
}

int PrivateProfile::ReadInt(const QString& path, const QString& section, const QString& key,
                            int fallback) {
    std::optional<QString> value = Lookup(path, section, key);
    if (!value)
        return fallback;
    QStringView text = QStringView(*value).trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate in 32 bits with wrap-around, as the system's reader does for long inputs.
    std::uint32_t number = 0;
    for (; i < text.size() && text[i].isDigit(); ++i)
        number = number * 10u + static_cast<std::uint32_t>(text[i].digitValue());
    if (negative)
        number = 0u - number;
    return static_cast<int>(number);
}

}  // namespace halvard
