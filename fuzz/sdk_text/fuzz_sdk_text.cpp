// SDK text is untrusted: whatever the SDK library writes into a text buffer, and whatever
// length it claims, is read only up to the buffer's capacity. The input plays the SDK's part:
// its first bytes choose the result and the length claimed, the rest is the text written
// (without a terminator unless the input has one). The binding's three text reads go through
// fake exports with the SDK's signatures; the conversion to and from Qt text follows.
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "CVelaCommBinding.h"
#include "sdk_text.h"

namespace {

const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
VelaResult g_result = 0;
std::int32_t g_claimed = 0;
int g_calls = 0;

// An export the SDK implements by filling the caller's buffer: at most the capacity it was
// given, then a length of its own choosing.
VelaResult VELA_API FakeText(VelaHandle, VelaChar* text, std::int32_t* capacity) {
    ++g_calls;
    const std::size_t room = *capacity > 0 ? static_cast<std::size_t>(*capacity) : 0;
    const std::size_t units = std::min(room, g_size / 2);
    for (std::size_t i = 0; i < units; ++i)
        text[i] = static_cast<VelaChar>(g_data[2 * i] | (g_data[2 * i + 1] << 8));
    *capacity = g_claimed;
    return g_result;
}

VelaResult VELA_API FakeSelect(VelaHandle, std::int32_t) {
    return 0;
}

// Every other export: bound, never called.
void Unused() {}

CVelaCommBinding& Binding() {
    static CVelaCommBinding* binding = [] {
        auto* b = new CVelaCommBinding;
        b->SetTraceSink([](std::string_view) {});
        const bool bound = b->Bind([](const char* name) -> void* {
            const std::string_view n(name);
            if (n == "Vela_GetVersion" || n == "Vela_ExGetSerial" || n == "Vela_ExGetHeadSerial")
                return reinterpret_cast<void*>(&FakeText);
            if (n == "Vela_ExSelectDevice")
                return reinterpret_cast<void*>(&FakeSelect);
            return reinterpret_cast<void*>(&Unused);
        });
        if (!bound)
            std::abort();
        b->m_hDevice = 1;
        return b;
    }();
    return *binding;
}

void CheckRead(VelaResult (CVelaCommBinding::*read)(VelaString&) const, std::size_t capacity) {
    VelaString text(3, u'?');
    const VelaString before = text;
    g_calls = 0;
    const VelaResult r = (Binding().*read)(text);
    if (r != g_result || g_calls != 1)
        std::abort();
    if (r != 0) {
        if (text != before)  // a failed read leaves the caller's text alone
            std::abort();
        return;
    }
    // Up to the first zero the SDK wrote, never past the capacity.
    const std::size_t written = std::min(capacity, g_size / 2);
    std::size_t expected = 0;
    while (expected < written && (g_data[2 * expected] | g_data[2 * expected + 1]) != 0)
        ++expected;
    if (text.size() != expected || text.find(u'\0') != VelaString::npos)
        std::abort();
    // Into Qt text and back, unchanged.
    const QString q = halvard::FromSdkText(text);
    if (q.size() != static_cast<qsizetype>(text.size()) || halvard::ToSdkText(q) != text)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    g_result = (data[0] & 1) ? static_cast<VelaResult>(0x80000001) : 0;
    std::memcpy(&g_claimed, data + 1, 4);
    g_data = data + 5;
    g_size = size - 5;

    CheckRead(&CVelaCommBinding::ReadFirmwareVersion, 128);
    CheckRead(&CVelaCommBinding::ReadSerial, 64);
    CheckRead(&CVelaCommBinding::ReadHeadSerial, 64);

    // A fixed-size text field (as in the device records): never read past it.
    const std::size_t units = g_size / 2;
    const int capacity = static_cast<int>(units);
    auto* field = new halvard::SdkChar[units > 0 ? units : 1];
    for (std::size_t i = 0; i < units; ++i)
        field[i] = static_cast<halvard::SdkChar>(g_data[2 * i] | (g_data[2 * i + 1] << 8));
    const QString q = halvard::FromSdkText(field, capacity);
    if (q.size() > capacity || q.contains(QChar(u'\0')))
        std::abort();
    for (qsizetype i = 0; i < q.size(); ++i)
        if (q[i].unicode() != static_cast<char16_t>(field[i]))
            std::abort();
    if (q.size() < capacity && field[q.size()] != 0)
        std::abort();
    delete[] field;
    return 0;
}
