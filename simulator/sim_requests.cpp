// Answers the control endpoint's requests. Names a person types are resolved here (a device by
// its list name, its number in the list or a part of its name no other device has; an export
// by its exact name or a prefix ending in "*"), every argument is checked before anything
// changes, and the changes are made through the control calls.

#include "sim_requests.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cerrno>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <set>

#include "sim_codes.h"
#include "sim_control_calls.h"
#include "sim_events.h"
#include "sim_state.h"
#include "vela_exports.h"

namespace sim {

namespace {

constexpr long long kMaxDelayMs = 600000;
constexpr double kMaxTimeScale = 1000.0;
constexpr long long kMaxCalls = 1000000000;
constexpr long long kMaxCode = 0xFFFFFFFFLL;
constexpr long long kMaxModule = 0xFF;
constexpr long long kMaxExactDouble = 1LL << 53;  // larger integers are not exact in JSON
constexpr VelaResult kDefaultFaultCode = kErrTimeout;

QString Quoted(const QString& text) {
    return u'"' + text + u'"';
}

QString CodeText(VelaResult code) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(static_cast<std::uint32_t>(code), 8, 16, QChar(u'0')).toUpper();
}

QString ModuleText(int id) {
    return QStringLiteral("%1").arg(id, 2, 16, QChar(u'0')).toUpper();
}

QString BitsText(std::uint64_t bits, int digits) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(bits, digits, 16, QChar(u'0')).toUpper();
}

std::string Line(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() + '\n';
}

Answer Done(QJsonObject o = {}) {
    o.insert(QStringLiteral("ok"), true);
    return Answer{Line(o)};
}

Answer Done(const QString& message) {
    return Done(QJsonObject{{QStringLiteral("message"), message}});
}

Answer Refused(const QString& error) {
    return Answer{
        Line(QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}})};
}

Answer Refused(const QString& error, VelaResult code) {
    return Answer{Line(QJsonObject{{QStringLiteral("ok"), false},
                                   {QStringLiteral("error"), error},
                                   {QStringLiteral("code"), CodeText(code)}})};
}

const std::set<std::string>& ExportNames() {
#define SIM_NAME(ret, name, params) #name,
#define SIM_NAME_UNUSED(name) #name,
    static const std::set<std::string> names = {VELA_FOR_EACH_EXPORT(SIM_NAME, SIM_NAME_UNUSED)};
#undef SIM_NAME
#undef SIM_NAME_UNUSED
    return names;
}

// An export name, or (when `patterns` allows) a family: a prefix ending in "*" that at least
// one export has.
bool CheckExport(const QString& given, bool patterns, QString& error) {
    const std::string name = given.toStdString();
    if (ExportNames().count(name) != 0)
        return true;
    if (patterns && !name.empty() && name.back() == '*' && name.find('*') == name.size() - 1) {
        const std::string prefix = name.substr(0, name.size() - 1);
        for (const std::string& known : ExportNames())
            if (known.compare(0, prefix.size(), prefix) == 0)
                return true;
        error = QStringLiteral("no export starts with ") + Quoted(QString::fromStdString(prefix));
        return false;
    }
    error = QStringLiteral("unknown export ") + Quoted(given);
    return false;
}

// The arguments of one request, read and checked; the first problem is kept in `error`.
class Args {
public:
    explicit Args(const QJsonObject& o) : m_o(o) {}

    bool Has(const char* key) const { return m_o.contains(QLatin1String(key)); }

    // Refuses keys the command does not know (a misspelt argument must not be ignored).
    bool OnlyKeys(std::initializer_list<const char*> keys) {
        for (auto it = m_o.begin(); it != m_o.end(); ++it) {
            bool known = it.key() == u"cmd";
            for (const char* key : keys)
                known = known || it.key() == QLatin1String(key);
            if (!known)
                return Fail(QStringLiteral("unknown argument ") + Quoted(it.key()));
        }
        return true;
    }

