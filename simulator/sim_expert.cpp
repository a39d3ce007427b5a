// The printer's test mode: a switch of the printer that takes it a while, during which the
// printer reports itself busy.

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

namespace {

// Lifelike time the printer needs to enter or leave test mode (scaled by the time factor).
constexpr int kTestModeMs = 2000;

}  // namespace

extern "C" VelaResult VELA_API Vela_ExToggleTestMode(VelaHandle h) {
    return Simulator::Instance().Run("Vela_ExToggleTestMode", {h}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        Module* printer = d->FindModule(vela::kModulePrinter);
        if (printer == nullptr)
            return kErrNoModule;
        if (printer->Busy(s.Now()))
            return kErrBusy;
        d->testMode = !d->testMode;
        // The command returns at once; the printer stays busy while it switches.
        s.Occupy(*printer, kTestModeMs);
        return kOk;
    });
}
