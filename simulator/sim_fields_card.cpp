// The field tables of card profiles and cards.

#include <cstring>

#include "sim_field_codecs.h"
#include "sim_fields.h"

namespace sim {

using namespace fields;

namespace {

constexpr const char* kTrackKeys[kTrackCount] = {"1", "2", "3", "jis"};
constexpr int kUidLengths[] = {4, 7, 10};

QJsonValue BytesJson(const QByteArray& bytes) {
    return SpacedHex(bytes);
}

template <size_t N>
QByteArray AsBytes(const std::array<std::uint8_t, N>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), static_cast<qsizetype>(N));
}

// Exactly N bytes of hexadecimal text, or up to N when `shorter` (the rest zero).
template <size_t N>
bool ReadArray(std::array<std::uint8_t, N>& out, const QJsonValue& v, bool shorter) {
    QByteArray bytes;
    if (!JsonToBytes(v, bytes) || bytes.size() > static_cast<qsizetype>(N) ||
        (!shorter && bytes.size() != static_cast<qsizetype>(N)))
        return false;
    out.fill(0);
    std::memcpy(out.data(), bytes.constData(), std::min(N, static_cast<size_t>(bytes.size())));
    return true;
}

// A stripe as {"1": ..., "2": ..., "3": ..., "jis": ...}: each track a text (written plain),
// {"data": text, "key": hex} or null (nothing written).
void ReadStripe(Stripe& stripe, const QJsonValue& v, ReadContext& ctx) {
    if (!v.isObject()) {
        ctx.Error(BadValue("tracks"));
        return;
    }
    const QJsonObject o = v.toObject();
    for (int t = 0; t < kTrackCount; ++t) {
        const QJsonValue track = o.value(QLatin1String(kTrackKeys[t]));
        auto& out = stripe[static_cast<size_t>(t)];
        if (track.isUndefined())
            continue;
        if (track.isNull()) {
            out.reset();
        } else if (track.isString()) {
            out = MagTrack{track.toString(), {}};
        } else {
            const QJsonObject written = track.toObject();
            MagTrack m{written.value(QLatin1String("data")).toString(), {}};
            if (!track.isObject() ||
                (written.contains(u"key") && !JsonToBytes(written[u"key"], m.key)))
                ctx.Error(QStringLiteral("\"tracks\": track %1").arg(QLatin1String(kTrackKeys[t])));
            else
                out = m;
        }
    }
}

QJsonValue BlocksJson(const std::map<int, MifareBlock>& blocks) {
    QJsonObject o;
    for (const auto& [index, block] : blocks)
        o.insert(QString::number(index), BytesJson(AsBytes(block)));
    return o;
}

void ReadBlocks(CardProfile& p, const QJsonValue& v, ReadContext& ctx) {
    const QJsonObject o = v.toObject();
    if (!v.isObject())
        ctx.Error(BadValue("blocks"));
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool ok = false;
        const int index = it.key().toInt(&ok);
        MifareBlock block{};
        if (!ok || index < 0 || index >= kMifareBlocks || !ReadArray(block, *it, true))
            ctx.Error(QStringLiteral("\"blocks\": block %1").arg(it.key()));
        else
            p.blocks[index] = block;
    }
}

Field<CardProfile> MifareKeyField(const char* key, MifareKey CardProfile::*member) {
    return Field<CardProfile>{
        key, kSettable,
        [member](const CardProfile& p, Purpose) { return BytesJson(AsBytes(p.*member)); },
        [member, key](CardProfile& p, const QJsonValue& v, ReadContext& ctx) {
            if (!ReadArray(p.*member, v, false))
                ctx.Error(BadValue(key));
        }};
}

QJsonValue PrintedJson(const PrintedSide& side) {
    if (side.image.isNull() && side.file.isEmpty() && !side.laminated)
        return QJsonValue();
    return QJsonObject{{QStringLiteral("file"), side.file},
                       {QStringLiteral("width"), side.image.width()},
                       {QStringLiteral("height"), side.image.height()},
                       {QStringLiteral("laminated"), side.laminated}};
}

}  // namespace

