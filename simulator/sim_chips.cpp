// The chip stations of a module: the contact IC head (its contact and release take time and
// show as a running command), the contact chip's power and answer to reset, and the contactless
// reader: its field, the card's answer to reset and the frames of its transparent channel.
//
// A chip answers only when the card is at its station: at the IC position (2) under a lowered
// head, or at the RF position (3; a printer's card reaches it with a move to its right sensor).
// The contactless frames (docs/simulator.md gives their layout):
//   FD 00 00 00 01 17            Get UID
//   FD 2F 00 00 06 <key:6>       Auth.: loads the key the next block command authenticates with
//   FD 35 <side> 00 01 <block>   read a block   (side 0x00: key A, 0x04: key B)
//   FD 37 <side> 00 11 <block> <data:16>   write a block
// A block command authenticates the block's sector with the loaded key as key A or B, unless
// the card is already authenticated for that sector with that key. Authentication ends when the
// card moves, when a new key is loaded, after a failed attempt and when the field drops (which
// also forgets the loaded key).

#include "sim_chips.h"

#include <algorithm>
#include <cstring>

#include "sim_exports.h"
#include "sim_field_codecs.h"
#include "sim_state.h"

namespace sim {

namespace {

// Lifelike durations in milliseconds (scaled by the time factor).
constexpr int kHeadMs = 400;      // the IC head goes down or up
constexpr int kChipPowerMs = 80;  // contact chip reset and answer
constexpr int kFieldMs = 60;      // field on and the card's activation
constexpr int kTransmitMs = 30;   // one contactless frame and its answer

constexpr const char* kReaderKeys[kReaderCount] = {"ic", "sim", "rf", "rf2"};
constexpr const char* kDefaultReaderNames[kReaderCount] = {
    "Halvard Contact Reader 0", "Halvard SIM Reader 0", "Halvard Contactless Reader 0",
    "Halvard Contactless Reader 1"};

// The answer to reset of a contactless Mifare Classic 1K card as a PC/SC reader reports it.
const QByteArray& ContactlessAtr() {
    static const QByteArray atr = QByteArray::fromHex("3B8F8001804F0CA000000306030001000000006A");
    return atr;
}

// ---- contactless frames ----

constexpr std::uint8_t kClass = 0xFD;
constexpr std::uint8_t kInsGetUid = 0x00;
constexpr std::uint8_t kInsAuth = 0x2F;
constexpr std::uint8_t kInsRead = 0x35;
constexpr std::uint8_t kInsWrite = 0x37;
constexpr std::uint8_t kUidSelector = 0x17;
constexpr std::uint8_t kSideA = 0x00;
constexpr std::uint8_t kSideB = 0x04;
constexpr int kHeaderSize = 5;  // class, command, side, 0, data length
constexpr int kGetUidLength = 6;
constexpr int kAuthLength = kHeaderSize + kMifareKeySize;
constexpr int kReadLength = 6;
constexpr int kWriteLength = kHeaderSize + 1 + kMifareBlockSize;

// The response status byte, each with its status word.
enum class RfStatus : std::uint8_t {
    kOk = 0x00,                // 90 00
    kNoCard = 0x01,            // 6A 82: no card in the field, or one without a contactless chip
    kAuthFailed = 0x02,        // 63 00: the loaded key is not the sector's key of that side
    kNotAuthenticated = 0x03,  // 69 82: no key loaded (Auth. first)
    kBadParameter = 0x04,      // 6B 00: block beyond the card's memory, or an unknown side
    kBadFrame = 0x05,          // 67 00: wrong length; 6D 00: unknown command
    kReadOnly = 0x06,          // 69 86: block 0 holds the maker's data
};

QByteArray Answer(RfStatus status, std::uint8_t sw1, std::uint8_t sw2,
                  const QByteArray& data = {}) {
    QByteArray out;
    out.append(static_cast<char>(status));
    out.append(data);
    out.append(static_cast<char>(sw1));
    out.append(static_cast<char>(sw2));
    return out;
}

QByteArray Ok(const QByteArray& data = {}) {
    return Answer(RfStatus::kOk, 0x90, 0x00, data);
}

QByteArray NoCard() {
    return Answer(RfStatus::kNoCard, 0x6A, 0x82);
}

QByteArray WrongLength() {
    return Answer(RfStatus::kBadFrame, 0x67, 0x00);
}

// Get UID: card type at byte 3 (0x42, 0x44, 0x48 for UIDs of 4, 7, 10 bytes; 0xFF: no card),
// the answer to request at 4-5, the select acknowledge at 6, the UID length code at 9 (1, 2, 3)
// and the UID from byte 10.
QByteArray UidAnswer(const Card* card) {
    constexpr std::uint8_t kNoCardType = 0xFF;
    QByteArray head(10, '\0');
    if (card == nullptr) {
        head[0] = static_cast<char>(RfStatus::kNoCard);
        head[3] = static_cast<char>(kNoCardType);
        return head + QByteArray::fromHex("6A82");
    }
    const QByteArray& uid = card->rf.uid;
    const int size = static_cast<int>(uid.size());
    const int code = size == 10 ? 3 : size == 7 ? 2 : 1;
    head[3] = static_cast<char>(code == 3 ? 0x48 : code == 2 ? 0x44 : 0x42);
    head[5] = static_cast<char>(code == 3 ? 0x84 : code == 2 ? 0x44 : 0x04);
    head[6] = 0x08;  // Mifare Classic 1K
    head[9] = static_cast<char>(code);
    return head + uid + QByteArray::fromHex("9000");
}

// Authenticates the sector of `block` for a block command, as described at the top.
RfStatus Authenticate(ContactlessChip& chip, const RfStation& rf, int block, MifareKeyType type) {
    const int sector = ContactlessChip::SectorOf(block);
    if (chip.authSector == sector && chip.authKey == type)
        return RfStatus::kOk;
    chip.EndAuthentication();
    if (!rf.loadedKey)
        return RfStatus::kNotAuthenticated;
    if (*rf.loadedKey != chip.Key(sector, type))
        return RfStatus::kAuthFailed;
    chip.authSector = sector;
    chip.authKey = type;
    return RfStatus::kOk;
}

QByteArray StatusAnswer(RfStatus status) {
    switch (status) {
        case RfStatus::kAuthFailed:
            return Answer(status, 0x63, 0x00);
        case RfStatus::kNotAuthenticated:
            return Answer(status, 0x69, 0x82);
        case RfStatus::kBadParameter:
            return Answer(status, 0x6B, 0x00);
        case RfStatus::kReadOnly:
            return Answer(status, 0x69, 0x86);
        case RfStatus::kNoCard:
            return NoCard();
        case RfStatus::kBadFrame:
            return WrongLength();
        case RfStatus::kOk:
            break;
    }
    return Ok();
}

// A read or write of one block, the frame's shape already checked.
QByteArray BlockCommand(ContactlessChip& chip, const RfStation& rf, const std::uint8_t* frame) {
    const bool write = frame[1] == kInsWrite;
    const int block = frame[kHeaderSize];
    const std::uint8_t side = frame[2];
    if (block >= kMifareBlocks || (side != kSideA && side != kSideB))
        return StatusAnswer(RfStatus::kBadParameter);
    const RfStatus auth =
        Authenticate(chip, rf, block, side == kSideA ? MifareKeyType::kA : MifareKeyType::kB);
    if (auth != RfStatus::kOk)
        return StatusAnswer(auth);
    MifareBlock& stored = chip.blocks[static_cast<size_t>(block)];
    if (write) {
        if (block == 0)
            return StatusAnswer(RfStatus::kReadOnly);
        std::copy_n(frame + kHeaderSize + 1, kMifareBlockSize, stored.begin());
        return Ok();
    }
    MifareBlock shown = stored;
    if (block == ContactlessChip::TrailerOf(ContactlessChip::SectorOf(block))) {
        // The keys of a trailer read back as zeros, as on a real card.
        std::fill_n(shown.begin(), kMifareKeySize, 0);
        std::fill_n(shown.begin() + 10, kMifareKeySize, 0);
    }
    return Ok(QByteArray(reinterpret_cast<const char*>(shown.data()), kMifareBlockSize));
}

// ---- chip exports ----

Card* CardAtPosition(Device& d, const Module& m, int position) {
    Card* card = d.CardAt(m.id);
    return card != nullptr && m.position == position ? card : nullptr;
}

Card* CardInField(Device& d, const Module& m) {
    Card* card = CardAtPosition(d, m, kRfPosition);
    return card != nullptr && card->rf.Present() ? card : nullptr;
}

// The device and module of a chip command, with the station fitted and not moving.
VelaResult IcTarget(Simulator& s, VelaHandle h, int module, Device*& d, Module*& m) {
    return s.TargetStation(h, module, &Module::ic, kErrNoStation, d, m);
}

VelaResult RfTarget(Simulator& s, VelaHandle h, int module, Device*& d, Module*& m) {
    return s.TargetStation(h, module, &Module::rf, kErrNoStation, d, m);
}

// An answer into the caller's buffer of *length bytes; the needed length when it is too small.
VelaResult GiveBytes(const QByteArray& bytes, std::int32_t* length, std::uint8_t* buffer) {
    const auto size = static_cast<std::int32_t>(bytes.size());
    if (*length < size) {
        *length = size;
        return kErrBufferTooSmall;
    }
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(size));
    *length = size;
    return kOk;
}

long long Capacity(const std::int32_t* length) {
    return length != nullptr ? *length : -1;
}

}  // namespace

