#include "registers/row_amounts.h"

#include "registers/database.h"

namespace kvor::registers {

bool CompanyCurrency(const Context& ctx) {
  return ctx.print.run.row_price_flag == "E";
}

std::string AdditionalRowAmount(Context& ctx) {
  const Record& row = Fields(ctx, "SVF-FTAP");
  return CompanyCurrency(ctx) ? row.Get("FTAP_P264") : row.Get("FTAP_P250");
}

}  // namespace kvor::registers
