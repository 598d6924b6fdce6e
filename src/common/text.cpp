#include "common/text.h"

namespace kvor {

std::string WithSignPlace(long long n) { return (n < 0 ? "" : " ") + std::to_string(n); }

std::string Fixed(std::string_view s, std::size_t width) {
  std::string out(s.substr(0, width));
  out.resize(width, ' ');
  return out;
}

}  // namespace kvor
