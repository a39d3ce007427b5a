#include "sim_state.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cstdlib>
#include <thread>

#include "sim_endpoint.h"
#include "sim_events.h"
#include "sim_fields.h"

namespace sim {

namespace {

constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto kHoldLimit = std::chrono::seconds(10);  // a forgotten hold cannot hang a test run
constexpr size_t kMaxLogBytes = 8u << 20;
constexpr int kMaxLoggedBytes = 4096;

void AppendJsonString(std::string& out, const QString& s) {
    out +=
        QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact).mid(1).chopped(1).toStdString();
}

// Writes `content` to `path` readable and writable by the user only, also over an existing
// file: the new content is written to a private temporary file that replaces the old one.
void WritePrivateFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.setPermissions(kPrivateFile);
    file.write(content);
    if (file.commit())
        QFile::setPermissions(path, kPrivateFile);
}

}  // namespace

thread_local int Simulator::t_blockMs = 0;
thread_local Simulator::Deferred* Simulator::t_deferred = nullptr;

// ---- deferred file work ----

Simulator::DeferScope::DeferScope(Deferred& deferred) : m_outermost(t_deferred == nullptr) {
    if (m_outermost)
        t_deferred = &deferred;
}

Simulator::DeferScope::~DeferScope() {
    if (m_outermost)
        t_deferred = nullptr;
}

void Simulator::RunDeferred(Deferred& deferred) {
    for (const std::function<void()>& work : deferred.work)
        work();
}

void Simulator::Defer(std::function<void()> work) {
    if (t_deferred != nullptr)
        t_deferred->work.push_back(std::move(work));
    else
        work();  // no lock is held (start-up)
}

void Simulator::WaitWhileHeld(std::unique_lock<std::mutex>& lock) {
    ++m_heldWrites;
    m_fileWake.wait_for(lock, kHoldLimit, [this] { return !m_holdFileWrites; });
    --m_heldWrites;
}

int Simulator::HoldFileWrites(int hold) {
    std::lock_guard lock(m_fileMutex);
    if (hold >= 0) {
        m_holdFileWrites = hold != 0;
        m_fileWake.notify_all();
    }
    return m_heldWrites;
}

QString Simulator::Spool(const QImage& image) {
    QString dir = qEnvironmentVariable("VELASIM_SPOOL_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/halvard-spool");
    const QString path = QDir(dir).filePath(
        QStringLiteral("card-%1-%2.png")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
            .arg(++m_spoolSequence, 4, 10, QChar(u'0')));
    Defer([this, dir, path, image] {
        std::unique_lock lock(m_fileMutex);
        WaitWhileHeld(lock);
        if (QDir().mkpath(dir))
            image.save(path, "PNG");
    });
    return path;
}

// ---- start-up and scenarios ----

Simulator& Simulator::Instance() {
    static Simulator instance;
    return instance;
}

Simulator::Simulator() {
    QByteArray json;
    if (const char* preset = std::getenv("VELASIM_SCENARIO"); preset && *preset) {
        json = PresetScenario(QString::fromLocal8Bit(preset));
        if (json.isEmpty()) {
            QFile file(QString::fromLocal8Bit(preset));
            if (file.open(QIODevice::ReadOnly))
                json = file.readAll();
        }
    }
    if (json.isEmpty() || LoadScenarioLocked(json) != kOk)
        LoadScenarioLocked(BuiltInScenario());
    if (const char* scale = std::getenv("VELASIM_TIME_SCALE"); scale && *scale)
        m_timeScale = std::atof(scale);
    if (const char* state = std::getenv("VELASIM_STATE_FILE"); state && *state)
        SetStateFile(QString::fromLocal8Bit(state));
    m_endpoint = ControlEndpoint::OpenIfAsked();
}

Simulator::~Simulator() {
    // The endpoint's thread may be answering a request: it stops while the model is whole.
    m_endpoint.reset();
}

VelaResult Simulator::LoadScenario(const QByteArray& json) {
    return Locked(
        [&](Simulator&) { return LoadScenarioLocked(json.isEmpty() ? BuiltInScenario() : json); });
}

// Builds every device of the scenario; a scenario with any error is refused whole and the
// model stays as it was.
VelaResult Simulator::LoadScenarioLocked(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return kErrBadArgument;
    const QJsonObject root = doc.object();
    ReadContext ctx{Purpose::kScenario};
    ProfileMap profiles = BuiltInProfiles();
    if (root.contains(u"cardProfiles"))
        profiles = ReadProfiles(root.value(QLatin1String("cardProfiles")), profiles, ctx);
    std::vector<Device> devices;
    const QJsonArray list = root.value(QLatin1String("devices")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        Device d = DefaultDevice(static_cast<int>(i), profiles);
        ctx.device = &d;
        ReadFields(DeviceFields(), d, list[i].toObject(), ctx);
        ctx.device = nullptr;
        devices.push_back(std::move(d));
    }
    if (!ctx.errors.isEmpty()) {
        for (const QString& problem : ctx.errors)
            qWarning("velasim: scenario refused: %s", qUtf8Printable(problem));
        return kErrBadArgument;
    }
    m_devices = std::move(devices);
    m_scenario = json;
    if (root.contains(u"timeScale"))
        m_timeScale = root.value(QLatin1String("timeScale")).toDouble(1.0);
    return kOk;
}

