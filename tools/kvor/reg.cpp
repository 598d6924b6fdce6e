// kvor reg: its usage, its command line taken apart and run by the command it names, and the
// parsing of registers, keys and field values that every command shares.
#include "reg_commands.h"

#include <cstdlib>
#include <ostream>
#include <set>

#include "common/cp1252.h"
#include "common/text.h"

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

// The field names that make up the key, for messages.
std::string KeyFields(const Layout& layout) {
  std::string names;
  for (const Field& f : layout.fields)
    if (f.position <= layout.key_length) names += (names.empty() ? "" : ", ") + std::string(f.name);
  return names;
}

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

const Layout* FindRegister(const std::string& code, std::string& error) {
  const Layout* layout = registers::FindLayout(Upper(code));
  if (!layout) error = "unknown register '" + code + "'; the registers are: " + RegisterNames();
  return layout;
}

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

int Fail(std::ostream& err, const std::string& message, int code) {
  err << "kvor reg: " << message << "\n";
  return code;
}

int Usage(std::ostream& err, const std::string& message) {
  return cli::WrongCommandLine(Command(), message, err);
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

const cli::Command& Command() {
  static const cli::Command command{"reg", kUsage, kOptions, RunReg};
  return command;
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  return cli::RunCommand(Command(), args, in, out, err);
}

}  // namespace kvor::reg
