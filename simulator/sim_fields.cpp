// The field tables of devices, modules and stations.

#include "sim_fields.h"

#include <algorithm>
#include <cctype>

#include "sim_chips.h"
#include "sim_field_codecs.h"

namespace sim {

using namespace fields;

namespace {

constexpr int kDefaultInputCards = 100;  // an input hopper's deck when the scenario says nothing
constexpr int kDefaultLineCards = 50;    // each line of a multi-input hopper
constexpr int kMaxDeckCards = 100000;
constexpr int kMaxHopperLine = 6;
constexpr int kTopCardsShown = 3;

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

const QJsonValue kLeaveOut(QJsonValue::Undefined);

// "busyMs": how long the module or station stays busy, in real milliseconds (not scaled by the
// time factor): tests make one busy for as long as they need.
template <typename T>
Field<T> BusyFor() {
    return Field<T>{
        "busyMs", kSettable,
        [](const T& t, Purpose) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(t.busyUntil - Clock::now());
            return QJsonValue(static_cast<qint64>(std::max<long long>(0, left.count())));
        },
        [](T& t, const QJsonValue& v, ReadContext& ctx) {
            int ms = 0;
            if (!Codec<int>::Read(ms, v) || ms < 0)
                ctx.Error(BadValue("busyMs"));
            else
                t.busyUntil = Clock::now() + std::chrono::milliseconds(ms);
        }};
}

// ---- stations ----

template <typename S>
FieldTable<S> StationTable(std::initializer_list<Field<S>> own) {
    FieldTable<S> table{
        Member<S, bool>("installed", kSettable, &S::installed),
        Field<S>{"busy",
                 kShown,
                 [](const S& s, Purpose) { return QJsonValue(s.Busy(Clock::now())); },
                 {}},
        BusyFor<S>(),
    };
    table.insert(table.end(), own);
    return table;
}

const FieldTable<EncoderStation>& EncoderFields() {
    using E = EncoderStation;
    static const FieldTable<E> table = StationTable<E>({
        Member("coercivity", kSettable | kPersistent, &E::coercivity),
        Member("config", kSettable | kPersistent, &E::config),
        Shown("plain", &E::plain),
        Field<E>{"encrypted",
                 kShown,
                 [](const E& e, Purpose) {
                     QJsonArray a;
                     for (const EncryptedBuffer& b : e.encrypted)
                         a.append(QJsonObject{{QStringLiteral("data"), b.data},
                                              {QStringLiteral("key"), SpacedHex(b.key)}});
                     return QJsonValue(a);
                 },
                 {}},
        Field<E>{"read", kShown, [](const E& e, Purpose) { return StripeJson(e.read); }, {}},
        Shown("readMask", &E::readMask),
        Shown("fetchedMask", &E::fetchedMask),
        Shown("handedMask", &E::handedMask),
        Shown("positionedCard", &E::positionedCard),
    });
    return table;
}

const FieldTable<IcStation>& IcFields() {
    static const FieldTable<IcStation> table =
        StationTable<IcStation>({Member("contacted", kSettable, &IcStation::contacted)});
    return table;
}

const FieldTable<RfStation>& RfFields() {
    static const FieldTable<RfStation> table =
        StationTable<RfStation>({Member("fieldOn", kSettable, &RfStation::fieldOn),
                                 Field<RfStation>{"keyLoaded",
                                                  kShown,
                                                  [](const RfStation& rf, Purpose) {
                                                      return QJsonValue(rf.loadedKey.has_value());
                                                  },
                                                  {}}});
    return table;
}

const FieldTable<ScannerStation>& ScannerFields() {
    using S = ScannerStation;
    static const FieldTable<S> table = StationTable<S>({
        Member("config", kSettable | kPersistent, &S::config),
        Member("area", kSettable | kPersistent, &S::area),
        Member("version", kSettable, &S::version),
        Field<S>{"lastScan",
                 kShown,
                 [](const S& s, Purpose) {
                     if (!s.lastScan)
                         return QJsonValue();
                     return QJsonValue(QJsonObject{
                         {QStringLiteral("card"), static_cast<qint64>(s.lastScan->card)},
                         {QStringLiteral("barcodeTop"), s.lastScan->barcodes[kTop]},
                         {QStringLiteral("barcodeBottom"), s.lastScan->barcodes[kBottom]},
                     });
                 },
                 {}},
    });
    return table;
}

// The settings block as its non-zero 32-bit fields, keyed by byte offset.
QJsonValue SettingsJson(const PrinterStation& p) {
    QJsonObject o;
    for (size_t offset = 0; offset + 4 <= p.settings.size(); offset += 4)
        if (std::int32_t v = p.SettingAt(offset); v != 0)
            o.insert(QString::number(offset), v);
    return o;
}

void ReadSettings(PrinterStation& p, const QJsonValue& v, ReadContext& ctx) {
    if (!v.isObject()) {
        ctx.Error(BadValue("settings"));
        return;
    }
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool ok = false;
        const uint offset = it.key().toUInt(&ok);
        std::int32_t value = 0;
        if (!ok || offset + 4 > p.settings.size() || !Codec<std::int32_t>::Read(value, *it)) {
            ctx.Error(QStringLiteral("\"settings\": no field at %1").arg(it.key()));
            continue;
        }
        p.SetSettingAt(offset, value);
    }
}

