#pragma once
// The data of one simulated printer system: its modules with their stations, hoppers and
// stacks, the card in transport, identity, parameters, counters and the connections open to it.
// Plain data with small helpers; the Simulator (sim_state.h) guards it with its lock.

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "sim_card.h"
#include "sim_document.h"
#include "vela_modules.h"
#include "vela_types.h"

namespace sim {

using Clock = std::chrono::steady_clock;

inline constexpr int kMaxParams = 66;
inline constexpr int kNoModule = vela::kModuleNone;  // "out": no module, no card

// What every station has: whether it is fitted, and until when it is busy.
struct Station {
    bool installed = false;
    Clock::time_point busyUntil{};
    bool Busy(Clock::time_point now) const { return now < busyUntil; }
};

// Encrypted data handed to the encoder, with the key it came with.
struct EncryptedBuffer {
    QString data;
    QByteArray key;
};

// Magnetic stripe encoder of a printer module or the laser unit.
struct EncoderStation : Station {
    int coercivity = 600;                                // Vela_SetEncConfig item 0
    std::map<int, int> config;                           // other Vela_SetEncConfig items
    std::array<QString, kTrackCount> plain;              // Vela_SetEncBuffer, per track
    std::array<EncryptedBuffer, kTrackCount> encrypted;  // Vela_SetCryptoEncBuffer
    Stripe read;                                         // what the last read took from the card
    int readMask = 0;                                    // tracks of the last read
    int fetchedMask = 0;                                 // tracks fetched from the encoder since
    int handedMask = 0;                                  // tracks whose buffer was handed over
    std::uint32_t positionedCard = 0;  // serial of the card last moved to an encoder position
};

// Contact IC head of a flipper.
struct IcStation : Station {
    bool contacted = false;  // head down on the card's contacts
};

// Contactless reader of a printer or flipper.
struct RfStation : Station {
    bool fieldOn = false;
    std::optional<MifareKey> loadedKey;  // "Auth.": the key block commands authenticate with
};

// Card scanner of a flipper (encoder channel 0x10). The image configuration record is the first
// five values of the scanner configuration.
struct ScannerStation : Station {
    enum ConfigIndex : int {
        kDpi,
        kMode,
        kSide,
        kFace,
        kDrop,
        kWidth,
        kHeight,
        kGain,
        kOffset,
        kSpeed,
        kState,
        kCline,
        kSline,
        kTrigger,
        kShading,
        kMonitoring,
        kConfigCount
    };
    static constexpr int kImageConfigCount = 5;
    std::array<std::int32_t, kConfigCount> config = {300, 0, 0, 0, 0, 1012, 636, 10,
                                                     0,   3, 0, 0, 0, 0,    0,   0};
    std::array<std::int32_t, 4> area = {0, 0, 9999, 9999};  // x1, y1, x2, y2
    QString version = QStringLiteral("SCN 1.04");
    // The last scan: the card it saw and what it read from each side.
    struct Scan {
        std::uint32_t card = 0;
        std::array<QString, 2> barcodes;  // top, bottom as the scanner saw them
        std::array<QImage, 2> images;
    };
    std::optional<Scan> lastScan;
};

// One print job in a printer's queue.
struct PrintJob {
    std::uint16_t id = 0;
    int page = 0;
    QByteArray data;
};

struct Ribbon {
    int type = 0;         // 0 YMCKO ... 9 rewritable (names in the Print page)
    int remaining = 250;  // prints left on the roll: each printed side takes one
    int capacity = 250;   // prints of a full roll
};

// What a printer module holds besides the card: its settings block, job queue and ribbon.
struct PrinterStation : Station {
    std::vector<std::uint8_t> settings;  // kPrinterSettingsSize bytes when installed
    std::deque<PrintJob> jobs;
    std::uint16_t nextJobId = 1;
    Ribbon ribbon;

    std::int32_t SettingAt(size_t offset) const;  // 0 outside the block
    void SetSettingAt(size_t offset, std::int32_t value);
};

struct Module {
    std::uint8_t id = 0;
    bool boardV2 = true;  // flipper: extended board

    EncoderStation encoder;
    IcStation ic;
    RfStation rf;
    ScannerStation scanner;
    PrinterStation printer;

    std::vector<Deck> decks;  // input hopper: one deck; multi-input hopper: one per hopper line
    CardStack stack;          // output hopper: its stack; flipper: its error bin

