// Separators and small text helpers shared by every module.
#pragma once

#include <string>
#include <string_view>

namespace kvor {

inline constexpr std::string_view kParagraph = "\r\n\r\n";  // between the paragraphs of a message
inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kDotSeparator = " \xB7 ";  // blank, middle dot, blank
inline constexpr char kMiddleDot = '\xB7';

// Joins message paragraphs with the paragraph separator.
template <typename... Rest>
std::string Paragraphs(std::string_view first, const Rest&... rest) {
  std::string out(first);
  ((out += kParagraph, out += std::string_view(rest)), ...);
  return out;
}

// Text of a 16-bit number as the original runtime writes it: a leading blank when it is not
// negative (" 12", "-3").
std::string WithSignPlace(long long n);

// True when s holds nothing but blanks (or nothing at all).
bool IsBlank(std::string_view s);

// s without leading and trailing blanks.
std::string Trim(std::string_view s);

// s with every run of blanks made a single blank.
std::string SingleBlanks(std::string_view s);

// A copy of s cut or padded with blanks on the right to exactly width characters.
std::string Fixed(std::string_view s, std::size_t width);

}  // namespace kvor