// ---- names, positions, frames ----

std::array<QString, kReaderCount> ReaderNames(const Device& d) {
    bool ic = false, printerRf = false, flipperRf = false;
    for (const Module& m : d.modules) {
        ic = ic || m.ic.installed;
        printerRf = printerRf || (m.rf.installed && m.Type() == vela::kTypePrinter);
        flipperRf = flipperRf || (m.rf.installed && m.Type() == vela::kTypeFlipper);
    }
    const std::array<bool, kReaderCount> fitted = {ic, ic, printerRf, flipperRf};
    std::array<QString, kReaderCount> names;
    for (int i = 0; i < kReaderCount; ++i) {
        const auto index = static_cast<size_t>(i);
        if (d.readerNames[index])
            names[index] = *d.readerNames[index];
        else if (fitted[index])
            names[index] = QString::fromLatin1(kDefaultReaderNames[i]);
    }
    return names;
}

Field<Device> ReadersField() {
    return Field<Device>{
        "readers", kSettable,
        [](const Device& d, Purpose) {
            const auto names = ReaderNames(d);
            QJsonObject o;
            for (int i = 0; i < kReaderCount; ++i)
                o.insert(QLatin1String(kReaderKeys[i]), names[static_cast<size_t>(i)]);
            return QJsonValue(o);
        },
        [](Device& d, const QJsonValue& v, ReadContext& ctx) {
            const QJsonObject o = v.toObject();
            if (!v.isObject())
                ctx.Error(fields::BadValue("readers"));
            for (auto it = o.begin(); it != o.end(); ++it) {
                const auto* key =
                    std::find_if(std::begin(kReaderKeys), std::end(kReaderKeys),
                                 [&](const char* k) { return it.key() == QLatin1String(k); });
                if (key == std::end(kReaderKeys) || !it->isString()) {
                    ctx.Error(QStringLiteral("\"readers\": %1").arg(it.key()));
                    continue;
                }
                d.readerNames[static_cast<size_t>(key - std::begin(kReaderKeys))] = it->toString();
            }
        }};
}

