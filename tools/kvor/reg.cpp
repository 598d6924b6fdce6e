#include "reg.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <set>
#include <thread>

#include "common/cp1252.h"
#include "common/text.h"
#include "frame/options.h"
#include "frame/program.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "settings/settings.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::reg {

using registers::Field;
using registers::Layout;

const char* const kUsage =
    "usage: kvor reg [--root DIR | --drive X:=DIR ...] [--registers URL] COMMAND ...\n"
    "  The installation's DISKUNIT.DAT (in C:\\WINKVOR\\SYSTEM) tells where the register files "
    "lie.\n"
    "  --registers URL (or KVOR_REGISTERS): the registers are on that PostgreSQL server.\n"
    "  Values, keys and records are UTF-8; fields are named as in the register layouts.\n"
    "  create [REGISTER] [--replace]   create the register's file, or all 28; an existing file is\n"
    "                                  kept unless --replace empties it\n"
    "  put REGISTER [--new | --keep] FIELD=VALUE ...\n"
    "                                  write a record: a new key is inserted, a known one "
    "replaced;\n"
    "                                  fields not named are blank (--keep: they keep what is "
    "stored;\n"
    "                                  --new: a known key is refused)\n"
    "  get REGISTER KEY                the record of KEY (padded with blanks to the key length),\n"
    "                                  one FIELD=VALUE line per field\n"
    "  list REGISTER [--prefix KEY]    one line per record: its key and its first fields\n"
    "  export REGISTER                 every record as a line of JSON {\"FIELD\": \"value\", ...}\n"
    "  import REGISTER [FILE] [--replace]\n"
    "                                  records as lines of JSON from FILE (or standard input); "
    "every\n"
    "                                  line is checked first and nothing is written if one is "
    "bad;\n"
    "                                  a key already stored is refused unless --replace\n"
    "  fields REGISTER                 the register's fields: name, position, width, key part\n"
    "  lock REGISTER KEY --hold SECONDS\n"
    "                                  read the record of KEY with a single-record lock, as\n"
    "                                  another program of the suite does before it writes, print\n"
    "                                  one line when it is held, keep it SECONDS, then unlock; a\n"
    "                                  missing record or a lock held by someone else fails\n"
    "  copy --from SOURCE --to TARGET [--replace]\n"
    "                                  copy all 28 registers, record for record, between the\n"
    "                                  register files (SOURCE or TARGET \"files\") and a server\n"
    "                                  (its URL), either way; a target register that holds\n"
    "                                  records is refused, and nothing written, unless --replace\n";

