#pragma once
// Declarations of the simulator's own control calls, generated from their list in velasim.h, so
// that the library can call them from inside (the control endpoint) and a definition with the
// wrong signature does not compile.

#include <type_traits>

#include "velasim.h"

#define SIM_DECLARE_CONTROL(name) \
    extern "C" VELA_EXPORT_ATTR std::remove_pointer_t<PFN_##name> name;
VELASIM_FOR_EACH_CONTROL(SIM_DECLARE_CONTROL)
#undef SIM_DECLARE_CONTROL
