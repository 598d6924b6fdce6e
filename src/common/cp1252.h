// Windows-1252 text. Every text of the program is a std::string of Windows-1252 bytes, one byte
// a character, as the register files and settings files hold them. Literals with letters outside
// ASCII are written "ÅTER"_w: the UTF-8 source text becomes Windows-1252 bytes at compile time.
// Conversion to UTF-8 happens only where text leaves for the screen, the page or the transcript.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvor {

namespace cp1252_detail {

// Unicode code points of the bytes 0x80-0x9F; 0 marks a byte with no character.
inline constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte for a code point, or -1 when Windows-1252 has no such character.
constexpr int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp && cp != 0) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns 0xFFFFFFFF on a malformed sequence.
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || i + extra >= n) {
    ++i;
    return 0xFFFFFFFF;
  }
  char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFFFFFF;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

template <std::size_t N>
struct Utf8Literal {
  char text[N]{};
  constexpr Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

template <std::size_t N>
struct Converted {
  char bytes[N]{};
  std::size_t size = 0;
};

template <Utf8Literal S>
constexpr auto Convert() {
  constexpr std::size_t n = sizeof(S.text) - 1;
  Converted<n + 1> out;
  for (std::size_t i = 0; i < n;) {
    const int byte = ByteOf(DecodeUtf8(S.text, n, i));
    if (byte < 0) throw "text holds a character that Windows-1252 lacks";
    out.bytes[out.size++] = static_cast<char>(byte);
  }
  return out;
}

template <Utf8Literal S>
inline constexpr auto kConverted = Convert<S>();

}  // namespace cp1252_detail

// A Windows-1252 literal: a string_view that joins with std::string by "+" as a literal would.
struct WText : std::string_view {
  constexpr WText(const char* p, std::size_t n) : std::string_view(p, n) {}
  operator std::string() const { return std::string(data(), size()); }
};
inline std::string operator+(WText a, const std::string& b) { return std::string(a) + b; }
inline std::string operator+(const std::string& a, WText b) { return a + std::string(b); }
inline std::string operator+(WText a, const char* b) { return std::string(a) + b; }
inline std::string operator+(const char* a, WText b) { return a + std::string(b); }
inline std::string operator+(WText a, WText b) { return std::string(a) + std::string(b); }

// "Företag:"_w is the Windows-1252 text of the literal, computed by the compiler.
template <cp1252_detail::Utf8Literal S>
constexpr WText operator""_w() {
  return {cp1252_detail::kConverted<S>.bytes, cp1252_detail::kConverted<S>.size};
}

// Windows-1252 bytes to UTF-8, for the screen, the page and the transcript.
std::string ToUtf8(std::string_view cp1252);

// UTF-8 to Windows-1252, for text coming in from the screen or a UTF-8 file. A character that
// Windows-1252 lacks becomes "?".
std::string FromUtf8(std::string_view utf8);

// Upper and lower case of Windows-1252 letters, Swedish letters included.
char UpperChar(char c);
std::string Upper(std::string_view s);

}  // namespace kvor
