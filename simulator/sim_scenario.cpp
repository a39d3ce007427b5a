// The built-in scenarios. A scenario declares the devices the simulated SDK lists and, for each,
// its identity, parameters, counters, ribbon and module chain; docs/simulator.md describes the
// format.

#include "sim_state.h"

namespace sim {

namespace {

// A full printer system: input hopper, printer with encoder and contactless reader, flipper with
// IC/RF stations and scanner, laser unit, laminator and output hopper.
constexpr const char* kFullChain = R"([
    {"id": 16, "cards": 100},
    {"id": 64, "encoder": true, "rf": true},
    {"id": 97, "ic": true, "rf": true, "scanner": true},
    {"id": 98},
    {"id": 80},
    {"id": 112}
  ])";

QByteArray Scenario(const char* chain, const char* extraFirstDevice = "") {
    // The cards answer the test bench's test key as their Mifare key A.
    QByteArray json = R"json({
  "timeScale": 1.0,
  "cardProfiles": {"default": {"keyA": "5A 3C 96 E1 0F 7B"}},
  "devices": [
    {"name": "[USB1] Halvard Card Printer", "description": "Card Printer", "type": 14081,
     "serial": "HV2026000101", "headSerial": "TH-447101", "printerId": "PRN01",
     "password": "1234", "userPassword": "0000", "firmware": "V2.1.07 (2026-10-14)",
     "ribbon": 0, "modules": CHAIN EXTRA},
    {"name": "[USB2] Halvard Card Printer", "description": "Card Printer", "type": 14082,
     "serial": "HV2026000102", "headSerial": "TH-447102", "printerId": "PRN02",
     "password": "1234", "userPassword": "0000", "firmware": "V2.1.05 (2026-06-30)",
     "ribbon": 9, "modules": CHAIN},
    {"name": "NET-CardPrinter-03", "description": "Network Card Printer", "type": 14083,
     "network": true, "serial": "HV2026000103", "headSerial": "TH-447103",
     "printerId": "PRN03", "password": "1234", "userPassword": "0000",
     "firmware": "V2.1.07 (2026-10-14)", "modules": CHAIN},
    {"name": "[USB3] Label Printer", "description": "Label Printer", "type": 14096,
     "modules": [{"id": 64}]}
  ]
})json";
    json.replace("CHAIN", chain);
    json.replace("EXTRA", extraFirstDevice);
    return json;
}

}  // namespace

QByteArray BuiltInScenario() {
    return Scenario(kFullChain);
}

QByteArray PresetScenario(const QString& name) {
    if (name == u"default")
        return BuiltInScenario();
    if (name == u"multi-hopper")
        return Scenario(R"([
    {"id": 32, "hoppers": [1, 3, 5]},
    {"id": 64, "encoder": true},
    {"id": 97, "ic": true, "rf": true},
    {"id": 112}
  ])");
    if (name == u"twelve-modules")
        return Scenario(R"([
    {"id": 16}, {"id": 17}, {"id": 64, "encoder": true}, {"id": 80}, {"id": 97, "ic": true},
    {"id": 98}, {"id": 99}, {"id": 81}, {"id": 48}, {"id": 128}, {"id": 112}, {"id": 113}
  ])");
    if (name == u"printer-only")
        return Scenario(R"([
    {"id": 64, "encoder": true}
  ])");
    if (name == u"no-input-hopper")
        return Scenario(R"([
    {"id": 64, "encoder": true, "rf": true},
    {"id": 97, "ic": true, "rf": true, "scanner": true},
    {"id": 112}
  ])");
    return {};
}

}  // namespace sim
