#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "common/cp1252.h"
#include "common/text.h"

namespace kvor {

namespace {

// The leading number of a text, read as Val() reads it and kept as decimal digits, so that the
// rounding works on the decimals the text holds rather than on their binary approximation.
struct Numeral {
  bool negative = false;
  std::string whole;     // digits before the point
  std::string fraction;  // digits after the point
};

Numeral ReadNumeral(std::string_view text) {
  Numeral n;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) n.negative = text[i++] == '-';
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    if (c >= '0' && c <= '9')
      (point ? n.fraction : n.whole) += c;
    else if (c == '.' && !point)
      point = true;
    else
      break;
  }
  return n;
}

bool IsZero(const Numeral& n) {
  const auto zero = [](const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == '0'; });
  };
  return zero(n.whole) && zero(n.fraction);
}

// The value of n × 10^shift, correctly rounded to a double. Beyond the range of a double it is
// infinite or zero.
double ToDouble(const Numeral& n, int shift) {
  std::string s = n.negative ? "-" : "";
  s += n.whole.empty() ? "0" : n.whole;
  if (!n.fraction.empty()) s += "." + n.fraction;
  s += "e" + std::to_string(shift);
  double x = 0;
  if (std::from_chars(s.data(), s.data() + s.size(), x).ec == std::errc::result_out_of_range) {
    const auto first = n.whole.find_first_not_of('0');
    const long long magnitude =
        first != std::string::npos
            ? static_cast<long long>(n.whole.size() - first) + shift
            : shift - static_cast<long long>(
                          std::min(n.fraction.find_first_not_of('0'), n.fraction.size()));
    x = magnitude > 0 ? HUGE_VAL : 0.0;
    if (n.negative) x = -x;
  }
  return x;
}

// "-.4", "1.5", "3", "0": no zero before the point, no trailing zeros.
std::string Invariant(Numeral n) {
  n.whole.erase(0, n.whole.find_first_not_of('0'));
  n.fraction.erase(n.fraction.find_last_not_of('0') + 1);
  if (n.whole.empty() && n.fraction.empty()) return "0";
  std::string out = n.negative ? "-" : "";
  out += n.whole;
  if (!n.fraction.empty()) out += "." + n.fraction;
  return out;
}

// Int(x × 10^decimals + 0.5) ÷ 10^decimals in the invariant form. The scaling shifts the decimal
// point of the text, so a half written in the text is an exact half (1.005 gives 1.01).
std::string RoundNumeral(const Numeral& x, int decimals) {
  // Rounding to at least as many decimals as the text has changes nothing.
  if (decimals >= static_cast<int>(x.fraction.size())) return Invariant(x);
  const double r = std::floor(ToDouble(x, decimals) + 0.5);
  if (!std::isfinite(r)) return Invariant(x);
  char buffer[400];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, r, std::chars_format::fixed, 0);
  std::string digits(buffer, end.ptr);
  Numeral out;
  if (!digits.empty() && digits[0] == '-') {
    out.negative = true;
    digits.erase(0, 1);
  }
  if (decimals >= 0) {
    const auto places = static_cast<std::size_t>(decimals);
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    out.whole = digits.substr(0, digits.size() - places);
    out.fraction = digits.substr(digits.size() - places);
  } else {
    out.whole = digits + std::string(static_cast<std::size_t>(-decimals), '0');
  }
  return Invariant(out);
}

// PadBefore and PadAfter.
void Pad(Messenger& messenger, std::string& value, char fill, int width, bool before) {
  value = before ? TrimLeft(value) : TrimRight(value);
  const int length = static_cast<int>(value.size());
  if (length > width) {
    std::string what = "För TECKEN-utfyllnad "_w;
    what += before ? "FÖRE"_w : "EFTER"_w;
    what += " har STRÄNGEN redan FLER tilllåtna TECKEN än TILL-delas!"_w;
    std::string detail = "Tecken: ";
    detail += fill;
    detail += kDotSeparator;
    detail += "Stränglängd:"_w;
    detail += WithSignPlace(length);
    detail += kDotSeparator;
    detail += "Tilldelas:";
    detail += WithSignPlace(width);
    messenger.ShowMessage(Paragraphs(what, detail), 3);
    return;
  }
  value.insert(before ? 0 : value.size(), static_cast<std::size_t>(width - length), fill);
}

}  // namespace

