// Print data and print jobs, step by step: Vela_PrintDocument makes print data from the
// connection's document for the pages the printer's settings select, Vela_ExWriteData hands the
// bytes of one page to its printer as a job, the job calls look at the printer's queue, and
// Vela_PrintStart prints the current job onto the card in the printer (feeding one when asked),
// or laminates the card in a laminator. The card keeps its print and moves on with it.

#include "sim_exports.h"
#include "sim_print.h"
#include "sim_print_data.h"

using namespace sim;

namespace {

// Lifelike durations in milliseconds (scaled by the time factor). Printing and laminating run
// on in the module after the call returns: the module shows them as busy.
constexpr int kTransferMs = 300;
constexpr int kFeedMs = 1200;
constexpr int kPrintMs = 6000;
constexpr int kLaminateMs = 4000;

// Print data a connection keeps; a newer one drops the oldest.
constexpr size_t kKeptPrintData = 8;
// Jobs a printer's queue takes.
constexpr size_t kMaxJobs = 16;

std::uint16_t NextJobId(PrinterStation& printer) {
    const std::uint16_t id = printer.nextJobId == 0 ? 1 : printer.nextJobId;
    printer.nextJobId = static_cast<std::uint16_t>(id == 0xFFFF ? 1 : id + 1);
    return id;
}

// The pages the settings select: card 1 and 2 when in use, each with side 0 (front), 1 (back)
// or both.
std::vector<int> SelectedPages(const PrinterStation& printer) {
    std::vector<int> pages;
    for (const CardLayoutFields& c : kCardLayouts) {
        if (printer.SettingAt(c.inUse) == 0)
            continue;
        const int side = printer.SettingAt(c.side);
        if (side != 1)
            pages.push_back(PageIndex(c.card, 0));
        if (side != 0)
            pages.push_back(PageIndex(c.card, 1));
    }
    return pages;
}

// The print data `handle` of the connection and its page: kErrBadArgument for an unknown
// handle, kErrNoPage for a page it does not hold.
VelaResult FindPage(Connection& c, std::int32_t handle, std::int32_t page, PrintData*& data) {
    auto it = c.printData.find(handle);
    if (it == c.printData.end())
        return kErrBadArgument;
    if (page < 0 || page >= kPageCount || it->second.pageIds[static_cast<size_t>(page)] == 0)
        return kErrNoPage;
    data = &it->second;
    return kOk;
}

// The card a print or lamination works on: with `cardIn` a card fed from the first input hopper
// that has one (the transport must be free), otherwise the card already in the module.
VelaResult CardFor(Simulator& s, Device& d, Module& m, std::int32_t cardIn, Card*& card) {
    if (cardIn == 0) {
        card = d.CardAt(m.id);
        return card ? kOk : kErrNoCard;
    }
    if (d.card)
        return kErrBusy;
    for (Module& hopper : d.modules) {
        if (!hopper.IsHopper())
            continue;
        for (Deck& deck : hopper.decks) {
            if (deck.Empty())
                continue;
            std::optional<Card> fed = deck.Take();
            d.PutCard(std::move(*fed), m.id);
            s.Occupy(hopper, kFeedMs);
            card = d.CardAt(m.id);
            return kOk;
        }
    }
    return kErrHopperEmpty;
}

}  // namespace