VelaResult Simulator::Reset() {
    return Locked([&](Simulator&) {
        m_faults.clear();
        m_delays.clear();
        return LoadScenarioLocked(m_scenario);
    });
}

// ---- model access ----

Device* Simulator::ByHandle(VelaHandle h) {
    for (Device& d : m_devices)
        if (d.connections.count(h) != 0)
            return &d;
    return nullptr;
}

Connection* Simulator::ConnectionOf(VelaHandle h) {
    for (Device& d : m_devices)
        if (auto it = d.connections.find(h); it != d.connections.end())
            return &it->second;
    return nullptr;
}

Device* Simulator::ByName(const char* name) {
    if (name == nullptr || *name == '\0')
        return m_devices.empty() ? nullptr : &m_devices.front();
    return ByListName(QString::fromUtf8(name));
}

Device* Simulator::ByListName(const QString& name) {
    for (Device& d : m_devices)
        if (d.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

VelaResult Simulator::Target(VelaHandle h, int module, Device*& d, Module*& m) {
    d = ByHandle(h);
    if (d == nullptr)
        return kErrBadHandle;
    m = d->FindModule(module);
    if (m == nullptr)
        return kErrNoModule;
    if (VelaResult r = EventRefusal(*d, m); r != kOk)
        return r;
    if (m->Busy(Now()))
        return kErrBusy;
    return kOk;
}

VelaResult Simulator::TargetHolding(VelaHandle h, int module, Device*& d, Module*& m) {
    if (VelaResult r = Target(h, module, d, m); r != kOk)
        return r;
    return d->CardAt(module) ? kOk : kErrNoCard;
}

VelaHandle Simulator::Open(Device& device) {
    const VelaHandle h = m_nextHandle++;
    // A fresh connection after a simulated reboot shows what was changed before it.
    if (device.connections.empty() && !device.pendingPrinterId.isEmpty()) {
        device.printerId = device.pendingPrinterId;
        device.pendingPrinterId.clear();
        MarkDirty();
    }
    Connection connection;
    connection.handle = h;
    device.connections[h] = std::move(connection);
    return h;
}

bool Simulator::Close(VelaHandle h) {
    Device* d = ByHandle(h);
    if (d == nullptr)
        return false;
    if (d->preemptionHolder == h) {
        d->preemptionHolder = 0;
        d->preemptionToken = 0xFFFF;
    }
    d->connections.erase(h);
    return true;
}

Clock::time_point Simulator::After(int ms) const {
    return Clock::now() +
           std::chrono::microseconds(static_cast<long long>(ms * 1000.0 * m_timeScale));
}

void Simulator::Occupy(Module& module, int ms) {
    module.busyUntil = After(ms);
}

void Simulator::Occupy(Station& station, int ms) {
    station.busyUntil = After(ms);
}

void Simulator::BlockFor(int ms) {
    t_blockMs = static_cast<int>(ms * m_timeScale);
}

QJsonObject Simulator::DeviceJson(const Device& device) const {
    return WriteFields(DeviceFields(), device, Purpose::kSnapshot);
}

// ---- running exports ----

std::optional<VelaResult> Simulator::TakeFault(const std::string& fn) {
    // Every matching rule counts the call; the first one due decides.
    std::optional<VelaResult> due;
    for (Fault& f : m_faults) {
        bool matches = f.pattern == fn || (!f.pattern.empty() && f.pattern.back() == '*' &&
                                           fn.compare(0, f.pattern.size() - 1, f.pattern, 0,
                                                      f.pattern.size() - 1) == 0);
        if (!matches)
            continue;
        int n = f.seen++;
        if (due || n < f.skip || (f.count >= 0 && n >= f.skip + f.count))
            continue;
        due = f.result;
    }
    return due;
}

VelaResult Simulator::Run(const char* fn, std::initializer_list<LogArg> args,
                          const std::function<VelaResult(Simulator&)>& body) {
    const int delay = Locked([&](Simulator&) {
        auto it = m_delays.find(fn);
        return it == m_delays.end() ? 0 : it->second;
    });
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    t_blockMs = 0;
    const VelaResult result = Locked([&](Simulator& s) {
        std::optional<VelaResult> fault = TakeFault(fn);
        const VelaResult r = fault ? *fault : body(s);
        Log(fn, args, r);
        return r;
    });
    if (t_blockMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(t_blockMs));
    t_blockMs = 0;
    return result;
}

void Simulator::Log(const char* fn, std::initializer_list<LogArg> args, VelaResult result) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string line = "{\"seq\":" + std::to_string(++m_seq) + ",\"fn\":\"" + fn + "\",\"args\":[";
    bool first = true;
    for (const LogArg& arg : args) {
        if (!first)
            line += ',';
        first = false;
        if (const long long* n = std::get_if<long long>(&arg)) {
            line += std::to_string(*n);
        } else if (const Text* t = std::get_if<Text>(&arg)) {
            if (t->text == nullptr)
                line += "null";
            else
                AppendJsonString(line, FromVela(t->text));
        } else if (const Hex* h = std::get_if<Hex>(&arg)) {
            line += '"';
            const auto* bytes = static_cast<const std::uint8_t*>(h->data);
            for (int i = 0; bytes && i < h->length && i < kMaxLoggedBytes; ++i) {
                if (i >= h->secretFrom && i < h->secretFrom + h->secretCount) {
                    line += "**";
                    continue;
                }
                line += kDigits[bytes[i] >> 4];
                line += kDigits[bytes[i] & 0xF];
            }
            line += '"';
        } else {
            line += "\"***\"";
        }
    }
    line += "],\"result\":" + std::to_string(result) + "}\n";
    // Keep the log bounded: drop the older half past the limit.
    if (m_log.size() > kMaxLogBytes)
        m_log.erase(0, m_log.size() / 2);
    m_log += line;
    if (m_endpoint)
        m_endpoint->OnLogLine(line);
}

// ---- control API ----

void Simulator::SetTimeScale(double scale) {
    Locked([&](Simulator&) { return m_timeScale = scale < 0 ? 0 : scale; });
}

void Simulator::InjectFault(const std::string& fn, int skip, int count, VelaResult result) {
    Locked([&](Simulator&) {
        m_faults.push_back(Fault{fn, skip, count, result});
        return 0;
    });
}

void Simulator::ClearFaults() {
    Locked([&](Simulator&) {
        m_faults.clear();
        return 0;
    });
}

void Simulator::SetDelay(const std::string& fn, int ms) {
    Locked([&](Simulator&) {
        if (ms <= 0)
            m_delays.erase(fn);
        else
            m_delays[fn] = ms;
        return 0;
    });
}

void Simulator::ClearDelays() {
    Locked([&](Simulator&) {
        m_delays.clear();
        return 0;
    });
}

std::string Simulator::CallLog() {
    return Locked([&](Simulator&) { return m_log; });
}

void Simulator::ClearCallLog() {
    Locked([&](Simulator&) {
        m_log.clear();
        return 0;
    });
}

// ---- persistent state: what a printer keeps across a power cycle, per device name ----

void Simulator::SetStateFile(const QString& path) {
    // The file is made private and read before the lock is taken.
    QByteArray content;
    if (!path.isEmpty()) {
        QFile file(path);
        if (file.exists())
            QFile::setPermissions(path, kPrivateFile);
        if (file.open(QIODevice::ReadOnly))
            content = file.readAll();
    }
    Locked([&](Simulator&) {
        m_stateFile = path;
        if (!content.isEmpty())
            RestoreState(content);
        return 0;
    });
}

void Simulator::QueueStateSave() {
    if (!m_dirty)
        return;
    m_dirty = false;
    if (m_stateFile.isEmpty())
        return;
    QJsonObject root;
    for (const Device& d : m_devices)
        root.insert(d.name, WriteFields(DeviceFields(), d, Purpose::kState));
    const QByteArray content = QJsonDocument(root).toJson();
    const long long generation = ++m_stateGeneration;
    Defer([this, path = m_stateFile, content, generation] {
        WriteStateFile(path, content, generation);
    });
}

// Writes one state; a state older than one already written is dropped, so the file never goes
// back in time when two callers finish in the other order.
void Simulator::WriteStateFile(const QString& path, const QByteArray& content,
                               long long generation) {
    std::unique_lock lock(m_fileMutex);
    WaitWhileHeld(lock);
    if (generation <= m_writtenGeneration)
        return;
    m_writtenGeneration = generation;
    WritePrivateFile(path, content);
}

void Simulator::RestoreState(const QByteArray& content) {
    const QJsonObject root = QJsonDocument::fromJson(content).object();
    for (Device& d : m_devices) {
        const QJsonObject o = root.value(d.name).toObject();
        if (o.isEmpty())
            continue;
        // What cannot be read keeps the scenario's value.
        ReadContext ctx{Purpose::kState, &d};
        ReadFields(DeviceFields(), d, o, ctx);
    }
}

// ---- text helpers ----

QString FromVela(const VelaChar* text, int maxLength) {
    if (text == nullptr)
        return QString();
    int n = 0;
    while (n < maxLength && text[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar*>(text), n);
}

bool ToVela(const QString& text, VelaChar* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0)
        return false;
    int n = static_cast<int>(std::min<qsizetype>(text.size(), capacity - 1));
    for (int i = 0; i < n; ++i)
        buffer[i] = static_cast<VelaChar>(text[i].unicode());
    buffer[n] = 0;
    return n == text.size();
}

}  // namespace sim
