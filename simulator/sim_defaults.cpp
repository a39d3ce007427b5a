// Every export answers, at the least, "not supported": these weak definitions stand for each
// export that no other file of the simulator implements. A real implementation elsewhere is a
// strong definition and replaces the default at link time.

#include "sim_exports.h"
#include "sim_state.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

#define SIM_DEFAULT(ret, name, params)                                                            \
    extern "C" __attribute__((weak)) ret VELA_API name params {                                   \
        return sim::Simulator::Instance().Run(#name, {},                                          \
                                              [](sim::Simulator&) { return kVelaNotSupported; }); \
    }
#define SIM_DEFAULT_UNUSED(name) SIM_DEFAULT(VelaResult, name, VELA_UNUSED_SIGNATURE)
VELA_FOR_EACH_EXPORT(SIM_DEFAULT, SIM_DEFAULT_UNUSED)
