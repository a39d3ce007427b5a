#include "sim_state.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cstdlib>
#include <thread>

namespace sim {

namespace {

QString JsonString(const QJsonObject& o, const char* key, const QString& fallback = {}) {
    return o.contains(QLatin1String(key)) ? o.value(QLatin1String(key)).toString() : fallback;
}

int JsonInt(const QJsonObject& o, const char* key, int fallback) {
    QJsonValue v = o.value(QLatin1String(key));
    if (v.isString()) {
        bool ok = false;
        int n = static_cast<int>(v.toString().toLongLong(&ok, 0));
        return ok ? n : fallback;
    }
    return v.isDouble() ? static_cast<int>(static_cast<long long>(v.toDouble())) : fallback;
}

bool JsonBool(const QJsonObject& o, const char* key, bool fallback) {
    QJsonValue v = o.value(QLatin1String(key));
    return v.isBool() ? v.toBool() : fallback;
}

Module ParseModule(const QJsonObject& o) {
    Module m;
    m.id = static_cast<std::uint8_t>(JsonInt(o, "id", 0));
    m.encoder = JsonBool(o, "encoder", false);
    m.icStation = JsonBool(o, "ic", false);
    m.rfStation = JsonBool(o, "rf", false);
    m.scanner = JsonBool(o, "scanner", false);
    m.boardV2 = JsonBool(o, "boardV2", true);
    m.cards = JsonInt(o, "cards", m.Type() == 1 ? 100 : 0);
    for (const QJsonValue& h : o.value(QLatin1String("hoppers")).toArray()) {
        m.hoppers.push_back(h.toInt());
        m.hopperCards.push_back(50);
    }
    return m;
}

// Default parameter block: plausible calibration values for a freshly set-up printer.
constexpr std::array<std::int32_t, 30> kDefaultParams = {0,    -35,        336,
                                                         1000, 50,         50,
                                                         50,   50,         10,
                                                         10,  // 0-9
                                                         10,   10,         1200,
                                                         0,    0,          30,
                                                         0,    100,        5 | (2 << 16),
                                                         0,  // 10-19
                                                         0,    0,          (200 << 16) | 250,
                                                         0,    0x00000F00, 0x00300021,
                                                         0,    0,          115200,
                                                         0};  // 20-29

Device ParseDevice(const QJsonObject& o, int index) {
    Device d;
    d.name = JsonString(o, "name", QStringLiteral("[USB%1] Card Printer").arg(index + 1));
    d.description = JsonString(o, "description", QStringLiteral("Card Printer"));
    d.type = static_cast<std::uint32_t>(JsonInt(o, "type", 0x3701));
    d.network = JsonBool(o, "network", false);
    d.firmware = JsonString(o, "firmware", QStringLiteral("V2.1.07"));
    d.serial = JsonString(o, "serial", QStringLiteral("HV%1").arg(2026000100 + index));
    d.headSerial = JsonString(o, "headSerial", QStringLiteral("TH-4471%1").arg(index));
    d.password = JsonString(o, "password", QStringLiteral("1234"));
    d.userPassword = JsonString(o, "userPassword", QStringLiteral("0000"));
    d.printerId =
        JsonString(o, "printerId", QStringLiteral("PRN%1").arg(index + 1, 2, 10, QChar(u'0')));
    d.paramCount = std::clamp(JsonInt(o, "paramCount", 30), 0, kMaxParams);
    for (size_t i = 0; i < kDefaultParams.size(); ++i)
        d.params[i] = kDefaultParams[i];
    const QJsonArray params = o.value(QLatin1String("params")).toArray();
    for (qsizetype i = 0; i < params.size() && i < kMaxParams; ++i)
        d.params[static_cast<size_t>(i)] = static_cast<std::int32_t>(params[i].toDouble());
    for (const QJsonValue& p : o.value(QLatin1String("rejectPositions")).toArray())
        d.rejectedPositions.push_back(p.toInt());
    d.userCounts.values[0] = JsonInt(o, "userImages", 120);
    d.userCounts.values[6] = JsonInt(o, "userPanels", 480);
    d.factoryCounts.values[0] = JsonInt(o, "factoryImages", 1520);
    d.factoryCounts.values[6] = JsonInt(o, "factoryPanels", 6080);
    d.ribbonType = JsonInt(o, "ribbon", 0);
    const QJsonArray modules = o.value(QLatin1String("modules")).toArray();
    for (const QJsonValue& m : modules)
        d.modules.push_back(ParseModule(m.toObject()));
    d.cardModule = JsonInt(o, "card", 0xFF);
    return d;
}

void AppendJsonString(std::string& out, const QString& s) {
    out +=
        QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact).mid(1).chopped(1).toStdString();
}

}  // namespace