const FieldTable<PrinterStation>& PrinterFields() {
    using P = PrinterStation;
    static const FieldTable<P> table = StationTable<P>({
        Field<P>{"settings", kSettable | kPersistent,
                 [](const P& p, Purpose) { return SettingsJson(p); }, ReadSettings},
        Field<P>{"ribbon", kSettable,
                 [](const P& p, Purpose) {
                     return QJsonValue(
                         QJsonObject{{QStringLiteral("type"), p.ribbon.type},
                                     {QStringLiteral("remaining"), p.ribbon.remaining},
                                     {QStringLiteral("capacity"), p.ribbon.capacity}});
                 },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     const QJsonObject o = v.toObject();
                     if (!v.isObject() ||
                         (o.contains(u"type") && !Codec<int>::Read(p.ribbon.type, o[u"type"])) ||
                         (o.contains(u"remaining") &&
                          !Codec<int>::Read(p.ribbon.remaining, o[u"remaining"])) ||
                         (o.contains(u"capacity") &&
                          !Codec<int>::Read(p.ribbon.capacity, o[u"capacity"])))
                         ctx.Error(BadValue("ribbon"));
                 }},
        Field<P>{"jobs",
                 kShown,
                 [](const P& p, Purpose) {
                     QJsonArray a;
                     for (const PrintJob& job : p.jobs)
                         a.append(QJsonObject{{QStringLiteral("id"), job.id},
                                              {QStringLiteral("page"), job.page},
                                              {QStringLiteral("bytes"), job.data.size()}});
                     return QJsonValue(a);
                 },
                 {}},
        Shown("nextJobId", &P::nextJobId),
    });
    return table;
}

// ---- modules ----

// What a module of its type has before the scenario says more.
void ApplyTypeDefaults(Module& m) {
    if (m.Type() == vela::kTypePrinter) {
        m.printer.installed = true;
        m.printer.settings.assign(kPrinterSettingsSize, 0);
        m.printer.SetSettingAt(printer_settings::kCard1InUse, 1);
    }
    if (m.IsLaser())
        m.encoder.installed = true;  // the laser unit's stripe encoder
}

// A deck of `count` fresh cards; they take the device's next serial numbers.
Deck NewDeck(ReadContext& ctx, int line, int count, ProfileRef profile) {
    Deck deck;
    deck.line = line;
    deck.profile = std::move(profile);
    deck.fresh = std::clamp(count, 0, kMaxDeckCards);
    deck.nextSerial = ctx.device->nextSerial;
    ctx.device->nextSerial += static_cast<std::uint32_t>(deck.fresh);
    return deck;
}

int ReadCount(ReadContext& ctx, const QJsonValue& v, int fallback) {
    int count = fallback;
    if (!v.isUndefined() && !Codec<int>::Read(count, v))
        ctx.Error(BadValue("cards"));
    return count;
}

