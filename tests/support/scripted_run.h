// A whole program in the test's own process, played by the scripted front end.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "frame/program.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::test {

inline std::vector<ui::Action> Actions(const std::string& utf8) {
  std::vector<ui::Action> out;
  std::string error;
  if (!ui::ParseActions(utf8, out, error)) throw std::runtime_error(error);
  return out;
}

struct ScriptedRun {
  explicit ScriptedRun(const std::string& actions_utf8 = "")
      : front_end(Actions(actions_utf8), transcript),
        program(front_end, clock, clipboard, transcript, {"/opt/kvor/bin/trv00381", "C:"}) {
    transcript.OpenMemory();
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

  forms::Transcript transcript;
  ui::ScriptedFrontEnd front_end;
  sys::Clock clock{sys::LocalTime{2026, 12, 4, 0, 0, 0}};
  sys::MemoryClipboard clipboard;
  frame::Program program;
  bool by_script = false;
};

}  // namespace kvor::test
