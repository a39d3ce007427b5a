#pragma once
// Reader for private-profile (ini) files with the semantics of the Windows profile functions:
// sections and keys are case-insensitive and trimmed, a value is trimmed and loses one pair of
// surrounding quotes, values are cut to the caller's buffer, integers are read as the integer
// reader reads them. Keys that stand before any section belong to the section named "" (empty);
// of two sections with the same name only the first is read, and of two keys with the same name
// in it only the first. Files are read as UTF-16 (with BOM), UTF-8 (with or without BOM) or,
// failing UTF-8, Latin-1. Never written.
//
// An object reads its file once: an operation that needs several values builds one and asks
// it, rather than reading the file again for every key.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace halvard {

class PrivateProfile {
public:
    // Reads and parses the file at `path`; a missing or unreadable file reads as an empty one.
    explicit PrivateProfile(const QString& path);
    // Parses the bytes of a file.
    static PrivateProfile FromBytes(const QByteArray& bytes);

    // The value of `key` in `section`, or `fallback` (without its trailing blanks) when the
    // section or key is missing. The result holds at most `capacity - 1` characters (a buffer
    // of `capacity` with its terminator).
    QString String(const QString& section, const QString& key, const QString& fallback,
                   int capacity) const;

    // The value as the integer reader reads it: an optional sign, then "0x" (lower-case x)
    // and hexadecimal digits or else decimal digits, as far as they go, wrapping in 32 bits
    // ("0x1F" = 31, "-0x10" = -16, "0X2a" = 0, "12ab" = 12, "abc" = 0). `fallback` when the
    // key is missing or its value is empty.
    int Int(const QString& section, const QString& key, int fallback) const;

    // One value read straight from the file (the file is read for this one call).
    static QString ReadString(const QString& path, const QString& section, const QString& key,
                              const QString& fallback, int capacity);
    static int ReadInt(const QString& path, const QString& section, const QString& key,
                       int fallback);

private:
    PrivateProfile() = default;
    void Parse(const QByteArray& bytes);
    std::optional<QString> Lookup(const QString& section, const QString& key) const;

    // Sections by case-folded name (the first of each name), keys likewise.
    QHash<QString, QHash<QString, QString>> m_sections;
};

}  // namespace halvard