// The decks step of the module table: builds a hopper's decks from "cards", "profile" and
// "hoppers" (a line number, or {"line", "cards", "profile"}). A scenario builds them always; a
// control call only when one of those keys is given, keeping what it does not name.
void BuildDecks(Module& m, const QJsonValue& whole, ReadContext& ctx) {
    const QJsonObject o = whole.toObject();
    const bool scenario = ctx.purpose == Purpose::kScenario;
    const bool named = o.contains(u"cards") || o.contains(u"profile") || o.contains(u"hoppers");
    if (!scenario && !named)
        return;
    const ProfileRef standard = ctx.device->profiles.at(kDefaultProfile);
    if (m.Type() == vela::kTypeInputHopper) {
        const Deck* old = scenario || m.decks.empty() ? nullptr : &m.decks.front();
        const ProfileRef profile = FindProfile(ctx, o[u"profile"], old ? old->profile : standard);
        const int count = ReadCount(ctx, o[u"cards"], old ? old->Count() : kDefaultInputCards);
        m.decks = {NewDeck(ctx, 0, count, profile)};
    } else if (m.Type() == vela::kTypeMultiInputHopper) {
        const ProfileRef profile = FindProfile(ctx, o[u"profile"], standard);
        std::vector<Deck> decks;
        if (!o.contains(u"hoppers")) {
            for (const Deck& old : m.decks)
                decks.push_back(NewDeck(ctx, old.line, old.Count(), profile));
        }
        for (const QJsonValue& item : o[u"hoppers"].toArray()) {
            const QJsonObject line = item.isObject() ? item.toObject() : QJsonObject();
            int number = 0;
            if (!Codec<int>::Read(number, item.isObject() ? line[u"line"] : item) || number < 1 ||
                number > kMaxHopperLine) {
                ctx.Error(QStringLiteral("\"hoppers\": hopper lines are 1 to 6"));
                continue;
            }
            decks.push_back(NewDeck(ctx, number, ReadCount(ctx, line[u"cards"], kDefaultLineCards),
                                    FindProfile(ctx, line[u"profile"], profile)));
        }
        m.decks = std::move(decks);
    } else if (named) {
        ctx.Error(QStringLiteral("module %1 holds no cards").arg(m.id, 2, 16, QChar(u'0')));
    }
}

QJsonValue DecksJson(const Module& m) {
    if (!m.IsHopper())
        return kLeaveOut;
    QJsonArray decks;
    for (const Deck& deck : m.decks) {
        QJsonArray top;
        for (std::uint32_t serial : deck.TopSerials(kTopCardsShown))
            top.append(static_cast<qint64>(serial));
        decks.append(QJsonObject{{QStringLiteral("line"), deck.line},
                                 {QStringLiteral("profile"), deck.profile->name},
                                 {QStringLiteral("count"), deck.Count()},
                                 {QStringLiteral("top"), top}});
    }
    return decks;
}

QJsonValue CardsJson(const CardStack& stack) {
    return stack.cards.empty() && stack.unloaded == 0 ? kLeaveOut : QJsonValue(StackJson(stack));
}

}  // namespace

