// Start-up readers and register steps whose real versions come with the register, printer and
// invoice-list work. Each succeeds and leaves the error indicator at 0; the name says
// what replaces it.
#pragma once

#include <cstdint>

#include "core/context.h"

namespace kvor::frame::standin {

void LoadPrinterTable(Context& ctx, int16_t& err);  // SKRIVARE.DAT
void ListPrinters(Context& ctx, int16_t& err);      // installed printers
void ChoosePrinterByCode(Context& ctx, int code, int16_t& err);
// Invoice list loader: reports one unprinted invoice so that the window reaches number entry.
void LoadInvoiceList(Context& ctx, int16_t& unprinted, int16_t& printed, int16_t& err);
void LookupInvoice(Context& ctx);  // invoice lookup by number

}  // namespace kvor::frame::standin
