// The magnetic stripe encoders: a printer module's internal encoder and the laser unit's.
//
// The stripe belongs to the card (sim_card.h) and travels with it. Writing goes through the
// encoder's per-track buffers: the host hands each track's text over (plain, or with a 16-byte
// key), then a write puts the handed text of the tracks of its mask onto the card, together
// with its key. Reading takes the tracks of its mask from the card into the encoder, a fetch
// makes them ready for the host, and each track is then handed back, only with the key it was
// written with. A printer's encoder works on the card anywhere in the printer; the laser unit's
// writes at position 1 and reads at position 6 (Vela_CardMovePosition).

#include <array>
#include <string>

#include "sim_encoder.h"
#include "sim_exports.h"
#include "sim_scanner.h"
#include "vela_scanner.h"

using namespace sim;

namespace {

// Lifelike durations in milliseconds (scaled by the time factor).
constexpr int kConfigMs = 100;
constexpr int kReadMs = 700;
constexpr int kWritePassMs = 900;
constexpr int kFetchMs = 50;

constexpr int kCoercivityItem = 0;
constexpr int kMinCoercivity = 150;
constexpr int kMaxCoercivity = 800;
constexpr int kAllTracks = 0x0F;
constexpr int kModeBits = 0xC0;  // 0x80 bit mode; 0x40 a second format on writing, the laser
                                 // unit's read head on reading
constexpr int kKeySize = 16;
// The most characters taken from a handed text (any track's capacity is far below).
constexpr int kMaxHanded = 1024;

// Capacity of each track in characters: ISO 1, ISO 2, ISO 3, JIS.
constexpr std::array<int, kTrackCount> kCapacity = {76, 37, 104, 69};

bool InTrackSet(int track, char16_t c) {
    switch (track) {
        case kIso1:
            return c >= 0x20 && c <= 0x5F;  // blank, punctuation, digits, upper-case letters
        case kIso2:
        case kIso3:
            return c >= 0x30 && c <= 0x3F;  // digits and : ; < = > ?
        default:
            // Printable ASCII and half-width katakana.
            return (c >= 0x20 && c <= 0x7E) || (c >= 0xFF61 && c <= 0xFF9F);
    }
}

bool FitsTrack(int track, const QString& data) {
    if (data.size() > kCapacity[static_cast<size_t>(track)])
        return false;
    for (QChar c : data)
        if (!InTrackSet(track, c.unicode()))
            return false;
    return true;
}

// The index of a single-track mask (1, 2, 4 or 8); -1 for anything else.
int TrackOf(std::int32_t bit) {
    for (int t = 0; t < kTrackCount; ++t)
        if (bit == TrackBit(t))
            return t;
    return -1;
}

// A 16-byte key block as the stripe keeps it: trailing zero bytes dropped, so that an all-zero
// block is no key at all and a short key of a card profile matches its padded block.
QByteArray KeyOf(const std::uint8_t* block) {
    QByteArray key(reinterpret_cast<const char*>(block), kKeySize);
    while (!key.isEmpty() && key.back() == '\0')
        key.chop(1);
    return key;
}

// The text a caller hands over: at most `length` characters, cut at a terminator, never more
// than kMaxHanded read.
std::basic_string<VelaChar> Handed(const VelaChar* text, std::int32_t length) {
    std::basic_string<VelaChar> out;
    if (text == nullptr)
        return out;
    for (std::int32_t i = 0; i < length && i < kMaxHanded && text[i] != 0; ++i)
        out.push_back(text[i]);
    return out;
}

// The encoder of a command: the module is there and idle, has an encoder, and it is idle too.
VelaResult Encoder(Simulator& s, VelaHandle h, std::int32_t module, Device*& d, Module*& m) {
    return s.TargetStation(h, module, &Module::encoder, kErrNoEncoder, d, m);
}

// The card the encoder works on: in the module, and for the laser unit at `position`.
VelaResult CardFacing(Device& d, Module& m, int position, Card*& card) {
    card = d.CardAt(m.id);
    if (card == nullptr)
        return kErrNoCard;
    if (m.IsLaser() && (m.position != position || m.encoder.positionedCard != card->serial))
        return kErrNotAtEncoder;
    return kOk;
}

// The encoder and the card of a write or read pass: the track mask and mode bits known, the
// card facing the encoder at `position`.
VelaResult PassTarget(Simulator& s, VelaHandle h, std::int32_t module, std::int32_t trackMask,
                      std::int32_t mode, int position, Module*& m, Card*& card) {
    Device* d;
    if (VelaResult r = Encoder(s, h, module, d, m); r != kOk)
        return r;
    if ((trackMask & ~kAllTracks) != 0 || (mode & ~kModeBits) != 0)
        return kErrBadArgument;
    return CardFacing(*d, *m, position, card);
}

void Operate(Simulator& s, Module& m, int ms) {
    s.Occupy(m.encoder, ms);
    s.BlockFor(ms);
}

// Vela_SetEncBuffer and Vela_SetCryptoEncBuffer: `key` is null for plain data.
VelaResult HandOver(const char* fn, VelaHandle h, std::int32_t module, std::int32_t track,
                    std::int32_t length, const VelaChar* text, const std::uint8_t* key,
                    bool crypto) {
    const std::basic_string<VelaChar> handed = Handed(text, length);
    const auto body = [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = Encoder(s, h, module, d, m); r != kOk)
            return r;
        const int t = TrackOf(track);
        if (t < 0 || text == nullptr || length < 0 || (crypto && key == nullptr))
            return kErrBadArgument;
        const QString data = FromVela(handed.c_str(), kMaxHanded);
        if (length > kCapacity[static_cast<size_t>(t)] || !FitsTrack(t, data))
            return kErrTrackData;
        EncoderStation& e = m->encoder;
        const QByteArray keyBytes = crypto ? KeyOf(key) : QByteArray();
        const auto i = static_cast<size_t>(t);
        if (keyBytes.isEmpty()) {
            e.plain[i] = data;
            e.encrypted[i] = EncryptedBuffer{};
        } else {
            e.plain[i].clear();
            e.encrypted[i] = EncryptedBuffer{data, keyBytes};
        }
        e.handedMask |= track;
        return kOk;
    };
    if (crypto)
        return Simulator::Instance().Run(
            fn, {h, module, track, length, Text{handed.c_str()}, Secret{key}}, body);
    return Simulator::Instance().Run(fn, {h, module, track, length, Text{handed.c_str()}}, body);
}