    std::uint64_t statusSet = 0, statusClear = 0;  // forced by the control API
    std::uint32_t stateSet = 0, stateClear = 0;
    Clock::time_point busyUntil{};
    bool lastCommandFailed = false;
    bool facedDown = false;  // flipper: its rotor is turned
    int position = 0;        // station the card was last moved to (encoder, IC, RF, ...)
    // Named events (sim_events.h).
    bool jammed = false;         // a card jam: commands refused until the errors are cleared
    std::vector<Deck> setAside;  // decks taken out by "hopper-empty", given back on clearing
    // Transport staging (commands sent with the "queued" flag, run by the next card-out).
    bool armedPass = false;   // flipper: turn the card that arrives, give it back
    bool stagedFlip = false;  // flipper: turn the card that passes through
    bool stagedIn = false;    // receiver: take the card that arrives

    int Type() const { return vela::TypeOf(id); }
    bool IsLaser() const { return id == vela::kModuleLaser; }
    // An input or a multi-input hopper: a module cards are fed from.
    bool IsHopper() const {
        return Type() == vela::kTypeInputHopper || Type() == vela::kTypeMultiInputHopper;
    }
    bool Busy(Clock::time_point now) const { return now < busyUntil; }
    Deck* DeckOfLine(int line);  // the deck of a hopper line (0: an input hopper's deck)
    int CardsInDecks() const;
};

// The card design document of a connection: opened from a file, or drawn on with no file
// opened (path empty).
struct OpenDocument {
    QString path;
    CardDocument content;
};

// Print data made from a connection's document, by print data handle: per page index, the job
// id (0: the page is not in it) and the bytes Vela_GetMyPrnData hands out.
struct PrintData {
    std::vector<std::uint16_t> pageIds = std::vector<std::uint16_t>(kPageCount);
    std::vector<QByteArray> pageData = std::vector<QByteArray>(kPageCount);
};

// What one open handle holds.
struct Connection {
    VelaHandle handle = 0;
    std::optional<OpenDocument> document;
    std::map<std::int32_t, PrintData> printData;
    std::int32_t nextPrintData = 1;
    int printModule = kNoModule;  // the printer whose settings it wrote last
    QByteArray preview;           // the last preview bitmap it handed out
};

struct Device {
    // The device list entry.
    QString name;
    QString description;
    std::uint32_t type = 0x3701;
    bool network = false;

    // Identity and security.
    QString firmware;
    QString serial;
    QString headSerial;
    QString password;
    QString userPassword;
    QString printerId;
    QString pendingPrinterId;  // takes effect after the next reconnect (simulated reboot)
    QByteArray pcIdentity;
    QByteArray magneticKey;
    std::map<int, int> config;  // Vela_ExSetConfig items
    // Reader names the scenario declares (contact IC, SIM, contactless 1 and 2); unset: named
    // after the stations fitted.
    std::array<std::optional<QString>, 4> readerNames;

    // Device parameter block and counters.
    int paramCount = 30;
    std::array<std::int32_t, kMaxParams> params{};
    std::vector<int> rejectedPositions;  // positions the printer does not take on a write
    IssueCountRecord userCounts{};
    IssueCountRecord factoryCounts{};

    // The module chain, the cards and where they are.
    ProfileMap profiles;  // always holds kDefaultProfile
    std::vector<Module> modules;
    int cardModule = kNoModule;  // where the card in transport is
    std::optional<Card> card;    // the card in transport (present exactly when cardModule is)
    CardStack outTray;           // cards that left a chain without an output hopper
    std::uint32_t nextSerial = 1;

    // Printer flags.
    bool wrongPassword = false;  // status bit "wrong password"
    bool coverOpen = false;      // card and print commands refused until the errors are cleared
    bool manualMode = false;
    bool keyLocked = false;
    bool testMode = false;
    std::uint16_t preemptionToken = 0xFFFF;
    VelaHandle preemptionHolder = 0;
    std::uint16_t lastToken = 0x2A31;  // tokens are drawn from this sequence

    std::map<VelaHandle, Connection> connections;

    Module* FindModule(int id);
    const Module* FindModule(int id) const;
    int IndexOf(int id) const;  // position in the chain, -1 if absent
    Module* FirstPrinter();
    const Module* FirstPrinter() const;

    // The card in transport when it is in `module`, else null.
    Card* CardAt(int module);
    // A card enters the transport at `module`.
    void PutCard(Card card, int module);
    // The card in transport moves to another module (it leaves any station it was in).
    void MoveCardTo(int module);
    // The card leaves the transport (there must be one).
    Card TakeCard();
    // A card fed by hand: a fresh card of the default profile.
    Card HandFedCard();
    // The card in transport moves into `module` (a module of the chain); with no card in the
    // system a card fed by hand enters there. kNoModule takes the card out of the system.
    void SetCardModule(int module);
    // A card that leaves the chain from `module` going right: into the stack of that output
    // hopper, of the first one to its right, or of the last one of the chain, else the tray.
    void Deliver(Card card, int module);

    std::uint64_t Status(const Module& module, Clock::time_point now) const;
    std::uint8_t State(const Module& module, Clock::time_point now) const;
};

}  // namespace sim