    // A whole number in [min, max]; an absent optional one leaves `out` as it is.
    bool Integer(const char* key, long long min, long long max, long long& out,
                 bool required = true) {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return required ? Fail(QStringLiteral("missing \"%1\"").arg(QLatin1String(key))) : true;
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || !std::isfinite(d) || std::floor(d) != d ||
            d < static_cast<double>(min) || d > static_cast<double>(max))
            return Fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(min)
                            .arg(max));
        out = static_cast<long long>(d);
        return true;
    }

    bool Number(const char* key, double min, double max, double& out) {
        const QJsonValue v = m_o.value(QLatin1String(key));
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || !std::isfinite(d) || d < min || d > max)
            return Fail(QStringLiteral("\"%1\" must be a number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(min)
                            .arg(max));
        out = d;
        return true;
    }

    bool Text(const char* key, QString& out, bool required = true) {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined() && !required)
            return true;
        if (!v.isString())
            return Fail(QStringLiteral("\"%1\" must be a text").arg(QLatin1String(key)));
        out = v.toString();
        return true;
    }

    bool Flag(const char* key, bool& out) {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isBool())
            return Fail(QStringLiteral("\"%1\" must be true or false").arg(QLatin1String(key)));
        out = v.toBool();
        return true;
    }

    // 64 status bits: a text ("0x..." or decimal, which holds all 64 bits) or a small number.
    bool Bits(const char* key, std::uint64_t& out) {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        bool ok = false;
        if (v.isString()) {
            const QString text = v.toString().trimmed();
            ok = !text.isEmpty() && !text.startsWith(u'-') && !text.startsWith(u'+');
            out = ok ? text.toULongLong(&ok, 0) : 0;
        } else if (v.isDouble()) {
            const double d = v.toDouble();
            ok = std::floor(d) == d && d >= 0 && d <= static_cast<double>(kMaxExactDouble);
            out = ok ? static_cast<std::uint64_t>(d) : 0;
        }
        return ok ? true
                  : Fail(QStringLiteral("\"%1\" must be 64 bits, such as \"0x200000000\"")
                             .arg(QLatin1String(key)));
    }

    bool Fail(const QString& problem) {
        if (error.isEmpty())
            error = problem;
        return false;
    }

    QString error;

private:
    const QJsonObject& m_o;
};

// A device as the endpoint found it.
struct Target {
    QByteArray name;  // its list name, as the control calls take it
    QString shown;    // quoted for messages
    std::vector<int> modules;
};

// The device a person named: its list name in any case, its number in the list (1 = the first)
// or a part of its name that no other device has; empty means the first device.
bool FindDevice(const QString& given, Target& target, QString& error) {
    return Simulator::Instance().Locked([&](Simulator& s) {
        const std::vector<Device>& devices = s.Devices();
        const auto take = [&](const Device& d) {
            target.name = d.name.toUtf8();
            target.shown = Quoted(d.name);
            for (const Module& m : d.modules)
                target.modules.push_back(m.id);
            return true;
        };
        const QString wanted = given.trimmed();
        if (devices.empty()) {
            error = QStringLiteral("the simulator has no devices");
            return false;
        }
        if (wanted.isEmpty())
            return take(devices.front());
        for (const Device& d : devices)
            if (d.name.compare(wanted, Qt::CaseInsensitive) == 0)
                return take(d);
        bool number = false;
        const int n = wanted.toInt(&number);
        if (number && n >= 1 && n <= static_cast<int>(devices.size()))
            return take(devices[static_cast<size_t>(n - 1)]);
        const Device* found = nullptr;
        int matches = 0;
        QStringList names;
        for (const Device& d : devices) {
            names << Quoted(d.name);
            if (d.name.contains(wanted, Qt::CaseInsensitive)) {
                found = &d;
                ++matches;
            }
        }
        if (matches == 1)
            return take(*found);
        error = (matches == 0 ? QStringLiteral("unknown device %1 (devices: %2)")
                              : QStringLiteral("%1 names more than one device (%2)"))
                    .arg(Quoted(wanted), names.join(QStringLiteral(", ")));
        return false;
    });
}

