// The device parameter block and the two issue counter records.

#include <algorithm>
#include <cstring>

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

// Bits of positions 24 and 25 the printer keeps for itself whatever a write sends.
constexpr int kPosPrinterType = 24;
constexpr int kPosOptionFlags = 25;
constexpr std::uint32_t kPrinterTypeOwnBits = 0x7FFFFFFEu;  // bits 1..30
constexpr std::uint32_t kOptionOwnBits = 0xFFF00000u;       // bits 20..31

std::int32_t Merge(std::int32_t written, std::int32_t kept, std::uint32_t ownBits) {
    const auto w = static_cast<std::uint32_t>(written);
    const auto k = static_cast<std::uint32_t>(kept);
    return static_cast<std::int32_t>((w & ~ownBits) | (k & ownBits));
}

bool PasswordMatches(const Device& d, const VelaChar* password) {
    return password != nullptr && FromVela(password, 64) == d.password;
}

VelaResult ReadRecord(const IssueCountRecord& record, void* out, std::int32_t* byteCount) {
    if (out == nullptr || byteCount == nullptr || *byteCount < 0)
        return kErrBadArgument;
    const int n = std::min<int>(*byteCount, sizeof(IssueCountRecord)) / 4 * 4;
    std::memcpy(out, record.values, static_cast<size_t>(n));
    *byteCount = n;
    return kOk;
}

VelaResult WriteRecord(IssueCountRecord& record, const void* in, std::int32_t byteCount) {
    if (in == nullptr || byteCount < 0)
        return kErrBadArgument;
    const int n = std::min<int>(byteCount, sizeof(IssueCountRecord)) / 4 * 4;
    std::memcpy(record.values, in, static_cast<size_t>(n));
    return kOk;
}

}  // namespace

extern "C" VelaResult VELA_API Vela_ExGetDevParam(VelaHandle h, void* values,
                                                  std::int32_t* byteCount) {
    return Simulator::Instance().Run(
        "Vela_ExGetDevParam", {h, byteCount ? *byteCount : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (values == nullptr || byteCount == nullptr || *byteCount < 0)
                return kErrBadArgument;
            // The printer delivers its own positions, never more than the caller has room for.
            const int n = std::min(d->paramCount * 4, *byteCount / 4 * 4);
            std::memcpy(values, d->params.data(), static_cast<size_t>(n));
            *byteCount = n;
            return kOk;
        });
}

extern "C" VelaResult VELA_API Vela_ExSetDevParam(VelaHandle h, const void* values,
                                                  std::int32_t byteCount,
                                                  const VelaChar* password) {
    return Simulator::Instance().Run(
        "Vela_ExSetDevParam",
        {h, Hex{values, values ? std::clamp(byteCount, 0, kMaxParams * 4) : 0}, byteCount,
         Secret{password}},
        [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (values == nullptr || byteCount < 0 || byteCount % 4 != 0)
                return kErrBadArgument;
            if (!PasswordMatches(*d, password))
                return kErrWrongPassword;
            const auto* in = static_cast<const std::int32_t*>(values);
            // Only the positions the printer has are kept; at most the 66 of the block.
            const int count = std::min({byteCount / 4, kMaxParams, d->paramCount});
            for (int i = 0; i < count; ++i) {
                if (std::find(d->rejectedPositions.begin(), d->rejectedPositions.end(), i) !=
                    d->rejectedPositions.end())
                    continue;
                std::int32_t v = in[i];
                auto& kept = d->params[static_cast<size_t>(i)];
                if (i == kPosPrinterType)
                    v = Merge(v, kept, kPrinterTypeOwnBits);
                if (i == kPosOptionFlags)
                    v = Merge(v, kept, kOptionOwnBits);
                kept = v;
            }
            s.MarkDirty();
            return kOk;
        });
}

namespace {
// Stores a counter record the printer accepts with its password.
VelaResult WriteCounts(const char* fn, VelaHandle h, const void* record, std::int32_t byteCount,
                       const VelaChar* password, IssueCountRecord Device::*counts) {
    return Simulator::Instance().Run(
        fn,
        {h, Hex{record, record ? std::clamp(byteCount, 0, 28) : 0}, byteCount, Secret{password}},
        [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            if (d == nullptr)
                return kErrBadHandle;
            if (!PasswordMatches(*d, password))
                return kErrWrongPassword;
            VelaResult r = WriteRecord(d->*counts, record, byteCount);
            if (r == kOk)
                s.MarkDirty();
            return r;
        });
}
}  // namespace

extern "C" VelaResult VELA_API Vela_ExGetUserIssueCount(VelaHandle h, void* record,
                                                        std::int32_t* byteCount) {
    return Simulator::Instance().Run(
        "Vela_ExGetUserIssueCount", {h, byteCount ? *byteCount : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            return d ? ReadRecord(d->userCounts, record, byteCount) : kErrBadHandle;
        });
}

extern "C" VelaResult VELA_API Vela_ExGetFactIssueCount(VelaHandle h, void* record,
                                                        std::int32_t* byteCount) {
    return Simulator::Instance().Run(
        "Vela_ExGetFactIssueCount", {h, byteCount ? *byteCount : -1}, [&](Simulator& s) {
            Device* d = s.ByHandle(h);
            return d ? ReadRecord(d->factoryCounts, record, byteCount) : kErrBadHandle;
        });
}

extern "C" VelaResult VELA_API Vela_ExSetUserIssueCount(VelaHandle h, const void* record,
                                                        std::int32_t byteCount,
                                                        const VelaChar* password) {
    return WriteCounts("Vela_ExSetUserIssueCount", h, record, byteCount, password,
                       &Device::userCounts);
}

extern "C" VelaResult VELA_API Vela_ExSetFactIssueCount(VelaHandle h, const void* record,
                                                        std::int32_t byteCount,
                                                        const VelaChar* password) {
    return WriteCounts("Vela_ExSetFactIssueCount", h, record, byteCount, password,
                       &Device::factoryCounts);
}