// Vela_GetEncBuffer and Vela_GetCryptoEncBuffer: `*length` is the buffer's capacity in
// characters on the way in, the text's length on the way out (the room needed when it does
// not fit).
VelaResult HandBack(const char* fn, VelaHandle h, std::int32_t module, std::int32_t track,
                    std::int32_t* length, VelaChar* text, const std::uint8_t* key, bool crypto) {
    const long long capacity = length != nullptr ? *length : -1;
    const auto body = [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = Encoder(s, h, module, d, m); r != kOk)
            return r;
        const int t = TrackOf(track);
        if (t < 0 || length == nullptr || text == nullptr || *length <= 0 ||
            (crypto && key == nullptr))
            return kErrBadArgument;
        const EncoderStation& e = m->encoder;
        if ((e.fetchedMask & track) == 0)
            return kErrNotRead;
        const std::optional<MagTrack>& read = e.read[static_cast<size_t>(t)];
        if (!read)
            return kErrBlankTrack;
        if (read->key != (crypto ? KeyOf(key) : QByteArray()))
            return kErrKeyMismatch;
        if (read->data.size() >= *length) {
            text[0] = 0;
            *length = static_cast<std::int32_t>(read->data.size() + 1);
            return kErrBufferTooSmall;
        }
        ToVela(read->data, text, *length);
        *length = static_cast<std::int32_t>(read->data.size());
        return kOk;
    };
    if (crypto)
        return Simulator::Instance().Run(fn, {h, module, track, capacity, Secret{key}}, body);
    return Simulator::Instance().Run(fn, {h, module, track, capacity}, body);
}

}  // namespace

namespace sim {

VelaResult MoveToEncoderPosition(Device& d, Module& m, int position) {
    if (position != kEncoderWritePosition && position != kEncoderReadPosition)
        return kOk;
    if (!m.encoder.installed)
        return kErrNoEncoder;
    if (const Card* card = d.CardAt(m.id))
        m.encoder.positionedCard = card->serial;
    return kOk;
}

}  // namespace sim

// Item 0 is the coercivity (150 to 800); other items are kept as given.
extern "C" VelaResult VELA_API Vela_SetEncConfig(VelaHandle h, std::int32_t module,
                                                 std::int32_t item, std::int32_t value) {
    return Simulator::Instance().Run("Vela_SetEncConfig", {h, module, item, value},
                                     [&](Simulator& s) {
                                         Device* d;
                                         Module* m;
                                         if (VelaResult r = Encoder(s, h, module, d, m); r != kOk)
                                             return r;
                                         if (item == kCoercivityItem) {
                                             if (value < kMinCoercivity || value > kMaxCoercivity)
                                                 return kErrBadArgument;
                                             m->encoder.coercivity = value;
                                         } else {
                                             m->encoder.config[item] = value;
                                         }
                                         s.MarkDirty();
                                         Operate(s, *m, kConfigMs);
                                         return kOk;
                                     });
}

