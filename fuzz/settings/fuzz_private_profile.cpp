// Feeds arbitrary bytes to the settings reader as a file's contents and asks it for values.
// The input is split at its first zero byte: before it, a section and a key (separated by a
// line break) and a buffer size; after it, the file. Besides memory safety it checks what a
// caller relies on: results fit the buffer, a missing key gives the fallback without its
// trailing blanks, and the integer agrees with a plain reading of the same text.
#include "private_profile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

// The integer reader's rules written out plainly: blanks, sign, "0x" or decimal digits,
// 32-bit wrap-around.
int ReferenceInt(const QString& value, int fallback) {
    if (value.isEmpty())
        return fallback;
    const QString t = value.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        negative = t[i++] == u'-';
    std::uint32_t base = 10;
    if (i + 1 < t.size() && t[i] == u'0' && t[i + 1] == u'x') {
        base = 16;
        i += 2;
    }
    std::uint32_t n = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        std::uint32_t d = 99;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d >= base)
            break;
        n = n * base + d;
    }
    return static_cast<int>(negative ? 0u - n : n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray query = split < 0 ? QByteArray() : input.left(split);
    const QByteArray file = split < 0 ? input : input.mid(split + 1);

    const QString q = QString::fromUtf8(query);
    const qsizetype line = q.indexOf(u'\n');
    const QString section = line < 0 ? q : q.left(line);
    QString key = line < 0 ? QString() : q.mid(line + 1);
    int capacity = 512;
    if (!key.isEmpty()) {
        capacity = key.back().unicode() % 40 - 2;  // small and non-positive sizes too
        key.chop(1);
    }

    const halvard::PrivateProfile profile = halvard::PrivateProfile::FromBytes(file);
    const QString fallback = QStringLiteral("fall back  ");
    const QString value = profile.String(section, key, fallback, capacity);
    if (value.size() > std::max(capacity - 1, 0))
        std::abort();

    // Found or not: a fallback longer than any value of the file tells which.
    const QString marker(file.size() + 1, u'm');
    const QString whole = profile.String(section, key, marker, 1 << 30);
    if (whole == marker) {
        if (profile.Int(section, key, -7) != -7 ||
            (capacity > 10 && value != QStringLiteral("fall back")))
            std::abort();
    } else if (profile.Int(section, key, -7) != ReferenceInt(whole, -7)) {
        std::abort();
    }

    // The same bytes read again give the same answers.
    if (halvard::PrivateProfile::FromBytes(file).String(section, key, marker, 1 << 30) != whole)
        std::abort();
    return 0;
}
