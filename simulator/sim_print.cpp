// Ribbon, card documents, drawing, previews, printer settings and the configuration tool's
// whole-job print. A printed card is counted on the device, carries the picture printed on its
// upper side and is spooled as a PNG file to VELASIM_SPOOL_DIR (default:
// <temp>/halvard-spool) after the model's lock is released. Print data and jobs: sim_jobs.cpp.

#include <cstring>

#include "sim_events.h"
#include "sim_exports.h"
#include "sim_print.h"

using namespace sim;

namespace {

constexpr int kYmckoPanels = 5;
constexpr int kRewritablePanels = 1;
constexpr int kRibbonYmcko = 0;
constexpr int kRibbonRewritable = 9;
constexpr int kMaxPanel = kPanelBlack;
constexpr int kMaxStyle = kStyleBold | kStyleItalic | kStyleUnderline;
constexpr int kMaxVelaText = 4096;

// Every printer module's ribbon answers for it; other modules answer with the first printer's.
Ribbon* RibbonOf(Device& d, int module) {
    Module* m = d.FindModule(module);
    if (m == nullptr || !m->printer.installed)
        m = d.FirstPrinter();
    return m ? &m->printer.ribbon : nullptr;
}

// The card layout fields of a printer's settings follow the document just opened: which cards
// it has and which of their sides (0 front, 1 back, 2 both).
void ApplyLayout(PrinterStation& printer, const CardDocument& document) {
    for (const CardLayoutFields& c : kCardLayouts) {
        const bool front = document.HasPage(PageIndex(c.card, 0));
        const bool back = document.HasPage(PageIndex(c.card, 1));
        printer.SetSettingAt(c.inUse, front || back ? 1 : 0);
        printer.SetSettingAt(c.side, front && back ? 2 : back ? 1 : 0);
    }
}

// Whether a drawing's page, panel and top-left corner are ones a card has.
bool OnCard(std::int32_t page, std::int32_t panel, std::int32_t x, std::int32_t y) {
    const auto inCard = [](std::int32_t v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; };
    return page >= 0 && page < kPageCount && panel >= 1 && panel <= kMaxPanel && inCard(x) &&
           inCard(y);
}

// Puts a drawn object on a page of the connection's document; a connection with no document
// starts a drawn one. kErrBadArgument when the page holds as many objects as a page may.
VelaResult Draw(Connection& c, int page, DocObject object) {
    if (!c.document)
        c.document = OpenDocument{};
    std::optional<DocPage>& slot = c.document->content.pages[static_cast<size_t>(page)];
    if (!slot)
        slot = DocPage{};
    if (static_cast<int>(slot->objects.size()) >= kMaxObjectsPerPage)
        return kErrBadArgument;
    slot->objects.push_back(std::move(object));
    return kOk;
}

}  // namespace

namespace sim {

VelaResult PrinterOf(Device& d, int module, Module*& printer) {
    printer = d.FindModule(module);
    if (printer == nullptr)
        return kErrNoModule;
    return printer->printer.installed ? kOk : kErrBadArgument;
}

VelaResult PrinterTarget(Simulator& s, VelaHandle h, int module, Device*& d, Module*& printer) {
    d = s.ByHandle(h);
    if (d == nullptr)
        return kErrBadHandle;
    return PrinterOf(*d, module, printer);
}

int RibbonPanels(int ribbonType) {
    // YMCKO, YMCKOK, hYMCKO, KO, K, BO, B, YMC, YMCFKO, rewritable, (none), hYMCKOKO
    static constexpr int kPanels[] = {5, 6, 5, 2, 1, 2, 1, 3, 6, 1, 0, 7};
    if (ribbonType < 0 || ribbonType >= static_cast<int>(std::size(kPanels)))
        return 0;
    return kPanels[ribbonType];
}

bool MonochromeRibbon(int ribbonType) {
    return ribbonType == 3 || ribbonType == 4 || ribbonType == 5 || ribbonType == 6 ||
           ribbonType == kRibbonRewritable;
}

void CountPrintedSide(Simulator& s, Device& d, Ribbon& ribbon, int panels) {
    ribbon.remaining = std::max(0, ribbon.remaining - 1);
    for (IssueCountRecord* r : {&d.userCounts, &d.factoryCounts}) {
        r->values[0] += 1;
        r->values[6] += panels;
    }
    s.MarkDirty();
}

}  // namespace sim

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
        // Prints left on the installed roll and those of a full roll, when asked for.
        if (countA != nullptr)
            *countA = ribbon->remaining;
        if (countB != nullptr)
            *countB = ribbon->capacity;
        return kOk;
    });
}