const FieldTable<Module>& ModuleFields() {
    using M = Module;
    static const FieldTable<M> table = {
        Field<M>{"id", kSettable | kPersistent,
                 [](const M& m, Purpose) { return QJsonValue(m.id); },
                 [](M& m, const QJsonValue& v, ReadContext& ctx) {
                     // Only a scenario gives a module its id; the rest find it by its id.
                     if (ctx.purpose != Purpose::kScenario)
                         return;
                     if (!Codec<std::uint8_t>::Read(m.id, v))
                         ctx.Error(BadValue("id"));
                     ApplyTypeDefaults(m);
                 }},
        Member("boardV2", kSettable, &M::boardV2),
        Nested("encoder", kSettable | kPersistent, &M::encoder, EncoderFields),
        Nested("ic", kSettable, &M::ic, IcFields),
        Nested("rf", kSettable, &M::rf, RfFields),
        Nested("scanner", kSettable | kPersistent, &M::scanner, ScannerFields),
        Nested("printer", kSettable | kPersistent, &M::printer, PrinterFields),
        // "cards", "profile" and "hoppers" are read by the decks step at the end.
        Field<M>{"cards",
                 kSettable,
                 [](const M& m, Purpose) {
                     return m.IsHopper() ? QJsonValue(m.CardsInDecks()) : kLeaveOut;
                 },
                 {}},
        Field<M>{"profile", kSettable, {}, {}},
        Field<M>{"hoppers",
                 kSettable,
                 [](const M& m, Purpose) {
                     if (m.Type() != vela::kTypeMultiInputHopper)
                         return kLeaveOut;
                     QJsonArray lines;
                     for (const Deck& deck : m.decks)
                         lines.append(deck.line);
                     return QJsonValue(lines);
                 },
                 {}},
        Field<M>{"hopperCards",
                 kShown,
                 [](const M& m, Purpose) {
                     if (m.Type() != vela::kTypeMultiInputHopper)
                         return kLeaveOut;
                     QJsonArray counts;
                     for (const Deck& deck : m.decks)
                         counts.append(deck.Count());
                     return QJsonValue(counts);
                 },
                 {}},
        Field<M>{"decks", kShown, [](const M& m, Purpose) { return DecksJson(m); }, {}},
        Field<M>{"stack",
                 kShown,
                 [](const M& m, Purpose) {
                     return m.Type() == vela::kTypeFlipper ? kLeaveOut : CardsJson(m.stack);
                 },
                 {}},
        Field<M>{"errorBin",
                 kShown,
                 [](const M& m, Purpose) {
                     return m.Type() == vela::kTypeFlipper ? CardsJson(m.stack) : kLeaveOut;
                 },
                 {}},
        Field<M>{"busy",
                 kShown,
                 [](const M& m, Purpose) { return QJsonValue(m.Busy(Clock::now())); },
                 {}},
        BusyFor<M>(),
        Shown("lastCommandFailed", &M::lastCommandFailed),
        Member("jammed", kSettable, &M::jammed),
        Field<M>{"setAside",
                 kShown,
                 [](const M& m, Purpose) {
                     int cards = 0;
                     for (const Deck& deck : m.setAside)
                         cards += deck.Count();
                     return cards == 0 ? kLeaveOut : QJsonValue(cards);
                 },
                 {}},
        Shown("facedDown", &M::facedDown),
        Shown("position", &M::position),
        Shown("armedPass", &M::armedPass),
        Shown("stagedFlip", &M::stagedFlip),
        Shown("stagedIn", &M::stagedIn),
        Shown("statusSet", &M::statusSet),
        Shown("statusClear", &M::statusClear),
        Shown("stateSet", &M::stateSet),
        Shown("stateClear", &M::stateClear),
        Field<M>{nullptr, kSettable, {}, BuildDecks},
    };
    return table;
}

// ---- devices ----

