#pragma once
// The simulator's one authoritative model of the printer systems it serves: the device list,
// open connections, each system's modules, card, identity, parameters and counters. Every
// answer of every export is derived from this model under one lock.

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sim_codes.h"
#include "vela_types.h"

namespace sim {

using Clock = std::chrono::steady_clock;

inline constexpr int kMaxParams = 66;

struct Module {
    std::uint8_t id = 0;
    bool encoder = false;          // printer: internal magnetic encoder
    bool icStation = false;        // flipper: contact IC station
    bool rfStation = false;        // flipper: contactless station
    bool scanner = false;          // flipper: card scanner
    bool boardV2 = true;           // flipper: extended board
    int cards = 0;                 // input hopper: cards loaded
    std::vector<int> hoppers;      // multi-input hopper: hopper numbers present (1..6)
    std::vector<int> hopperCards;  // cards in each of those hoppers
    std::uint64_t statusSet = 0, statusClear = 0;  // forced by the control API
    std::uint32_t stateSet = 0, stateClear = 0;
    Clock::time_point busyUntil{};
    bool lastCommandFailed = false;
    bool facedDown = false;  // flipper: the card is turned
    int position = 0;        // station the card was last moved to (encoder, IC, RF, ...)
    // Transport staging (commands sent with the "queued" flag, run by the next card-out).
    bool armedPass = false;   // flipper: turn the card that arrives, give it back
    bool stagedFlip = false;  // flipper: turn the card that passes through
    bool stagedIn = false;    // receiver: take the card that arrives

    int Type() const { return id >> 4; }
    bool Busy(Clock::time_point now) const { return now < busyUntil; }
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

    // Device parameter block and counters.
    int paramCount = 30;
    std::array<std::int32_t, kMaxParams> params{};
    std::vector<int> rejectedPositions;  // positions the printer does not take on a write
    IssueCountRecord userCounts{};
    IssueCountRecord factoryCounts{};

    int ribbonType = 0;  // 0 = YMCKO, 9 = rewritable

    // The module chain and the card.
    std::vector<Module> modules;
    int cardModule = 0xFF;

    // Printer flags.
    bool wrongPassword = false;  // status bit 61
    bool manualMode = false;     // status bit 30
    bool keyLocked = false;      // status bit 24
    std::uint16_t preemptionToken = 0xFFFF;
    VelaHandle preemptionHolder = 0;
    int openConnections = 0;

    Module* FindModule(int id);
    const Module* FindModule(int id) const;
    int IndexOf(int id) const;  // position in the chain, -1 if absent
    std::uint64_t Status(const Module& module, Clock::time_point now) const;
    std::uint8_t State(const Module& module, Clock::time_point now) const;
};

// One argument as it appears in the call log.
struct Text {
    const VelaChar* text;
};
struct Hex {
    const void* data;
    int length;
};
struct Masked {};  // a password: never written to the log
using LogArg = std::variant<long long, Text, Hex, Masked>;

class Simulator {
public:
    static Simulator& Instance();

    // Runs one export: applies its delay (outside the lock), then under the lock its fault
    // rule or `body`, and logs the call with its result.
    VelaResult Run(const char* fn, std::initializer_list<LogArg> args,
                   const std::function<VelaResult(Simulator&)>& body);

    // Scenario handling (callers hold no lock).
    VelaResult LoadScenario(const QByteArray& json);
    VelaResult Reset();

    // Model access; call under the lock (inside Run's body).
    Device* ByHandle(VelaHandle h);
    Device* ByName(const char* name);  // null or "" = first device
    Device* ByListName(const QString& name);
    VelaHandle Open(Device& device);
    bool Close(VelaHandle h);
    // Marks an operation on a module as taking `ms` lifelike milliseconds.
    void Occupy(Module& module, int ms);
    // Makes the running export return only after `ms` lifelike milliseconds (outside the lock),
    // as a printer's blocking command does.
    void BlockFor(int ms);
    void MarkDirty() { m_dirty = true; }
    Clock::time_point Now() const { return Clock::now(); }

    std::vector<Device>& Devices() { return m_devices; }

    // Control API.
    void SetTimeScale(double scale);
    void InjectFault(const std::string& fn, int skip, int count, VelaResult result);
    void ClearFaults();
    void SetDelay(const std::string& fn, int ms);
    std::string CallLog();
    void ClearCallLog();
    void SetStateFile(const QString& path);
    QJsonObject DeviceJson(const Device& device) const;

    std::recursive_mutex& Mutex() { return m_mutex; }

private:
    Simulator();
    VelaResult LoadScenarioLocked(const QByteArray& json);
    std::optional<VelaResult> TakeFault(const std::string& fn);
    void Log(const char* fn, std::initializer_list<LogArg> args, VelaResult result);
    void SaveState();
    void RestoreState();

    struct Fault {
        std::string pattern;
        int skip;
        int count;  // -1 = for ever
        VelaResult result;
        int seen = 0;
    };

    std::recursive_mutex m_mutex;
    std::vector<Device> m_devices;
    std::map<VelaHandle, int> m_handles;  // handle -> device index
    VelaHandle m_nextHandle = 0x1001;
    QByteArray m_scenario;
    double m_timeScale = 1.0;
    std::vector<Fault> m_faults;
    std::map<std::string, int> m_delays;
    std::string m_log;
    long long m_seq = 0;
    QString m_stateFile;
    bool m_dirty = false;
    static thread_local int t_blockMs;
};

// Helpers shared by the export files.
QString FromVela(const VelaChar* text, int maxLength = 4096);
// Copies `text` into an SDK output buffer of `capacity` characters, always terminated.
// Returns false when it did not fit (the buffer then holds the cut text).
bool ToVela(const QString& text, VelaChar* buffer, int capacity);
QByteArray BuiltInScenario();
QByteArray PresetScenario(const QString& name);  // empty when unknown

}  // namespace sim
