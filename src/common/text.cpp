#include "common/text.h"

namespace kvor {

std::string WithSignPlace(long long n) {
  return (n < 0 ? "" : " ") + std::to_string(n);
}

bool IsBlank(std::string_view s) {
  return s.find_first_not_of(' ') == std::string_view::npos;
}

std::string Trim(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

std::string SingleBlanks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

std::string Fixed(std::string_view s, std::size_t width) {
  std::string out(s.substr(0, width));
  out.resize(width, ' ');
  return out;
}

}  // namespace kvor
