// Finds string literals that hold bytes outside ASCII without the "_w" suffix that turns them into
// Windows-1252 text at compile time. Comments and character literals are skipped.
#pragma once

#include <string>
#include <vector>

namespace kvor::test {

struct RawLiteral {
  int line = 0;
  std::string text;
};

inline std::vector<RawLiteral> FindRawNonAsciiLiterals(const std::string& src) {
  std::vector<RawLiteral> found;
  int line = 1;
  std::size_t i = 0;
  const std::size_t n = src.size();
  auto high = [](const std::string& s) {
    for (unsigned char c : s)
      if (c >= 0x80) return true;
    return false;
  };
  while (i < n) {
    const char c = src[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (c == '/' && i + 1 < n && src[i + 1] == '/') {
      while (i < n && src[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < n && src[i + 1] == '*') {
      i += 2;
      while (i + 1 < n && !(src[i] == '*' && src[i + 1] == '/')) line += src[i++] == '\n';
      i += 2;
    } else if (c == '\'') {
      for (++i; i < n && src[i] != '\''; ++i)
        if (src[i] == '\\') ++i;
      ++i;
    } else if (c == '"') {
      const int start_line = line;
      std::string body;
      const bool raw = i > 0 && src[i - 1] == 'R';
      if (raw) {
        const std::size_t open = src.find('(', i);
        const std::string close = ")" + src.substr(i + 1, open - i - 1) + "\"";
        const std::size_t end = src.find(close, open);
        body = src.substr(open + 1, end - open - 1);
        for (char b : body) line += b == '\n';
        i = end + close.size();
      } else {
        for (++i; i < n && src[i] != '"'; ++i) {
          if (src[i] == '\\') body += src[i++];
          body += src[i];
        }
        ++i;
      }
      if (high(body) && src.compare(i, 2, "_w") != 0) found.push_back({start_line, body});
    } else {
      ++i;
    }
  }
  return found;
}

}  // namespace kvor::test
