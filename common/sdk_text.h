#pragma once
// UTF-16 text across the SDK boundary: the SDK's wide characters are wchar_t on Windows and
// char16_t elsewhere, both 16-bit like QString's code units.

#include <QString>

#include <string>

namespace halvard {

#if defined(_WIN32)
using SdkChar = wchar_t;
#else
using SdkChar = char16_t;
#endif
static_assert(sizeof(SdkChar) == sizeof(QChar));

// A text the SDK wrote into a buffer of `capacity` characters: up to its terminator, never
// past the buffer.
inline QString FromSdkText(const SdkChar* text, int capacity) {
    int n = 0;
    while (n < capacity && text[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar*>(text), n);
}

inline QString FromSdkText(const std::basic_string<SdkChar>& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::basic_string<SdkChar> ToSdkText(const QString& text) {
    return std::basic_string<SdkChar>(reinterpret_cast<const SdkChar*>(text.utf16()),
                                      static_cast<size_t>(text.size()));
}

}  // namespace halvard