namespace {

// ---- Text at the edges: Windows-1252 inside, UTF-8 outside.

// The five bytes Windows-1252 leaves undefined travel as the C1 controls of the same number, so
// that whatever a record holds comes back unchanged through export and import.
bool Undefined(unsigned char b) {
  return b >= 0x80 && b < 0xA0 && cp1252_detail::kHigh[b - 0x80] == 0;
}

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

std::string TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
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

// ---- JSON Lines: one flat object of strings a line.

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

// ---- The command line.

struct CommandLine {
  std::string command;
  std::vector<std::string> words;  // what follows the command
  frame::Options where;            // --root and --drive
  std::string prefix;
  bool has_prefix = false;
  std::string hold;  // seconds of lock --hold
  bool has_hold = false;
  std::string from, to;  // copy --from --to: "files" or a server's URL
  bool has_from = false, has_to = false;
  bool replace = false, insert_only = false, keep = false;
};

const std::vector<cli::Option> kOptions = {
    {"--root", true}, {"--drive", true}, {"--registers", true}, {"--prefix", true},
    {"--hold", true}, {"--from", true},  {"--to", true},        {"--replace", false},
    {"--new", false}, {"--keep", false}};

bool TakeCommandLine(const cli::Arguments& a, CommandLine& out, std::string& error) {
  for (const auto& [name, value] : a.options)
    if (name == "--drive" && !frame::AddDrive(value, out.where, error)) return false;
  out.where.root = a.Value("--root");
  out.where.registers = a.Value("--registers");
  out.has_prefix = a.Has("--prefix");
  out.prefix = a.Value("--prefix");
  out.has_hold = a.Has("--hold");
  out.hold = a.Value("--hold");
  out.has_from = a.Has("--from");
  out.from = a.Value("--from");
  out.has_to = a.Has("--to");
  out.to = a.Value("--to");
  out.replace = a.Has("--replace");
  out.insert_only = a.Has("--new");
  out.keep = a.Has("--keep");
  if (!a.words.empty()) {
    out.command = a.words.front();
    out.words.assign(a.words.begin() + 1, a.words.end());
  }
  const std::string& c = out.command;
  if (c.empty()) error = "no command given";
  if (out.has_prefix && c != "list") error = "--prefix belongs to list";
  if (out.has_hold && c != "lock") error = "--hold belongs to lock";
  if ((out.has_from || out.has_to) && c != "copy") error = "--from and --to belong to copy";
  if (out.replace && c != "create" && c != "import" && c != "copy")
    error = "--replace belongs to create, import and copy";
  if ((out.insert_only || out.keep) && c != "put") error = "--new and --keep belong to put";
  if (out.insert_only && out.keep) error = "put takes --new or --keep, not both";
  return error.empty();
}

std::string RegisterNames() {
  std::string names;
  for (const Layout& l : registers::AllLayouts())
    names += (names.empty() ? "" : " ") + std::string(l.code);
  return names;
}

const Layout* FindRegister(const std::string& code, std::string& error) {
  const Layout* layout = registers::FindLayout(Upper(code));
  if (!layout) error = "unknown register '" + code + "'; the registers are: " + RegisterNames();
  return layout;
}

// A key or prefix from the command line: Windows-1252, no longer than the key.
bool KeyText(const Layout& layout, const std::string& utf8, std::string& key, std::string& error) {
  std::string why;
  if (!Cp1252(utf8, key, why)) {
    error = "the key '" + utf8 + "' " + why;
    return false;
  }
  if (key.size() > static_cast<std::size_t>(layout.key_length)) {
    error = "the key '" + utf8 + "' is " + std::to_string(key.size()) + " characters; " +
            layout.code + " keys are " + std::to_string(layout.key_length);
    return false;
  }
  return true;
}

// The field names that make up the key, for messages.
std::string KeyFields(const Layout& layout) {
  std::string names;
  for (const Field& f : layout.fields)
    if (f.position <= layout.key_length) names += (names.empty() ? "" : ", ") + std::string(f.name);
  return names;
}

// Field values given in UTF-8 set into a record; false with a message.
bool SetUtf8Fields(const Layout& layout, const std::vector<Assignment>& utf8, std::string& record,
                   std::string& error) {
  std::vector<Assignment> values;
  for (const auto& [name, value] : utf8) {
    std::string text, why;
    if (!Cp1252(value, text, why)) {
      error = "the value of " + name + " " + why;
      return false;
    }
    values.emplace_back(Upper(name), std::move(text));
  }
  if (!SetFields(layout, values, record, error)) return false;
  if (IsBlank(record.substr(0, layout.key_length))) {
    error = "the key is blank: give " + KeyFields(layout);
    return false;
  }
  return true;
}

int Fail(std::ostream& err, const std::string& message, int code = 1) {
  err << "kvor reg: " << message << "\n";
  return code;
}

int Usage(std::ostream& err, const std::string& message) {
  return cli::WrongCommandLine(Command(), message, err);
}

// ---- The commands.

// A field that reaches past the end of the key is only partly a key part: said with how much.
int Fields(const Layout& layout, std::ostream& out) {
  for (const Field& f : layout.fields) {
    out << f.name << ' ' << f.position << ' ' << f.width;
    const int in_key = std::min<int>(f.width, layout.key_length - f.position + 1);
    if (in_key == f.width) {
      out << " key";
    } else if (in_key > 0) {
      out << " key (first " << in_key << " characters)";
    }
    out << '\n';
  }
  return 0;
}

int Create(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  std::vector<const Layout*> which;
  std::string error;
  if (cl.words.size() > 1) return Usage(err, "create takes at most one register");
  if (cl.words.empty()) {
    for (const Layout& l : registers::AllLayouts()) which.push_back(&l);
  } else if (const Layout* l = FindRegister(cl.words[0], error)) {
    which.push_back(l);
  } else {
    return Fail(err, error);
  }
  for (const Layout* l : which) {
    const std::string shown = Utf8(keeper.WindowsPath(*l));
    if (!cl.replace && keeper.Exists(*l)) {
      out << l->code << ": " << shown << " exists, kept\n";
      continue;
    }
    if (!keeper.Create(*l, error)) return Fail(err, error);
    out << l->code << ": " << shown << " created\n";
  }
  return 0;
}

int Put(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() < 2) return Usage(err, "put takes a register and FIELD=VALUE ...");
  std::string error;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout) return Fail(err, error);
  std::vector<Assignment> values;
  for (std::size_t i = 1; i < cl.words.size(); ++i) {
    const std::string& w = cl.words[i];
    const std::size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0) return Fail(err, "'" + w + "' is not FIELD=VALUE");
    values.emplace_back(w.substr(0, eq), w.substr(eq + 1));
  }
  std::string record(layout->record_end, ' ');
  if (!SetUtf8Fields(*layout, values, record, error)) return Fail(err, error);
  const std::string key = record.substr(0, layout->key_length);
  if (cl.keep) {
    // The stored record under the named fields: set them again on top of it.
    std::string stored;
    if (keeper.Get(*layout, key, stored, error)) {
      record = stored;
      if (!SetUtf8Fields(*layout, values, record, error)) return Fail(err, error);
    } else if (!error.empty()) {
      return Fail(err, error);
    }
  }
  bool inserted = false;
  if (!keeper.Put(*layout, record, cl.insert_only, inserted, error)) return Fail(err, error);
  out << (inserted ? "inserted " : "updated ") << layout->code << " '" << Utf8(key) << "'\n";
  return 0;
}