extern "C" VelaResult VELA_API Vela_SetEncBuffer(VelaHandle h, std::int32_t module,
                                                 std::int32_t track, std::int32_t length,
                                                 const VelaChar* text) {
    return HandOver("Vela_SetEncBuffer", h, module, track, length, text, nullptr, false);
}

extern "C" VelaResult VELA_API Vela_SetCryptoEncBuffer(VelaHandle h, std::int32_t module,
                                                       std::int32_t track, std::int32_t length,
                                                       const VelaChar* text,
                                                       const std::uint8_t* key) {
    return HandOver("Vela_SetCryptoEncBuffer", h, module, track, length, text, key, true);
}

// Writes the handed text of every track of the mask onto the card; the card's other tracks
// stay as they are, so two passes (interlace) write what one would.
extern "C" VelaResult VELA_API Vela_WriteEncoder(VelaHandle h, std::int32_t module,
                                                 std::int32_t trackMask, std::int32_t mode) {
    return Simulator::Instance().Run(
        "Vela_WriteEncoder", {h, module, trackMask, mode}, [&](Simulator& s) {
            Module* m;
            Card* card;
            if (VelaResult r =
                    PassTarget(s, h, module, trackMask, mode, kEncoderWritePosition, m, card);
                r != kOk)
                return r;
            EncoderStation& e = m->encoder;
            if ((trackMask & ~e.handedMask) != 0)
                return kErrNoTrackData;
            for (int t = 0; t < kTrackCount; ++t) {
                if ((trackMask & TrackBit(t)) == 0)
                    continue;
                const auto i = static_cast<size_t>(t);
                card->stripe[i] = e.encrypted[i].key.isEmpty()
                                      ? MagTrack{e.plain[i], {}}
                                      : MagTrack{e.encrypted[i].data, e.encrypted[i].key};
            }
            if (trackMask != 0)
                Operate(s, *m, kWritePassMs);
            return kOk;
        });
}

// Reads the tracks of the mask from the card into the encoder (replacing the last read); a
// track with nothing on it is read as blank and says so when it is handed back.
extern "C" VelaResult VELA_API Vela_ReadEncoder(VelaHandle h, std::int32_t module,
                                                std::int32_t trackMask, std::int32_t mode) {
    return Simulator::Instance().Run(
        "Vela_ReadEncoder", {h, module, trackMask, mode}, [&](Simulator& s) {
            if (trackMask == vela::scanner::kChannel)
                return ScannerScan(s, h, module);
            Module* m;
            Card* card;
            if (VelaResult r =
                    PassTarget(s, h, module, trackMask, mode, kEncoderReadPosition, m, card);
                r != kOk)
                return r;
            EncoderStation& e = m->encoder;
            e.read = Stripe{};
            for (int t = 0; t < kTrackCount; ++t)
                if ((trackMask & TrackBit(t)) != 0)
                    e.read[static_cast<size_t>(t)] = card->stripe[static_cast<size_t>(t)];
            e.readMask = trackMask;
            e.fetchedMask = 0;
            Operate(s, *m, kReadMs);
            return kOk;
        });
}

// Makes tracks of the last read ready to be handed back.
extern "C" VelaResult VELA_API Vela_FetchEncoder(VelaHandle h, std::int32_t module,
                                                 std::int32_t trackMask) {
    return Simulator::Instance().Run("Vela_FetchEncoder", {h, module, trackMask},
                                     [&](Simulator& s) {
                                         Device* d;
                                         Module* m;
                                         if (VelaResult r = Encoder(s, h, module, d, m); r != kOk)
                                             return r;
                                         if ((trackMask & ~kAllTracks) != 0)
                                             return kErrBadArgument;
                                         EncoderStation& e = m->encoder;
                                         if ((trackMask & ~e.readMask) != 0)
                                             return kErrNotRead;
                                         e.fetchedMask |= trackMask;
                                         Operate(s, *m, kFetchMs);
                                         return kOk;
                                     });
}

extern "C" VelaResult VELA_API Vela_GetEncBuffer(VelaHandle h, std::int32_t module,
                                                 std::int32_t track, std::int32_t* length,
                                                 VelaChar* text) {
    return HandBack("Vela_GetEncBuffer", h, module, track, length, text, nullptr, false);
}

extern "C" VelaResult VELA_API Vela_GetCryptoEncBuffer(VelaHandle h, std::int32_t module,
                                                       std::int32_t track, std::int32_t* length,
                                                       VelaChar* text, const std::uint8_t* key) {
    return HandBack("Vela_GetCryptoEncBuffer", h, module, track, length, text, key, true);
}