namespace {

void ReadModules(Device& d, const QJsonValue& v, ReadContext& ctx) {
    if (!v.isArray()) {
        ctx.Error(BadValue("modules"));
        return;
    }
    // A scenario declares the chain; the state file and control calls patch modules by id.
    if (ctx.purpose == Purpose::kScenario)
        d.modules.clear();
    for (const QJsonValue& item : v.toArray()) {
        const QJsonObject o = item.toObject();
        if (ctx.purpose == Purpose::kScenario) {
            Module m;
            ReadFields(ModuleFields(), m, o, ctx);
            d.modules.push_back(std::move(m));
            continue;
        }
        Module* m = d.FindModule(static_cast<int>(JsonToInteger(o[u"id"], -1)));
        if (m != nullptr)
            ReadFields(ModuleFields(), *m, o, ctx);
        else if (ctx.purpose == Purpose::kControl)
            ctx.Error(
                QStringLiteral("\"modules\": no module %1").arg(o[u"id"].toVariant().toString()));
    }
}

// Puts a fresh card into a module, moves the card in transport there or (255) removes it.
void ReadCardModule(Device& d, const QJsonValue& v, ReadContext& ctx) {
    int module = kNoModule;
    if (!Codec<int>::Read(module, v)) {
        ctx.Error(BadValue("card"));
        return;
    }
    if (module != kNoModule && !d.FindModule(module)) {
        ctx.Error(QStringLiteral("\"card\": no module %1 in the chain").arg(module));
        return;
    }
    d.SetCardModule(module);
}

QJsonValue ConnectionsJson(const Device& d) {
    QJsonArray connections;
    for (const auto& [handle, c] : d.connections) {
        QJsonValue document;
        if (c.document)
            document = QJsonObject{{QStringLiteral("path"), c.document->path},
                                   {QStringLiteral("pages"), c.document->content.PageCount()}};
        QJsonArray printData;
        for (const auto& [id, data] : c.printData) {
            QJsonArray pages;
            for (std::uint16_t page : data.pageIds)
                pages.append(page);
            printData.append(
                QJsonObject{{QStringLiteral("handle"), id}, {QStringLiteral("pageIds"), pages}});
        }
        connections.append(QJsonObject{{QStringLiteral("handle"), handle},
                                       {QStringLiteral("document"), document},
                                       {QStringLiteral("printData"), printData}});
    }
    return connections;
}

// One of the scenario's counter shortcuts: `index` of a counter record.
Field<Device> Counter(const char* key, IssueCountRecord Device::*record, int index) {
    return Field<Device>{key, kSettable, {}, [=](Device& d, const QJsonValue& v, ReadContext& ctx) {
                             if (!Codec<std::int32_t>::Read((d.*record).values[index], v))
                                 ctx.Error(BadValue(key));
                         }};
}

}  // namespace

const FieldTable<Device>& DeviceFields() {
    using D = Device;
    static const FieldTable<D> table = {
        Member("name", kSettable, &D::name),
        Member("description", kSettable, &D::description),
        Member("type", kSettable, &D::type),
        Member("network", kSettable, &D::network),
        Member("firmware", kSettable, &D::firmware),
        Member("serial", kSettable | kPersistent, &D::serial),
        Member("headSerial", kSettable | kPersistent, &D::headSerial),
        // The printer's own memory keeps its passwords; the state file is private to the user.
        Member("password", kSettable | kPersistent, &D::password),
        Member("userPassword", kSettable | kPersistent, &D::userPassword),
        Member("printerId", kSettable | kPersistent, &D::printerId),
        Member("pendingPrinterId", kPersistent, &D::pendingPrinterId),
        Member("pcIdentity", kPersistent, &D::pcIdentity),
        Member("magneticKey", kPersistent, &D::magneticKey),
        Shown("config", &D::config),
        ReadersField(),
        Field<D>{"paramCount", kSettable,
                 [](const D& d, Purpose) { return QJsonValue(d.paramCount); },
                 [](D& d, const QJsonValue& v, ReadContext& ctx) {
                     if (!Codec<int>::Read(d.paramCount, v))
                         ctx.Error(BadValue("paramCount"));
                     d.paramCount = std::clamp(d.paramCount, 0, kMaxParams);
                 }},
        Member("params", kSettable | kPersistent, &D::params),
        Member("rejectPositions", kSettable, &D::rejectedPositions),
        Counter("userImages", &D::userCounts, 0),
        Counter("userPanels", &D::userCounts, 6),
        Counter("factoryImages", &D::factoryCounts, 0),
        Counter("factoryPanels", &D::factoryCounts, 6),
        Member("userCounts", kSettable | kPersistent, &D::userCounts),
        Member("factoryCounts", kSettable | kPersistent, &D::factoryCounts),
        // Profiles before the modules whose decks name them; modules before the ribbon and
        // card that refer to them.
        Field<D>{"cardProfiles", kSettable,
                 [](const D& d, Purpose p) {
                     QJsonObject o;
                     for (const auto& [name, profile] : d.profiles)
                         o.insert(name, WriteFields(ProfileFields(), *profile, p));
                     return QJsonValue(o);
                 },
                 [](D& d, const QJsonValue& v, ReadContext& ctx) {
                     d.profiles = ReadProfiles(v, d.profiles, ctx);
                 }},
        Field<D>{"modules", kSettable | kPersistent,
                 [](const D& d, Purpose p) {
                     QJsonArray modules;
                     for (const Module& m : d.modules)
                         modules.append(WriteFields(ModuleFields(), m, p));
                     return QJsonValue(modules);
                 },
                 ReadModules},
        // The ribbon of every printer module.
        Field<D>{"ribbon", kSettable,
                 [](const D& d, Purpose) {
                     const Module* printer = d.FirstPrinter();
                     return QJsonValue(printer ? printer->printer.ribbon.type : 0);
                 },
                 [](D& d, const QJsonValue& v, ReadContext& ctx) {
                     int type = 0;
                     if (!Codec<int>::Read(type, v))
                         ctx.Error(BadValue("ribbon"));
                     for (Module& m : d.modules)
                         if (m.printer.installed) {
                             m.printer.ribbon.type = type;
                             m.printer.SetSettingAt(printer_settings::kRibbonType, type);
                         }
                 }},
        Field<D>{"card", kSettable, [](const D& d, Purpose) { return QJsonValue(d.cardModule); },
                 ReadCardModule},
        Field<D>{"cardInTransport",
                 kShown,
                 [](const D& d, Purpose) {
                     return d.card ? QJsonValue(CardJson(*d.card)) : QJsonValue();
                 },
                 {}},
        Field<D>{"outTray", kShown, [](const D& d, Purpose) { return CardsJson(d.outTray); }, {}},
        Shown("nextSerial", &D::nextSerial),
        Shown("wrongPassword", &D::wrongPassword),
        Member("coverOpen", kSettable, &D::coverOpen),
        Member("manualMode", kSettable, &D::manualMode),
        Member("keyLocked", kSettable, &D::keyLocked),
        Member("testMode", kSettable, &D::testMode),
        Shown("preemptionToken", &D::preemptionToken),
        Field<D>{
            "openConnections",
            kShown,
            [](const D& d, Purpose) { return QJsonValue(static_cast<int>(d.connections.size())); },
            {}},
        Field<D>{"connections", kShown, [](const D& d, Purpose) { return ConnectionsJson(d); }, {}},
    };
    return table;
}