// Opens a card document on the connection (its pictures read too) and sets every printer's card
// layout fields from it. A file that cannot be read leaves what the connection had.
extern "C" VelaResult VELA_API Vela_OpenDocument(VelaHandle h, const VelaChar* path) {
    // The files are read before the model's lock is taken.
    const QString file = FromVela(path);
    const std::optional<CardDocument> document =
        path ? ReadCardDocument(file) : std::optional<CardDocument>();
    return Simulator::Instance().Run("Vela_OpenDocument", {h, Text{path}}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (path == nullptr)
            return kErrBadArgument;
        if (!document)
            return kErrBadDocument;
        Connection* c = s.ConnectionOf(h);
        c->document = OpenDocument{file, *document};
        c->preview.clear();
        for (Module& m : d->modules)
            if (m.printer.installed)
                ApplyLayout(m.printer, *document);
        s.MarkDirty();
        return kOk;
    });
}

// Closes the connection's document (opened or drawn) and drops its preview; closing when none is
// open is no error. Print data made from it stays.
extern "C" VelaResult VELA_API Vela_CloseDocument(VelaHandle h) {
    return Simulator::Instance().Run("Vela_CloseDocument", {h}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        c->document.reset();
        c->preview.clear();
        return kOk;
    });
}

// Draws a picture file on a page: width or height 0 reach to the card's edge.
extern "C" VelaResult VELA_API Vela_DrawImage(VelaHandle h, std::int32_t page, std::int32_t panel,
                                              std::int32_t x, std::int32_t y, std::int32_t width,
                                              std::int32_t height, const VelaChar* path,
                                              std::int32_t flags) {
    const QString file = FromVela(path);
    const QImage picture = path ? ReadPicture(file) : QImage();
    return Simulator::Instance().Run(
        "Vela_DrawImage", {h, page, panel, x, y, width, height, Text{path}, flags},
        [&](Simulator& s) {
            Connection* c = s.ConnectionOf(h);
            if (c == nullptr)
                return kErrBadHandle;
            if (path == nullptr || !OnCard(page, panel, x, y) || width < 0 ||
                width > kMaxCoordinate || height < 0 || height > kMaxCoordinate)
                return kErrBadArgument;
            if (picture.isNull())
                return kErrBadPicture;
            DocObject o;
            o.kind = DocObject::Kind::kImage;
            o.x = x;
            o.y = y;
            o.w = width;
            o.h = height;
            o.file = file;
            o.picture = picture;
            o.panel = panel;
            return Draw(*c, page, std::move(o));
        });
}

// Draws black text on a page from its top-left corner; size in points, style bits 1 bold,
// 2 italic, 4 underline.
extern "C" VelaResult VELA_API Vela_DrawText(VelaHandle h, std::int32_t page, std::int32_t panel,
                                             std::int32_t x, std::int32_t y, const VelaChar* font,
                                             std::int32_t size, std::int32_t style,
                                             const VelaChar* text, std::int32_t flags) {
    return Simulator::Instance().Run(
        "Vela_DrawText", {h, page, panel, x, y, Text{font}, size, style, Text{text}, flags},
        [&](Simulator& s) {
            Connection* c = s.ConnectionOf(h);
            if (c == nullptr)
                return kErrBadHandle;
            const QString family = FromVela(font, kMaxVelaText);
            const QString content = FromVela(text, kMaxVelaText);
            if (font == nullptr || text == nullptr || !OnCard(page, panel, x, y) || size < 1 ||
                size > kMaxTextSize || style < 0 || style > kMaxStyle ||
                family.size() > kMaxFontLength || content.size() > kMaxTextLength)
                return kErrBadArgument;
            DocObject o;
            o.kind = DocObject::Kind::kText;
            o.x = x;
            o.y = y;
            o.font = family;
            o.size = size;
            o.style = style;
            o.text = content;
            o.panel = panel;
            return Draw(*c, page, std::move(o));
        });
}