int Get(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 2) return Usage(err, "get takes a register and a key");
  std::string error, key, record;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.words[1], key, error)) return Fail(err, error);
  if (!keeper.Get(*layout, key, record, error)) {
    return Fail(err, error.empty()
                         ? "no record with the key '" + cl.words[1] + "' in " + layout->code
                         : error);
  }
  for (const Field& f : layout->fields)
    out << f.name << '=' << Utf8(TrimRight(record.substr(f.position - 1, f.width))) << '\n';
  return 0;
}

// The first few filled fields after the key, for a line of the list.
std::string ShortView(const Layout& layout, const std::string& record) {
  constexpr std::size_t kWidth = 70;
  std::string view;
  int shown = 0;
  for (const Field& f : layout.fields) {
    if (f.position <= layout.key_length) continue;
    const std::string value = Trim(record.substr(f.position - 1, f.width));
    if (value.empty()) continue;
    view += (view.empty() ? "" : " | ") + value;
    if (++shown == 3 || view.size() >= kWidth) break;
  }
  if (view.size() > kWidth) view = view.substr(0, kWidth - 3) + "...";
  return view;
}

int List(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 1) return Usage(err, "list takes a register");
  std::string error, prefix;
  std::vector<std::string> records;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.prefix, prefix, error) ||
      !keeper.List(*layout, prefix, records, error))
    return Fail(err, error);
  for (const std::string& r : records)
    out << Utf8(r.substr(0, layout->key_length)) << "  " << Utf8(ShortView(*layout, r)) << '\n';
  return 0;
}

int Export(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 1) return Usage(err, "export takes a register");
  std::string error;
  std::vector<std::string> records;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !keeper.List(*layout, "", records, error)) return Fail(err, error);
  std::vector<Assignment> members;
  for (const std::string& r : records) {
    members.clear();
    for (const Field& f : layout->fields)
      members.emplace_back(f.name, Utf8(TrimRight(r.substr(f.position - 1, f.width))));
    out << WriteJsonObject(members) << '\n';
  }
  return out.good() ? 0 : Fail(err, "cannot write the records");
}

