#include "velasim_cli.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>

#include "sim_socket_folder.h"
#include "velasim_client.h"

namespace velasim {

namespace {

constexpr int kAnswerTimeoutMs = 10000;
constexpr int kFollowPollMs = 200;
constexpr unsigned long long kMaxModule = 0xFF;
constexpr unsigned long long kMaxStateBits = 0xFF;
constexpr unsigned long long kMaxCode = 0xFFFFFFFFull;
constexpr unsigned long long kMaxCalls = 1000000000ull;
constexpr unsigned long long kMaxDelayMs = 600000;
constexpr double kMaxTimeScale = 1000.0;

struct Option {
    const char* name;
    const char* value;  // null: a switch without a value
    const char* help;
};

struct Command {
    const char* name;
    std::vector<const char*> arguments;  // every one required
    std::vector<Option> options;
    const char* synopsis;
    const char* help;
};

const Option kDeviceOption = {"--device", "DEVICE", "the device (default: the first one)"};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"list", {}, {}, "", "Lists the running simulators and their devices."},
        {"show",
         {"DEVICE"},
         {},
         "DEVICE",
         "Shows a device's snapshot as JSON: its modules and their stations, the card and where\n"
         "it is, decks and stacks, counters, connections."},
        {"fault",
         {"EXPORT"},
         {{"--skip", "N", "let the first N calls through (0)"},
          {"--count", "M", "fail M calls (default: every call from then on)"},
          {"--code", "CODE", "the result they fail with (default 0x80000330, time-out)"}},
         "EXPORT|PREFIX* [--skip N] [--count M] [--code CODE]",
         "Makes calls of an export, or of every export whose name starts with PREFIX, fail\n"
         "without doing anything."},
        {"clear", {}, {}, "", "Removes every fault rule and every delay."},
        {"delay",
         {"EXPORT", "MS"},
         {},
         "EXPORT MS",
         "Makes every call of an export take MS milliseconds longer (at most 600000; 0 removes\n"
         "the delay)."},
        {"status",
         {"DEVICE", "MODULE"},
         {{"--set", "BITS", "bits forced on"},
          {"--clear", "BITS", "bits forced off"},
          {"--state", nullptr, "force bits of the module's state byte instead"}},
         "DEVICE MODULE [--set BITS] [--clear BITS] [--state]",
         "Forces bits of a module's status word: status = (derived | set) & ~clear. Each call\n"
         "replaces what was forced before; --set 0 --clear 0 forces nothing."},
        {"card",
         {"DEVICE"},
         {{"--put", "MODULE", "put a card into the module (the card in transport moves there)"},
          {"--profile", "NAME", "with --put: a new card of this card profile"},
          {"--remove", nullptr, "take the card in transport out of the system"}},
         "DEVICE --put MODULE [--profile NAME] | --remove",
         "Puts a card into a module, or takes the card out of the system."},
        {"time",
         {"SCALE"},
         {},
         "SCALE",
         "Scales operation times: 0 makes them instant, 1 lifelike (at most 1000)."},
        {"log",
         {},
         {{"--follow", nullptr, "stream every call as it happens, until interrupted"}},
         "[--follow]",
         "Shows the call log as JSON lines: export, arguments, result. Passwords and keys are\n"
         "masked."},
        {"jam",
         {"MODULE"},
         {kDeviceOption},
         "MODULE [--device DEVICE]",
         "A card jams in a module: it shows its card-moving error and the FAIL bits of its\n"
         "state byte, and its commands are refused with 0x80000306, until clear-errors."},
        {"cover-open",
         {},
         {kDeviceOption},
         "[--device DEVICE]",
         "The printer's cover opens: it shows \"case is opened\", and card and print commands\n"
         "are refused with 0x80000307, until clear-errors."},
        {"ribbon-out",
         {},
         {kDeviceOption},
         "[--device DEVICE]",
         "The ribbon runs out: the printer shows \"ribbon is empty\", and prints are refused\n"
         "with 0x80000320, until clear-errors."},
        {"hopper-empty",
         {"MODULE"},
         {kDeviceOption},
         "MODULE [--device DEVICE]",
         "An input hopper runs empty: its cards are set aside, it shows its empty bits, and\n"
         "moves from it are refused with 0x80000304, until clear-errors."},
        {"clear-errors",
         {},
         {kDeviceOption},
         "[--device DEVICE]",
         "Clears what the events set: jams, the open cover, an empty ribbon (a fresh roll) and\n"
         "emptied hoppers (their cards come back). Forced bits stay."},
        {"help", {}, {}, "[COMMAND]", "Shows the help of velasim or of one command."},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name)
            return &c;
    return nullptr;
}

