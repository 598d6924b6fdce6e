// The amounts of an invoice row as the printed page and the e-invoice both take them: in the
// company's currency or in the invoice's, by the row price flag the print run set for the row.
#pragma once

#include <string>

#include "core/context.h"

namespace kvor::registers {

// The row's amounts are in the company's currency: the row price flag is "E".
bool CompanyCurrency(const Context& ctx);
// The amount of the additional row in the SVF-FTAP fields: in the company's currency when the row
// price flag is "E", else in the invoice's.
std::string AdditionalRowAmount(Context& ctx);

}  // namespace kvor::registers
