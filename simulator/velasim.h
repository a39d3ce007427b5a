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
// "multi-hopper", "twelve-modules", "no-input-hopper", "printer-only"). 0 on success.
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
// Moves the card in transport into a module; with no card in the system, puts a fresh card of
// the default profile there. 0xFF: removes the card from the system.
typedef VelaResult(VELA_API* PFN_VelaSim_SetCardModule)(const char* device, int module);
typedef int(VELA_API* PFN_VelaSim_GetCardModule)(const char* device);
// Puts a new card into a module: `card` names a card profile of the scenario (null or "": the
// default profile) or describes the card as JSON (the keys of a card profile and of the card
// snapshot: "profile", "serial", "faceDown", "tracks", "atr", "uid", "blocks", ...). Refused
// with 0x80000302 while a card is in transport, 0x80000057 for a description that cannot be
// read.
typedef VelaResult(VELA_API* PFN_VelaSim_InsertCard)(const char* device, int module,
                                                     const char* card);
// Takes the card in transport out of the system (0x80000301 when there is none).
typedef VelaResult(VELA_API* PFN_VelaSim_RemoveCard)(const char* device);
// The card in transport as JSON ("null" when there is none); copies like GetCallLog.
typedef int(VELA_API* PFN_VelaSim_GetCardJson)(const char* device, char* buffer, int capacity);
// Sets what a JSON object gives of a module's settable fields, as a scenario declares them
// (stations: {"ic": {"contacted": true}}, {"rf": {"fieldOn": true}}, {"encoder": {...}}; decks:
// "cards", "profile", "hoppers"). All or nothing: 0x80000057 when any key cannot be read.
typedef VelaResult(VELA_API* PFN_VelaSim_SetModuleJson)(const char* device, int module,
                                                        const char* json);
// The same for the device's settable fields ("testMode", "manualMode", "modules" by id, ...).
typedef VelaResult(VELA_API* PFN_VelaSim_SetDeviceJson)(const char* device, const char* json);
// Fault rule: the export's calls after the first `skip` fail with `result` for `count` calls
// (-1: from then on), without doing anything else. `exportName` may be a family prefix ending
// in "*" ("Vela_Card*").
typedef VelaResult(VELA_API* PFN_VelaSim_InjectFault)(const char* exportName, int skip, int count,
                                                      VelaResult result);
typedef VelaResult(VELA_API* PFN_VelaSim_ClearFaults)();
// Makes every call of the export take `ms` milliseconds (real time, outside any lock).
typedef VelaResult(VELA_API* PFN_VelaSim_SetDelay)(const char* exportName, int ms);
// Removes every delay.
typedef VelaResult(VELA_API* PFN_VelaSim_ClearDelays)();
// A named event: "jam" and "hopper-empty" on `module`, "cover-open", "ribbon-out" and
// "clear-errors" on the device (`module` unused). 0x80000300 for a module not in the chain,
// 0x80000057 for an unknown event or a module the event does not apply to.
typedef VelaResult(VELA_API* PFN_VelaSim_Event)(const char* device, const char* event, int module);
// The call log as JSON lines: {"seq":n,"fn":"...","args":[...],"result":r}. Copies at most
// capacity-1 bytes plus a terminator; returns the full length needed.
typedef int(VELA_API* PFN_VelaSim_GetCallLog)(char* buffer, int capacity);
typedef VelaResult(VELA_API* PFN_VelaSim_ClearCallLog)();
// Persistent state file (identity, passwords, parameters, counters, station settings), kept
// readable by the user only; null or "" turns it off.
typedef VelaResult(VELA_API* PFN_VelaSim_SetStateFile)(const char* path);
// hold = 1 makes the simulator's file writes (state file, spooled cards) wait until hold = 0
// (at most 10 s); they wait with no lock held. Returns how many writes are waiting; hold < 0
// only asks.
typedef int(VELA_API* PFN_VelaSim_HoldFileWrites)(int hold);
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
    X(VelaSim_InsertCard)           \
    X(VelaSim_RemoveCard)           \
    X(VelaSim_GetCardJson)          \
    X(VelaSim_SetModuleJson)        \
    X(VelaSim_SetDeviceJson)        \
    X(VelaSim_InjectFault)          \
    X(VelaSim_ClearFaults)          \
    X(VelaSim_SetDelay)             \
    X(VelaSim_ClearDelays)          \
    X(VelaSim_Event)                \
    X(VelaSim_GetCallLog)           \
    X(VelaSim_ClearCallLog)         \
    X(VelaSim_SetStateFile)         \
    X(VelaSim_HoldFileWrites)       \
    X(VelaSim_GetDeviceJson)