VelaResult CheckPosition(const Module& m, int position) {
    if ((position == kIcPosition && !m.ic.installed) ||
        (position == kRfPosition && !m.rf.installed))
        return kErrNoStation;
    return kOk;
}

void PlaceCard(Device& d, Module& m, int position) {
    if (position == m.position)
        return;
    if (Card* card = d.CardAt(m.id))
        card->LeaveStation();
    m.position = position;
}

QByteArray RfRespond(Device& d, Module& m, const std::uint8_t* frame, int length) {
    if (length < kHeaderSize || frame[0] != kClass)
        return Answer(RfStatus::kBadFrame, 0x6D, 0x00);
    const std::uint8_t command = frame[1];
    const int dataLength = frame[4];
    if (command != kInsGetUid && command != kInsAuth && command != kInsRead && command != kInsWrite)
        return Answer(RfStatus::kBadFrame, 0x6D, 0x00);
    const int expected = command == kInsGetUid ? kGetUidLength
                         : command == kInsAuth ? kAuthLength
                         : command == kInsRead ? kReadLength
                                               : kWriteLength;
    if (length != expected || dataLength != expected - kHeaderSize ||
        (command == kInsGetUid && frame[kHeaderSize] != kUidSelector))
        return WrongLength();

    Card* card = CardInField(d, m);
    if (command == kInsGetUid)
        return UidAnswer(card);
    if (card == nullptr)
        return NoCard();
    if (command == kInsAuth) {
        MifareKey key{};
        std::copy_n(frame + kHeaderSize, kMifareKeySize, key.begin());
        m.rf.loadedKey = key;
        card->rf.EndAuthentication();
        return Ok();
    }
    return BlockCommand(card->rf, m.rf, frame);
}

SecretRange RfFrameSecret(const std::uint8_t* frame, int length) {
    if (frame == nullptr || length < kHeaderSize + 1 || frame[0] != kClass)
        return {};
    if (frame[1] == kInsAuth)
        return {kHeaderSize, kMifareKeySize};
    const int block = frame[kHeaderSize];
    if (frame[1] == kInsWrite && block % kMifareBlocksPerSector == kMifareBlocksPerSector - 1)
        return {kHeaderSize + 1, kMifareBlockSize};
    return {};
}

}  // namespace sim

