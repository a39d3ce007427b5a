// Feeds arbitrary bytes to the simulator's card document reader and renders every page of what
// it accepts (pictures are named only: no file is read here).
#include <cstdint>
#include <cstdlib>

#include "sim_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<sim::CardDocument> document = sim::ParseCardDocument(bytes);
    if (!document)
        return 0;
    if (document->PageCount() > sim::kPageCount)
        std::abort();
    for (int page = 0; page < sim::kPageCount; ++page) {
        if (!document->HasPage(page))
            continue;
        sim::RenderOptions options;
        options.monochrome = (page & 1) != 0;
        options.rotate180 = page >= 2;
        const QImage card = sim::RenderPage(*document, page, options);
        if (card.width() != sim::kCardWidth || card.height() != sim::kCardHeight)
            std::abort();
        if (sim::PackDib(card).size() != 40 + 3036 * sim::kCardHeight)
            std::abort();
    }
    return 0;
}
