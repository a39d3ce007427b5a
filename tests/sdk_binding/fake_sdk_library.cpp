// A stand-in SDK library for the binding's own tests: it exports every name of the contract
// (a variant renames some away at compile time, so they are missing from the library), answers
// 0 to every call and counts the calls, so a test can see whether SDK code was reached.
// Standard C++ only, so it builds wherever the binding does.

#include <atomic>

#include "vela_exports.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace {
std::atomic<int> g_calls{0};
}

#define FAKE_EXPORT(ret, name, params)                     \
    extern "C" VELA_EXPORT_ATTR ret VELA_API name params { \
        g_calls.fetch_add(1);                              \
        return 0;                                          \
    }
#define FAKE_EXPORT_UNUSED(name) FAKE_EXPORT(VelaResult, name, VELA_UNUSED_SIGNATURE)
VELA_FOR_EACH_EXPORT(FAKE_EXPORT, FAKE_EXPORT_UNUSED)

// Calls that reached the library since it was loaded.
extern "C" VELA_EXPORT_ATTR int FakeSdk_Calls() {
    return g_calls.load();
}
