// Feeds arbitrary reader answers to the IC and RF pages' decoders as the SDK would hand them
// over: a buffer of the pages' size with an untrusted reported length. Checks that nothing is
// taken from beyond the bytes returned and that what comes back keeps its documented bounds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "rf_frames.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace

// Input: 4 bytes of reported length (little-endian), then the buffer's contents.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    std::int32_t reported = 0;
    std::memcpy(&reported, data, sizeof reported);
    data += 4;
    size -= 4;

    // The buffers the pages use, filled as far as the input goes; exactly their size, so that
    // AddressSanitizer sees any read past them.
    std::vector<std::uint8_t> atr(rf::kAtrBufferSize);
    std::vector<std::uint8_t> response(rf::kResponseBufferSize);
    std::memcpy(atr.data(), data, std::min(size, atr.size()));
    std::memcpy(response.data(), data, std::min(size, response.size()));

    const auto atrBytes = rf::Returned(atr, reported);
    Check(atrBytes.size() <= atr.size());
    Check(reported < 0 ? atrBytes.empty()
                       : atrBytes.size() ==
                             std::min<std::size_t>(static_cast<std::size_t>(reported), atr.size()));

    const auto returned = rf::Returned(response, reported);
    Check(returned.size() <= response.size());

    const rf::Bytes uid = rf::DecodeUid(returned);
    Check(uid.size() <= 10);
    Check(uid.empty() ||
          (returned.size() > 10 && uid.size() <= returned.size() - 10 && returned[0] == 0 &&
           std::equal(uid.begin(), uid.end(), returned.begin() + 10)));

    rf::Bytes block;
    if (rf::DecodeReadBlock(returned, block)) {
        Check(returned.size() >= 3 && returned[0] == 0);
        Check(block.size() <= rf::kBlockSize && block.size() <= returned.size() - 3);
        Check(std::equal(block.begin(), block.end(), returned.begin() + 1));
        (void)rf::DecodeBlockText(block);
    }

    // The key text and the block text from the same bytes, as Latin-1 text.
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(data),
                            static_cast<qsizetype>(std::min<std::size_t>(size, 64)));
    (void)rf::ParseKey(text);
    const rf::Block encoded = rf::EncodeBlockText(text);
    Check(rf::DecodeBlockText(encoded).size() <= rf::kBlockSize);
    return 0;
}
