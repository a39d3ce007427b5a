// Calls the simulated scanner as a careless caller might: any operation or configuration
// identifier, any length, any record bytes, in a buffer exactly as long as the length says.
// The simulator must keep within the buffer (the address sanitizer watches), give back sane
// lengths, and write texts that the test bench's walk reads back as they were packed.
#include <QDir>
#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "scanner_records.h"
#include "sim_exports.h"
#include "sim_scanner.h"
#include "vela_scanner.h"

extern "C" VelaResult VELA_API VelaSim_LoadScenario(const char* json);
extern "C" VelaResult VELA_API VelaSim_SetTimeScale(double scale);
extern "C" VelaResult VELA_API VelaSim_InsertCard(const char* device, int module, const char* card);
extern "C" VelaResult VELA_API VelaSim_ClearCallLog();

namespace {

namespace sc = vela::scanner;
constexpr int kFlipper = 0x61;

struct Bench {
    VelaHandle handle = 0;
    QString folder;

    Bench() {
        VelaSim_LoadScenario(R"({"devices": [{"name": "P", "modules": [{"id": 64},
            {"id": 97, "scanner": {"installed": true,
             "config": [100, 0, 0, 0, 0, 337, 212, 10, 0, 3, 0, 0, 0, 0, 0, 0]}}]}]})");
        VelaSim_SetTimeScale(0);
        VelaDCL_OpenDevice(&handle, u"P", 1, 2);
        VelaSim_InsertCard(nullptr, kFlipper, R"({"barcodeTop": "TOP-1", "barcodeBottom": ""})");
        Vela_ReadEncoder(handle, kFlipper, sc::kChannel, 0);
        folder = QDir::tempPath() + QStringLiteral("/halvard-fuzz-scanner");
        QDir().mkpath(folder);
    }
};

// Reads the input front to back; zeros once it runs out.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::uint32_t Take(int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            v = (v << 8) | (size > 0 ? *data : 0u);
            if (size > 0) {
                ++data;
                --size;
            }
        }
        return v;
    }
};

// An exact-size buffer of the input's next bytes.
std::unique_ptr<std::uint8_t[]> Buffer(Input& in, std::int32_t length) {
    const auto n = static_cast<std::size_t>(length > 0 ? length : 0);
    auto buffer = std::make_unique<std::uint8_t[]>(n);
    for (std::size_t i = 0; i < n; ++i)
        buffer[i] = static_cast<std::uint8_t>(in.Take(1));
    return buffer;
}

void PackAndWalk(Input& in) {
    QStringList texts;
    const int count = static_cast<int>(in.Take(1) % 6);
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int n = static_cast<int>(in.Take(1) % 40); n > 0; --n)
            text += QChar(static_cast<char16_t>(in.Take(2) | 1u));  // never a terminator
        if (!text.isEmpty())
            texts << text;
    }
    const auto bytes = static_cast<std::int32_t>(in.Take(2) % 700) - 2;
    auto buffer = Buffer(in, bytes);
    const std::size_t units = static_cast<std::size_t>(bytes > 0 ? bytes : 0) / sizeof(VelaChar);
    const sim::scanner::Packed packed =
        sim::scanner::PackTexts(texts, reinterpret_cast<VelaChar*>(buffer.get()), bytes);
    if (packed.complete &&
        scanner::WalkBarcodeTexts(reinterpret_cast<const VelaChar*>(buffer.get()), units) != texts)
        std::abort();
    if (packed.complete != (packed.needed <= bytes))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bench bench;
    static int calls = 0;
    if (++calls % 1000 == 0)
        VelaSim_ClearCallLog();
    Input in{data, size};
    const std::uint32_t what = in.Take(1) % 5;
    const auto id = static_cast<std::int32_t>(in.Take(1) % 24);
    std::int32_t length = static_cast<std::int32_t>(in.Take(2) % 1200) - 8;
    const std::int32_t given = length;

    if (what == 3) {
        // A fresh scan (a reset forgets the last one) with what the settings now say.
        Vela_ReadEncoder(bench.handle, kFlipper, sc::kChannel, 0);
        return 0;
    }
    if (what == 4) {
        PackAndWalk(in);
        return 0;
    }
    auto buffer = Buffer(in, length);
    void* record = length > 0 ? buffer.get() : nullptr;
    std::u16string top, bottom;
    if (what == 0 && id == sc::kOpSaveImages &&
        length >= static_cast<std::int32_t>(sizeof(sc::ImagePathRecord))) {
        // Real paths, inside the fuzzer's own folder.
        top =
            QString(bench.folder + QStringLiteral("/t%1.bmp").arg(in.Take(1) % 4)).toStdU16String();
        bottom = QString(bench.folder + QStringLiteral("/b.bmp")).toStdU16String();
        const sc::ImagePathRecord paths{reinterpret_cast<const VelaChar*>(top.c_str()),
                                        reinterpret_cast<const VelaChar*>(bottom.c_str())};
        std::memcpy(buffer.get(), &paths, sizeof(paths));
    }

    VelaResult r = 0;
    switch (what) {
        case 0:
            r = Vela_RunEncoder(bench.handle, kFlipper, sc::kChannel, id, record, &length);
            break;
        case 1:
            r = Vela_GetEncConfig2(bench.handle, kFlipper, id, record, &length);
            break;
        default:
            r = Vela_SetEncConfig2(bench.handle, kFlipper, id, record, length);
            break;
    }
    // A length given back is the room needed or used: never negative, within the buffer on
    // success.
    if (what != 2 && length != given && (length < 0 || (r == 0 && length > given)))
        std::abort();
    return 0;
}
