#pragma once
// The one list of the model's fields. Each field names its JSON key, says whether scenarios and
// control calls may set it and whether it persists in the state file, and knows how to write
// itself into JSON and read itself back. The scenario parser, the device snapshot and the state
// file are all driven by these tables, so a new field is declared in one place: its table.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <functional>
#include <vector>

#include "sim_model.h"

namespace sim {

enum FieldFlags : unsigned {
    kShown = 0,             // in the snapshot only
    kSettable = 1u << 0,    // read from scenarios and control calls
    kPersistent = 1u << 1,  // written to the state file and restored from it
};

enum class Purpose {
    kScenario,  // building the model from a scenario: settable fields, from their defaults
    kControl,   // a control call patching the model: settable fields present in the JSON
    kState,     // the state file: persistent fields
    kSnapshot,  // the snapshot: every field that has a writer
};

// What reading JSON into the model needs besides the value.
struct ReadContext {
    explicit ReadContext(Purpose p, Device* d = nullptr) : purpose(p), device(d) {}

    Purpose purpose;
    Device* device = nullptr;             // the device read into (profiles, card serials)
    const QJsonObject* object = nullptr;  // the object the current table reads from
    QStringList errors;                   // what could not be read

    void Error(const QString& message) { errors << message; }
};

template <typename T>
struct Field {
    const char* key;  // null: a step run after the table's other fields, given the object
    unsigned flags;
    // The field's JSON; an undefined value leaves the key out. Empty: never written.
    std::function<QJsonValue(const T&, Purpose)> write;
    // Reads the field's JSON into the model. Empty: never read.
    std::function<void(T&, const QJsonValue&, ReadContext&)> read;
};
template <typename T>
using FieldTable = std::vector<Field<T>>;

template <typename T>
QJsonObject WriteFields(const FieldTable<T>& table, const T& owner, Purpose purpose) {
    QJsonObject o;
    for (const Field<T>& f : table) {
        if (f.key == nullptr || !f.write)
            continue;
        if (purpose == Purpose::kState && !(f.flags & kPersistent))
            continue;
        QJsonValue v = f.write(owner, purpose);
        if (!v.isUndefined())
            o.insert(QLatin1String(f.key), v);
    }
    return o;
}

template <typename T>
void ReadFields(const FieldTable<T>& table, T& owner, const QJsonObject& o, ReadContext& ctx) {
    const unsigned wanted = ctx.purpose == Purpose::kState ? kPersistent : kSettable;
    const QJsonObject* outer = ctx.object;
    ctx.object = &o;
    for (const Field<T>& f : table) {
        if (!f.read || !(f.flags & wanted))
            continue;
        if (f.key == nullptr) {
            f.read(owner, QJsonValue(o), ctx);
            continue;
        }
        auto it = o.constFind(QLatin1String(f.key));
        if (it != o.constEnd())
            f.read(owner, *it, ctx);
    }
    ctx.object = outer;
}

const FieldTable<Device>& DeviceFields();
const FieldTable<Module>& ModuleFields();
const FieldTable<CardProfile>& ProfileFields();
const FieldTable<Card>& CardFields();

// A device as the scenario's device number `index` starts before its own keys are read.
Device DefaultDevice(int index, const ProfileMap& profiles);
// The profile `name` gives among those of the device read into: `fallback` when the name is
// absent, and (with an error in `ctx`) when it names no profile.
ProfileRef FindProfile(ReadContext& ctx, const QJsonValue& name, const ProfileRef& fallback);
// Card profiles of a scenario's "cardProfiles" object, over `base` (which keeps "default").
ProfileMap ReadProfiles(const QJsonValue& value, const ProfileMap& base, ReadContext& ctx);
ProfileMap BuiltInProfiles();

QJsonObject CardJson(const Card& card);
QJsonObject StripeJson(const Stripe& stripe);
QJsonArray StackJson(const CardStack& stack);
// A card described by JSON: the keys of a profile over its base profile ("profile", else the
// default one), then the card's own state ("serial", else the device's next serial number).
Card CardFromJson(const QJsonObject& o, ReadContext& ctx);

// ---- JSON value helpers shared by the tables ----

// An integer given as a number or as text ("0x40", "64"); `fallback` otherwise.
long long JsonToInteger(const QJsonValue& v, long long fallback);
// Bytes given as hexadecimal text, blanks allowed; false when the text is not hex.
bool JsonToBytes(const QJsonValue& v, QByteArray& out);
QString SpacedHex(const QByteArray& bytes);  // "3B 02 14 50"

}  // namespace sim