int Import(Keeper& keeper, const CommandLine& cl, std::istream& in, std::ostream& out,
           std::ostream& err) {
  if (cl.words.empty() || cl.words.size() > 2)
    return Usage(err, "import takes a register and at most one file");
  std::string error;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout) return Fail(err, error);
  std::ifstream file;
  std::istream* source = &in;
  if (cl.words.size() == 2 && cl.words[1] != "-") {
    file.open(cl.words[1], std::ios::binary);
    if (!file) return Fail(err, "cannot read " + cl.words[1]);
    source = &file;
  }

  // Every line is checked before anything is written.
  constexpr int kShownProblems = 20;
  std::vector<std::string> problems;
  std::vector<std::string> records;
  std::vector<int> line_of;
  std::map<std::string, int> seen;  // key -> line
  std::string line;
  for (int number = 1; std::getline(*source, line); ++number) {
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // byte order mark
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line)) continue;
    std::vector<Assignment> values;
    std::string record(layout->record_end, ' ');
    if (!ReadJsonObject(line, values, error) || !SetUtf8Fields(*layout, values, record, error)) {
      problems.push_back("line " + std::to_string(number) + ": " + error);
      continue;
    }
    const std::string key = record.substr(0, layout->key_length);
    const auto [it, fresh] = seen.emplace(key, number);
    if (!fresh) {
      problems.push_back("line " + std::to_string(number) + ": the key '" + Utf8(key) +
                         "' is on line " + std::to_string(it->second) + " already");
      continue;
    }
    records.push_back(std::move(record));
    line_of.push_back(number);
  }
  if (source->bad()) return Fail(err, "cannot read the records");
  std::set<std::string> stored;
  if (problems.empty() && !records.empty()) {
    std::vector<std::string> all;
    if (!keeper.List(*layout, "", all, error)) return Fail(err, error);
    for (const std::string& r : all) stored.insert(r.substr(0, layout->key_length));
    if (!cl.replace) {
      for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string key = records[i].substr(0, layout->key_length);
        if (stored.count(key))
          problems.push_back("line " + std::to_string(line_of[i]) + ": the key '" + Utf8(key) +
                             "' is in " + layout->code + " already (--replace replaces it)");
      }
    }
  }
  if (!problems.empty()) {
    for (std::size_t i = 0; i < problems.size() && i < kShownProblems; ++i)
      err << "kvor reg: " << problems[i] << '\n';
    if (problems.size() > kShownProblems)
      err << "kvor reg: ... and " << problems.size() - kShownProblems << " more\n";
    return Fail(err, std::to_string(problems.size()) + " bad line" +
                         (problems.size() == 1 ? "" : "s") + "; nothing was written to " +
                         layout->code);
  }

  int inserted = 0, updated = 0;
  for (const std::string& record : records) {
    bool fresh = false;
    if (!keeper.Put(*layout, record, false, fresh, error)) {
      return Fail(err, error + " (" + std::to_string(inserted + updated) + " of " +
                           std::to_string(records.size()) + " records were written before)");
    }
    ++(fresh ? inserted : updated);
  }
  out << layout->code << ": " << inserted << " inserted, " << updated << " replaced\n";
  return 0;
}

