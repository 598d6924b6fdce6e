#include "frame/stand_ins.h"

namespace kvor::frame::standin {

void LoadPrinterTable(Context&, int16_t& err) {
  err = 0;
}
void ListPrinters(Context&, int16_t& err) {
  err = 0;
}
void ChoosePrinterByCode(Context&, int, int16_t&) {}

void LoadInvoiceList(Context& ctx, int16_t& unprinted, int16_t& printed, int16_t& err) {
  unprinted = 1;
  printed = 0;
  ctx.frame.invoice_list_count = 0;
  ctx.main.LblAntal->SetText("1");
  err = 0;
}

void LookupInvoice(Context&) {}

}  // namespace kvor::frame::standin
