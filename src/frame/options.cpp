#include "frame/options.h"

#include <cctype>

namespace kvor::frame {

const char* const kUsage =
    "usage: trv00381 [options]\n"
    "  --root DIR            every drive letter X: maps to the folder DIR/X\n"
    "  --drive X:=DIR        drive letter X: maps to DIR (repeatable; wins over --root)\n"
    "  --today YYYY-MM-DD    the date the program takes as today (the time stays the clock's)\n"
    "  --headless ACTIONS    play the user actions of the file ACTIONS without a display\n"
    "  --transcript FILE     write the transcript of the run to FILE (headless: default stdout)\n"
    "  --pdf-dir DIR         the KVOR PDF printer writes its files into DIR (default: the data\n"
    "                        folder's UTSKRIFT folder)\n"
    "  --pdf-only            offer only the KVOR PDF printer, not the system's printers\n"
    "  --python PATH         the Python interpreter that runs the upload script (default:\n"
    "                        python3 along PATH)\n"
    "  --registers URL       the registers are on the PostgreSQL server of this libpq URL\n"
    "                        (postgresql://host/db; default: KVOR_REGISTERS, else the files of\n"
    "                        the data folder); give a password in libpq's password file\n"
    "  --help                this text\n";

bool AddDrive(const std::string& v, Options& out, std::string& error) {
  if (v.size() < 4 || !std::isalpha(static_cast<unsigned char>(v[0])) || v[1] != ':' ||
      v[2] != '=') {
    error = "--drive takes X:=DIR, not '" + v + "'";
    return false;
  }
  out.drives.emplace_back(static_cast<char>(std::toupper(static_cast<unsigned char>(v[0]))),
                          v.substr(3));
  return true;
}

bool BuildDriveMap(const Options& options, const char* environment, files::DriveMap& map,
                   std::string& error) {
  if (environment && *environment && !map.SetFromList(environment, error)) {
    error = "KVOR_DRIVES: " + error;
    return false;
  }
  if (!options.root.empty()) map.SetRoot(options.root);
  for (const auto& [letter, folder] : options.drives) map.Set(letter, folder);
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        error = "option " + a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--root") {
      if (!value(out.root)) return false;
    } else if (a == "--drive") {
      if (!value(v) || !AddDrive(v, out, error)) return false;
    } else if (a == "--today") {
      if (!value(v)) return false;
      out.today = sys::ParseIsoDate(v.c_str());
      if (!out.today) {
        error = "--today takes a real date as YYYY-MM-DD, not '" + v + "'";
        return false;
      }
    } else if (a == "--headless") {
      out.headless = true;
      if (!value(out.actions_file)) return false;
    } else if (a == "--transcript") {
      out.has_transcript = true;
      if (!value(out.transcript_file)) return false;
    } else if (a == "--pdf-dir") {
      if (!value(out.pdf_folder)) return false;
    } else if (a == "--python") {
      if (!value(out.python)) return false;
    } else if (a == "--registers") {
      if (!value(out.registers)) return false;
    } else if (a == "--pdf-only") {
      out.pdf_only = true;
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

}  // namespace kvor::frame