// ---- Device ----

Module* Device::FindModule(int id) {
    for (Module& m : modules)
        if (m.id == id)
            return &m;
    return nullptr;
}

const Module* Device::FindModule(int id) const {
    for (const Module& m : modules)
        if (m.id == id)
            return &m;
    return nullptr;
}

int Device::IndexOf(int id) const {
    for (size_t i = 0; i < modules.size(); ++i)
        if (modules[i].id == id)
            return static_cast<int>(i);
    return -1;
}

std::uint64_t Device::Status(const Module& m, Clock::time_point now) const {
    auto bit = [](int n) { return std::uint64_t{1} << n; };
    const bool busy = m.Busy(now);
    const bool card = cardModule == m.id;
    std::uint64_t s = 0;
    switch (m.Type()) {
        case 0x1:
            s |= busy ? bit(17) | bit(1) : bit(16);
            if (m.cards == 0)
                s |= bit(26);
            if (m.cards > 0 && m.cards < 10)
                s |= bit(25);
            s |= bit(27) | bit(28);
            if (card)
                s |= bit(29);
            break;
        case 0x2:
            s |= busy ? bit(3) | bit(1) : bit(2);
            for (size_t i = 0; i < m.hoppers.size(); ++i) {
                int h = m.hoppers[i];
                if (h < 1 || h > 6)
                    continue;
                s |= bit(3 + h);
                if (m.hopperCards[i] == 0)
                    s |= bit(41 + h);
            }
            if (card)
                s |= bit(24);
            break;
        case 0x4: {
            s |= busy ? bit(1) : bit(11);
            if (m.encoder)
                s |= bit(15);
            for (const Module& other : modules) {
                switch (other.Type()) {
                    case 0x1:
                    case 0x2:
                        s |= bit(16);
                        break;
                    case 0x7:
                    case 0x8:
                        s |= bit(17);
                        break;
                    case 0x5:
                        s |= bit(19);
                        break;
                    case 0x6:
                        s |= bit(20);
                        break;
                    default:
                        break;
                }
            }
            int index = IndexOf(m.id);
            if (index > 0)
                s |= bit(26);
            if (index >= 0 && index + 1 < static_cast<int>(modules.size()))
                s |= bit(27);
            if (keyLocked)
                s |= bit(24);
            if (card)
                s |= bit(25);
            if (manualMode)
                s |= bit(30);
            if (wrongPassword)
                s |= bit(61);
            break;
        }
        case 0x5:
            s |= busy ? bit(17) | bit(1) : bit(16);
            if (card)
                s |= bit(24);
            break;
        case 0x6:
            s |= busy ? bit(17) | bit(3) : bit(16);
            if (m.id == 0x62) {
                s |= m.facedDown ? bit(20) : bit(21);
                if (card)
                    s |= bit(30);
            } else {
                s |= m.facedDown ? bit(22) : bit(23);
                if (card)
                    s |= bit(30);
                if (m.boardV2) {
                    s |= bit(21);
                    if (m.icStation)
                        s |= bit(11);
                    if (!m.scanner)
                        s |= bit(12);
                }
            }
            break;
        case 0x7:
            s |= busy ? bit(17) | bit(0) : bit(16);
            s |= bit(26) | bit(27) | bit(28);
            if (card)
                s |= bit(31);
            break;
        default:
            break;
    }
    return (s | m.statusSet) & ~m.statusClear;
}

std::uint8_t Device::State(const Module& m, Clock::time_point now) const {
    std::uint32_t s = 0;
    if (m.Busy(now))
        s |= 0x02 | 0x10;  // "Action : Running", "Command : Running"
    if (cardModule == m.id)
        s |= 0x04;  // "Detect Card"
    if (m.lastCommandFailed)
        s |= 0x20;  // "Command : FAIL"
    return static_cast<std::uint8_t>((s | m.stateSet) & ~m.stateClear);
}

// ---- Simulator ----

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
}

VelaResult Simulator::LoadScenario(const QByteArray& json) {
    std::lock_guard lock(m_mutex);
    return LoadScenarioLocked(json.isEmpty() ? BuiltInScenario() : json);
}

