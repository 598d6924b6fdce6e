// Text at the edges of kvor reg: Windows-1252 inside, UTF-8 on the command line and in the records
// it reads and writes; and JSON Lines, one flat object of strings a line.
#include "reg_commands.h"

#include "common/cp1252.h"
#include "common/text.h"

namespace kvor::reg {

namespace {

// A byte of 0x80 to 0x9F that Windows-1252 leaves undefined.
bool Undefined(unsigned char b) {
  return b >= 0x80 && b < 0xA0 && cp1252_detail::kHigh[b - 0x80] == 0;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : utf8) {
    const char* escape = c == '"'    ? "\\\""
                         : c == '\\' ? "\\\\"
                         : c == '\n' ? "\\n"
                         : c == '\r' ? "\\r"
                         : c == '\t' ? "\\t"
                         : c == '\b' ? "\\b"
                         : c == '\f' ? "\\f"
                                     : nullptr;
    if (escape) {
      out += escape;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Reads one line holding {"NAME": "value", ...}; values must be strings.
class JsonObjectReader {
 public:
  explicit JsonObjectReader(std::string_view line) : s_(line) {}

  bool Read(std::vector<Assignment>& out, std::string& error) {
    Space();
    if (!Eat('{')) return Fail("a record is a JSON object {\"FIELD\": \"value\", ...}", error);
    Space();
    if (Eat('}')) return End(error);
    for (;;) {
      Space();
      std::string name, value;
      if (Peek() != '"') return Fail("expected a field name in double quotes", error);
      if (!String(name, error)) return false;
      Space();
      if (!Eat(':')) return Fail("expected ':' after \"" + name + "\"", error);
      Space();
      if (Peek() != '"') return Fail("the value of " + name + " is not a string", error);
      if (!String(value, error)) return false;
      for (const Assignment& m : out)
        if (m.first == name) return Fail(name + " is named twice", error);
      out.emplace_back(std::move(name), std::move(value));
      Space();
      if (Eat(',')) continue;
      if (Eat('}')) return End(error);
      return Fail("expected ',' or '}'", error);
    }
  }

 private:
  char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
  bool Eat(char c) {
    if (Peek() != c || pos_ >= s_.size()) return false;
    ++pos_;
    return true;
  }
  void Space() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r')) ++pos_;
  }
  bool Fail(const std::string& what, std::string& error) const {
    error = what + " (column " + std::to_string(pos_ + 1) + ")";
    return false;
  }
  bool End(std::string& error) {
    Space();
    return pos_ == s_.size() || Fail("text after the end of the object", error);
  }
  bool Hex4(char32_t& out, std::string& error) {
    out = 0;
    for (int k = 0; k < 4; ++k, ++pos_) {
      const char c = Peek();
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) return Fail("\\u needs four hexadecimal digits", error);
      out = out * 16 + static_cast<char32_t>(d);
    }
    return true;
  }
  bool String(std::string& out, std::string& error) {
    ++pos_;  // the opening quote
    for (;;) {
      if (pos_ >= s_.size()) return Fail("a string is not closed", error);
      const char c = s_[pos_];
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20)
        return Fail("a control character in a string must be written \\u00XX", error);
      if (static_cast<unsigned char>(c) >= 0x80) {
        std::size_t next = pos_;
        if (cp1252_detail::DecodeUtf8(s_.data(), s_.size(), next) == 0xFFFFFFFF)
          return Fail("the text is not UTF-8", error);
        out.append(s_.substr(pos_, next - pos_));
        pos_ = next;
        continue;
      }
      if (c != '\\') {
        out += c;
        ++pos_;
        continue;
      }
      ++pos_;
      const char e = Peek();
      ++pos_;
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          char32_t cp = 0;
          if (!Hex4(cp, error)) return false;
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            char32_t low = 0;
            if (!Eat('\\') || !Eat('u') || !Hex4(low, error) || low < 0xDC00 || low > 0xDFFF)
              return Fail("a \\u surrogate pair is incomplete", error);
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Fail("a \\u surrogate pair is incomplete", error);
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          --pos_;
          return Fail("unknown escape in a string", error);
      }
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string Utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (const char c : cp1252) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else if (Undefined(b)) {
      out += static_cast<char>(0xC2);
      out += c;
    } else {
      out += ToUtf8(std::string_view(&c, 1));
    }
  }
  return out;
}

// UTF-8 to Windows-1252, refusing what Windows-1252 cannot hold rather than losing it.
bool Cp1252(std::string_view utf8, std::string& out, std::string& error) {
  out.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t at = i;
    const char32_t cp = cp1252_detail::DecodeUtf8(utf8.data(), utf8.size(), i);
    int byte = cp == 0xFFFFFFFF ? -1 : cp1252_detail::ByteOf(cp);
    if (byte < 0 && cp < 0xA0 && Undefined(static_cast<unsigned char>(cp)))
      byte = static_cast<int>(cp);
    if (byte < 0) {
      error = cp == 0xFFFFFFFF ? "is not UTF-8"
                               : "holds '" + std::string(utf8.substr(at, i - at)) +
                                     "', which Windows-1252 has no character for";
      return false;
    }
    out += static_cast<char>(byte);
  }
  return true;
}

// A message of the program as one line: paragraphs joined by " / ".
std::string OneLine(const std::string& message) {
  std::string out;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message.compare(i, kParagraph.size(), kParagraph) == 0) {
      out += " / ";
      i += kParagraph.size() - 1;
    } else if (message[i] == '\r' || message[i] == '\n') {
      out += ' ';
    } else {
      out += message[i];
    }
  }
  return Utf8(out);
}

std::string WriteJsonObject(const std::vector<Assignment>& members) {
  std::string line = "{";
  for (const auto& [name, value] : members) {
    if (line.size() > 1) line += ", ";
    AppendJsonString(line, name);
    line += ": ";
    AppendJsonString(line, value);
  }
  return line + "}";
}

bool ReadJsonObject(std::string_view line, std::vector<Assignment>& members, std::string& error) {
  members.clear();
  return JsonObjectReader(line).Read(members, error);
}

}  // namespace kvor::reg