bool CheckModule(const Target& target, int module, QString& error) {
    QStringList ids;
    for (int id : target.modules) {
        if (id == module)
            return true;
        ids << ModuleText(id);
    }
    error = QStringLiteral("unknown module 0x%1 on %2 (modules: %3)")
                .arg(ModuleText(module), target.shown, ids.join(u' '));
    return false;
}

// The device of a request ("device", optional: the first device) and, when `moduleKey` is
// given, one of its modules.
bool ReadTarget(Args& args, Target& target, const char* moduleKey, int* module,
                bool deviceRequired) {
    QString device;
    if (!args.Text("device", device, deviceRequired))
        return false;
    long long id = 0;
    if (moduleKey != nullptr && !args.Integer(moduleKey, 0, kMaxModule, id))
        return false;
    QString error;
    if (!FindDevice(device, target, error) ||
        (moduleKey != nullptr && !CheckModule(target, static_cast<int>(id), error)))
        return args.Fail(error);
    if (module != nullptr)
        *module = static_cast<int>(id);
    return true;
}

// ---- commands ----

Answer Hello(Args& args) {
    if (!args.OnlyKeys({}))
        return Refused(args.error);
    QJsonArray devices = Simulator::Instance().Locked([](Simulator& s) {
        QJsonArray list;
        for (const Device& d : s.Devices()) {
            QJsonArray modules;
            for (const Module& m : d.modules)
                modules.append(m.id);
            list.append(QJsonObject{
                {QStringLiteral("name"), d.name},
                {QStringLiteral("modules"), modules},
                {QStringLiteral("connections"), static_cast<int>(d.connections.size())}});
        }
        return list;
    });
#if defined(__GLIBC__)
    const QString program = QString::fromLocal8Bit(program_invocation_short_name);
#else
    const QString program;
#endif
    return Done(QJsonObject{{QStringLiteral("pid"), QCoreApplication::applicationPid()},
                            {QStringLiteral("program"), program},
                            {QStringLiteral("devices"), devices}});
}

Answer Show(Args& args) {
    Target target;
    if (!args.OnlyKeys({"device"}) || !ReadTarget(args, target, nullptr, nullptr, false))
        return Refused(args.error);
    const QJsonObject snapshot = Simulator::Instance().Locked([&](Simulator& s) {
        const Device* d = s.ByName(target.name.constData());
        return d ? s.DeviceJson(*d) : QJsonObject();
    });
    if (snapshot.isEmpty())
        return Refused(QStringLiteral("device %1 is gone").arg(target.shown), kErrDeviceNotFound);
    return Done(QJsonObject{{QStringLiteral("device"), snapshot}});
}

Answer Fault(Args& args) {
    QString name, error;
    long long skip = 0, count = -1, code = static_cast<std::uint32_t>(kDefaultFaultCode);
    if (!args.OnlyKeys({"export", "skip", "count", "code"}) || !args.Text("export", name) ||
        !args.Integer("skip", 0, kMaxCalls, skip, false) ||
        !args.Integer("count", -1, kMaxCalls, count, false) ||
        !args.Integer("code", 0, kMaxCode, code, false))
        return Refused(args.error);
    if (count == 0)
        return Refused(QStringLiteral("\"count\" must be -1 (from then on) or at least 1"));
    if (!CheckExport(name, true, error))
        return Refused(error);
    const VelaResult result = static_cast<VelaResult>(static_cast<std::uint32_t>(code));
    const std::string pattern = name.toStdString();
    if (VelaResult r = VelaSim_InjectFault(pattern.c_str(), static_cast<int>(skip),
                                           static_cast<int>(count), result);
        r != kOk)
        return Refused(QStringLiteral("fault rule refused"), r);
    const QString when =
        count < 0 ? QStringLiteral("from call %1 on").arg(skip + 1)
                  : QStringLiteral("for %1 call(s) from call %2").arg(count).arg(skip + 1);
    return Done(QStringLiteral("%1 fails with %2 %3").arg(name, CodeText(result), when));
}