// A command as its usage line shows it: its name and synopsis.
std::string Usage(const Command& c) {
    return std::string(c.name) + (*c.synopsis ? " " : "") + c.synopsis;
}

void GeneralHelp(std::ostream& s) {
    s << "usage: velasim [--pid PID] COMMAND [ARGUMENTS]\n\n"
         "Controls a printer simulator running inside a program that was started with\n"
         "VELASIM_CONTROL=1 (or the path of a private socket folder).\n\ncommands:\n";
    for (const Command& c : Commands())
        s << "  " << Usage(c) << '\n';
    s << "\noptions:\n"
         "  --pid PID   the simulator to control when several are running\n"
         "  --help      this text; COMMAND --help shows one command\n\n"
         "DEVICE is a device's list name, its number in the list (1 = the first) or a part of\n"
         "its name that no other device has. MODULE is a module id such as 0x40 or 64.\n"
         "Numbers are decimal or hexadecimal with 0x.\n\n"
         "exit status: 0 done, 1 refused or unknown device, module or export, 2 bad arguments,\n"
         "3 no simulator reachable.\n";
}

void CommandHelp(const Command& c, std::ostream& s) {
    s << "usage: velasim " << Usage(c) << "\n\n" << c.help << '\n';
    if (!c.options.empty()) {
        s << "\noptions:\n";
        for (const Option& o : c.options) {
            std::string left = std::string(o.name) + (o.value ? std::string(" ") + o.value : "");
            left.resize(std::max<size_t>(left.size() + 2, 18), ' ');
            s << "  " << left << o.help << '\n';
        }
    }
}

// ---- numbers as a user types them ----

// A whole number, decimal or 0x-hexadecimal, up to `max`.
std::optional<unsigned long long> ParseUnsigned(const std::string& text, unsigned long long max) {
    if (text.empty() || text.find_first_not_of("0123456789abcdefABCDEFxX") != std::string::npos)
        return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end != text.c_str() + text.size() || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> ParseScale(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string::npos)
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value) || value < 0 ||
        value > kMaxTimeScale)
        return std::nullopt;
    return value;
}

// ---- the command line ----

struct Parsed {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> options;  // a switch maps to ""

    bool Has(const char* option) const { return options.count(option) != 0; }
    const std::string& Value(const char* option) const { return options.at(option); }
};

std::optional<Parsed> ParseArguments(const Command& c, const std::vector<std::string>& args,
                                     std::string& problem) {
    Parsed parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            parsed.arguments.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const Option* option = nullptr;
        for (const Option& o : c.options)
            if (name == o.name)
                option = &o;
        if (option == nullptr) {
            problem = "unknown option " + name + " for " + c.name;
            return std::nullopt;
        }
        if (parsed.Has(option->name)) {
            problem = name + " is given twice";
            return std::nullopt;
        }
        if (option->value != nullptr && !value) {
            if (i + 1 >= args.size()) {
                problem = name + " needs a value (" + option->value + ")";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (option->value == nullptr && value) {
            problem = name + " takes no value";
            return std::nullopt;
        }
        parsed.options[option->name] = value.value_or(std::string());
    }
    if (parsed.arguments.size() != c.arguments.size()) {
        problem = parsed.arguments.size() < c.arguments.size()
                      ? std::string("missing ") + c.arguments[parsed.arguments.size()]
                      : "unexpected argument \"" + parsed.arguments[c.arguments.size()] + "\"";
        return std::nullopt;
    }
    return parsed;
}

QString Text(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str());
}

