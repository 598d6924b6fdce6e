#include "common/cp1252.h"

namespace kvor {

std::string ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 4);
  for (char ch : cp1252) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t cp = b;
    if (b >= 0x80 && b < 0xA0) cp = cp1252_detail::kHigh[b - 0x80] ? cp1252_detail::kHigh[b - 0x80] : 0xFFFD;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const int byte = cp1252_detail::ByteOf(cp1252_detail::DecodeUtf8(utf8.data(), utf8.size(), i));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

char UpperChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  // à-þ except ÷ map to À-Þ; š, œ, ž and ÿ have their capitals in the 0x80 block.
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
  if (b == 0x9A) return static_cast<char>(0x8A);
  if (b == 0x9C) return static_cast<char>(0x8C);
  if (b == 0x9E) return static_cast<char>(0x8E);
  if (b == 0xFF) return static_cast<char>(0x9F);
  return c;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

}  // namespace kvor
