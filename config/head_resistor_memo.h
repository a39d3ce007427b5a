#pragma once
// The last print-head resistance fetched from the printer or entered by the user, kept for the
// whole run (Load Default and the head replacement offer it again).

extern int headResistorMemo;
