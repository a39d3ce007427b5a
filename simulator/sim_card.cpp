#include "sim_card.h"

#include <algorithm>

namespace sim {

namespace {

// Transport configuration of a fresh Mifare sector trailer: keys A and B usable for reading
// and writing the data blocks.
constexpr std::array<std::uint8_t, 4> kTransportAccessBits = {0xFF, 0x07, 0x80, 0x69};
constexpr std::uint8_t kSak1K = 0x08;
constexpr std::uint8_t kNxpManufacturer = 0x04;

// A bijective mix of 32 bits (the final step of MurmurHash3): distinct serials give distinct
// identifiers that look random.
std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return x;
}

void AppendWord(QByteArray& out, std::uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((word >> shift) & 0xFF));
}

// A UID of its own for the card with this serial. Four-byte UIDs are the mix itself (unique per
// serial); longer ones start with the manufacturer byte, then the mix.
QByteArray DerivedUid(std::uint32_t serial, int length) {
    QByteArray uid;
    if (length == 4) {
        AppendWord(uid, Mix(serial));
        return uid;
    }
    uid.append(static_cast<char>(kNxpManufacturer));
    AppendWord(uid, Mix(serial));
    AppendWord(uid, Mix(serial ^ 0x5A5A5A5Au));
    AppendWord(uid, Mix(~serial));
    return uid.left(length);
}

// Block 0 as the chip's maker writes it: the UID, for a four-byte UID its check byte, the
// select acknowledge and the answer to request.
MifareBlock ManufacturerBlock(const QByteArray& uid) {
    MifareBlock block{};
    int n = 0;
    for (char c : uid.left(kMifareBlockSize))
        block[static_cast<size_t>(n++)] = static_cast<std::uint8_t>(c);
    if (uid.size() == 4) {
        block[4] = block[0] ^ block[1] ^ block[2] ^ block[3];
        n = 5;
    }
    if (n + 3 <= kMifareBlockSize) {
        block[static_cast<size_t>(n)] = kSak1K;
        block[static_cast<size_t>(n + 1)] = uid.size() == 4 ? 0x04 : 0x44;
        block[static_cast<size_t>(n + 2)] = 0x00;
    }
    return block;
}

}  // namespace

MifareKey ContactlessChip::Key(int sector, MifareKeyType type) const {
    MifareKey key{};
    const MifareBlock& trailer = blocks[static_cast<size_t>(TrailerOf(sector))];
    const size_t from = type == MifareKeyType::kB ? 10 : 0;
    std::copy_n(trailer.begin() + static_cast<std::ptrdiff_t>(from), kMifareKeySize, key.begin());
    return key;
}

void ContactlessChip::SetKeys(int sector, const MifareKey& a, const MifareKey& b) {
    MifareBlock& trailer = blocks[static_cast<size_t>(TrailerOf(sector))];
    std::copy(a.begin(), a.end(), trailer.begin());
    std::copy(kTransportAccessBits.begin(), kTransportAccessBits.end(), trailer.begin() + 6);
    std::copy(b.begin(), b.end(), trailer.begin() + 10);
}

void Card::LeaveStation() {
    chip.powered = false;
    rf.EndAuthentication();
}

QString ExpandSerial(const QString& text, std::uint32_t serial) {
    QString out = text;
    return out.replace(QStringLiteral("{serial}"),
                       QStringLiteral("%1").arg(serial, 6, 10, QChar(u'0')));
}

Card MakeCard(const CardProfile& profile, std::uint32_t serial) {
    Card card;
    card.serial = serial;
    card.profile = profile.name;
    card.faceDown = profile.faceDown;
    for (int t = 0; t < kTrackCount; ++t) {
        const auto& track = profile.stripe[static_cast<size_t>(t)];
        if (track)
            card.stripe[static_cast<size_t>(t)] =
                MagTrack{ExpandSerial(track->data, serial), track->key};
    }
    card.chip.atr = profile.atr;
    if (profile.contactless) {
        card.rf.uid = profile.uid.isEmpty() ? DerivedUid(serial, profile.uidLength) : profile.uid;
        card.rf.blocks[0] = ManufacturerBlock(card.rf.uid);
        for (int sector = 0; sector < kMifareSectors; ++sector)
            card.rf.SetKeys(sector, profile.keyA, profile.keyB);
        for (const auto& [index, block] : profile.blocks)
            if (index >= 0 && index < kMifareBlocks)
                card.rf.blocks[static_cast<size_t>(index)] = block;
    }
    for (int side : {kTop, kBottom})
        card.barcodes[static_cast<size_t>(side)] =
            ExpandSerial(profile.barcodes[static_cast<size_t>(side)], serial);
    return card;
}

std::optional<Card> Deck::Take() {
    if (!returned.empty()) {
        Card card = std::move(returned.back());
        returned.pop_back();
        return card;
    }
    if (fresh <= 0 || !profile)
        return std::nullopt;
    --fresh;
    return MakeCard(*profile, nextSerial++);
}

std::vector<std::uint32_t> Deck::TopSerials(int n) const {
    std::vector<std::uint32_t> serials;
    for (auto it = returned.rbegin(); it != returned.rend() && static_cast<int>(serials.size()) < n;
         ++it)
        serials.push_back(it->serial);
    for (int i = 0; i < fresh && static_cast<int>(serials.size()) < n; ++i)
        serials.push_back(nextSerial + static_cast<std::uint32_t>(i));
    return serials;
}

void CardStack::Push(Card card) {
    cards.push_back(std::move(card));
    if (static_cast<int>(cards.size()) > kKept) {
        cards.pop_front();
        ++unloaded;
    }
    const int older = static_cast<int>(cards.size()) - kKeptImages - 1;
    if (older >= 0)
        for (PrintedSide& side : cards[static_cast<size_t>(older)].printed)
            side.image = QImage();
}

}  // namespace sim
