#include "CVelaCommBinding.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "md5.h"
#include "vela_platform_lib.h"

CVelaCommBinding::~CVelaCommBinding() {
    Unload();
}

std::string CVelaCommBinding::LibraryPath() {
    return vela::platform::ExecutableFolder() + vela::platform::LibraryFileName();
}

bool CVelaCommBinding::Load() {
    return LoadFrom(LibraryPath());
}

bool CVelaCommBinding::LoadFrom(const std::string& path) {
    if (IsLoaded())
        return true;
    m_hModule = vela::platform::OpenLibrary(path);
    if (m_hModule == nullptr)
        return false;
    return Bind();
}

void* CVelaCommBinding::Symbol(const char* name) const {
    return m_hModule ? vela::platform::FindSymbol(m_hModule, name) : nullptr;
}

bool CVelaCommBinding::Bind() {
    void* library = m_hModule;
    return Bind([library](const char* name) -> void* {
        return library ? vela::platform::FindSymbol(library, name) : nullptr;
    });
}

void CVelaCommBinding::Trace(const char* name, const void* address) const {
    if (!m_traceSink)
        return;
    char line[160];
    std::snprintf(line, sizeof line, "dll func %s pointer : %08" PRIXPTR, name,
                  reinterpret_cast<std::uintptr_t>(address));
    m_traceSink(line);
}

bool CVelaCommBinding::Bind(const Resolver& resolver) {
    if (m_hModule == nullptr)
        m_boundWithoutLibrary = true;
        // Resolve every slot and trace it; a missing export does not stop the walk.
#define VELA_RESOLVE(name)                                \
    name = reinterpret_cast<PFN_##name>(resolver(#name)); \
    Trace(#name, reinterpret_cast<const void*>(name));
#define VELA_RESOLVE_FN(ret, name, params) VELA_RESOLVE(name)
    VELA_FOR_EACH_EXPORT(VELA_RESOLVE_FN, VELA_RESOLVE)
#undef VELA_RESOLVE_FN
#define VELA_RESOLVE_SECOND(name)                             \
    name##_2 = reinterpret_cast<PFN_##name>(resolver(#name)); \
    Trace(#name, reinterpret_cast<const void*>(name##_2));
    VELA_FOR_EACH_SECOND_SLOT(VELA_RESOLVE_SECOND)
#undef VELA_RESOLVE_SECOND
#undef VELA_RESOLVE

    // Every slot but the two optional user-memory exports must be filled.
    bool complete = true;
#define VELA_IS_OPTIONAL(name) || std::string_view(#name) == slotName
    auto required = [](std::string_view slotName) {
        return !(false VELA_FOR_EACH_OPTIONAL(VELA_IS_OPTIONAL));
    };
#undef VELA_IS_OPTIONAL
#define VELA_CHECK(name)                    \
    if (name == nullptr && required(#name)) \
        complete = false;
#define VELA_CHECK_FN(ret, name, params) VELA_CHECK(name)
    VELA_FOR_EACH_EXPORT(VELA_CHECK_FN, VELA_CHECK)
#undef VELA_CHECK_FN
#define VELA_CHECK_SECOND(name) \
    if (name##_2 == nullptr)    \
        complete = false;
    VELA_FOR_EACH_SECOND_SLOT(VELA_CHECK_SECOND)
#undef VELA_CHECK_SECOND
#undef VELA_CHECK
    if (!complete)
        Unload();
    return complete;
}

void CVelaCommBinding::ResetSlots() {
#define VELA_RESET(name) name = nullptr;
#define VELA_RESET_FN(ret, name, params) VELA_RESET(name)
    VELA_FOR_EACH_EXPORT(VELA_RESET_FN, VELA_RESET)
#undef VELA_RESET_FN
#undef VELA_RESET
#define VELA_RESET_SECOND(name) name##_2 = nullptr;
    VELA_FOR_EACH_SECOND_SLOT(VELA_RESET_SECOND)
#undef VELA_RESET_SECOND
}

void CVelaCommBinding::Unload() {
    if (!IsLoaded())
        return;
    if (m_hDevice != 0) {
        if (Vela_CloseDevice)
            Vela_CloseDevice(m_hDevice);
        m_hDevice = 0;
    }
    ResetSlots();
    if (m_hModule)
        vela::platform::CloseLibrary(m_hModule);
    m_hModule = nullptr;
    m_boundWithoutLibrary = false;
}

// Reads a text into a zeroed buffer of `capacity` characters. What the SDK writes back is
// untrusted: the text ends at its terminator, the capacity it reports, or the buffer's end.
VelaResult CVelaCommBinding::ReadText(PFN_Vela_ExGetSerial fn, int capacity,
                                      VelaString& text) const {
    std::vector<VelaChar> buffer(static_cast<size_t>(capacity) + 1, 0);
    std::int32_t length = capacity;
    VelaResult result = Device(fn, buffer.data(), &length);
    if (result == 0) {
        size_t limit = static_cast<size_t>(capacity);
        size_t n = 0;
        while (n < limit && buffer[n] != 0)
            ++n;
        text.assign(buffer.data(), n);
    }
    return result;
}

VelaResult CVelaCommBinding::ReadFirmwareVersion(VelaString& text) const {
    if (m_hDevice == 0)
        return -1;
    Device(Vela_ExSelectDevice, 64);  // result ignored
    return ReadText(Vela_GetVersion, 128, text);
}

VelaResult CVelaCommBinding::ReadSerial(VelaString& text) const {
    return ReadText(Vela_ExGetSerial, 64, text);
}

VelaResult CVelaCommBinding::ReadHeadSerial(VelaString& text) const {
    return ReadText(Vela_ExGetHeadSerial, 64, text);
}

// Sends the serial with the MD5 digest of "@" + serial + "@" (its UTF-16LE bytes, no terminator).
VelaResult CVelaCommBinding::WriteTagged(PFN_Vela_ExSetSerial fn, const VelaString& serial) const {
    if (m_hDevice == 0)
        return -1;
    if (serial.size() > static_cast<size_t>(kMaxSerialLength))
        return kSerialTooLong;
    VelaString tagged;
    tagged.reserve(serial.size() + 2);
    tagged.push_back(u'@');
    tagged.append(serial);
    tagged.push_back(u'@');
    std::vector<std::uint8_t> bytes;
    bytes.reserve(tagged.size() * 2);
    for (VelaChar c : tagged) {
        auto unit = static_cast<std::uint16_t>(c);
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    vela::Md5Digest digest = vela::Md5::Of(bytes.data(), bytes.size());
    return Device(fn, serial.c_str(), static_cast<std::int32_t>(serial.size()), digest.data(),
                  static_cast<std::int32_t>(digest.size()));
}

VelaResult CVelaCommBinding::WriteSerial(const VelaString& serial) const {
    return WriteTagged(Vela_ExSetSerial, serial);
}

VelaResult CVelaCommBinding::WriteHeadSerial(const VelaString& serial) const {
    return WriteTagged(Vela_ExSetHeadSerial, serial);
}