// --- SPARTBLT -----------------------------------------------------------------------------------

void RemoveBlanks(std::string_view value, std::string& result, int16_t& length) {
  result = RemoveBlanks(value);
  length = static_cast<int16_t>(result.size());
}

std::string RemoveBlanks(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value)
    if (c != ' ') out += c;
  return out;
}

std::string TrimLeft(std::string_view value) {
  const auto first = value.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(value.substr(first));
}

std::string TrimRight(std::string_view value) {
  return std::string(value.substr(0, value.find_last_not_of(' ') + 1));
}

void TrimLeft(std::string& value, int16_t& length) {
  value = TrimLeft(std::string_view(value));
  length = static_cast<int16_t>(value.size());
}

void TrimRight(std::string& value, int16_t& length) {
  value = TrimRight(std::string_view(value));
  length = static_cast<int16_t>(value.size());
}

void PadBefore(Messenger& messenger, std::string& value, char fill, int16_t width) {
  Pad(messenger, value, fill, width, true);
}

void PadAfter(Messenger& messenger, std::string& value, char fill, int16_t width) {
  Pad(messenger, value, fill, width, false);
}

void PadBlanksBefore(Messenger& messenger, std::string& value, int16_t width) {
  PadBefore(messenger, value, ' ', width);
}

void PadZerosBefore(Messenger& messenger, std::string& value, int16_t width) {
  PadBefore(messenger, value, '0', width);
}

void PadDotsAfter(Messenger& messenger, std::string& value, int16_t width) {
  PadAfter(messenger, value, '.', width);
}

void NormalizeNumber(std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value)
    if (c != ' ') out += c == ',' ? '.' : c;
  value = std::move(out);
}

double NumericValue(std::string_view text) {
  return ToDouble(ReadNumeral(text), 0);
}

void RoundDecimals(std::string_view value, std::string& result, int16_t decimals, int16_t& error) {
  error = 0;
  std::string normalized(value);
  NormalizeNumber(normalized);
  result = RoundNumeral(ReadNumeral(normalized), decimals);
}

// --- SPARHTDM -----------------------------------------------------------------------------------

