#pragma once
// Control calls of the printer simulator, for tests and demonstrations. They are exported by the
// simulated SDK library next to the SDK's own exports; resolve them by name.
//
// `device` names a device of the scenario by its list name; null or "" means the first device.

#include <cstdint>

#include "vela_platform.h"

extern "C" {

// Loads a scenario from JSON text (null: the built-in default). Resets all state. 0 on success.
typedef VelaResult(VELA_API* PFN_VelaSim_LoadScenario)(const char* json);
// Loads a scenario from a JSON file, or one of the shipped presets by name ("default",
// "multi-hopper", "twelve-modules", "no-input-hopper"). 0 on success.
typedef VelaResult(VELA_API* PFN_VelaSim_LoadScenarioFile)(const char* pathOrPreset);
// Back to the scenario last loaded, in its clean start state; closes every connection.
typedef VelaResult(VELA_API* PFN_VelaSim_Reset)();
// Operation time factor: 0 = instant (tests), 1 = lifelike.
typedef VelaResult(VELA_API* PFN_VelaSim_SetTimeScale)(double scale);
// Forces status bits of a module: status = (derived | set) & ~clear.
typedef VelaResult(VELA_API* PFN_VelaSim_SetStatusBits)(const char* device, int module,
                                                        std::uint64_t set, std::uint64_t clear);
// Forces state-byte bits of a module the same way.
typedef VelaResult(VELA_API* PFN_VelaSim_SetStateBits)(const char* device, int module,
                                                       std::uint32_t set, std::uint32_t clear);
// Puts the card into a module (0xFF: no card in the system).
typedef VelaResult(VELA_API* PFN_VelaSim_SetCardModule)(const char* device, int module);
typedef int(VELA_API* PFN_VelaSim_GetCardModule)(const char* device);
// Fault rule: the export's calls after the first `skip` fail with `result` for `count` calls
// (-1: from then on), without doing anything else. `exportName` may be a family prefix ending
// in "*" ("Vela_Card*").
typedef VelaResult(VELA_API* PFN_VelaSim_InjectFault)(const char* exportName, int skip, int count,
                                                      VelaResult result);
typedef VelaResult(VELA_API* PFN_VelaSim_ClearFaults)();
// Makes every call of the export take `ms` milliseconds (real time, outside any lock).
typedef VelaResult(VELA_API* PFN_VelaSim_SetDelay)(const char* exportName, int ms);
// The call log as JSON lines: {"seq":n,"fn":"...","args":[...],"result":r}. Copies at most
// capacity-1 bytes plus a terminator; returns the full length needed.
typedef int(VELA_API* PFN_VelaSim_GetCallLog)(char* buffer, int capacity);
typedef VelaResult(VELA_API* PFN_VelaSim_ClearCallLog)();
// Persistent state file (identity, passwords, parameters, counters); null or "" turns it off.
typedef VelaResult(VELA_API* PFN_VelaSim_SetStateFile)(const char* path);
// A whole-device snapshot as JSON (what tests assert on): copies like GetCallLog.
typedef int(VELA_API* PFN_VelaSim_GetDeviceJson)(const char* device, char* buffer, int capacity);
}

#define VELASIM_FOR_EACH_CONTROL(X) \
    X(VelaSim_LoadScenario)         \
    X(VelaSim_LoadScenarioFile)     \
    X(VelaSim_Reset)                \
    X(VelaSim_SetTimeScale)         \
    X(VelaSim_SetStatusBits)        \
    X(VelaSim_SetStateBits)         \
    X(VelaSim_SetCardModule)        \
    X(VelaSim_GetCardModule)        \
    X(VelaSim_InjectFault)          \
    X(VelaSim_ClearFaults)          \
    X(VelaSim_SetDelay)             \
    X(VelaSim_GetCallLog)           \
    X(VelaSim_ClearCallLog)         \
    X(VelaSim_SetStateFile)         \
    X(VelaSim_GetDeviceJson)