QJsonObject StripeJson(const Stripe& stripe) {
    QJsonObject o;
    for (int t = 0; t < kTrackCount; ++t) {
        const auto& track = stripe[static_cast<size_t>(t)];
        o.insert(QLatin1String(kTrackKeys[t]),
                 track ? QJsonValue(QJsonObject{{QStringLiteral("data"), track->data},
                                                {QStringLiteral("key"), SpacedHex(track->key)}})
                       : QJsonValue());
    }
    return o;
}

const FieldTable<CardProfile>& ProfileFields() {
    using P = CardProfile;
    static const FieldTable<P> table = {
        Member("faceDown", kSettable, &P::faceDown),
        Field<P>{"tracks", kSettable, [](const P& p, Purpose) { return StripeJson(p.stripe); },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) { ReadStripe(p.stripe, v, ctx); }},
        // An empty ATR: the cards have no contact chip.
        Field<P>{"atr", kSettable, [](const P& p, Purpose) { return BytesJson(p.atr); },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     if (!JsonToBytes(v, p.atr))
                         ctx.Error(BadValue("atr"));
                 }},
        Member("contactless", kSettable, &P::contactless),
        Field<P>{"uidLength", kSettable,
                 [](const P& p, Purpose) { return QJsonValue(p.uidLength); },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     if (!Codec<int>::Read(p.uidLength, v) ||
                         std::find(std::begin(kUidLengths), std::end(kUidLengths), p.uidLength) ==
                             std::end(kUidLengths))
                         ctx.Error(QStringLiteral("\"uidLength\": 4, 7 or 10"));
                 }},
        // A fixed UID for every card; an empty one: the cards have no contactless chip.
        Field<P>{"uid", kSettable,
                 [](const P& p, Purpose) {
                     if (!p.contactless)
                         return QJsonValue(QString());
                     return p.uid.isEmpty() ? QJsonValue(QJsonValue::Undefined) : BytesJson(p.uid);
                 },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     QByteArray uid;
                     if (!JsonToBytes(v, uid) ||
                         (!uid.isEmpty() &&
                          std::find(std::begin(kUidLengths), std::end(kUidLengths), uid.size()) ==
                              std::end(kUidLengths))) {
                         ctx.Error(QStringLiteral("\"uid\": 4, 7 or 10 bytes"));
                         return;
                     }
                     p.uid = uid;
                     p.contactless = !uid.isEmpty();
                     if (!uid.isEmpty())
                         p.uidLength = static_cast<int>(uid.size());
                 }},
        MifareKeyField("keyA", &P::keyA),
        MifareKeyField("keyB", &P::keyB),
        Field<P>{"blocks", kSettable, [](const P& p, Purpose) { return BlocksJson(p.blocks); },
                 ReadBlocks},
        Field<P>{"barcodeTop", kSettable,
                 [](const P& p, Purpose) { return QJsonValue(p.barcodes[kTop]); },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     if (!Codec<QString>::Read(p.barcodes[kTop], v))
                         ctx.Error(BadValue("barcodeTop"));
                 }},
        Field<P>{"barcodeBottom", kSettable,
                 [](const P& p, Purpose) { return QJsonValue(p.barcodes[kBottom]); },
                 [](P& p, const QJsonValue& v, ReadContext& ctx) {
                     if (!Codec<QString>::Read(p.barcodes[kBottom], v))
                         ctx.Error(BadValue("barcodeBottom"));
                 }},
    };
    return table;
}