void FormatAmount(Messenger& messenger, std::string& value, int16_t integer_digits,
                  int16_t decimals, int16_t sign_style) {
  int digits = integer_digits;
  int style = sign_style;
  const auto report = [&](std::string_view shown) {
    std::string detail = "HelTal:" + WithSignPlace(digits);
    detail += kDotSeparator;
    detail += "Sträng :"_w;
    detail += shown;
    messenger.ShowMessage(
        Paragraphs("Modulen SPARHTDM för FORMATERING får FELAKTIG parameter!"_w, detail,
                   "Tecken:" + WithSignPlace(style) + std::string("  (2/3 för minus)"_w)),
        3);
  };
  // A negative count of decimals has no pattern.
  if (digits == 0 || style < 0 || style > 4 || decimals < 0) {
    report(value);
    return;
  }

  std::string work;
  int16_t ignored = 0;
  RoundDecimals(value, work, decimals, ignored);
  const Numeral number = ReadNumeral(work);
  const bool negative = number.negative && !IsZero(number);

  if (style == 4) {
    if (negative) {
      --digits;
      style = 2;
    } else {
      style = 0;
    }
  } else if (negative && style <= 1) {
    messenger.ShowMessage(
        Paragraphs(std::string("Tilldelat VÄRDE för FORMATERING är NEGATIVT och TECKEN-koden"_w) +
                       WithSignPlace(style) + std::string(" ändras!"_w),
                   std::string("Värde: "_w) + value),
        2);
    if (style == 0) --digits;  // the sign takes an integer place
    style = 2;
  }

  // At least one integer digit and exactly `decimals` decimals; without decimals every place is
  // optional, so zero is written as nothing.
  std::string text = negative ? "-" : "";
  if (decimals > 0) {
    text += number.whole.empty() ? "0" : number.whole;
    text += '.';
    text += number.fraction;
    text.append(static_cast<std::size_t>(decimals) - number.fraction.size(), '0');
  } else if (!IsZero(number)) {
    text += number.whole;
  }

  const int width = digits + (decimals > 0 ? 1 : 0) + decimals + (style >= 2 ? 1 : 0);
  if (static_cast<int>(text.size()) > width) {
    report(work);
    return;
  }
  value = std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

// --- SPARFTET -----------------------------------------------------------------------------------

void FormatGrouped(Messenger& messenger, std::string_view value, std::string& result,
                   std::string_view decimal_separator, int16_t pattern_width, int16_t& error) {
  const int width = pattern_width;
  if (decimal_separator != "," && decimal_separator != ":") {
    messenger.ShowMessage(
        Paragraphs("Modulen SPARFTET för FORMATERING får FELAKTIG parameter!"_w,
                   std::string("Värde:"_w) + std::string(value), "HelTal:" + std::to_string(width),
                   "Tecken: " + std::string(decimal_separator)),
        3);
    error = 1;
    return;
  }

  std::string normalized(value);
  NormalizeNumber(normalized);
  const auto point = normalized.find('.');
  const int decimals =
      point == std::string::npos ? 0 : static_cast<int>(normalized.size() - point - 1);
  const Numeral number = ReadNumeral(normalized);

  // The pattern is the last `width` places of "###,###,###,###,##0": a negative width has none,
  // and a number beyond the range of a double does not fit it.
  if (width < 0 || !std::isfinite(ToDouble(number, 0))) {
    messenger.ReportTrappedError(
        Paragraphs("Modulen SPARFTET för FORMATERING av FLYTTAL kan EJ utföras!"_w,
                   std::string("Värde:"_w) + std::string(value), "HelTal:" + std::to_string(width),
                   "DecTal:" + std::to_string(decimals)),
        TrappedError{"SPARFTET", width < 0 ? 5 : 6,
                     width < 0 ? "Invalid procedure call or argument" : "Overflow"});
    error = 1;
    return;
  }

  std::string whole =
      number.whole.substr(std::min(number.whole.find_first_not_of('0'), number.whole.size()));
  if (whole.empty() && width >= 1) whole = "0";  // the pattern's last place is obligatory
  if (width >= 4) {                              // the pattern holds a group mark
    for (auto i = static_cast<std::ptrdiff_t>(whole.size()) - 3; i > 0; i -= 3)
      whole.insert(static_cast<std::size_t>(i), 1, '.');
  }
  std::string text = number.negative && !IsZero(number) ? "-" : "";
  text += whole;
  if (decimals > 0) {
    std::string fraction = number.fraction;
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    text += decimal_separator;
    text += fraction;
  }
  Pad(messenger, text, ' ', width + (decimals > 0 ? 1 : 0) + decimals, true);
  result = text;
  error = 0;
}

// --- AVRUNDAS -----------------------------------------------------------------------------------

void RoundingDifference(Messenger& messenger, std::string_view value, std::string& result,
                        int16_t decimals, int16_t& error) {
  if (decimals < 0 || decimals > 2) {
    messenger.ShowMessage(
        Paragraphs("Modulen AVRUNDAS för AVRUNDNING får FELAKTIG parameter!"_w,
                   "IdString: " + RemoveBlanks(value), "DecTal:" + WithSignPlace(decimals)),
        3);
    result = std::string(value);
    error = 1;
    return;
  }
  std::string normalized(value);
  NormalizeNumber(normalized);
  const Numeral number = ReadNumeral(normalized);
  if (IsZero(number)) {
    result.clear();
    error = 0;
    return;
  }
  std::string whole_units;
  RoundDecimals(normalized, whole_units, 0, error);
  if (error != 0) return;
  // The exact difference has no more decimals than the value itself; writing it with that many
  // drops the binary noise of the subtraction before it is rounded.
  const double difference = NumericValue(whole_units) - ToDouble(number, 0);
  const int places = std::min(static_cast<int>(number.fraction.size()), 17);
  char buffer[400];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, difference, std::chars_format::fixed, places);
  RoundDecimals(std::string_view(buffer, end.ptr), result, decimals, error);
}

}  // namespace kvor
