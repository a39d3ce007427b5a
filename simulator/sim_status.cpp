// Module state and status words, the preemption token and manual mode.

#include "sim_exports.h"
#include "sim_state.h"

using namespace sim;

extern "C" VelaResult VELA_API Vela_GetStatus(VelaHandle h, std::int32_t module,
                                              std::uint64_t* status) {
    return Simulator::Instance().Run("Vela_GetStatus", {h, module}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (status == nullptr)
            return kErrBadArgument;
        const Module* m = d->FindModule(module);
        if (m == nullptr)
            return kErrNoModule;
        *status = d->Status(*m, s.Now());
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_GetModuleState(VelaHandle h, std::int32_t module,
                                                   std::uint8_t* state) {
    return Simulator::Instance().Run("Vela_GetModuleState", {h, module}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (state == nullptr)
            return kErrBadArgument;
        const Module* m = d->FindModule(module);
        if (m == nullptr)
            return kErrNoModule;
        *state = d->State(*m, s.Now());
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_GetConnectedDevices(VelaHandle h, ConnectedModuleList* list) {
    return Simulator::Instance().Run("Vela_GetConnectedDevices", {h}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (list == nullptr)
            return kErrBadArgument;
        *list = ConnectedModuleList{};
        int n = 0;
        for (const Module& m : d->modules) {
            if (n >= kMaxModules)
                break;
            list->entries[n].id = m.id;
            list->entries[n].info = static_cast<std::uint8_t>(n);
            ++n;
        }
        list->count = n;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_RequestPreemption(VelaHandle h, std::uint16_t* token) {
    return Simulator::Instance().Run("Vela_RequestPreemption", {h}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (token == nullptr)
            return kErrBadArgument;
        if (d->preemptionToken != 0xFFFF && d->preemptionHolder != h) {
            *token = 0xFFFF;
            return kErrPreempted;
        }
        if (d->preemptionToken == 0xFFFF) {
            // A fresh token per grant, never the "none" value.
            std::uint16_t& next = d->lastToken;
            next = static_cast<std::uint16_t>(next * 75u + 74u);
            if (next == 0xFFFF)
                next = 0x1234;
            d->preemptionToken = next;
            d->preemptionHolder = h;
        }
        *token = d->preemptionToken;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_ReleasePreemption(VelaHandle h, std::uint16_t token) {
    return Simulator::Instance().Run("Vela_ReleasePreemption", {h, token}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        if (d->preemptionToken == 0xFFFF || token != d->preemptionToken)
            return kErrNotPreempted;
        d->preemptionToken = 0xFFFF;
        d->preemptionHolder = 0;
        return kOk;
    });
}

extern "C" VelaResult VELA_API Vela_ToggleManualMode(VelaHandle h) {
    return Simulator::Instance().Run("Vela_ToggleManualMode", {h}, [&](Simulator& s) {
        Device* d = s.ByHandle(h);
        if (d == nullptr)
            return kErrBadHandle;
        d->manualMode = !d->manualMode;
        return kOk;
    });
}