// Turns a parsed command line into its request; the first problem found is kept.
class RequestBuilder {
public:
    std::string problem;

    bool Fail(std::string text) {
        if (problem.empty())
            problem = std::move(text);
        return false;
    }

    // A whole number up to `max` into `key`.
    bool Number(QJsonObject& r, const char* key, const std::string& text, unsigned long long max,
                const char* what) {
        const auto value = ParseUnsigned(text, max);
        if (!value)
            return Fail(std::string(what) + " \"" + text + "\" is not a number from 0 to " +
                        std::to_string(max));
        r[QLatin1String(key)] = static_cast<double>(*value);
        return true;
    }

    // Status bits travel as text: a JSON number cannot hold all 64. A state byte has 8.
    bool Bits(QJsonObject& r, const char* key, const Parsed& p, const char* option) {
        if (!p.Has(option)) {
            r[QLatin1String(key)] = QStringLiteral("0");
            return true;
        }
        const std::string& text = p.Value(option);
        if (p.Has("--state") && !ParseUnsigned(text, kMaxStateBits))
            return Fail(std::string(option) + " \"" + text +
                        "\" is not a state byte (0x00 to 0xFF)");
        if (!ParseUnsigned(text, ~0ull))
            return Fail(std::string(option) + " \"" + text +
                        "\" is not a 64-bit number such as 0x200000000");
        r[QLatin1String(key)] = Text(text);
        return true;
    }

    // The request of a command line, or nothing (with `problem`) when the line is wrong.
    std::optional<QJsonObject> Build(const Command& c, const Parsed& p) {
        const std::string name = c.name;
        const auto& a = p.arguments;
        QJsonObject r{{QStringLiteral("cmd"), QString::fromLatin1(c.name)}};
        bool ok = true;
        if (name == "show") {
            r[QStringLiteral("device")] = Text(a[0]);
        } else if (name == "fault") {
            r[QStringLiteral("export")] = Text(a[0]);
            if (p.Has("--skip"))
                ok = Number(r, "skip", p.Value("--skip"), kMaxCalls, "--skip");
            if (ok && p.Has("--count"))
                ok = Number(r, "count", p.Value("--count"), kMaxCalls, "--count") &&
                     (r.value(QLatin1String("count")).toDouble() > 0 ||
                      Fail("--count must be at least 1 (leave it out for every call)"));
            if (ok && p.Has("--code"))
                ok = Number(r, "code", p.Value("--code"), kMaxCode, "--code");
        } else if (name == "delay") {
            r[QStringLiteral("export")] = Text(a[0]);
            ok = Number(r, "ms", a[1], kMaxDelayMs, "MS");
        } else if (name == "status") {
            r[QStringLiteral("device")] = Text(a[0]);
            r[QStringLiteral("state")] = p.Has("--state");
            ok = Number(r, "module", a[1], kMaxModule, "MODULE") &&
                 ((p.Has("--set") || p.Has("--clear")) ||
                  Fail("give --set BITS, --clear BITS or both")) &&
                 Bits(r, "set", p, "--set") && Bits(r, "clear", p, "--clear");
        } else if (name == "card") {
            r[QStringLiteral("device")] = Text(a[0]);
            if (p.Has("--put") == p.Has("--remove"))
                ok = Fail("give either --put MODULE or --remove");
            else if (p.Has("--profile") && !p.Has("--put"))
                ok = Fail("--profile goes with --put");
            else if (p.Has("--remove"))
                r[QStringLiteral("remove")] = true;
            else
                ok = Number(r, "put", p.Value("--put"), kMaxModule, "MODULE");
            if (p.Has("--profile"))
                r[QStringLiteral("profile")] = Text(p.Value("--profile"));
        } else if (name == "time") {
            const auto scale = ParseScale(a[0]);
            if (scale)
                r[QStringLiteral("scale")] = *scale;
            else
                ok = Fail("SCALE \"" + a[0] + "\" is not a number from 0 to 1000");
        } else if (name == "log") {
            r[QStringLiteral("follow")] = p.Has("--follow");
        } else if (name == "jam" || name == "cover-open" || name == "ribbon-out" ||
                   name == "hopper-empty" || name == "clear-errors") {
            r[QStringLiteral("cmd")] = QStringLiteral("event");
            r[QStringLiteral("event")] = QString::fromLatin1(c.name);
            if (!a.empty())
                ok = Number(r, "module", a[0], kMaxModule, "MODULE");
            if (p.Has("--device"))
                r[QStringLiteral("device")] = Text(p.Value("--device"));
        }
        if (!ok)
            return std::nullopt;
        return r;
    }
};

