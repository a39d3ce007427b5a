// Ribbon, card documents and printing. A printed card is counted on the device, carries the
// picture printed on its upper side and is spooled as a PNG file to VELASIM_SPOOL_DIR (default:
// <temp>/halvard-spool) after the model's lock is released.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include "sim_events.h"
#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

constexpr int kCardWidth = 1012;
constexpr int kCardHeight = 636;
constexpr qint64 kMaxDocumentBytes = 4 * 1024 * 1024;
constexpr int kYmckoPanels = 5;
constexpr int kRewritablePanels = 1;
constexpr int kRibbonYmcko = 0;
constexpr int kRibbonRewritable = 9;

// A card document of our format, or an empty object when the file is none.
QJsonObject ReadDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDocumentBytes)
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonObject o = doc.object();
    if (o.value(QLatin1String("format")).toString() != u"vela-card-document" ||
        o.value(QLatin1String("version")).toInt() != 1 ||
        !o.value(QLatin1String("pages")).isArray())
        return {};
    return o;
}

QImage RenderFront(const QJsonObject& document) {
    QImage card(kCardWidth, kCardHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    const QJsonArray pages = document.value(QLatin1String("pages")).toArray();
    if (pages.isEmpty())
        return card;
    QPainter p(&card);
    for (const QJsonValue& v : pages.first().toObject().value(QLatin1String("objects")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString type = o.value(QLatin1String("type")).toString();
        const int x = o.value(QLatin1String("x")).toInt();
        const int y = o.value(QLatin1String("y")).toInt();
        if (type == u"rect") {
            p.fillRect(x, y, o.value(QLatin1String("w")).toInt(),
                       o.value(QLatin1String("h")).toInt(),
                       QColor::fromString(o.value(QLatin1String("color")).toString()));
        } else if (type == u"text" &&
                   qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            // Text needs the font system, which only a GUI process has.
            QFont font(o.value(QLatin1String("font")).toString());
            font.setPixelSize(std::max(1, o.value(QLatin1String("size")).toInt() * 300 / 72));
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRect(x, y, kCardWidth - x, kCardHeight - y), Qt::AlignLeft | Qt::AlignTop,
                       o.value(QLatin1String("text")).toString());
        }
    }
    return card;
}

// Every printer module's ribbon answers for it; other modules answer with the first printer's.
const Ribbon* RibbonOf(const Device& d, int module) {
    const Module* m = d.FindModule(module);
    if (m == nullptr || !m->printer.installed)
        m = d.FirstPrinter();
    return m ? &m->printer.ribbon : nullptr;
}

}  // namespace

extern "C" VelaResult VELA_API Vela_GetRibbonInfo(VelaHandle h, std::int32_t module,
                                                  std::int32_t* ribbonType, std::int32_t* countA,
                                                  std::int32_t* countB) {
    return Simulator::Instance().Run("Vela_GetRibbonInfo", {h, module}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (ribbonType == nullptr)
            return kErrBadArgument;
        const Ribbon* ribbon = RibbonOf(*d, module);
        const Ribbon none;
        if (ribbon == nullptr)
            ribbon = &none;
        *ribbonType = ribbon->type;
        // Remaining panels and capacity of the installed roll, when asked for.
        if (countA != nullptr)
            *countA = ribbon->remaining;
        if (countB != nullptr)
            *countB = ribbon->capacity;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_OpenDocument(VelaHandle h, const VelaChar* path) {
    // The file is read before the model's lock is taken.
    const QString file = FromVela(path);
    const QJsonObject document = path ? ReadDocument(file) : QJsonObject();
    return Simulator::Instance().Run("Vela_OpenDocument", {h, Text{path}}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        if (path == nullptr)
            return kErrBadArgument;
        if (document.isEmpty())
            return kErrBadDocument;
        c->document = OpenDocument{file, document};
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_CloseDocument(VelaHandle h) {
    return Simulator::Instance().Run("Vela_CloseDocument", {h}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        if (!c->document)
            return kErrNoDocument;
        c->document.reset();
        return kOk;
    });
}

// Prints the open document as one whole job: a card from the first input hopper that has one
// (or one fed by hand) is printed on its upper side and delivered into an output stack; the
// card in transport is not touched.
extern "C" VelaResult VELA_API VelaDCL_Print(VelaHandle h, std::int32_t flags) {
    return Simulator::Instance().Run("VelaDCL_Print", {h, flags}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        const Connection* c = s.ConnectionOf(h);
        if (!c->document)
            return kErrNoDocument;
        if (VelaResult r = EventRefusal(*d, d->FirstPrinter()); r != kOk)
            return r;
        const QJsonObject& document = c->document->content;
        const bool rewritable = document.value(QLatin1String("ribbon")).toString() == u"rewritable";
        const Ribbon* ribbon = RibbonOf(*d, vela::kModulePrinter);
        if (ribbon == nullptr || ribbon->remaining <= 0 ||
            (ribbon->type != kRibbonYmcko && ribbon->type != kRibbonRewritable))
            return kErrRibbon;
        const int sides = std::max<int>(
            1, static_cast<int>(document.value(QLatin1String("pages")).toArray().size()));
        const int panels = sides * (rewritable ? kRewritablePanels : kYmckoPanels);
        for (IssueCountRecord* r : {&d->userCounts, &d->factoryCounts}) {
            r->values[0] += 1;
            r->values[6] += panels;
        }
        s.MarkDirty();
        std::optional<Card> card;
        for (Module& m : d->modules)
            for (Deck& deck : m.decks)
                if (!card && m.Type() == vela::kTypeInputHopper && !deck.Empty())
                    card = deck.Take();
        if (!card)
            card = d->HandFedCard();
        PrintedSide& side = card->printed[card->UpperSide()];
        side.image = RenderFront(document);
        side.file = s.Spool(side.image);
        const Module* printer = d->FindModule(vela::kModulePrinter);
        d->Deliver(std::move(*card), printer ? printer->id : kNoModule);
        return kOk;
    });
}
