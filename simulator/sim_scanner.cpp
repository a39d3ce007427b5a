// The card scanner of a flipper, encoder channel 0x10: scanning the card in the flipper, the
// decoded barcodes of each side, the scanned images saved as bitmap files, the scanning area,
// the version, and the image and acquisition settings.
//
// Every buffer and record comes from the caller and is checked against the length given with
// it: nothing is read or written past it. Bitmap files are written after the model's lock is
// released; whether they can be written is checked before the call is judged.

#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include "sim_exports.h"
#include "sim_scanner.h"
#include "sim_state.h"
#include "vela_scanner.h"

using namespace sim;
namespace sc = vela::scanner;

namespace {

// Lifelike durations in milliseconds (scaled by the time factor).
constexpr int kScanMs = 1500;
constexpr int kResetMs = 2000;
constexpr int kShadingMs = 3000;
// What the scanner writes back for operations 11 and 16-18: 0 done; shading needs the card out.
constexpr std::int32_t kAnswerDone = 0;
constexpr std::int32_t kAnswerCardInScanner = 2;
constexpr std::int32_t kAnswerBytes = sizeof(std::int32_t);
constexpr int kMaxPathUnits = 4096;

using Index = ScannerStation::ConfigIndex;

// The scanner of `module`, ready for a command.
VelaResult ScannerTarget(Simulator& s, VelaHandle h, std::int32_t module, Device*& d, Module*& m) {
    return s.TargetStation(h, module, &Module::scanner, kErrNoScanner, d, m);
}

// The configuration value a single-value identifier (12-15) stands for.
std::optional<Index> ValueIndex(std::int32_t id) {
    switch (id) {
        case sc::kCfgGain:
            return ScannerStation::kGain;
        case sc::kCfgOffset:
            return ScannerStation::kOffset;
        case sc::kCfgSpeed:
            return ScannerStation::kSpeed;
        case sc::kCfgShading:
            return ScannerStation::kShading;
        default:
            return std::nullopt;
    }
}

// The two files of operation 12, read from the caller's record before the lock is taken.
struct ImageTargets {
    bool valid = false;     // a whole record with two non-empty paths
    bool writable = false;  // both files can be written
    QString top, bottom;
    const VelaChar* topText = nullptr;
    const VelaChar* bottomText = nullptr;
};

bool CanWrite(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable() &&
           (!file.exists() || (file.isFile() && file.isWritable()));
}

ImageTargets ReadImageTargets(const void* data, std::int32_t length) {
    ImageTargets t;
    if (data == nullptr || length < static_cast<std::int32_t>(sizeof(sc::ImagePathRecord)))
        return t;
    sc::ImagePathRecord record{};
    std::memcpy(&record, data, sizeof(record));
    if (record.top == nullptr || record.bottom == nullptr)
        return t;
    t.topText = record.top;
    t.bottomText = record.bottom;
    t.top = FromVela(record.top, kMaxPathUnits);
    t.bottom = FromVela(record.bottom, kMaxPathUnits);
    t.valid = !t.top.isEmpty() && !t.bottom.isEmpty();
    t.writable = t.valid && CanWrite(t.top) && CanWrite(t.bottom);
    return t;
}

// The bytes of an input record worth logging: what the caller gave, at most the record.
int Logged(std::int32_t length, std::size_t record) {
    return std::min(length, static_cast<std::int32_t>(record));
}

VelaResult Answered(Simulator& s, Device& d, Module& m, std::int32_t operation, void* data,
                    std::int32_t lengthIn, std::int32_t* length) {
    if (lengthIn < kAnswerBytes)
        return kErrBadArgument;
    ScannerStation& st = m.scanner;
    std::int32_t answer = kAnswerDone;
    switch (operation) {
        case sc::kOpSaveImageConfig:
            s.MarkDirty();  // into the scanner's memory, which lasts a power cycle
            break;
        case sc::kOpReset:
            st.lastScan.reset();
            st.config[ScannerStation::kState] = 0;
            s.Occupy(st, kResetMs);
            break;
        case sc::kOpDoShading:
            // Shading calibrates against the empty scanner.
            if (d.CardAt(m.id) != nullptr) {
                answer = kAnswerCardInScanner;
                break;
            }
            s.Occupy(st, kShadingMs);
            s.BlockFor(kShadingMs);
            break;
        case sc::kOpRestoreDefault: {
            const ScannerStation factory;
            st.config = factory.config;
            st.area = factory.area;
            s.MarkDirty();
            break;
        }
        default:
            return kErrBadArgument;
    }
    std::memcpy(data, &answer, sizeof(answer));
    *length = kAnswerBytes;
    return kOk;
}

VelaResult SaveImages(Simulator& s, const ScannerStation& st, const ImageTargets& targets,
                      std::int32_t lengthIn) {
    if (lengthIn < static_cast<std::int32_t>(sizeof(sc::ImagePathRecord)) || !targets.valid)
        return kErrBadArgument;
    if (!st.lastScan)
        return kErrNoScan;
    if (!targets.writable)
        return kErrFileWrite;
    s.Defer([top = targets.top, bottom = targets.bottom, images = st.lastScan->images] {
        images[kTop].save(top, "BMP");
        images[kBottom].save(bottom, "BMP");
    });
    return kOk;
}

}  // namespace