// ---- talking to simulators ----

std::string Compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

std::string Utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// Sends one request and reads its answer; the exit code when that fails.
std::optional<int> Ask(Connection& connection, const Endpoint& endpoint, const QJsonObject& request,
                       QJsonObject& answer, std::ostream& err) {
    std::string error;
    if (!connection.Open(endpoint.path, error)) {
        err << "velasim: simulator " << endpoint.pid << " is gone (" << error << ")\n";
        return kExitNoSimulator;
    }
    std::string line;
    if (!connection.Send(Compact(request)) ||
        connection.ReadLine(line, kAnswerTimeoutMs) != Connection::Got::kLine) {
        err << "velasim: simulator " << endpoint.pid << " does not answer\n";
        return kExitNoSimulator;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line));
    if (!doc.isObject()) {
        err << "velasim: simulator " << endpoint.pid << " gave an unreadable answer\n";
        return kExitNoSimulator;
    }
    answer = doc.object();
    return std::nullopt;
}

int Refusal(const QJsonObject& answer, std::ostream& err) {
    err << "velasim: " << Utf8(answer.value(QLatin1String("error")).toString());
    if (answer.contains(u"code"))
        err << " (" << Utf8(answer.value(QLatin1String("code")).toString()) << ")";
    err << '\n';
    return kExitRefused;
}

int List(const Search& search, std::ostream& out, std::ostream& err) {
    for (const Endpoint& e : search.live) {
        Connection connection;
        QJsonObject answer;
        if (Ask(connection, e, QJsonObject{{QStringLiteral("cmd"), QStringLiteral("hello")}},
                answer, err))
            continue;
        out << e.pid << ' ' << Utf8(answer.value(QLatin1String("program")).toString()) << '\n';
        int number = 0;
        for (const QJsonValue& v : answer.value(QLatin1String("devices")).toArray()) {
            const QJsonObject d = v.toObject();
            out << "  " << ++number << ". " << Utf8(d.value(QLatin1String("name")).toString())
                << ": modules";
            for (const QJsonValue& id : d.value(QLatin1String("modules")).toArray()) {
                char text[4];
                std::snprintf(text, sizeof text, "%02X", id.toInt());
                out << ' ' << text;
            }
            const int open = d.value(QLatin1String("connections")).toInt();
            out << ", " << open << (open == 1 ? " open connection\n" : " open connections\n");
        }
    }
    return kExitDone;
}

// The rest of a "log" answer: every line until the simulator ends it, or (following) until
// the stop request.
int StreamLog(Connection& connection, bool follow, std::ostream& out, std::ostream& err,
              std::stop_token stop) {
    std::string line;
    for (;;) {
        if (follow && stop.stop_requested())
            return kExitDone;
        switch (connection.ReadLine(line, follow ? kFollowPollMs : kAnswerTimeoutMs)) {
            case Connection::Got::kLine:
                if (line.rfind("{\"dropped\":", 0) == 0)
                    err << "velasim: the log went faster than it was read; lines were left out: "
                        << line << '\n';
                else
                    out << line << '\n' << std::flush;
                break;
            case Connection::Got::kTimeout:
                if (follow)
                    break;
                err << "velasim: the simulator stopped sending the log\n";
                return kExitNoSimulator;
            case Connection::Got::kClosed:
                if (follow)
                    err << "velasim: the simulator has ended\n";
                return kExitDone;
        }
    }
}

