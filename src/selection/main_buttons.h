// Enabling and disabling the main window's buttons, and the reset of the number entry.
#pragma once

#include "core/context.h"

namespace kvor::selection {

// Disables every action button (and the number field while a print run is busy).
void ResetButtons(Context& ctx);
// The digit buttons together with the idle timer.
void EnableDigits(Context& ctx);
void DisableDigits(Context& ctx);
// Focus enters the number field: a fresh number entry.
void NumberEntryReset(Context& ctx);

}  // namespace kvor::selection
