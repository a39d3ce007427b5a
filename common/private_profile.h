#pragma once
// Reader for private-profile (ini) files with the semantics of the Windows profile functions:
// sections and keys are case-insensitive and trimmed, a value is trimmed and loses one pair of
// surrounding quotes, values are cut to the caller's buffer, integers are read as the integer
// reader reads them. Files are read as UTF-16LE (with BOM), UTF-8 (with or without BOM) or,
// failing UTF-8, Latin-1. Never written.

#include <QString>

namespace halvard {

class PrivateProfile {
public:
    // The value of `key` in `section`, or `fallback` when the file, section or key is missing.
    // The result holds at most `capacity - 1` characters (a buffer of `capacity` with its
    // terminator).
    static QString ReadString(const QString& path, const QString& section, const QString& key,
                              const QString& fallback, int capacity);

    // The value parsed as a decimal integer (optional sign, leading digits; no digits = 0), or
    // `fallback` when the key is missing.
    static int ReadInt(const QString& path, const QString& section, const QString& key,
                       int fallback);
};

}  // namespace halvard