using namespace sim;

// The head goes down on (or up from) the card; the module shows a running command meanwhile.
extern "C" VelaResult VELA_API Vela_ICHContact(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_ICHContact", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = IcTarget(s, h, module, d, m); r != kOk)
            return r;
        if (!m->ic.contacted) {
            m->ic.contacted = true;
            s.Occupy(m->ic, kHeadMs);
        }
        return kOk;
    });
}

// Lifting the head cuts the chip's power.
extern "C" VelaResult VELA_API Vela_ICHDiscontact(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_ICHDiscontact", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = IcTarget(s, h, module, d, m); r != kOk)
            return r;
        if (Card* card = d->CardAt(module))
            card->chip.powered = false;
        if (m->ic.contacted) {
            m->ic.contacted = false;
            s.Occupy(m->ic, kHeadMs);
        }
        return kOk;
    });
}

// Powers the contact chip and answers its ATR: the head must be down on a card at the IC
// position that has a contact chip.
extern "C" VelaResult VELA_API Vela_ICPowerOn2(VelaHandle h, std::int32_t module,
                                               std::int32_t* length, std::uint8_t* atr) {
    return Simulator::Instance().Run(
        "Vela_ICPowerOn2", {h, module, Capacity(length)}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = IcTarget(s, h, module, d, m); r != kOk)
                return r;
            if (length == nullptr || atr == nullptr || *length < 0)
                return kErrBadArgument;
            if (!m->ic.contacted)
                return kErrNoContact;
            Card* card = CardAtPosition(*d, *m, kIcPosition);
            if (card == nullptr || !card->chip.Present())
                return kErrNoChip;
            if (VelaResult r = GiveBytes(card->chip.atr, length, atr); r != kOk)
                return r;
            card->chip.powered = true;
            s.BlockFor(kChipPowerMs);
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_ICPowerOff2(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_ICPowerOff2", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = IcTarget(s, h, module, d, m); r != kOk)
            return r;
        if (Card* card = d->CardAt(module))
            card->chip.powered = false;
        return kOk;
    });
}

// Switches the field on and answers the card's ATR: a card with a contactless chip must be at
// the RF position. Powering on again restarts the card (its authentication ends).
extern "C" VelaResult VELA_API Vela_RFPowerOn2(VelaHandle h, std::int32_t module,
                                               std::int32_t* length, std::uint8_t* atr) {
    return Simulator::Instance().Run(
        "Vela_RFPowerOn2", {h, module, Capacity(length)}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = RfTarget(s, h, module, d, m); r != kOk)
                return r;
            if (length == nullptr || atr == nullptr || *length < 0)
                return kErrBadArgument;
            Card* card = CardInField(*d, *m);
            if (card == nullptr)
                return kErrNoChip;
            if (VelaResult r = GiveBytes(ContactlessAtr(), length, atr); r != kOk)
                return r;
            m->rf.fieldOn = true;
            card->rf.EndAuthentication();
            s.BlockFor(kFieldMs);
            return kOk;
        });
}

// The field drops: the card's authentication and the loaded key are gone.
extern "C" VelaResult VELA_API Vela_RFPowerOff2(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_RFPowerOff2", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = RfTarget(s, h, module, d, m); r != kOk)
            return r;
        m->rf.fieldOn = false;
        m->rf.loadedKey.reset();
        if (Card* card = d->CardAt(module))
            card->rf.EndAuthentication();
        return kOk;
    });
}

// One frame through the reader while its field is on. Card-level refusals are answers (a
// status byte and status word); the result says only whether the reader could answer.
extern "C" VelaResult VELA_API Vela_RFTransmit2(VelaHandle h, std::int32_t module,
                                                std::int32_t frameLength, const std::uint8_t* frame,
                                                std::int32_t* responseLength,
                                                std::uint8_t* response) {
    const SecretRange secret = RfFrameSecret(frame, frameLength);
    return Simulator::Instance().Run(
        "Vela_RFTransmit2",
        {h, module, frameLength, Hex{frame, frameLength, secret.from, secret.count},
         Capacity(responseLength)},
        [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = RfTarget(s, h, module, d, m); r != kOk)
                return r;
            if (frame == nullptr || frameLength <= 0 || responseLength == nullptr ||
                response == nullptr || *responseLength < 0)
                return kErrBadArgument;
            if (!m->rf.fieldOn)
                return kErrFieldOff;
            const QByteArray answer = RfRespond(*d, *m, frame, frameLength);
            if (VelaResult r = GiveBytes(answer, responseLength, response); r != kOk)
                return r;
            s.BlockFor(kTransmitMs);
            return kOk;
        });
}
