// The program context: everything one run of the program shares. A test builds a fresh one with
// its own front end, clock and clipboard.
#pragma once

#include <functional>

#include "common/messenger.h"
#include "core/einvoice_state.h"
#include "core/frame_state.h"
#include "core/master_window.h"
#include "core/print_state.h"
#include "platform/files/drive_map.h"
#include "platform/files/text_files.h"
#include "platform/forms/forms.h"
#include "platform/forms/transcript.h"
#include "platform/system/clipboard.h"
#include "platform/system/clock.h"

namespace kvor {

// Thrown by the end routine: the program ends with this exit code once the stack has unwound to
// the front end's main loop.
struct ProgramEnd {
  int code = 0;
};

namespace registers {
struct Database;
struct CompanySettings;
struct LengthTable;
}  // namespace registers

struct Context {
  Context(forms::FrontEnd& ui_, const sys::Clock& clock_, sys::Clipboard& clipboard_,
          forms::Transcript& transcript_)
      : ui(ui_), clock(clock_), clipboard(clipboard_), transcript(transcript_) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  forms::FrontEnd& ui;
  const sys::Clock& clock;
  sys::Clipboard& clipboard;
  forms::Transcript& transcript;

  FrameState frame;
  LinkArea link;
  Installation install;
  files::DriveMap drives;       // Windows drive letters to host folders
  files::TextFiles text_files;  // open settings files by file number
  MessageState msg;
  MasterWindow main;
  PrintState print;
  EInvoiceState einvoice;

  // The message window as the common routines see it; installed when the program is built.
  Messenger* messenger = nullptr;
  Messenger& Msg() { return *messenger; }

  // The register database, owned by the program.
  registers::Database* database = nullptr;
  // What the company read derived from the company record, owned by the program.
  registers::CompanySettings* company = nullptr;
  // The installation's length-distribution table read at start-up, owned by the program.
  registers::LengthTable* length_table = nullptr;

  // The stop procedure of the frame, for lower layers that meet a fatal failure.
  std::function<void()> stop_procedure;
  // The frame's start of another executable (a Windows path), for lower layers.
  std::function<void(const std::string& path, const std::string& argument, int16_t& err)>
      run_program;
};

// Folders of the installation, as Windows paths (drive and folder names as stored).
// system drive + "\WINKVOR\SYSTEM\"
inline std::string SystemFolder(const Context& ctx) {
  return ctx.frame.system_drive + "\\WINKVOR\\SYSTEM\\";
}
// shared drive + "\WINKVOR\SYSTEM\"
inline std::string SharedSystemFolder(const Context& ctx) {
  return ctx.install.shared_drive + "\\WINKVOR\\SYSTEM\\";
}
// data drive + "\" + data folder + "\" (the folder as stored, blanks included)
inline std::string DataFolder(const Context& ctx) {
  return ctx.install.data_drive + "\\" + ctx.install.data_folder + "\\";
}

}  // namespace kvor