VelaResult Simulator::LoadScenarioLocked(const QByteArray& json) {
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return kErrBadArgument;
    const QJsonObject root = doc.object();
    std::vector<Device> devices;
    const QJsonArray list = root.value(QLatin1String("devices")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i)
        devices.push_back(ParseDevice(list[i].toObject(), static_cast<int>(i)));
    m_devices = std::move(devices);
    m_handles.clear();
    m_scenario = json;
    if (root.contains(QLatin1String("timeScale")))
        m_timeScale = root.value(QLatin1String("timeScale")).toDouble(1.0);
    return kOk;
}

VelaResult Simulator::Reset() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
    m_delays.clear();
    return LoadScenarioLocked(m_scenario);
}

Device* Simulator::ByHandle(VelaHandle h) {
    auto it = m_handles.find(h);
    return it == m_handles.end() ? nullptr : &m_devices[static_cast<size_t>(it->second)];
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

VelaHandle Simulator::Open(Device& device) {
    VelaHandle h = m_nextHandle++;
    m_handles[h] = static_cast<int>(&device - m_devices.data());
    // A fresh connection after a simulated reboot shows what was changed before it.
    if (device.openConnections == 0 && !device.pendingPrinterId.isEmpty()) {
        device.printerId = device.pendingPrinterId;
        device.pendingPrinterId.clear();
        MarkDirty();
    }
    ++device.openConnections;
    return h;
}

bool Simulator::Close(VelaHandle h) {
    auto it = m_handles.find(h);
    if (it == m_handles.end())
        return false;
    Device& d = m_devices[static_cast<size_t>(it->second)];
    if (d.preemptionHolder == h) {
        d.preemptionHolder = 0;
        d.preemptionToken = 0xFFFF;
    }
    d.openConnections = std::max(0, d.openConnections - 1);
    m_handles.erase(it);
    return true;
}

void Simulator::Occupy(Module& module, int ms) {
    auto duration = std::chrono::microseconds(static_cast<long long>(ms * 1000.0 * m_timeScale));
    module.busyUntil = Clock::now() + duration;
}

thread_local int Simulator::t_blockMs = 0;

void Simulator::BlockFor(int ms) {
    t_blockMs = static_cast<int>(ms * m_timeScale);
}

void Simulator::SetTimeScale(double scale) {
    std::lock_guard lock(m_mutex);
    m_timeScale = scale < 0 ? 0 : scale;
}

void Simulator::InjectFault(const std::string& fn, int skip, int count, VelaResult result) {
    std::lock_guard lock(m_mutex);
    m_faults.push_back(Fault{fn, skip, count, result});
}

void Simulator::ClearFaults() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

void Simulator::SetDelay(const std::string& fn, int ms) {
    std::lock_guard lock(m_mutex);
    if (ms <= 0)
        m_delays.erase(fn);
    else
        m_delays[fn] = ms;
}

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
    int delay = 0;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_delays.find(fn);
        if (it != m_delays.end())
            delay = it->second;
    }
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    VelaResult result;
    t_blockMs = 0;
    {
        std::lock_guard lock(m_mutex);
        if (std::optional<VelaResult> fault = TakeFault(fn))
            result = *fault;
        else
            result = body(*this);
        Log(fn, args, result);
        if (m_dirty)
            SaveState();
    }
    if (t_blockMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(t_blockMs));
    t_blockMs = 0;
    return result;
}

void Simulator::Log(const char* fn, std::initializer_list<LogArg> args, VelaResult result) {
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
            static const char* kDigits = "0123456789ABCDEF";
            line += '"';
            const auto* bytes = static_cast<const std::uint8_t*>(h->data);
            for (int i = 0; bytes && i < h->length && i < 4096; ++i) {
                line += kDigits[bytes[i] >> 4];
                line += kDigits[bytes[i] & 0xF];
            }
            line += '"';
        } else {
            line += "\"***\"";
        }
    }
    line += "],\"result\":" + std::to_string(result) + "}\n";
    // Keep the log bounded: drop the older half past 8 MB.
    if (m_log.size() > (8u << 20))
        m_log.erase(0, m_log.size() / 2);
    m_log += line;
}

std::string Simulator::CallLog() {
    std::lock_guard lock(m_mutex);
    return m_log;
}