Answer Clear(Args& args) {
    if (!args.OnlyKeys({}))
        return Refused(args.error);
    VelaSim_ClearFaults();
    VelaSim_ClearDelays();
    return Done(QStringLiteral("fault rules and delays cleared"));
}

Answer Delay(Args& args) {
    QString name, error;
    long long ms = 0;
    if (!args.OnlyKeys({"export", "ms"}) || !args.Text("export", name) ||
        !args.Integer("ms", 0, kMaxDelayMs, ms))
        return Refused(args.error);
    if (!CheckExport(name, false, error))
        return Refused(error);
    const std::string exportName = name.toStdString();
    VelaSim_SetDelay(exportName.c_str(), static_cast<int>(ms));
    return Done(ms > 0 ? QStringLiteral("every call of %1 takes %2 ms longer").arg(name).arg(ms)
                       : QStringLiteral("%1 has no delay").arg(name));
}

Answer Status(Args& args) {
    Target target;
    int module = 0;
    std::uint64_t set = 0, clear = 0;
    bool state = false;
    if (!args.OnlyKeys({"device", "module", "set", "clear", "state"}) || !args.Bits("set", set) ||
        !args.Bits("clear", clear) || !args.Flag("state", state) ||
        !ReadTarget(args, target, "module", &module, false))
        return Refused(args.error);
    constexpr std::uint64_t kStateBits = 0xFF;
    if (state && ((set | clear) & ~kStateBits) != 0)
        return Refused(QStringLiteral("a state byte has 8 bits (0x00 to 0xFF)"));
    const VelaResult r = state ? VelaSim_SetStateBits(target.name.constData(), module,
                                                      static_cast<std::uint32_t>(set),
                                                      static_cast<std::uint32_t>(clear))
                               : VelaSim_SetStatusBits(target.name.constData(), module, set, clear);
    if (r != kOk)
        return Refused(QStringLiteral("the simulator refused"), r);
    return Done(QStringLiteral("module %1 of %2: %3 bits forced on %4, off %5")
                    .arg(ModuleText(module), target.shown,
                         state ? QStringLiteral("state") : QStringLiteral("status"),
                         BitsText(set, state ? 2 : 16), BitsText(clear, state ? 2 : 16)));
}

Answer CardCommand(Args& args) {
    Target target;
    bool remove = false;
    QString profile;
    if (!args.OnlyKeys({"device", "put", "remove", "profile"}) || !args.Flag("remove", remove) ||
        !args.Text("profile", profile, false))
        return Refused(args.error);
    if (remove == args.Has("put"))
        return Refused(QStringLiteral("give either \"put\" or \"remove\""));
    if (remove) {
        if (!ReadTarget(args, target, nullptr, nullptr, false))
            return Refused(args.error);
        if (VelaResult r = VelaSim_RemoveCard(target.name.constData()); r != kOk)
            return Refused(r == kErrNoCard
                               ? QStringLiteral("there is no card in %1").arg(target.shown)
                               : QStringLiteral("the simulator refused"),
                           r);
        return Done(QStringLiteral("card taken out of %1").arg(target.shown));
    }
    int module = 0;
    if (!ReadTarget(args, target, "put", &module, false))
        return Refused(args.error);
    const QByteArray profileName = profile.toUtf8();
    const VelaResult r =
        args.Has("profile")
            ? VelaSim_InsertCard(target.name.constData(), module, profileName.constData())
            : VelaSim_SetCardModule(target.name.constData(), module);
    if (r == kErrBusy)
        return Refused(QStringLiteral("a card is already in %1").arg(target.shown), r);
    if (r == kErrBadArgument)
        return Refused(QStringLiteral("unknown card profile %1").arg(Quoted(profile)), r);
    if (r != kOk)
        return Refused(QStringLiteral("the simulator refused"), r);
    return Done(QStringLiteral("card in module %1 of %2").arg(ModuleText(module), target.shown));
}

