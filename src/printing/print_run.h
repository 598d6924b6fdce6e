// The print run: what the print button starts (selection/main_buttons.h). Reads every record the
// invoice needs, prints it once and then as many copies as the installation asks for, recomputes
// the invoice's sums while it prints, marks the header printed and leaves the window ready for
// sending.
#pragma once

#include <cstdint>

#include "core/context.h"

namespace kvor::printing {

// The run for the invoice whose number stands in TxtNmmr.
void PrintRun(Context& ctx, int16_t& err);

}  // namespace kvor::printing
