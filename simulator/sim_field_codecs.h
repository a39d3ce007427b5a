#pragma once
// How plain member types go to and from JSON, and the field builders the tables are written
// with. Private to the table files.

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <map>
#include <type_traits>

#include "sim_fields.h"

namespace sim::fields {

template <typename V, typename = void>
struct Codec;

template <>
struct Codec<QString> {
    static QJsonValue Write(const QString& v) { return v; }
    static bool Read(QString& out, const QJsonValue& v) {
        if (!v.isString())
            return false;
        out = v.toString();
        return true;
    }
};

template <>
struct Codec<bool> {
    static QJsonValue Write(bool v) { return v; }
    static bool Read(bool& out, const QJsonValue& v) {
        if (!v.isBool())
            return false;
        out = v.toBool();
        return true;
    }
};

// Integers: numbers, or texts such as "0x40".
template <typename V>
struct Codec<V, std::enable_if_t<std::is_integral_v<V> && !std::is_same_v<V, bool>>> {
    static QJsonValue Write(V v) { return static_cast<qint64>(v); }
    static bool Read(V& out, const QJsonValue& v) {
        constexpr long long kMissing = std::numeric_limits<long long>::min();
        const long long n = JsonToInteger(v, kMissing);
        if (n == kMissing)
            return false;
        out = static_cast<V>(n);
        return true;
    }
};

// 64-bit words (status bits) as hexadecimal text: a JSON number cannot hold all 64 bits.
template <>
struct Codec<std::uint64_t, void> {
    static QJsonValue Write(std::uint64_t v) {
        return QString(QStringLiteral("0x") +
                       QStringLiteral("%1").arg(v, 16, 16, QChar(u'0')).toUpper());
    }
    static bool Read(std::uint64_t& out, const QJsonValue& v) {
        bool ok = v.isString();
        const std::uint64_t n = ok ? v.toString().toULongLong(&ok, 0) : 0;
        if (ok)
            out = n;
        return ok;
    }
};

// Bytes: hexadecimal text.
template <>
struct Codec<QByteArray> {
    static QJsonValue Write(const QByteArray& v) { return QString::fromLatin1(v.toHex()); }
    static bool Read(QByteArray& out, const QJsonValue& v) { return JsonToBytes(v, out); }
};

template <typename E>
struct Codec<std::vector<E>> {
    static QJsonValue Write(const std::vector<E>& v) {
        QJsonArray a;
        for (const E& e : v)
            a.append(Codec<E>::Write(e));
        return a;
    }
    static bool Read(std::vector<E>& out, const QJsonValue& v) {
        if (!v.isArray())
            return false;
        std::vector<E> read;
        for (const QJsonValue& item : v.toArray()) {
            E e{};
            if (!Codec<E>::Read(e, item))
                return false;
            read.push_back(e);
        }
        out = std::move(read);
        return true;
    }
};

// Fixed arrays: a shorter JSON array sets the first elements only.
template <typename E, size_t N>
struct Codec<std::array<E, N>> {
    static QJsonValue Write(const std::array<E, N>& v) {
        QJsonArray a;
        for (const E& e : v)
            a.append(Codec<E>::Write(e));
        return a;
    }
    static bool Read(std::array<E, N>& out, const QJsonValue& v) {
        if (!v.isArray())
            return false;
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size() && i < static_cast<qsizetype>(N); ++i)
            if (!Codec<E>::Read(out[static_cast<size_t>(i)], a[i]))
                return false;
        return true;
    }
};

// Integer maps: objects keyed by the decimal key.
template <>
struct Codec<std::map<int, int>> {
    static QJsonValue Write(const std::map<int, int>& v) {
        QJsonObject o;
        for (auto [k, value] : v)
            o.insert(QString::number(k), value);
        return o;
    }
    static bool Read(std::map<int, int>& out, const QJsonValue& v) {
        if (!v.isObject())
            return false;
        std::map<int, int> read;
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            bool ok = false;
            const int key = it.key().toInt(&ok);
            int value = 0;
            if (!ok || !Codec<int>::Read(value, it.value()))
                return false;
            read[key] = value;
        }
        out = std::move(read);
        return true;
    }
};

template <>
struct Codec<IssueCountRecord> {
    using Values = std::array<std::int32_t, 7>;
    static QJsonValue Write(const IssueCountRecord& v) {
        Values a;
        std::copy(std::begin(v.values), std::end(v.values), a.begin());
        return Codec<Values>::Write(a);
    }
    static bool Read(IssueCountRecord& out, const QJsonValue& v) {
        Values a;
        std::copy(std::begin(out.values), std::end(out.values), a.begin());
        if (!Codec<Values>::Read(a, v))
            return false;
        std::copy(a.begin(), a.end(), std::begin(out.values));
        return true;
    }
};

inline QString BadValue(const char* key) {
    return QStringLiteral("\"%1\": value of the wrong kind").arg(QLatin1String(key));
}

// A member kept as it is.
template <typename T, typename V>
Field<T> Member(const char* key, unsigned flags, V T::*member) {
    return Field<T>{key, flags,
                    [member](const T& o, Purpose) { return Codec<V>::Write(o.*member); },
                    [member, key](T& o, const QJsonValue& v, ReadContext& ctx) {
                        if (!Codec<V>::Read(o.*member, v))
                            ctx.Error(BadValue(key));
                    }};
}

// A member shown in the snapshot only.
template <typename T, typename V>
Field<T> Shown(const char* key, V T::*member) {
    return Field<T>{
        key, kShown, [member](const T& o, Purpose) { return Codec<V>::Write(o.*member); }, {}};
}

// A member struct with a table of its own; a station also takes true or false for whether it
// is fitted, and one that is not fitted is written as {"installed": false} only.
template <typename T, typename S>
Field<T> Nested(const char* key, unsigned flags, S T::*member, const FieldTable<S>& (*table)()) {
    return Field<T>{
        key, flags,
        [member, table](const T& o, Purpose p) {
            // A station that is not fitted shows only that.
            if constexpr (std::is_base_of_v<Station, S>) {
                if (!(o.*member).installed)
                    return p == Purpose::kState
                               ? QJsonValue(QJsonValue::Undefined)
                               : QJsonValue(QJsonObject{{QStringLiteral("installed"), false}});
            }
            return QJsonValue(WriteFields(table(), o.*member, p));
        },
        [member, table, key](T& o, const QJsonValue& v, ReadContext& ctx) {
            if constexpr (std::is_base_of_v<Station, S>) {
                if (v.isBool() && ctx.purpose != Purpose::kState) {
                    (o.*member).installed = v.toBool();
                    return;
                }
            }
            if (v.isObject())
                ReadFields(table(), o.*member, v.toObject(), ctx);
            else
                ctx.Error(BadValue(key));
        }};
}

}  // namespace sim::fields
