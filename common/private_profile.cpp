#include "private_profile.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <cstdint>

namespace halvard {

namespace {

QString DecodeFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
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

// Names compare without regard to case or surrounding blanks.
QString NameKey(QStringView name) {
    return name.trimmed().toString().toCaseFolded();
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

}  // namespace

PrivateProfile::PrivateProfile(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        Parse(file.readAll());
}

PrivateProfile PrivateProfile::FromBytes(const QByteArray& bytes) {
    PrivateProfile profile;
    profile.Parse(bytes);
    return profile;
}

void PrivateProfile::Parse(const QByteArray& bytes) {
    const QString text = DecodeFile(bytes);
    // Keys before the first section header belong to the section named "".
    QHash<QString, QString>* current = &m_sections[QString()];
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).sliced(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            const QString name = NameKey(line.sliced(1, close < 0 ? line.size() - 1 : close - 1));
            // A section whose name was seen before is never read.
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current == nullptr || eq < 0)
            continue;
        const QString key = NameKey(line.first(eq));
        if (!current->contains(key))
            current->insert(key, line.sliced(eq + 1).trimmed().toString());
    }
}

std::optional<QString> PrivateProfile::Lookup(const QString& section, const QString& key) const {
    const auto s = m_sections.constFind(NameKey(section));
    if (s == m_sections.constEnd())
        return std::nullopt;
    const auto k = s->constFind(NameKey(key));
    if (k == s->constEnd())
        return std::nullopt;
    return StripQuotes(*k);
}

QString PrivateProfile::String(const QString& section, const QString& key, const QString& fallback,
                               int capacity) const {
    if (capacity <= 0)
        return QString();
    QString value;
    if (std::optional<QString> found = Lookup(section, key)) {
        value = std::move(*found);
    } else {
        value = fallback;
        while (!value.isEmpty() && value.back() == u' ')
            value.chop(1);
    }
    if (value.size() > capacity - 1)
        value.truncate(capacity - 1);
    return value;
}

int PrivateProfile::Int(const QString& section, const QString& key, int fallback) const {
    const std::optional<QString> value = Lookup(section, key);
    if (!value || value->isEmpty())
        return fallback;
    const QStringView text = QStringView(*value).trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == u'0' && text[i + 1] == u'x') {
        base = 16;
        i += 2;
    }
    // Accumulate in 32 bits with wrap-around, as the system's reader does for long inputs.
    std::uint32_t number = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            break;
        number = number * base + static_cast<std::uint32_t>(digit);
    }
    if (negative)
        number = 0u - number;
    return static_cast<int>(number);
}

QString PrivateProfile::ReadString(const QString& path, const QString& section, const QString& key,
                                   const QString& fallback, int capacity) {
    return PrivateProfile(path).String(section, key, fallback, capacity);
}

int PrivateProfile::ReadInt(const QString& path, const QString& section, const QString& key,
                            int fallback) {
    return PrivateProfile(path).Int(section, key, fallback);
}

}  // namespace halvard