Device DefaultDevice(int index, const ProfileMap& profiles) {
    Device d;
    d.name = QStringLiteral("[USB%1] Card Printer").arg(index + 1);
    d.description = QStringLiteral("Card Printer");
    d.firmware = QStringLiteral("V2.1.07");
    d.serial = QStringLiteral("HV%1").arg(2026000100 + index);
    d.headSerial = QStringLiteral("TH-4471%1").arg(index);
    d.password = QStringLiteral("1234");
    d.userPassword = QStringLiteral("0000");
    d.printerId = QStringLiteral("PRN%1").arg(index + 1, 2, 10, QChar(u'0'));
    std::copy(kDefaultParams.begin(), kDefaultParams.end(), d.params.begin());
    d.userCounts.values[0] = 120;
    d.userCounts.values[6] = 480;
    d.factoryCounts.values[0] = 1520;
    d.factoryCounts.values[6] = 6080;
    d.profiles = profiles;
    return d;
}

ProfileRef FindProfile(ReadContext& ctx, const QJsonValue& name, const ProfileRef& fallback) {
    if (name.isUndefined())
        return fallback;
    auto it = ctx.device->profiles.find(name.toString());
    if (!name.isString() || it == ctx.device->profiles.end()) {
        ctx.Error(QStringLiteral("unknown card profile \"%1\"").arg(name.toString()));
        return fallback;
    }
    return it->second;
}

// ---- JSON value helpers ----

long long JsonToInteger(const QJsonValue& v, long long fallback) {
    if (v.isString()) {
        bool ok = false;
        const long long n = v.toString().trimmed().toLongLong(&ok, 0);
        return ok ? n : fallback;
    }
    return v.isDouble() ? static_cast<long long>(v.toDouble()) : fallback;
}

bool JsonToBytes(const QJsonValue& v, QByteArray& out) {
    if (!v.isString())
        return false;
    QByteArray digits = v.toString().toLatin1();
    digits.replace(' ', "");
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    if (digits.size() % 2 != 0)
        return false;
    out = QByteArray::fromHex(digits);
    return true;
}

QString SpacedHex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

}  // namespace sim
