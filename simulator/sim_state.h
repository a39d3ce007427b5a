#pragma once
// The simulator: one authoritative model of the printer systems it serves (sim_model.h),
// guarded by one private lock. Every export runs its body under that lock through Run, every
// control call through Locked; file work (the state file, spooled cards) is deferred by the
// body and done after the lock is released, so no caller waits on a disk.

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "sim_codes.h"
#include "sim_model.h"

namespace sim {

class ControlEndpoint;

// One argument as it appears in the call log.
struct Text {
    const VelaChar* text;
};
// Bytes, logged in hexadecimal. The `secretCount` bytes from `secretFrom` on are logged as "**"
// (a key inside a command frame).
struct Hex {
    const void* data;
    int length;
    int secretFrom = 0;
    int secretCount = 0;
};
// A secret argument (password, key block): logged as "***", never its content.
struct Secret {
    Secret() = default;
    template <typename T>
    explicit Secret(const T&) {}
};
using LogArg = std::variant<long long, Text, Hex, Secret>;

class Simulator {
public:
    static Simulator& Instance();

    // Runs one export: applies its delay (outside the lock), then under the lock its fault
    // rule or `body`, logs the call with its result, and after unlocking does the file work
    // the body deferred and waits out a blocking command's time.
    VelaResult Run(const char* fn, std::initializer_list<LogArg> args,
                   const std::function<VelaResult(Simulator&)>& body);

    // Runs `fn(*this)` under the lock (for control calls) and returns its result; file work it
    // defers is done after the lock is released.
    template <typename Fn>
    auto Locked(Fn&& fn) -> decltype(fn(std::declval<Simulator&>()));

    // ---- model access: only inside Run's body or Locked's callable ----
    std::vector<Device>& Devices() { return m_devices; }
    Device* ByHandle(VelaHandle h);
    Connection* ConnectionOf(VelaHandle h);
    Device* ByName(const char* name);  // null or "" = first device
    Device* ByListName(const QString& name);
    // The device of an open connection and one of its modules, ready for a command:
    // kErrBadHandle, kErrNoModule or kErrBusy otherwise.
    VelaResult Target(VelaHandle h, int module, Device*& d, Module*& m);
    // The same, for a command that needs the card in that module (kErrNoCard otherwise).
    VelaResult TargetHolding(VelaHandle h, int module, Device*& d, Module*& m);
    // The same, for a command to one station of that module (`station`: &Module::ic, ...):
    // `missing` when the module lacks it, kErrBusy while the station runs an operation.
    template <typename S>
    VelaResult TargetStation(VelaHandle h, int module, S Module::*station, VelaResult missing,
                             Device*& d, Module*& m);
    VelaHandle Open(Device& device);
    bool Close(VelaHandle h);  // drops the connection and what it holds
    // Marks an operation of a module or station as taking `ms` lifelike milliseconds.
    void Occupy(Module& module, int ms);
    void Occupy(Station& station, int ms);
    // Makes the running export return only after `ms` lifelike milliseconds (outside the lock),
    // as a printer's blocking command does.
    void BlockFor(int ms);
    // The persistent state changed: the state file is written after the lock is released.
    void MarkDirty() { m_dirty = true; }
    // Queues file work to be done after the lock is released.
    void Defer(std::function<void()> work);
    // Spools a printed card side as a PNG file (written after the lock is released) and
    // returns its path.
    QString Spool(const QImage& image);
    Clock::time_point Now() const { return Clock::now(); }
    QJsonObject DeviceJson(const Device& device) const;

    // ---- scenario and control API (callers hold no lock) ----
    VelaResult LoadScenario(const QByteArray& json);
    VelaResult Reset();
    void SetTimeScale(double scale);
    void InjectFault(const std::string& fn, int skip, int count, VelaResult result);
    void ClearFaults();
    void SetDelay(const std::string& fn, int ms);
    void ClearDelays();
    std::string CallLog();
    void ClearCallLog();
    void SetStateFile(const QString& path);
    // While held, deferred file writes wait (tests use it to show that nothing waits for
    // them). Returns how many writes are waiting; hold < 0 only asks.
    int HoldFileWrites(int hold);

private:
    Simulator();
    ~Simulator();
    // File work deferred by the calls running on one thread.
    struct Deferred {
        std::vector<std::function<void()>> work;
    };
    // Routes Defer on this thread to `deferred` while the outermost lock is held.
    class DeferScope {
    public:
        explicit DeferScope(Deferred& deferred);
        ~DeferScope();
        DeferScope(const DeferScope&) = delete;
        DeferScope& operator=(const DeferScope&) = delete;

    private:
        bool m_outermost;
    };
    static void RunDeferred(Deferred& deferred);

    VelaResult LoadScenarioLocked(const QByteArray& json);
    // The moment `ms` lifelike milliseconds from now.
    Clock::time_point After(int ms) const;
    std::optional<VelaResult> TakeFault(const std::string& fn);
    void Log(const char* fn, std::initializer_list<LogArg> args, VelaResult result);
    void QueueStateSave();
    void WriteStateFile(const QString& path, const QByteArray& content, long long generation);
    void RestoreState(const QByteArray& content);
    void WaitWhileHeld(std::unique_lock<std::mutex>& lock);

    struct Fault {
        std::string pattern;
        int skip;
        int count;  // -1 = for ever
        VelaResult result;
        int seen = 0;
    };

    std::recursive_mutex m_mutex;  // the model's lock
    std::vector<Device> m_devices;
    VelaHandle m_nextHandle = 0x1001;
    QByteArray m_scenario;
    double m_timeScale = 1.0;
    std::vector<Fault> m_faults;
    std::map<std::string, int> m_delays;
    std::string m_log;
    long long m_seq = 0;
    int m_spoolSequence = 0;
    QString m_stateFile;
    bool m_dirty = false;
    long long m_stateGeneration = 0;

    // File writes: ordered among themselves by their own lock, never under the model's.
    std::mutex m_fileMutex;
    std::condition_variable m_fileWake;
    long long m_writtenGeneration = 0;
    bool m_holdFileWrites = false;
    int m_heldWrites = 0;

    // The control endpoint, when one was asked for (sim_endpoint.h). Last, so that it is
    // stopped first: its thread uses the rest.
    std::unique_ptr<ControlEndpoint> m_endpoint;

    static thread_local int t_blockMs;
    static thread_local Deferred* t_deferred;
};

template <typename Fn>
auto Simulator::Locked(Fn&& fn) -> decltype(fn(std::declval<Simulator&>())) {
    Deferred deferred;
    auto result = [&] {
        std::lock_guard lock(m_mutex);
        DeferScope scope(deferred);
        auto r = fn(*this);
        QueueStateSave();
        return r;
    }();
    RunDeferred(deferred);
    return result;
}

template <typename S>
VelaResult Simulator::TargetStation(VelaHandle h, int module, S Module::*station,
                                    VelaResult missing, Device*& d, Module*& m) {
    if (VelaResult r = Target(h, module, d, m); r != kOk)
        return r;
    const Station& st = m->*station;
    if (!st.installed)
        return missing;
    return st.Busy(Now()) ? kErrBusy : kOk;
}

// Helpers shared by the export files.
QString FromVela(const VelaChar* text, int maxLength = 4096);
// Copies `text` into an SDK output buffer of `capacity` characters, always terminated.
// Returns false when it did not fit (the buffer then holds the cut text).
bool ToVela(const QString& text, VelaChar* buffer, int capacity);
QByteArray BuiltInScenario();
QByteArray PresetScenario(const QString& name);  // empty when unknown

}  // namespace sim
