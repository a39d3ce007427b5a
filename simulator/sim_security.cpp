// Security and identity: password check and changes, printer ID, PC binding, magnetic key and
// the small configuration switches. Passwords and keys never reach the call log.
//
// The two password-change exports answer the other way round from every other export: 1 when
// the password was changed, 0 when it was refused. The tools rely on that.

#include <algorithm>

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

constexpr int kMaxPasswordLength = 8;
constexpr int kMaxPrinterIdLength = 8;
constexpr int kPcIdentityLength = 8;
constexpr int kMagKeyBlock = 16;  // the key always travels as a 16-byte block
constexpr VelaResult kPasswordChanged = 1;
constexpr VelaResult kPasswordRefused = 0;

bool IsRoot(const Device& d, const VelaChar* password) {
    return password != nullptr && FromVela(password) == d.password;
}

bool IsUserOrRoot(const Device& d, const VelaChar* password) {
    return password != nullptr &&
           (FromVela(password) == d.password || FromVela(password) == d.userPassword);
}

}  // namespace

// A wrong password raises the printer's "wrong password" status bit (61) and is refused; the
// right one (root or user) clears the bit.
extern "C" VelaResult VELA_API Vela_ExVerifyPassword(VelaHandle h, const VelaChar* password) {
    return Simulator::Instance().Run("Vela_ExVerifyPassword", {h, Secret{password}},
                                     [&](Simulator& s) {
                                         Device* d = s.ByHandle(h);
                                         if (d == nullptr)
                                             return kErrBadHandle;
                                         if (password == nullptr)
                                             return kErrBadArgument;
                                         d->wrongPassword = !IsUserOrRoot(*d, password);
                                         return d->wrongPassword ? kErrWrongPassword : kOk;
                                     });
}

extern "C" VelaResult VELA_API Vela_ExSetPassword(VelaHandle h, const VelaChar* password,
                                                  const VelaChar* newPassword) {
    return Simulator::Instance().Run(
        "Vela_ExSetPassword", {h, Secret{password}, Secret{newPassword}}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr || newPassword == nullptr || !IsRoot(*d, password))
                return kPasswordRefused;
            const QString next = FromVela(newPassword);
            if (next.size() > kMaxPasswordLength)
                return kPasswordRefused;
            d->password = next;
            s.MarkDirty();
            return kPasswordChanged;
        });
}

extern "C" VelaResult VELA_API Vela_ExSetUserPassword(VelaHandle h, const VelaChar* password,
                                                      const VelaChar* newUserPassword) {
    return Simulator::Instance().Run(
        "Vela_ExSetUserPassword", {h, Secret{password}, Secret{newUserPassword}},
        [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr || newUserPassword == nullptr || !IsUserOrRoot(*d, password))
                return kPasswordRefused;
            const QString next = FromVela(newUserPassword);
            if (next.size() > kMaxPasswordLength)
                return kPasswordRefused;
            d->userPassword = next;
            s.MarkDirty();
            return kPasswordChanged;
        });
}

// The new ID is kept pending and shows in the device information after the printer restarts
// (the first open after every connection was closed).
extern "C" VelaResult VELA_API Vela_ExSetDeviceID(VelaHandle h, const VelaChar* id,
                                                  const VelaChar* extra) {
    return Simulator::Instance().Run("Vela_ExSetDeviceID", {h, Text{id}, Text{extra}},
                                     [&](Simulator& s) {
                                         Device* d = s.ByHandle(h);
                                         if (d == nullptr)
                                             return kErrBadHandle;
                                         if (id == nullptr || extra == nullptr)
                                             return kErrBadArgument;
                                         const QString text = FromVela(id, kMaxPrinterIdLength + 1);
                                         if (text.isEmpty() || text.size() > kMaxPrinterIdLength)
                                             return kErrBadArgument;
                                         for (QChar c : text)
                                             if (c == u':' || c == u'[' || c == u']')
                                                 return kErrBadArgument;
                                         d->pendingPrinterId = text;
                                         s.MarkDirty();
                                         return kOk;
                                     });
}

extern "C" VelaResult VELA_API Vela_ExSetPCName(VelaHandle h, const VelaChar* password,
                                                const std::uint8_t* block, std::int32_t length) {
    const int logged = std::clamp(length, 0, kPcIdentityLength);
    return Simulator::Instance().Run(
        "Vela_ExSetPCName", {h, Secret{password}, Hex{block, logged}, length}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (block == nullptr || length != kPcIdentityLength)
                return kErrBadArgument;
            if (!IsRoot(*d, password))
                return kErrWrongPassword;
            d->pcIdentity = QByteArray(reinterpret_cast<const char*>(block), length);
            s.MarkDirty();
            return kOk;
        });
}

// `key` is a 16-byte block; `length` says how many of its bytes are the key.
extern "C" VelaResult VELA_API Vela_ExSetMagCryptKey(VelaHandle h, const VelaChar* password,
                                                     const std::uint8_t* key, std::int32_t length) {
    return Simulator::Instance().Run(
        "Vela_ExSetMagCryptKey", {h, Secret{password}, Secret{key}, length}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (key == nullptr || length < 0 || length > kMagKeyBlock)
                return kErrBadArgument;
            if (!IsRoot(*d, password))
                return kErrWrongPassword;
            d->magneticKey = QByteArray(reinterpret_cast<const char*>(key), length);
            s.MarkDirty();
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_ExSetConfig(VelaHandle h, std::int32_t item,
                                                std::int32_t value) {
    return Simulator::Instance().Run("Vela_ExSetConfig", {h, item, value}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (item < 0)
            return kErrBadArgument;
        d->config[item] = value;
        return kOk;
    });
}
