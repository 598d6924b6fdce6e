// SKRIVARE.DAT, the printer table: lines of a two-digit code 01 to 15 and the printer's name.
#include "fuzz/harness.h"
#include "fuzz/targets.h"
#include "printing/printer_choice.h"

namespace kvor::fuzz {

int PrinterTable(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  h.Write("C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT", Bytes(data, size));
  int16_t err = 9;
  printing::LoadPrinterTable(ctx, err);
  Require(err == 0 || err == 1, "the table read gives 0 or 1");
  Require(ctx.print.table[0].empty(), "no printer has code 0");
  for (int code = 1; code <= 15; ++code) {
    const std::string& name = ctx.print.table[code];
    Require(name.empty() || name.size() >= 3, "a printer of the table has a name of 3 or more");
  }
  if (err == 0) {
    // Every code of the table can be chosen; the list shows the entry.
    for (int16_t code = 1; code <= 15; ++code) {
      int16_t chosen = 9;
      printing::ChoosePrinterByCode(ctx, code, chosen);
      Require(chosen == 0 && ctx.print.current_code == code, "a code of the table is chosen");
    }
  }
  return 0;
}

}  // namespace kvor::fuzz
