// Barcodes (modules BARCODES and PRINTBCN): the invoice number printed in a Code 39 barcode font
// on the running print job.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::printing {

// Prints `text` as a Code 39 barcode of 40 points from character column `column` and moves one
// line down; the font is then Courier New 10 bold again. An empty text prints nothing.
void Streckkod(Context& ctx, int column, const std::string& text, int16_t& err);
// Type "39" or "128" (blanks removed, zeros in front), variant "R" regular or "E" extended: the
// barcode font becomes the printer's font; 1 when the workstation lacks it (told).
void SetUpBarcodeFont(Context& ctx, const std::string& type, const std::string& variant,
                      int16_t& err);
// The text to print in the barcode font; start-stop flag "J" adds the Code 39 start and stop
// character "*" at both ends.
void EncodeBarcode(Context& ctx, const std::string& text, const std::string& variant,
                   const std::string& start_stop, int16_t& err);
void ResetBarcodeFont(Context& ctx, int16_t& err);

}  // namespace kvor::printing
