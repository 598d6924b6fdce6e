#include "einvoice/gln.h"

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"

namespace kvor::einvoice {

void GlnCheckDigit(Context& ctx, const std::string& base, std::string& check_digit, int16_t& err) {
  const std::string digits = RemoveBlanks(base);
  if (digits.empty()) return;
  if (digits.size() != 12) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("För BERÄKNING av GLN till CHECK-summa SAKNAS dess 12 siffror!"_w,
                   "GLN-kod: " + digits),
        dialogs::kNotice);
    err = 1;
    return;
  }
  int sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int value = digits[i] >= '0' && digits[i] <= '9' ? digits[i] - '0' : 0;
    sum += value * (i % 2 == 0 ? 1 : 3);
  }
  check_digit = std::to_string((10 - sum % 10) % 10);
  err = 0;
}

}  // namespace kvor::einvoice