// ---- what the scanner makes of a card ----

namespace sim::scanner {

QStringList SideTexts(const QString& barcode) {
    return barcode.isEmpty() ? QStringList() : QStringList{barcode};
}

Packed PackTexts(const QStringList& texts, VelaChar* buffer, std::int32_t bytes) {
    long long needed = 1;  // the empty text at the end
    for (const QString& text : texts)
        needed += text.size() + 1;
    Packed packed;
    packed.needed = static_cast<std::int32_t>(
        std::min<long long>(needed * static_cast<long long>(sizeof(VelaChar)), INT32_MAX));
    const long long units = bytes > 0 ? bytes / static_cast<long long>(sizeof(VelaChar)) : 0;
    if (buffer == nullptr || units < 1)
        return packed;
    long long at = 0;
    bool all = true;
    for (const QString& text : texts) {
        // Room for the text, its terminator and the empty text that ends the list.
        if (at + text.size() + 2 > units) {
            all = false;
            break;
        }
        for (QChar ch : text)
            buffer[at++] = static_cast<VelaChar>(ch.unicode());
        buffer[at++] = 0;
    }
    buffer[at] = 0;
    packed.complete = all;
    return packed;
}

}  // namespace sim::scanner

namespace sim {

VelaResult ScannerScan(Simulator& s, VelaHandle h, std::int32_t module) {
    Device* d;
    Module* m;
    if (VelaResult r = ScannerTarget(s, h, module, d, m); r != kOk)
        return r;
    const Card* card = d->CardAt(module);
    if (card == nullptr)
        return kErrNoCard;
    ScannerStation& st = m->scanner;
    // The upper scanner sees the side that faces up.
    const std::array<CardSide, 2> seen = {card->UpperSide(),
                                          card->UpperSide() == kTop ? kBottom : kTop};
    ScannerStation::Scan scan;
    scan.card = card->serial;
    for (size_t i = 0; i < seen.size(); ++i) {
        scan.barcodes[i] = card->barcodes[static_cast<size_t>(seen[i])];
        scan.images[i] =
            scanner::CropToArea(scanner::RenderSide(*card, seen[i], st.config[ScannerStation::kDpi],
                                                    st.config[ScannerStation::kMode]),
                                st.area);
        if (scan.images[i].isNull())
            return kErrBadArgument;  // the scanning area misses the card
    }
    st.config[ScannerStation::kWidth] = scan.images[kTop].width();
    st.config[ScannerStation::kHeight] = scan.images[kTop].height();
    st.lastScan = std::move(scan);
    s.Occupy(st, kScanMs);
    s.BlockFor(kScanMs);
    return kOk;
}

}  // namespace sim

// ---- exports ----

extern "C" VelaResult VELA_API Vela_RunEncoder(VelaHandle h, std::int32_t module, std::int32_t item,
                                               std::int32_t operation, void* data,
                                               std::int32_t* length) {
    const std::int32_t lengthIn = length != nullptr ? *length : -1;
    ImageTargets targets;
    if (item == sc::kChannel && operation == sc::kOpSaveImages)
        targets = ReadImageTargets(data, lengthIn);

    const auto body = [&](Simulator& s) -> VelaResult {
        if (item != sc::kChannel || data == nullptr || length == nullptr)
            return kErrBadArgument;
        Device* d;
        Module* m;
        if (VelaResult r = ScannerTarget(s, h, module, d, m); r != kOk)
            return r;
        ScannerStation& st = m->scanner;
        switch (operation) {
            case sc::kOpVersion: {
                const std::int32_t needed =
                    static_cast<std::int32_t>((st.version.size() + 1) * sizeof(VelaChar));
                const int units = lengthIn / static_cast<int>(sizeof(VelaChar));
                const bool fits = ToVela(st.version, static_cast<VelaChar*>(data), units);
                *length = needed;
                return fits ? kOk : kErrBufferTooSmall;
            }
            case sc::kOpBarcodeTop:
            case sc::kOpBarcodeBottom: {
                if (!st.lastScan)
                    return kErrNoScan;
                const CardSide side = operation == sc::kOpBarcodeTop ? kTop : kBottom;
                const scanner::Packed packed =
                    scanner::PackTexts(scanner::SideTexts(st.lastScan->barcodes[side]),
                                       static_cast<VelaChar*>(data), lengthIn);
                *length = packed.needed;
                return packed.complete ? kOk : kErrBufferTooSmall;
            }
            case sc::kOpSaveImages:
                return SaveImages(s, st, targets, lengthIn);
            case sc::kOpSetArea: {
                if (lengthIn < static_cast<std::int32_t>(sizeof(sc::AreaRecord)))
                    return kErrBadArgument;
                sc::AreaRecord a{};
                std::memcpy(&a, data, sizeof(a));
                if (a.x1 < 0 || a.y1 < 0 || a.x2 <= a.x1 || a.y2 <= a.y1 ||
                    a.x2 > scanner::kMaxAreaCoordinate || a.y2 > scanner::kMaxAreaCoordinate)
                    return kErrBadArgument;
                st.area = {a.x1, a.y1, a.x2, a.y2};
                return kOk;
            }
            default:
                return Answered(s, *d, *m, operation, data, lengthIn, length);
        }
    };

    auto& sim = Simulator::Instance();
    if (targets.valid)
        return sim.Run(
            "Vela_RunEncoder",
            {h, module, item, operation, lengthIn, Text{targets.topText}, Text{targets.bottomText}},
            body);
    // Records the caller hands in are logged (as far as they go); output buffers are not.
    std::size_t input = 0;
    if (operation == sc::kOpSetArea)
        input = sizeof(sc::AreaRecord);
    else if (operation == sc::kOpSaveImageConfig ||
             (operation >= sc::kOpReset && operation <= sc::kOpRestoreDefault))
        input = sizeof(std::int32_t);
    if (input > 0)
        return sim.Run("Vela_RunEncoder",
                       {h, module, item, operation, lengthIn, Hex{data, Logged(lengthIn, input)}},
                       body);
    return sim.Run("Vela_RunEncoder", {h, module, item, operation, lengthIn}, body);
}

