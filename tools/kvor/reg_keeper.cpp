// The register files of one installation outside any run of the program: a program context of
// its own, with no window, through which the register routines work as they do in trv00381.
#include "reg_commands.h"

#include <filesystem>

#include "frame/program.h"
#include "platform/system/clipboard.h"
#include "platform/system/clock.h"
#include "registers/admin.h"
#include "settings/settings.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::reg {

using registers::Layout;

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

}  // namespace kvor::reg