// Renders a page of the connection's document as a packed bitmap that the connection keeps
// until its next preview or until the document closes.
extern "C" VelaResult VELA_API Vela_GetPreviewBitmap(VelaHandle h, std::int32_t page,
                                                     VelaBitmap* bitmap) {
    return Simulator::Instance().Run("Vela_GetPreviewBitmap", {h, page}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        if (bitmap == nullptr)
            return kErrBadArgument;
        *bitmap = VelaBitmap{nullptr, 0};
        if (!c->document)
            return kErrNoDocument;
        if (!c->document->content.HasPage(page))
            return kErrNoPage;
        c->preview = PackDib(RenderPage(c->document->content, page));
        *bitmap = VelaBitmap{reinterpret_cast<const std::uint8_t*>(c->preview.constData()),
                             static_cast<std::int32_t>(c->preview.size())};
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_GetPrinterSettings(VelaHandle h, std::int32_t module,
                                                       PrinterSettings* settings) {
    return Simulator::Instance().Run("Vela_GetPrinterSettings", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = PrinterTarget(s, h, module, d, m); r != kOk)
            return r;
        if (settings == nullptr)
            return kErrBadArgument;
        std::memset(settings->raw, 0, sizeof settings->raw);
        std::memcpy(settings->raw, m->printer.settings.data(),
                    std::min(sizeof settings->raw, m->printer.settings.size()));
        return kOk;
    });
}

// Writes a printer's settings block; the connection's print data is then made for that printer.
extern "C" VelaResult VELA_API Vela_SetPrinterSettings(VelaHandle h, std::int32_t module,
                                                       const PrinterSettings* settings) {
    return Simulator::Instance().Run("Vela_SetPrinterSettings", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* m;
        if (VelaResult r = PrinterTarget(s, h, module, d, m); r != kOk)
            return r;
        if (settings == nullptr)
            return kErrBadArgument;
        m->printer.settings.assign(std::begin(settings->raw), std::end(settings->raw));
        s.ConnectionOf(h)->printModule = module;
        s.MarkDirty();
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
        const CardDocument& document = c->document->content;
        const bool rewritable = document.ribbon == u"rewritable";
        Ribbon* ribbon = RibbonOf(*d, vela::kModulePrinter);
        if (ribbon == nullptr || ribbon->remaining <= 0 ||
            (ribbon->type != kRibbonYmcko && ribbon->type != kRibbonRewritable))
            return kErrRibbon;
        const int sides = std::max(1, document.PageCount());
        if (ribbon->remaining < sides)
            return kErrRibbon;
        for (int side = 0; side < sides; ++side)
            CountPrintedSide(s, *d, *ribbon, rewritable ? kRewritablePanels : kYmckoPanels);
        std::optional<Card> card;
        for (Module& m : d->modules)
            for (Deck& deck : m.decks)
                if (!card && m.Type() == vela::kTypeInputHopper && !deck.Empty())
                    card = deck.Take();
        if (!card)
            card = d->HandFedCard();
        PrintedSide& side = card->printed[card->UpperSide()];
        side.image = RenderPage(document, std::max(0, document.FirstPage()));
        side.file = s.Spool(side.image);
        const Module* printer = d->FindModule(vela::kModulePrinter);
        d->Deliver(std::move(*card), printer ? printer->id : kNoModule);
        return kOk;
    });
}