extern "C" VelaResult VELA_API Vela_GetEncConfig2(VelaHandle h, std::int32_t module,
                                                  std::int32_t item, void* record,
                                                  std::int32_t* length) {
    const std::int32_t lengthIn = length != nullptr ? *length : -1;
    return Simulator::Instance().Run(
        "Vela_GetEncConfig2", {h, module, item, lengthIn}, [&](Simulator& s) {
            if (record == nullptr || length == nullptr)
                return kErrBadArgument;
            Device* d;
            Module* m;
            if (VelaResult r = ScannerTarget(s, h, module, d, m); r != kOk)
                return r;
            const auto& config = m->scanner.config;
            std::vector<std::int32_t> values;
            if (item == sc::kCfgImage)
                values.assign(config.begin(), config.begin() + ScannerStation::kImageConfigCount);
            else if (item == sc::kCfgScanner)
                values.assign(config.begin(), config.end());
            else if (const std::optional<Index> index = ValueIndex(item))
                values.push_back(config[static_cast<size_t>(*index)]);
            else
                return kErrBadArgument;
            const auto bytes = static_cast<std::int32_t>(values.size() * sizeof(std::int32_t));
            *length = bytes;
            if (lengthIn < bytes)
                return kErrBufferTooSmall;
            std::memcpy(record, values.data(), static_cast<size_t>(bytes));
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_SetEncConfig2(VelaHandle h, std::int32_t module,
                                                  std::int32_t item, const void* record,
                                                  std::int32_t length) {
    return Simulator::Instance().Run(
        "Vela_SetEncConfig2",
        {h, module, item, Hex{record, Logged(length, sizeof(sc::ImageConfigRecord))}, length},
        [&](Simulator& s) {
            if (record == nullptr)
                return kErrBadArgument;
            Device* d;
            Module* m;
            if (VelaResult r = ScannerTarget(s, h, module, d, m); r != kOk)
                return r;
            auto& config = m->scanner.config;
            if (item == sc::kCfgImage) {
                if (length < static_cast<std::int32_t>(sizeof(sc::ImageConfigRecord)))
                    return kErrBadArgument;
                sc::ImageConfigRecord image{};
                std::memcpy(&image, record, sizeof(image));
                if (image.dpi < scanner::kMinDpi || image.dpi > scanner::kMaxDpi ||
                    image.mode < scanner::kModeColour || image.mode > scanner::kModeMono)
                    return kErrBadArgument;
                config[ScannerStation::kDpi] = image.dpi;
                config[ScannerStation::kMode] = image.mode;
                config[ScannerStation::kSide] = image.side;
                config[ScannerStation::kFace] = image.face;
                config[ScannerStation::kDrop] = image.drop;
                const QSize size = scanner::CardSize(image.dpi);
                config[ScannerStation::kWidth] = size.width();
                config[ScannerStation::kHeight] = size.height();
                return kOk;
            }
            const std::optional<Index> index = ValueIndex(item);
            if (!index || length < static_cast<std::int32_t>(sizeof(std::int32_t)))
                return kErrBadArgument;  // the scanner configuration itself is read only
            std::int32_t value = 0;
            std::memcpy(&value, record, sizeof(value));
            config[static_cast<size_t>(*index)] = value;
            return kOk;
        });
}
