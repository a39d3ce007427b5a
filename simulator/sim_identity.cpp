// Identity: firmware version, serial numbers with their digest check.

#include <QCryptographicHash>

#include <cstring>

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

// Writes `text` into an SDK text buffer whose capacity (in characters, terminator included)
// the caller passes by address; on return the capacity holds the text's length.
VelaResult ReadText(const QString& text, VelaChar* buffer, std::int32_t* capacity) {
    if (buffer == nullptr || capacity == nullptr || *capacity <= 0)
        return kErrBadArgument;
    if (text.size() + 1 > *capacity)
        return kErrBufferTooSmall;
    ToVela(text, buffer, *capacity);
    *capacity = static_cast<std::int32_t>(text.size());
    return kOk;
}

// A serial write carries the MD5 digest of "@" + serial + "@" in UTF-16LE; a printer refuses
// a write whose digest does not match.
VelaResult CheckTagged(const VelaChar* serial, std::int32_t length, const std::uint8_t* digest,
                       std::int32_t digestLength, QString& out) {
    if (serial == nullptr || digest == nullptr || digestLength != 16 || length < 0 || length > 125)
        return kErrBadArgument;
    QString text = FromVela(serial, length);
    if (text.size() != length)
        return kErrBadArgument;
    QString tagged = QStringLiteral("@") + text + QStringLiteral("@");
    QByteArray bytes;
    for (QChar c : tagged) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    QByteArray expected = QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
    if (std::memcmp(expected.constData(), digest, 16) != 0)
        return kErrTagMismatch;
    out = text;
    return kOk;
}

// Stores a serial write whose digest checks out into the given identity field.
VelaResult WriteTagged(const char* fn, VelaHandle h, const VelaChar* serial, std::int32_t length,
                       const std::uint8_t* digest, std::int32_t digestLength,
                       QString Device::*field) {
    return Simulator::Instance().Run(
        fn, {h, Text{serial}, length, Hex{digest, digestLength}, digestLength}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            QString text;
            VelaResult r = CheckTagged(serial, length, digest, digestLength, text);
            if (r != kOk)
                return r;
            d->*field = text;
            s.MarkDirty();
            return kOk;
        });
}

}  // namespace

extern "C" VelaResult VELA_API Vela_GetVersion(VelaHandle h, VelaChar* text,
                                               std::int32_t* capacity) {
    return Simulator::Instance().Run(
        "Vela_GetVersion", {h, capacity ? *capacity : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            return d ? ReadText(d->firmware, text, capacity) : kErrBadHandle;
        });
}

extern "C" VelaResult VELA_API Vela_ExGetSerial(VelaHandle h, VelaChar* text,
                                                std::int32_t* capacity) {
    return Simulator::Instance().Run(
        "Vela_ExGetSerial", {h, capacity ? *capacity : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            return d ? ReadText(d->serial, text, capacity) : kErrBadHandle;
        });
}

extern "C" VelaResult VELA_API Vela_ExGetHeadSerial(VelaHandle h, VelaChar* text,
                                                    std::int32_t* capacity) {
    return Simulator::Instance().Run(
        "Vela_ExGetHeadSerial", {h, capacity ? *capacity : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            return d ? ReadText(d->headSerial, text, capacity) : kErrBadHandle;
        });
}

extern "C" VelaResult VELA_API Vela_ExSetSerial(VelaHandle h, const VelaChar* serial,
                                                std::int32_t length, const std::uint8_t* digest,
                                                std::int32_t digestLength) {
    return WriteTagged("Vela_ExSetSerial", h, serial, length, digest, digestLength,
                       &Device::serial);
}

extern "C" VelaResult VELA_API Vela_ExSetHeadSerial(VelaHandle h, const VelaChar* serial,
                                                    std::int32_t length, const std::uint8_t* digest,
                                                    std::int32_t digestLength) {
    return WriteTagged("Vela_ExSetHeadSerial", h, serial, length, digest, digestLength,
                       &Device::headSerial);
}
