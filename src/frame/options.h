// The command line of trv00381.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/frame_state.h"
#include "core/print_state.h"
#include "platform/files/drive_map.h"
#include "platform/system/clock.h"

namespace kvor::frame {

struct Options {
  std::string root;                                  // --root DIR: every drive X: is DIR/X
  std::vector<std::pair<char, std::string>> drives;  // --drive X:=DIR, repeatable
  std::optional<sys::LocalTime> today;               // --today YYYY-MM-DD
  bool headless = false;                             // --headless ACTIONS
  std::string actions_file;
  bool has_transcript = false;  // --transcript FILE
  std::string transcript_file;
  std::string pdf_folder;  // --pdf-dir DIR: where the KVOR PDF printer writes
  bool pdf_only = false;   // --pdf-only: no system printer is offered
  std::string python;      // --python PATH: the interpreter that runs the upload script
  std::string registers;   // --registers URL: the register server; empty: the register files
  bool help = false;
};

// Takes the value of one --drive option ("X:=DIR") into out.drives; false with a message.
bool AddDrive(const std::string& value, Options& out, std::string& error);

// The drive map of the options: KVOR_DRIVES (given as `environment`), then --root, then each
// --drive, each later one winning for its letters. False with a message on a malformed list.
bool BuildDriveMap(const Options& options, const char* environment, files::DriveMap& map,
                   std::string& error);

// The register server's URL: --registers, else KVOR_REGISTERS (given as `environment`); empty
// for the register files. It may hold a password, so it is never shown.
inline std::string RegistersUrl(const Options& options, const char* environment) {
  if (!options.registers.empty()) return options.registers;
  return environment ? environment : "";
}

// Parses argv[1..]; false with a message on a wrong option.
bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error);

// The printer options into the program's printer state, before the start-up lists the printers.
inline void TakePrinterOptions(const Options& options, PrintState& print) {
  print.pdf_folder = options.pdf_folder;
  print.system_printers = !options.pdf_only;
}

// The interpreter option into the installation's settings; without it "python3" along PATH.
inline void TakeInterpreterOption(const Options& options, Installation& install) {
  if (!options.python.empty()) install.python_interpreter = options.python;
}

extern const char* const kUsage;

}  // namespace kvor::frame
