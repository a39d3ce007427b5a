#pragma once
// The program's one binding to the SDK library: the loaded library, the single device
// connection handle, and one function pointer per export (252 slots for 248 names).

#include <functional>
#include <string>
#include <string_view>

#include "vela_exports.h"

using VelaString = std::basic_string<VelaChar>;

class CVelaCommBinding {
public:
    // Receives each "dll func %s pointer : %p" line written while binding.
    using TraceSink = std::function<void(std::string_view line)>;
    // Looks an export up by name; the default uses the loaded library.
    using Resolver = std::function<void*(const char* name)>;

    CVelaCommBinding() = default;
    ~CVelaCommBinding();
    CVelaCommBinding(const CVelaCommBinding&) = delete;
    CVelaCommBinding& operator=(const CVelaCommBinding&) = delete;

    void SetTraceSink(TraceSink sink) { m_traceSink = std::move(sink); }

    // Full path of the SDK library: the running program's own folder plus the library name.
    static std::string LibraryPath();

    // Loads the library from the program's folder and binds it. False when the file cannot be
    // loaded or a required export is missing; the library is released again then.
    bool Load();
    // The same for a library at a given path (tests, purpose-built variants).
    bool LoadFrom(const std::string& path);

    // Resolves all 252 slots and writes one trace line per slot. True when every required slot
    // is non-null; otherwise unloads and returns false.
    bool Bind();
    bool Bind(const Resolver& resolver);

    // Closes an open connection with Vela_CloseDevice and releases the library. No-op if unloaded.
    void Unload();

    bool IsLoaded() const { return m_hModule != nullptr || m_boundWithoutLibrary; }
    bool IsConnected() const { return IsLoaded() && m_hDevice != 0; }

    // Looks up any symbol of the loaded library (the simulator's control calls, for tests).
    void* Symbol(const char* name) const;

    // A device call: the handle goes first; with no connection the SDK is not reached and the
    // result is -1.
    template <typename Fn, typename... Args>
    VelaResult Device(Fn slot, Args&&... args) const {
        if (m_hDevice == 0 || slot == nullptr)
            return -1;
        return slot(m_hDevice, std::forward<Args>(args)...);
    }

    // Identity operations (0 = success, -1 without connection).
    VelaResult ReadFirmwareVersion(VelaString& text) const;
    VelaResult ReadSerial(VelaString& text) const;
    VelaResult ReadHeadSerial(VelaString& text) const;
    // Serials longer than kMaxSerialLength are refused with kSerialTooLong; nothing is sent.
    VelaResult WriteSerial(const VelaString& serial) const;
    VelaResult WriteHeadSerial(const VelaString& serial) const;

    static constexpr int kMaxSerialLength = 125;  // "@" + serial + "@" in 128 characters
    static constexpr VelaResult kSerialTooLong = static_cast<VelaResult>(0x8000FFFE);

    void* m_hModule = nullptr;
    VelaHandle m_hDevice = 0;

    // One slot per export, named as the export, plus the second slot of four names.
#define VELA_SLOT(ret, name, params) PFN_##name name = nullptr;
#define VELA_SLOT_UNUSED(name) PFN_##name name = nullptr;
    VELA_FOR_EACH_EXPORT(VELA_SLOT, VELA_SLOT_UNUSED)
#undef VELA_SLOT
#undef VELA_SLOT_UNUSED
#define VELA_SECOND_SLOT(name) PFN_##name name##_2 = nullptr;
    VELA_FOR_EACH_SECOND_SLOT(VELA_SECOND_SLOT)
#undef VELA_SECOND_SLOT

private:
    VelaResult ReadText(PFN_Vela_ExGetSerial fn, int capacity, VelaString& text) const;
    VelaResult WriteTagged(PFN_Vela_ExSetSerial fn, const VelaString& serial) const;
    void ResetSlots();
    void Trace(const char* name, const void* address) const;

    TraceSink m_traceSink;
    bool m_boundWithoutLibrary = false;  // bound through a test resolver, no library handle
};