// Holds a single-record lock from this process as another program of the suite would: the lock
// is the record manager's own, so any other client sees it until it is released or this process
// ends.
int Copy(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (!cl.words.empty() || !cl.has_from || !cl.has_to)
    return Usage(err, "copy takes --from SOURCE --to TARGET");
  const auto url = [](const std::string& place) { return place == "files" ? "" : place; };
  if (url(cl.from) == url(cl.to)) return Usage(err, "copy takes a SOURCE and a TARGET that differ");
  Context& c = keeper.ctx();
  const auto map = [&c](const std::string& path) { return c.drives.ToHost(path); };
  recman::Engine from(map, url(cl.from)), to(map, url(cl.to));
  std::string error;
  // Every source register must be there, and no target register may hold records unless
  // --replace, before anything is written. A server's URL is not shown: it may hold a password.
  std::vector<uint32_t> counts;
  for (const Layout& l : registers::AllLayouts()) {
    uint32_t count = 0;
    int16_t status = 0;
    if (!registers::CountRecords(from, keeper.WindowsPath(l), l, count, status, error))
      return Fail(err, "the source cannot be read: " + error);
    counts.push_back(count);
    if (!cl.replace &&
        registers::CountRecords(to, keeper.WindowsPath(l), l, count, status, error) && count > 0)
      return Fail(err, "the target's " + std::string(l.code) + " holds " + std::to_string(count) +
                           " records; nothing was copied (give --replace to overwrite the target)");
  }
  std::size_t i = 0;
  for (const Layout& l : registers::AllLayouts()) {
    if (url(cl.to).empty()) {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(keeper.HostPath(l)).parent_path(),
                                          ec);
    }
    if (!registers::CopyRegister(from, to, keeper.WindowsPath(l), l, error))
      return Fail(err, error);
    out << l.code << ": " << counts[i++] << " records copied\n";
  }
  return 0;
}

int Lock(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 2 || !cl.has_hold)
    return Usage(err, "lock takes a register, a key and --hold SECONDS");
  constexpr long kLongestHold = 24 * 3600;
  const std::string& hold = cl.hold;
  if (hold.empty() || hold.size() > 5 ||
      hold.find_first_not_of("0123456789") != std::string::npos || std::stol(hold) > kLongestHold)
    return Usage(err, "--hold takes whole seconds from 0 to " + std::to_string(kLongestHold));
  std::string error, key;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.words[1], key, error) || !keeper.NeedFile(*layout, error))
    return Fail(err, error);

  namespace op = recman::op;
  namespace st = recman::status;
  recman::Engine& engine = registers::Db(keeper.ctx()).engine;
  std::string name = keeper.WindowsPath(*layout);
  name.resize(255, ' ');
  char block[recman::kPositionBlockSize];
  std::memset(block, ' ', sizeof block);
  char stat[recman::kStatSize] = {};
  uint16_t length = sizeof stat;
  int16_t status = engine.Call(op::kOpen, block, stat, length, name.data(), 255, -32);
  if (status != st::kOk)
    return Fail(err,
                std::string(layout->code) + ": open answered status " + std::to_string(status));
  std::string record(layout->record_end, ' ');
  std::string key_buffer = Fixed(key, 255);
  length = static_cast<uint16_t>(record.size());
  status = engine.Call(op::kGetEqual + op::kSingleLock, block, record.data(), length,
                       key_buffer.data(), static_cast<uint8_t>(layout->key_length), 0);
  const std::string shown = Utf8(Fixed(key, layout->key_length));
  int code = 0;
  if (status == st::kKeyNotFound) {
    code = Fail(err, "no record with the key '" + shown + "' in " + layout->code);
  } else if (status == st::kRecordLocked || status == st::kFileLocked) {
    code = Fail(err, std::string(layout->code) + " '" + shown +
                         "' is locked by another program (status " + std::to_string(status) + ")");
  } else if (status != st::kOk) {
    code = Fail(err, std::string(layout->code) + ": the locked read answered status " +
                         std::to_string(status));
  } else {
    out << "holding " << layout->code << " '" << shown << "' locked for " << hold << " s"
        << std::endl;
    std::this_thread::sleep_for(std::chrono::seconds(std::stol(hold)));
    char empty[1] = {};
    length = 0;
    status = engine.Call(op::kUnlock, block, empty, length, key_buffer.data(),
                         static_cast<uint8_t>(layout->key_length), 0);
    if (status != st::kOk) {
      code = Fail(err,
                  std::string(layout->code) + ": unlock answered status " + std::to_string(status));
    } else {
      out << "released " << layout->code << " '" << shown << "'" << std::endl;
    }
  }
  char empty[1] = {};
  length = 0;
  engine.Call(op::kClose, block, empty, length, empty, 0, 0);
  return code;
}

}  // namespace

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

