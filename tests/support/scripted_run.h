// A whole program in the test's own process, played by the scripted front end on a fresh sample
// installation in a temporary folder.
#pragma once

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "demo.h"
#include "frame/program.h"
#include "support/run_program.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::test {

inline std::vector<ui::Action> Actions(const std::string& utf8) {
  std::vector<ui::Action> out;
  std::string error;
  if (!ui::ParseActions(utf8, out, error)) throw std::runtime_error(error);
  return out;
}

// The "message" lines of a transcript (and the "box" lines too when asked), in their order.
inline std::string MessageLines(const std::string& transcript, bool with_boxes = false) {
  std::string out;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("message", 0) == 0 || (with_boxes && line.rfind("box", 0) == 0))
      out += line + "\n";
  return out;
}

// A fresh sample installation, removed again with the object.
struct DemoInstallation {
  DemoInstallation() {
    std::string error;
    if (!demo::WriteInstallation(dir, error)) throw std::runtime_error(error);
  }
  ~DemoInstallation() { std::filesystem::remove_all(dir); }
  std::string Host(const std::string& windows_path) const {
    return demo::HostPath(dir, windows_path);
  }
  frame::StartInfo Start() const {
    frame::StartInfo start{"/opt/kvor/bin/trv00381", "C:", {}};
    start.drives.SetRoot(dir);
    return start;
  }
  std::string dir = TempFolder();
};

struct ScriptedRun {
  explicit ScriptedRun(const std::string& actions_utf8 = "")
      : front_end(Actions(actions_utf8), transcript),
        program(front_end, clock, clipboard, transcript, install.Start()) {
    transcript.OpenMemory();
    program.ctx.print.system_printers = false;  // the same printers on every machine
  }

  // Runs the start-up and the actions. Returns the exit code; `by_script` tells whether the end
  // came because the actions ran out.
  int Play() {
    return front_end.Play(ctx().main.form, [&] {
      by_script = true;
      frame::EndProgram(ctx(), 0);
    });
  }

  Context& ctx() { return program.ctx; }
  std::string Lines() { return transcript.Captured(); }

  DemoInstallation install;
  forms::Transcript transcript;
  ui::ScriptedFrontEnd front_end;
  sys::Clock clock{sys::LocalTime{2026, 12, 4, 0, 0, 0}};
  sys::MemoryClipboard clipboard;
  frame::Program program;
  bool by_script = false;
};

}  // namespace kvor::test
