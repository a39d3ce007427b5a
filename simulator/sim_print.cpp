// Ribbon, card documents and printing. A printed card is counted on the device and spooled as
// a PNG picture of its front side to VELASIM_SPOOL_DIR (default: <temp>/halvard-spool).

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include <map>

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

constexpr int kCardWidth = 1012;
constexpr int kCardHeight = 636;
constexpr qint64 kMaxDocumentBytes = 4 * 1024 * 1024;
constexpr int kYmckoPanels = 5;
constexpr int kRewritablePanels = 1;

// Open documents by connection; touched only under the simulator's lock.
std::map<VelaHandle, QJsonObject>& Documents() {
    static std::map<VelaHandle, QJsonObject> documents;
    return documents;
}

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

void Spool(const QImage& card) {
    QString dir = qEnvironmentVariable("VELASIM_SPOOL_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/halvard-spool");
    if (!QDir().mkpath(dir))
        return;
    static int sequence = 0;
    const QString name =
        QStringLiteral("card-%1-%2.png")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
            .arg(++sequence, 4, 10, QChar(u'0'));
    card.save(QDir(dir).filePath(name), "PNG");
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
        *ribbonType = d->ribbonType;
        // Remaining panels and capacity of the installed roll, when asked for.
        if (countA != nullptr)
            *countA = 250;
        if (countB != nullptr)
            *countB = 250;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_OpenDocument(VelaHandle h, const VelaChar* path) {
    return Simulator::Instance().Run("Vela_OpenDocument", {h, Text{path}}, [&](Simulator& s) {
        if (s.ByHandle(h) == nullptr)
            return kErrBadHandle;
        if (path == nullptr)
            return kErrBadArgument;
        QJsonObject document = ReadDocument(FromVela(path));
        if (document.isEmpty())
            return kErrBadDocument;
        Documents()[h] = document;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_CloseDocument(VelaHandle h) {
    return Simulator::Instance().Run("Vela_CloseDocument", {h}, [&](Simulator& s) {
        if (s.ByHandle(h) == nullptr)
            return kErrBadHandle;
        return Documents().erase(h) > 0 ? kOk : kErrNoDocument;
    });
}

extern "C" VelaResult VELA_API VelaDCL_Print(VelaHandle h, std::int32_t flags) {
    return Simulator::Instance().Run("VelaDCL_Print", {h, flags}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        auto it = Documents().find(h);
        if (it == Documents().end())
            return kErrNoDocument;
        const QJsonObject& document = it->second;
        const bool rewritable = document.value(QLatin1String("ribbon")).toString() == u"rewritable";
        if (d->ribbonType != 0 && d->ribbonType != 9)
            return kErrRibbon;
        const int sides = std::max<int>(
            1, static_cast<int>(document.value(QLatin1String("pages")).toArray().size()));
        const int panels = sides * (rewritable ? kRewritablePanels : kYmckoPanels);
        for (IssueCountRecord* r : {&d->userCounts, &d->factoryCounts}) {
            r->values[0] += 1;
            r->values[6] += panels;
        }
        s.MarkDirty();
        Spool(RenderFront(document));
        return kOk;
    });
}
