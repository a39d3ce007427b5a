#pragma once
// What the printing exports (sim_print.cpp, sim_jobs.cpp) share: the printer module a command
// names, the ribbon kinds and what a printed side costs.

#include "sim_state.h"

namespace sim {

// The printer module `module` of the device: kErrNoModule when the chain lacks it,
// kErrBadArgument when it is no printer.
VelaResult PrinterOf(Device& d, int module, Module*& printer);
// The device of an open connection (kErrBadHandle otherwise) and its printer module `module`, as
// PrinterOf finds it. Unlike Simulator::Target it lets a busy or stopped printer through: its
// settings and job queue stay reachable while it prints.
VelaResult PrinterTarget(Simulator& s, VelaHandle h, int module, Device*& d, Module*& printer);

// The card layout fields of a printer's settings: for card 1 and card 2, whether it is in use
// and which of its sides are printed (0 front, 1 back, 2 both).
struct CardLayoutFields {
    size_t inUse, side;
    int card;
};
inline constexpr CardLayoutFields kCardLayouts[] = {
    {printer_settings::kCard1InUse, printer_settings::kCard1Side, 1},
    {printer_settings::kCard2InUse, printer_settings::kCard2Side, 2}};

// Panels one printed side takes from a ribbon of this type; 0 for a type no printer takes.
int RibbonPanels(int ribbonType);
// Ribbons with the black panel only: their prints are black and white.
bool MonochromeRibbon(int ribbonType);

// A printed side: the ribbon gives one print and the issue counters count the image and its
// panels.
void CountPrintedSide(Simulator& s, Device& d, Ribbon& ribbon, int panels);

}  // namespace sim
