// Module GLNCHECK: the check digit that completes a 12-digit GLN or article number base.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::einvoice {

// The GS1 modulo-10 check digit of `base` (blanks left out; a character that is not a digit
// counts as 0). An all-blank base leaves `check_digit` and `err` as they were; a base of another
// length than 12 is told and gives 1.
void GlnCheckDigit(Context& ctx, const std::string& base, std::string& check_digit, int16_t& err);

}  // namespace kvor::einvoice