bool SetFields(const Layout& layout, const std::vector<Assignment>& values, std::string& record,
               std::string& error) {
  std::string result = record;
  result.resize(layout.record_end, ' ');
  std::set<std::string> named;
  for (const auto& [name, value] : values) {
    const Field* f = layout.Find(name);
    if (!f) {
      error = std::string(layout.code) + " has no field " + name;
      return false;
    }
    if (!named.insert(name).second) {
      error = name + " is named twice";
      return false;
    }
    if (value.size() > static_cast<std::size_t>(f->width)) {
      error = "the value of " + name + " is " + std::to_string(value.size()) +
              " characters; the field holds " + std::to_string(f->width) + ": '" + Utf8(value) +
              "'";
      return false;
    }
    result.replace(f->position - 1, f->width, Fixed(value, f->width));
  }
  record = std::move(result);
  return true;
}

struct Keeper::Parts {
  explicit Parts(const frame::StartInfo& start)
      : front_end({}, transcript), program(front_end, clock, clipboard, transcript, start) {}

  // Not opened: a message the program's routines show is read back from the message state.
  forms::Transcript transcript;
  ui::ScriptedFrontEnd front_end;  // no actions: a message window closes by its own button
  sys::Clock clock;
  sys::MemoryClipboard clipboard;
  frame::Program program;
};

Keeper::Keeper(const files::DriveMap& drives, const std::string& system_drive,
               const std::string& registers)
    : on_server_(!registers.empty()) {
  const frame::StartInfo start{"kvor", system_drive, drives, registers};
  parts_ = std::make_unique<Parts>(start);
  frame::FillFrameState(ctx(), start);
}

Keeper::~Keeper() = default;

Context& Keeper::ctx() {
  return parts_->program.ctx;
}

bool Keeper::ReadSettings(std::string& error) {
  Context& c = ctx();
  const std::string path = SystemFolder(c) + "DISKUNIT.DAT";
  if (!c.drives.HasDrive(c.frame.system_drive_letter)) {
    error = "the system drive " + c.frame.system_drive +
            " is not mapped: give --root DIR or --drive " + c.frame.system_drive + "=DIR";
    return false;
  }
  int16_t err = 0;
  settings::ReadDriveSettings(c, err);
  if (err != 0) {
    error = "cannot read the installation's drive settings " + Utf8(path) + " (" +
            c.drives.ToHost(path) + "): " + OneLine(c.msg.last_shown);
    return false;
  }
  const std::string& data = c.install.data_drive;
  if (on_server_) return true;  // the data drive holds no registers
  if (data.size() != 2 || data[1] != ':' || !c.drives.HasDrive(data[0])) {
    error = "the data drive '" + Utf8(data) + "' of " + Utf8(path) +
            " is not mapped: give --root DIR or --drive " + Utf8(data) + "=DIR";
    return false;
  }
  return true;
}

std::string Keeper::WindowsPath(const Layout& layout) {
  return registers::RegisterPath(ctx(), layout);
}

std::string Keeper::HostPath(const Layout& layout) {
  return ctx().drives.ToHost(WindowsPath(layout));
}

bool Keeper::Exists(const Layout& layout) {
  // A register that is there but cannot be opened is kept too, as a file would be; a server out
  // of reach is told by the create that follows.
  if (on_server_) {
    const int16_t status = registers::OpenStatus(ctx(), layout);
    return status != recman::status::kFileNotFound && status != recman::status::kEngineNotRunning;
  }
  std::error_code ec;
  return std::filesystem::is_regular_file(HostPath(layout), ec);
}