void Simulator::ClearCallLog() {
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

QJsonObject Simulator::DeviceJson(const Device& d) const {
    QJsonArray params;
    for (int i = 0; i < kMaxParams; ++i)
        params.append(d.params[static_cast<size_t>(i)]);
    auto record = [](const IssueCountRecord& r) {
        QJsonArray a;
        for (int v : r.values)
            a.append(v);
        return a;
    };
    QJsonArray modules;
    for (const Module& m : d.modules) {
        QJsonObject o{{QStringLiteral("id"), m.id}, {QStringLiteral("cards"), m.cards}};
        if (!m.hoppers.empty()) {
            QJsonArray cards;
            for (int n : m.hopperCards)
                cards.append(n);
            o.insert(QStringLiteral("hopperCards"), cards);
        }
        modules.append(o);
    }
    QJsonObject config;
    for (auto [k, v] : d.config)
        config.insert(QString::number(k), v);
    return QJsonObject{
        {QStringLiteral("name"), d.name},
        {QStringLiteral("firmware"), d.firmware},
        {QStringLiteral("serial"), d.serial},
        {QStringLiteral("headSerial"), d.headSerial},
        {QStringLiteral("password"), d.password},
        {QStringLiteral("userPassword"), d.userPassword},
        {QStringLiteral("printerId"), d.printerId},
        {QStringLiteral("pendingPrinterId"), d.pendingPrinterId},
        {QStringLiteral("pcIdentity"), QString::fromLatin1(d.pcIdentity.toHex())},
        {QStringLiteral("magneticKey"), QString::fromLatin1(d.magneticKey.toHex())},
        {QStringLiteral("paramCount"), d.paramCount},
        {QStringLiteral("params"), params},
        {QStringLiteral("userCounts"), record(d.userCounts)},
        {QStringLiteral("factoryCounts"), record(d.factoryCounts)},
        {QStringLiteral("ribbon"), d.ribbonType},
        {QStringLiteral("card"), d.cardModule},
        {QStringLiteral("modules"), modules},
        {QStringLiteral("config"), config},
        {QStringLiteral("wrongPassword"), d.wrongPassword},
        {QStringLiteral("manualMode"), d.manualMode},
        {QStringLiteral("keyLocked"), d.keyLocked},
        {QStringLiteral("preemptionToken"), d.preemptionToken},
        {QStringLiteral("openConnections"), d.openConnections},
    };
}

void Simulator::SetStateFile(const QString& path) {
    std::lock_guard lock(m_mutex);
    m_stateFile = path;
    if (!m_stateFile.isEmpty())
        RestoreState();
}

// Persistent state: what a printer keeps across a power cycle, per device name.
void Simulator::SaveState() {
    m_dirty = false;
    if (m_stateFile.isEmpty())
        return;
    QJsonObject root;
    for (const Device& d : m_devices)
        root.insert(d.name, DeviceJson(d));
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QJsonDocument(root).toJson());
    file.commit();
}

void Simulator::RestoreState() {
    QFile file(m_stateFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    for (Device& d : m_devices) {
        const QJsonObject o = root.value(d.name).toObject();
        if (o.isEmpty())
            continue;
        d.serial = JsonString(o, "serial", d.serial);
        d.headSerial = JsonString(o, "headSerial", d.headSerial);
        d.password = JsonString(o, "password", d.password);
        d.userPassword = JsonString(o, "userPassword", d.userPassword);
        d.printerId = JsonString(o, "printerId", d.printerId);
        d.pendingPrinterId = JsonString(o, "pendingPrinterId", d.pendingPrinterId);
        d.pcIdentity = QByteArray::fromHex(JsonString(o, "pcIdentity").toLatin1());
        d.magneticKey = QByteArray::fromHex(JsonString(o, "magneticKey").toLatin1());
        const QJsonArray params = o.value(QLatin1String("params")).toArray();
        for (qsizetype i = 0; i < params.size() && i < kMaxParams; ++i)
            d.params[static_cast<size_t>(i)] = static_cast<std::int32_t>(params[i].toDouble());
        const QJsonArray user = o.value(QLatin1String("userCounts")).toArray();
        const QJsonArray factory = o.value(QLatin1String("factoryCounts")).toArray();
        for (qsizetype i = 0; i < 7; ++i) {
            if (i < user.size())
                d.userCounts.values[i] = user[i].toInt();
            if (i < factory.size())
                d.factoryCounts.values[i] = factory[i].toInt();
        }
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
