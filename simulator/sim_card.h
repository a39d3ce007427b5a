#pragma once
// A plastic card as the simulated printer system sees it: a value with an identity (its serial
// number) that moves through the modules as a whole, carrying its orientation, stripe, chips,
// barcodes and what was printed on it; the profiles cards are made from; and the decks hoppers
// hold.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

// Magnetic tracks by index; a track mask bit is 1 << index (ISO 1 = 0x01 ... JIS = 0x08).
enum Track : int { kIso1 = 0, kIso2 = 1, kIso3 = 2, kJis = 3 };
inline constexpr int kTrackCount = 4;
constexpr int TrackBit(int track) {
    return 1 << track;
}

// One track of a stripe as written: the data and the key it was written with (empty when it
// was written in plain).
struct MagTrack {
    QString data;
    QByteArray key;
    bool operator==(const MagTrack&) const = default;
};
using Stripe = std::array<std::optional<MagTrack>, kTrackCount>;  // nullopt: nothing written

struct ContactChip {
    QByteArray atr;        // answer to reset; empty: the card has no contact chip
    bool powered = false;  // dropped whenever the card moves
    bool Present() const { return !atr.isEmpty(); }
};

inline constexpr int kMifareSectors = 16;
inline constexpr int kMifareBlocksPerSector = 4;
inline constexpr int kMifareBlocks = kMifareSectors * kMifareBlocksPerSector;
inline constexpr int kMifareBlockSize = 16;
inline constexpr int kMifareKeySize = 6;
using MifareBlock = std::array<std::uint8_t, kMifareBlockSize>;
using MifareKey = std::array<std::uint8_t, kMifareKeySize>;
inline constexpr MifareKey kDefaultMifareKey = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

enum class MifareKeyType : int { kNone = 0, kA = 1, kB = 2 };

// A Mifare Classic 1K chip: 16 sectors of 4 blocks; the last block of each sector (the sector
// trailer) holds key A (bytes 0-5), the access bits (6-9) and key B (10-15).
struct ContactlessChip {
    QByteArray uid;  // 4, 7 or 10 bytes; empty: the card has no contactless chip
    std::array<MifareBlock, kMifareBlocks> blocks{};
    // Which sector is authenticated, with which key; dropped whenever the card moves.
    int authSector = -1;
    MifareKeyType authKey = MifareKeyType::kNone;

    bool Present() const { return !uid.isEmpty(); }
    void EndAuthentication() {
        authSector = -1;
        authKey = MifareKeyType::kNone;
    }
    static constexpr int TrailerOf(int sector) { return sector * kMifareBlocksPerSector + 3; }
    static constexpr int SectorOf(int block) { return block / kMifareBlocksPerSector; }
    MifareKey Key(int sector, MifareKeyType type) const;
    // Writes both keys into the sector trailer with the transport access bits.
    void SetKeys(int sector, const MifareKey& a, const MifareKey& b);
};

// The two faces of a card.
enum CardSide : int { kTop = 0, kBottom = 1 };

// What was printed on one side: the image and the spool file it was saved to, and whether a
// laminator covered that side.
struct PrintedSide {
    QImage image;  // null: nothing printed
    QString file;
    bool laminated = false;
};

struct Card {
    std::uint32_t serial = 0;  // identity, unique within a device
    QString profile;           // the profile it was made from
    bool faceDown = false;     // turned by every flip
    Stripe stripe;
    ContactChip chip;
    ContactlessChip rf;
    std::array<QString, 2> barcodes;     // by CardSide
    std::array<PrintedSide, 2> printed;  // by CardSide

    void Flip() { faceDown = !faceDown; }
    // The side a printer or scanner above the card sees.
    CardSide UpperSide() const { return faceDown ? kBottom : kTop; }
    // Drops what lasts only while the card stays in a station: chip power, RF authentication.
    void LeaveStation();
};

// A card profile as declared in a scenario: what each card made from it holds. Texts may
// contain "{serial}", replaced by the card's serial number (six digits at least).
struct CardProfile {
    QString name;
    bool faceDown = false;
    Stripe stripe;
    QByteArray atr = QByteArray::fromHex("3B021450");
    bool contactless = true;
    int uidLength = 4;  // 4, 7 or 10
    QByteArray uid;     // a fixed UID for every card; empty: each card gets one of its own
    MifareKey keyA = kDefaultMifareKey;
    MifareKey keyB = kDefaultMifareKey;
    std::map<int, MifareBlock> blocks;  // block contents over the defaults
    std::array<QString, 2> barcodes = {QStringLiteral("HV{serial}T"),
                                       QStringLiteral("HV{serial}B")};
};
using ProfileRef = std::shared_ptr<const CardProfile>;
using ProfileMap = std::map<QString, ProfileRef>;

inline const QString kDefaultProfile = QStringLiteral("default");

QString ExpandSerial(const QString& text, std::uint32_t serial);
Card MakeCard(const CardProfile& profile, std::uint32_t serial);

// The cards of one hopper, top first: cards put back on the deck lie above the fresh ones,
// which are made from the profile as they are taken (serials nextSerial, nextSerial + 1, ...).
struct Deck {
    int line = 0;  // hopper number (1-6) of a multi-input hopper; 0 for an input hopper
    ProfileRef profile;
    std::uint32_t nextSerial = 0;
    int fresh = 0;
    std::vector<Card> returned;  // back() is the top card

    int Count() const { return fresh + static_cast<int>(returned.size()); }
    bool Empty() const { return Count() == 0; }
    std::optional<Card> Take();
    void PutOnTop(Card card) { returned.push_back(std::move(card)); }
    // Serial numbers of up to `n` cards from the top.
    std::vector<std::uint32_t> TopSerials(int n) const;
};

// Cards that left the transport into an output hopper, an error bin or the tray, newest last.
// It keeps the newest kKept cards (older ones count as unloaded by the operator) and the printed
// images of the newest kKeptImages only (the spool files keep them all).
struct CardStack {
    static constexpr int kKept = 100;
    static constexpr int kKeptImages = 8;
    std::deque<Card> cards;
    int unloaded = 0;

    void Push(Card card);
    int Count() const { return unloaded + static_cast<int>(cards.size()); }
};

}  // namespace sim
