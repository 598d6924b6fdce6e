// Numbers as fixed-width text. Register fields hold numbers as text; these routines trim and fill
// such texts, round them and format amounts for the page and the e-invoice. Modules:
//   SPARTBLT  blank removal, trimming, filling to a width, decimal rounding
//   SPARHTDM  fixed-width amount with a sign style
//   SPARFTET  amount with grouped thousands and a chosen decimal separator
//   AVRUNDAS  the rounding difference to whole units
// A wrong parameter is shown in the message window (kind 3); where a routine has an error
// indicator, it is set to 1 then.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/messenger.h"

namespace kvor {

// --- SPARTBLT -----------------------------------------------------------------------------------

// result = value with every blank removed; length = its length.
void RemoveBlanks(std::string_view value, std::string& result, int16_t& length);
std::string RemoveBlanks(std::string_view value);

// Leading (TrimLeft) or trailing (TrimRight) blanks removed; length = the length of the result.
void TrimLeft(std::string& value, int16_t& length);
void TrimRight(std::string& value, int16_t& length);
std::string TrimLeft(std::string_view value);
std::string TrimRight(std::string_view value);

// Removes the leading blanks and puts fill characters in front up to width. A value already
// longer than width is reported and left trimmed.
void PadBefore(Messenger& messenger, std::string& value, char fill, int16_t width);
// The mirror image: trailing blanks removed, the fill goes behind.
void PadAfter(Messenger& messenger, std::string& value, char fill, int16_t width);
void PadBlanksBefore(Messenger& messenger, std::string& value, int16_t width);
void PadZerosBefore(Messenger& messenger, std::string& value, int16_t width);
void PadDotsAfter(Messenger& messenger, std::string& value, int16_t width);

// Every "," becomes "." and every blank is removed.
void NormalizeNumber(std::string& value);

// The numeric value of a text as the old runtime's Val() reads it: blanks are skipped, then an
// optional sign, digits and at most one point; whatever follows is ignored. A text without a
// number is 0.
double NumericValue(std::string_view text);

// Rounds the normalized value to the given number of decimals, halves upwards (2.345 gives 2.35,
// -2.345 gives -2.34), and writes it in the invariant form: no trailing zeros and no zero before
// the point ("1.5", "3", ".5", "-.4", "0"). The error indicator is always set to 0.
void RoundDecimals(std::string_view value, std::string& result, int16_t decimals, int16_t& error);

// --- SPARHTDM -----------------------------------------------------------------------------------

// Rounds value to `decimals` and right-aligns it in a fixed width: integer_digits places, a point
// and the decimals when decimals > 0, and one sign place for sign styles 2 and 3. Styles 0 and 1
// have no sign place: a negative value is reported and shown as style 2 (style 0 gives up one
// integer place for the sign). Style 4 takes style 0 for a value that is not negative and
// otherwise style 2 with one integer place less, without a message. With no decimals, zero is all
// blanks. A wrong parameter or a value too wide is reported and the value left unchanged.
void FormatAmount(Messenger& messenger, std::string& value, int16_t integer_digits,
                  int16_t decimals, int16_t sign_style);

// --- SPARFTET -----------------------------------------------------------------------------------

// Writes value with its own number of decimals, thousands grouped by "." and the decimal
// separator "," or ":", right-aligned in pattern_width integer places plus the decimals:
// 1234567.5 with width 16 and ":" gives "1.234.567:5" after 7 blanks.
void FormatGrouped(Messenger& messenger, std::string_view value, std::string& result,
                   std::string_view decimal_separator, int16_t pattern_width, int16_t& error);

// --- AVRUNDAS -----------------------------------------------------------------------------------

// The difference between value rounded to whole units and value itself, rounded to `decimals`
// (0 to 2): 1234.40 gives "-.4", 1234.50 gives ".5". A value of 0 gives an empty result.
void RoundingDifference(Messenger& messenger, std::string_view value, std::string& result,
                        int16_t decimals, int16_t& error);

}  // namespace kvor
