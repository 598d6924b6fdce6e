#include "fuzz/harness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "frame/program.h"
#include "registers/admin.h"
#include "settings/settings.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::fuzz {

namespace {

std::string FreshFolder() {
  char name[] = "/tmp/kvor-fuzz-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("cannot make a temporary folder");
  return name;
}

frame::StartInfo StartOn(const std::string& dir) {
  frame::StartInfo start{"/opt/kvor/bin/trv00381", "C:", {}};
  start.drives.SetRoot(dir);
  return start;
}

}  // namespace

struct Harness::Parts {
  explicit Parts(const frame::StartInfo& start)
      : front_end({}, transcript), program(front_end, clock, clipboard, transcript, start) {}
  forms::Transcript transcript;  // not opened: nothing is written
  ui::ScriptedFrontEnd front_end;
  sys::Clock clock{sys::LocalTime{2026, 12, 4, 0, 0, 0}};
  sys::MemoryClipboard clipboard;
  frame::Program program;
};

// The smallest installation the readers need: drive C: holds the system folder and the data
// folder "KVOR   ", where MakeRegisters makes the 28 registers.
Harness::Harness() : dir_(FreshFolder()) {
  const frame::StartInfo start = StartOn(dir_);
  for (const char* folder : {"WINKVOR/SYSTEM", "KVOR/SVF", "KVOR/SVP", "KVOR/SYS", "KVOR/KRK",
                             "KVOR/VSH", "KVOR/ARV", "KVOR/SAK"})
    std::filesystem::create_directories(dir_ + "/C/" + folder);
  parts_ = std::make_unique<Parts>(start);
  frame::FillFrameState(ctx(), start);
  ctx().print.system_printers = false;
  Write("C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT",
        "KVOR FUZZ A KVR\r\nC:\r\nC:\r\nC:\r\nWINKVOR\r\nKVOR   \r\nFUZZ\r\nC:C:\r\nJN\r\n");
  Write("C:\\WINKVOR\\SYSTEM\\LANGUAGE.DAT", "SVENSKA\r\nENGELSKA\r\n");
  int16_t err = 0;
  settings::ReadDriveSettings(ctx(), err);
  Require(err == 0, "the installation's DISKUNIT.DAT reads");
}

void Harness::MakeRegisters() {
  std::string error;
  for (const registers::Layout& layout : registers::AllLayouts())
    Require(registers::CreateRegisterFile(ctx(), layout, error), "the registers are made");
}

Harness::~Harness() {
  parts_.reset();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

Context& Harness::ctx() {
  return parts_->program.ctx;
}

std::string Harness::Host(const std::string& windows_path) const {
  return parts_->program.ctx.drives.ToHost(windows_path);
}

void Harness::Write(const std::string& windows_path, std::string_view bytes) const {
  std::ofstream out(Host(windows_path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Require(out.good(), "the input file is written");
}

bool Harness::Exists(const std::string& windows_path) const {
  std::error_code ec;
  return std::filesystem::exists(Host(windows_path), ec);
}

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace kvor::fuzz