int Execute(const Command& c, const QJsonObject& request, const std::optional<pid_t>& pid,
            std::ostream& out, std::ostream& err, std::stop_token stop) {
    const ControlSetting setting = ReadControlSetting();
    const Search search = FindSimulators(setting.folder);
    for (const std::string& note : search.notes)
        err << "velasim: " << note << '\n';
    if (!search.problem.empty()) {
        err << "velasim: " << search.problem << "; the socket folder is not used\n";
        return kExitNoSimulator;
    }
    std::vector<Endpoint> chosen;
    for (const Endpoint& e : search.live)
        if (!pid || e.pid == *pid)
            chosen.push_back(e);
    if (chosen.empty()) {
        if (pid)
            err << "velasim: no simulator with pid " << *pid << " is running\n";
        else
            err << "velasim: no simulator is running (none in " << setting.folder
                << "); start a program with " << kControlVariable << "=1\n";
        return kExitNoSimulator;
    }
    if (std::string(c.name) == "list")
        return List(Search{chosen, {}, {}}, out, err);
    if (chosen.size() > 1) {
        err << "velasim: " << chosen.size() << " simulators are running (pids";
        for (const Endpoint& e : chosen)
            err << ' ' << e.pid;
        err << "); choose one with --pid\n";
        return kExitUsage;
    }
    Connection connection;
    QJsonObject answer;
    if (const auto failed = Ask(connection, chosen.front(), request, answer, err))
        return *failed;
    if (!answer.value(QLatin1String("ok")).toBool())
        return Refusal(answer, err);
    const std::string name = c.name;
    if (name == "show") {
        out << QJsonDocument(answer.value(QLatin1String("device")).toObject())
                   .toJson(QJsonDocument::Indented)
                   .toStdString();
    } else if (name == "log") {
        return StreamLog(connection, request.value(QLatin1String("follow")).toBool(), out, err,
                         stop);
    } else if (answer.contains(u"message")) {
        out << Utf8(answer.value(QLatin1String("message")).toString()) << '\n';
    }
    return kExitDone;
}

int UsageError(const std::string& problem, const Command* c, std::ostream& err) {
    err << "velasim: " << problem << '\n';
    if (c != nullptr)
        err << "usage: velasim " << Usage(*c) << '\n'
            << "Try 'velasim " << c->name << " --help'.\n";
    else
        err << "Try 'velasim --help'.\n";
    return kExitUsage;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        std::stop_token stop) {
    // --pid and --help may stand anywhere; the first other word is the command.
    std::optional<pid_t> pid;
    bool help = false;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--pid" || arg.rfind("--pid=", 0) == 0) {
            const bool joined = arg != "--pid";
            if (!joined && i + 1 >= args.size())
                return UsageError("--pid needs a value (PID)", nullptr, err);
            const std::string value = joined ? arg.substr(6) : args[++i];
            const auto number = ParseUnsigned(value, 0x7FFFFFFF);
            if (!number || *number == 0)
                return UsageError("--pid \"" + value + "\" is not a process id", nullptr, err);
            pid = static_cast<pid_t>(*number);
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.empty()) {
        GeneralHelp(help ? out : err);
        return help ? kExitDone : kExitUsage;
    }
    const Command* c = FindCommand(rest.front());
    if (c == nullptr)
        return UsageError("unknown command \"" + rest.front() + "\"", nullptr, err);
    rest.erase(rest.begin());
    if (std::string(c->name) == "help") {
        if (rest.size() > 1)
            return UsageError("help takes one COMMAND at most", c, err);
        const Command* topic = rest.empty() ? nullptr : FindCommand(rest.front());
        if (!rest.empty() && topic == nullptr)
            return UsageError("unknown command \"" + rest.front() + "\"", nullptr, err);
        topic ? CommandHelp(*topic, out) : GeneralHelp(out);
        return kExitDone;
    }
    if (help) {
        CommandHelp(*c, out);
        return kExitDone;
    }
    std::string problem;
    const std::optional<Parsed> parsed = ParseArguments(*c, rest, problem);
    if (!parsed)
        return UsageError(problem, c, err);
    RequestBuilder builder;
    const std::optional<QJsonObject> request = builder.Build(*c, *parsed);
    if (!request)
        return UsageError(builder.problem, c, err);
    return Execute(*c, *request, pid, out, err, stop);
}

}  // namespace velasim