Answer Time(Args& args) {
    double scale = 0;
    if (!args.OnlyKeys({"scale"}) || !args.Number("scale", 0.0, kMaxTimeScale, scale))
        return Refused(args.error);
    VelaSim_SetTimeScale(scale);
    return Done(QStringLiteral("operation times scaled by %1").arg(scale));
}

Answer Log(Args& args) {
    bool follow = false;
    if (!args.OnlyKeys({"follow"}) || !args.Flag("follow", follow))
        return Refused(args.error);
    if (follow) {
        Answer answer = Done(QJsonObject{{QStringLiteral("follow"), true}});
        answer.after = AfterAnswer::kFollowLog;
        return answer;
    }
    Answer answer = Done();
    answer.text += Simulator::Instance().CallLog();
    answer.after = AfterAnswer::kClose;
    return answer;
}

Answer Event(Args& args) {
    QString event;
    if (!args.OnlyKeys({"event", "device", "module"}) || !args.Text("event", event))
        return Refused(args.error);
    bool needsModule = false;
    if (!IsEvent(event.toStdString(), &needsModule))
        return Refused(QStringLiteral("unknown event ") + Quoted(event));
    Target target;
    int module = 0;
    if (!ReadTarget(args, target, needsModule ? "module" : nullptr, &module, false))
        return Refused(args.error);
    const QByteArray name = event.toUtf8();
    const VelaResult r = VelaSim_Event(target.name.constData(), name.constData(), module);
    const QString where = QStringLiteral("module %1 of %2").arg(ModuleText(module), target.shown);
    if (r == kErrBadArgument && event == u"hopper-empty")
        return Refused(QStringLiteral("%1 is not an input hopper").arg(where), r);
    if (r == kErrNoModule)
        return Refused(QStringLiteral("%1 has no printer").arg(target.shown), r);
    if (r != kOk)
        return Refused(QStringLiteral("the simulator refused"), r);
    if (event == u"jam")
        return Done(QStringLiteral("%1 jammed: its commands are refused with %2 until "
                                   "clear-errors")
                        .arg(where, CodeText(kErrJammed)));
    if (event == u"hopper-empty")
        return Done(QStringLiteral("%1 emptied: moves from it are refused with %2 until "
                                   "clear-errors")
                        .arg(where, CodeText(kErrHopperEmpty)));
    if (event == u"cover-open")
        return Done(QStringLiteral("cover of %1 open: card and print commands are refused with "
                                   "%2 until clear-errors")
                        .arg(target.shown, CodeText(kErrCoverOpen)));
    if (event == u"ribbon-out")
        return Done(QStringLiteral("ribbon of %1 empty: prints are refused with %2 until "
                                   "clear-errors")
                        .arg(target.shown, CodeText(kErrRibbon)));
    return Done(QStringLiteral("errors of %1 cleared").arg(target.shown));
}

}  // namespace

Answer AnswerRequest(const std::string& line) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Refused(QStringLiteral("malformed request: one JSON object per line expected"));
    const QJsonObject request = doc.object();
    Args args(request);
    const QString cmd = request.value(QLatin1String("cmd")).toString();
    if (cmd == u"hello")
        return Hello(args);
    if (cmd == u"show")
        return Show(args);
    if (cmd == u"fault")
        return Fault(args);
    if (cmd == u"clear")
        return Clear(args);
    if (cmd == u"delay")
        return Delay(args);
    if (cmd == u"status")
        return Status(args);
    if (cmd == u"card")
        return CardCommand(args);
    if (cmd == u"time")
        return Time(args);
    if (cmd == u"log")
        return Log(args);
    if (cmd == u"event")
        return Event(args);
    return Refused(QStringLiteral("unknown command ") +
                   Quoted(request.value(QLatin1String("cmd")).toVariant().toString()));
}

}  // namespace sim