// Makes print data from the connection's document for the pages the settings of its printer
// (the one whose settings it wrote last, else the first printer) select, rendered for the
// settings' ribbon type, turn and mirror. A drawn document is used up by it.
extern "C" VelaResult VELA_API Vela_PrintDocument(VelaHandle h, std::int32_t flags,
                                                  std::int32_t* printData) {
    return Simulator::Instance().Run("Vela_PrintDocument", {h, flags}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (printData == nullptr)
            return kErrBadArgument;
        Connection* c = s.ConnectionOf(h);
        if (!c->document)
            return kErrNoDocument;
        Module* printer = nullptr;
        if (PrinterOf(*d, c->printModule, printer) != kOk)
            printer = d->FirstPrinter();
        if (printer == nullptr)
            return kErrNoModule;
        const CardDocument& document = c->document->content;
        std::vector<int> pages;
        for (int page : SelectedPages(printer->printer))
            if (document.HasPage(page))
                pages.push_back(page);
        if (pages.empty())
            return kErrNoPage;

        namespace ps = printer_settings;
        const PrinterStation& settings = printer->printer;
        RenderOptions options;
        options.monochrome = MonochromeRibbon(settings.SettingAt(ps::kRibbonType));
        options.rotate180 = settings.SettingAt(ps::kRotate180) != 0;
        options.mirror = settings.SettingAt(ps::kMirror) != 0;
        PrintData made;
        for (int page : pages) {
            PrintPage p{NextJobId(printer->printer), printer->id, page,
                        RenderPage(document, page, options)};
            made.pageIds[static_cast<size_t>(page)] = p.id;
            made.pageData[static_cast<size_t>(page)] = EncodePrintData(p);
        }
        while (c->printData.size() >= kKeptPrintData)
            c->printData.erase(c->printData.begin());
        const std::int32_t handle = c->nextPrintData++;
        c->printData[handle] = std::move(made);
        *printData = handle;
        if (c->document->path.isEmpty())
            c->document.reset();
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_GetMyPrnId(VelaHandle h, std::int32_t printData,
                                               std::int32_t page, std::int32_t* id) {
    return Simulator::Instance().Run("Vela_GetMyPrnId", {h, printData, page}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        if (id == nullptr)
            return kErrBadArgument;
        PrintData* data = nullptr;
        if (VelaResult r = FindPage(*c, printData, page, data); r != kOk)
            return r;
        *id = data->pageIds[static_cast<size_t>(page)];
        return kOk;
    });
}

// Hands out the bytes of one page of print data; they stay with the connection.
extern "C" VelaResult VELA_API Vela_GetMyPrnData(VelaHandle h, std::int32_t printData,
                                                 std::int32_t page, const std::uint8_t** data,
                                                 std::int32_t* size) {
    return Simulator::Instance().Run("Vela_GetMyPrnData", {h, printData, page}, [&](Simulator& s) {
        Connection* c = s.ConnectionOf(h);
        if (c == nullptr)
            return kErrBadHandle;
        if (data == nullptr || size == nullptr)
            return kErrBadArgument;
        *data = nullptr;
        *size = 0;
        PrintData* made = nullptr;
        if (VelaResult r = FindPage(*c, printData, page, made); r != kOk)
            return r;
        const QByteArray& bytes = made->pageData[static_cast<size_t>(page)];
        *data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        *size = static_cast<std::int32_t>(bytes.size());
        return kOk;
    });
}

// Takes print data back from the caller and queues it as a job on the printer it was made for.
extern "C" VelaResult VELA_API Vela_ExWriteData(VelaHandle h, const std::uint8_t* data,
                                                std::int32_t size) {
    return Simulator::Instance().Run(
        "Vela_ExWriteData", {h, Hex{data, std::min(size, kPrintDataHeaderSize)}, size},
        [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (data == nullptr || size <= 0)
                return kErrBadArgument;
            const std::optional<PrintPage> page = DecodePrintData(data, size);
            if (!page)
                return kErrBadPrintData;
            Module* printer = nullptr;
            if (VelaResult r = PrinterOf(*d, page->module, printer); r != kOk)
                return r == kErrBadArgument ? kErrBadPrintData : r;
            if (printer->printer.jobs.size() >= kMaxJobs)
                return kErrBusy;
            printer->printer.jobs.push_back(PrintJob{
                page->id, page->page, QByteArray(reinterpret_cast<const char*>(data), size)});
            s.Occupy(printer->printer, kTransferMs);
            return kOk;
        });
}

// The printer reads its queue again; the current job is the one it prints next.
extern "C" VelaResult VELA_API Vela_UpdateCurrPrintJob(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_UpdateCurrPrintJob", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* printer;
        return PrinterTarget(s, h, module, d, printer);
    });
}

extern "C" VelaResult VELA_API Vela_GetCurrPrintJob(VelaHandle h, std::int32_t module,
                                                    std::uint16_t* jobId) {
    return Simulator::Instance().Run("Vela_GetCurrPrintJob", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* printer;
        if (VelaResult r = PrinterTarget(s, h, module, d, printer); r != kOk)
            return r;
        if (jobId == nullptr)
            return kErrBadArgument;
        if (printer->printer.jobs.empty())
            return kErrNoJob;
        *jobId = printer->printer.jobs.front().id;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_DeleteCurrPrintJob(VelaHandle h, std::int32_t module) {
    return Simulator::Instance().Run("Vela_DeleteCurrPrintJob", {h, module}, [&](Simulator& s) {
        Device* d;
        Module* printer;
        if (VelaResult r = PrinterTarget(s, h, module, d, printer); r != kOk)
            return r;
        if (printer->printer.jobs.empty())
            return kErrNoJob;
        printer->printer.jobs.pop_front();
        return kOk;
    });
}

// A printer prints its current job onto the upper side of its card, spools the picture and
// uses up one print of its ribbon; a laminator covers the upper side of its card. With
// `cardIn` the card is fed first. Either refuses without a card, and nothing changes when it
// refuses.
extern "C" VelaResult VELA_API Vela_PrintStart(VelaHandle h, std::int32_t module,
                                               std::int32_t cardIn, std::int32_t flags) {
    return Simulator::Instance().Run(
        "Vela_PrintStart", {h, module, cardIn, flags}, [&](Simulator& s) {
            Device* d;
            Module* m;
            if (VelaResult r = s.Target(h, module, d, m); r != kOk)
                return r;
            Card* card = nullptr;
            if (m->Type() == vela::kTypeLaminator) {
                if (VelaResult r = CardFor(s, *d, *m, cardIn, card); r != kOk)
                    return r;
                card->printed[card->UpperSide()].laminated = true;
                s.Occupy(*m, kLaminateMs);
                return kOk;
            }
            if (!m->printer.installed)
                return kErrBadArgument;
            PrinterStation& printer = m->printer;
            if (printer.jobs.empty())
                return kErrNoJob;
            const int panels = RibbonPanels(printer.ribbon.type);
            if (panels == 0 || printer.ribbon.remaining <= 0)
                return kErrRibbon;
            const PrintJob& job = printer.jobs.front();
            std::optional<PrintPage> page = DecodePrintData(
                reinterpret_cast<const std::uint8_t*>(job.data.constData()), job.data.size());
            if (!page)
                return kErrBadPrintData;
            if (VelaResult r = CardFor(s, *d, *m, cardIn, card); r != kOk)
                return r;
            PrintedSide& side = card->printed[card->UpperSide()];
            side = PrintedSide{page->image, s.Spool(page->image)};
            printer.jobs.pop_front();
            CountPrintedSide(s, *d, printer.ribbon, panels);
            s.Occupy(*m, kPrintMs);
            return kOk;
        });
}
