#include "head_resistor_memo.h"

int headResistorMemo = 0;
