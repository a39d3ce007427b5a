#pragma once
// Declarations of every export the simulator defines, generated from the SDK's export list, so
// that a definition with the wrong signature does not compile.

#include "vela_exports.h"

#define SIM_DECLARE(ret, name, params) extern "C" VELA_EXPORT_ATTR ret VELA_API name params;
#define SIM_DECLARE_UNUSED(name) \
    extern "C" VELA_EXPORT_ATTR VelaResult VELA_API name VELA_UNUSED_SIGNATURE;
VELA_FOR_EACH_EXPORT(SIM_DECLARE, SIM_DECLARE_UNUSED)
#undef SIM_DECLARE
#undef SIM_DECLARE_UNUSED