// A card's own state; what it holds is written here and read through its profile's keys.
const FieldTable<Card>& CardFields() {
    using C = Card;
    static const FieldTable<C> table = {
        Member("serial", kSettable, &C::serial),
        Shown("profile", &C::profile),
        Member("faceDown", kSettable, &C::faceDown),
        Field<C>{"tracks", kShown, [](const C& c, Purpose) { return StripeJson(c.stripe); }, {}},
        Field<C>{"atr", kShown, [](const C& c, Purpose) { return BytesJson(c.chip.atr); }, {}},
        Field<C>{"chipPowered", kSettable,
                 [](const C& c, Purpose) { return QJsonValue(c.chip.powered); },
                 [](C& c, const QJsonValue& v, ReadContext& ctx) {
                     if (!Codec<bool>::Read(c.chip.powered, v))
                         ctx.Error(BadValue("chipPowered"));
                 }},
        Field<C>{"uid", kShown, [](const C& c, Purpose) { return BytesJson(c.rf.uid); }, {}},
        // Every sector trailer and every block that is not all zero.
        Field<C>{"blocks",
                 kShown,
                 [](const C& c, Purpose) {
                     QJsonObject o;
                     for (int i = 0; c.rf.Present() && i < kMifareBlocks; ++i) {
                         const MifareBlock& block = c.rf.blocks[static_cast<size_t>(i)];
                         const bool zero = std::all_of(block.begin(), block.end(),
                                                       [](std::uint8_t b) { return b == 0; });
                         if (!zero || i % kMifareBlocksPerSector == kMifareBlocksPerSector - 1)
                             o.insert(QString::number(i), BytesJson(AsBytes(block)));
                     }
                     return QJsonValue(o);
                 },
                 {}},
        Field<C>{"auth", kSettable,
                 [](const C& c, Purpose) {
                     if (c.rf.authKey == MifareKeyType::kNone)
                         return QJsonValue();
                     return QJsonValue(
                         QJsonObject{{QStringLiteral("sector"), c.rf.authSector},
                                     {QStringLiteral("key"), c.rf.authKey == MifareKeyType::kA
                                                                 ? QStringLiteral("A")
                                                                 : QStringLiteral("B")}});
                 },
                 [](C& c, const QJsonValue& v, ReadContext& ctx) {
                     c.rf.EndAuthentication();
                     if (v.isNull())
                         return;
                     const QJsonObject o = v.toObject();
                     const QString key = o.value(QLatin1String("key")).toString();
                     int sector = -1;
                     if (!Codec<int>::Read(sector, o[u"sector"]) || sector < 0 ||
                         sector >= kMifareSectors || (key != u"A" && key != u"B")) {
                         ctx.Error(BadValue("auth"));
                         return;
                     }
                     c.rf.authSector = sector;
                     c.rf.authKey = key == u"A" ? MifareKeyType::kA : MifareKeyType::kB;
                 }},
        Field<C>{"barcodeTop",
                 kShown,
                 [](const C& c, Purpose) { return QJsonValue(c.barcodes[kTop]); },
                 {}},
        Field<C>{"barcodeBottom",
                 kShown,
                 [](const C& c, Purpose) { return QJsonValue(c.barcodes[kBottom]); },
                 {}},
        Field<C>{"printed",
                 kShown,
                 [](const C& c, Purpose) {
                     return QJsonValue(
                         QJsonObject{{QStringLiteral("top"), PrintedJson(c.printed[kTop])},
                                     {QStringLiteral("bottom"), PrintedJson(c.printed[kBottom])}});
                 },
                 {}},
    };
    return table;
}

QJsonObject CardJson(const Card& card) {
    return WriteFields(CardFields(), card, Purpose::kSnapshot);
}

QJsonArray StackJson(const CardStack& stack) {
    QJsonArray cards;
    for (const Card& card : stack.cards)
        cards.append(CardJson(card));
    return cards;
}

Card CardFromJson(const QJsonObject& o, ReadContext& ctx) {
    const ProfileRef base =
        FindProfile(ctx, o[u"profile"], ctx.device->profiles.at(kDefaultProfile));
    CardProfile profile = *base;
    ReadFields(ProfileFields(), profile, o, ctx);
    std::uint32_t serial = 0;
    if (!o.contains(u"serial") || !Codec<std::uint32_t>::Read(serial, o[u"serial"]))
        serial = ctx.device->nextSerial++;
    Card card = MakeCard(profile, serial);
    ReadFields(CardFields(), card, o, ctx);
    return card;
}

ProfileMap BuiltInProfiles() {
    CardProfile standard;
    standard.name = kDefaultProfile;
    return ProfileMap{{kDefaultProfile, std::make_shared<const CardProfile>(standard)}};
}

ProfileMap ReadProfiles(const QJsonValue& value, const ProfileMap& base, ReadContext& ctx) {
    ProfileMap profiles = base;
    if (!value.isObject()) {
        ctx.Error(BadValue("cardProfiles"));
        return profiles;
    }
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        CardProfile profile;
        profile.name = it.key();
        if (!it->isObject())
            ctx.Error(QStringLiteral("\"cardProfiles\": profile \"%1\"").arg(it.key()));
        ReadFields(ProfileFields(), profile, it->toObject(), ctx);
        const QString name = profile.name;
        profiles[name] = std::make_shared<const CardProfile>(std::move(profile));
    }
    return profiles;
}

}  // namespace sim