bool Keeper::NeedFile(const Layout& layout, std::string& error) {
  if (on_server_) {
    const int16_t status = registers::OpenStatus(ctx(), layout);
    if (status == recman::status::kOk) return true;
    if (status == recman::status::kEngineNotRunning) {
      error =
          "the register server cannot be reached (status 20): check --registers or "
          "KVOR_REGISTERS";
    } else {
      error = "the register " + Utf8(WindowsPath(layout)) +
              " cannot be opened on the server (status " + std::to_string(status) +
              "); make it with: kvor reg create " + layout.code;
    }
    return false;
  }
  if (Exists(layout)) return true;
  error = "the register file " + Utf8(WindowsPath(layout)) + " (" + HostPath(layout) +
          ") does not exist; make it with: kvor reg create " + layout.code;
  return false;
}

bool Keeper::Create(const Layout& layout, std::string& error) {
  if (on_server_) return registers::CreateRegisterFile(ctx(), layout, error);
  const std::filesystem::path host = HostPath(layout);
  std::error_code ec;
  std::filesystem::create_directories(host.parent_path(), ec);
  if (ec) {
    error = "cannot create the folder " + host.parent_path().string() + ": " + ec.message();
    return false;
  }
  return registers::CreateRegisterFile(ctx(), layout, error);
}

bool Keeper::Put(const Layout& layout, const std::string& record, bool insert_only, bool& inserted,
                 std::string& error) {
  std::string stored;
  const std::string key = record.substr(0, layout.key_length);
  const bool found = Get(layout, key, stored, error);
  if (!error.empty()) return false;
  if (found && insert_only) {
    error = "the key '" + Utf8(key) + "' is in " + layout.code + " already";
    return false;
  }
  if (!registers::PutRecord(ctx(), layout, record, error)) return false;
  inserted = !found;
  return true;
}

bool Keeper::Get(const Layout& layout, const std::string& key, std::string& record,
                 std::string& error) {
  error.clear();
  return NeedFile(layout, error) && registers::GetRecord(ctx(), layout, key, record, error);
}

bool Keeper::List(const Layout& layout, const std::string& prefix,
                  std::vector<std::string>& records, std::string& error) {
  return NeedFile(layout, error) && registers::ListRecords(ctx(), layout, prefix, records, error);
}

namespace {

int RunReg(const cli::Arguments& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CommandLine cl;
  std::string error;
  if (!TakeCommandLine(args, cl, error)) return Usage(err, error);
  if (cl.command == "help") {
    out << kUsage;
    return 0;
  }
  const std::string& c = cl.command;
  if (c == "fields") {
    if (cl.words.size() != 1) return Usage(err, "fields takes a register");
    const Layout* layout = FindRegister(cl.words[0], error);
    return layout ? Fields(*layout, out) : Fail(err, error);
  }
  if (c != "create" && c != "put" && c != "get" && c != "list" && c != "export" && c != "import" &&
      c != "lock" && c != "copy")
    return Usage(err, "unknown command '" + c + "'");

  files::DriveMap drives;
  if (!frame::BuildDriveMap(cl.where, std::getenv("KVOR_DRIVES"), drives, error))
    return Usage(err, error);
  const char* system_drive = std::getenv("SystemDrive");
  // copy names both of its places itself.
  Keeper keeper(drives, system_drive ? system_drive : "",
                c == "copy" ? "" : frame::RegistersUrl(cl.where, std::getenv("KVOR_REGISTERS")));
  if (!keeper.ReadSettings(error)) return Fail(err, error);

  if (c == "create") return Create(keeper, cl, out, err);
  if (c == "put") return Put(keeper, cl, out, err);
  if (c == "get") return Get(keeper, cl, out, err);
  if (c == "list") return List(keeper, cl, out, err);
  if (c == "export") return Export(keeper, cl, out, err);
  if (c == "lock") return Lock(keeper, cl, out, err);
  if (c == "copy") return Copy(keeper, cl, out, err);
  return Import(keeper, cl, in, out, err);
}

}  // namespace

const cli::Command& Command() {
  static const cli::Command command{"reg", kUsage, kOptions, RunReg};
  return command;
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  return cli::RunCommand(Command(), args, in, out, err);
}

}  // namespace kvor::reg
