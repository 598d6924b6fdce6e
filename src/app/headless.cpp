#include "app/headless.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "frame/program.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::app {

namespace {

// The whole file; false when it cannot be read. The file is closed again before the run, so that
// the programs the run starts do not hold it.
bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  text = all.str();
  return static_cast<bool>(in);
}

}  // namespace

int RunHeadless(const frame::Options& options, const frame::StartInfo& start) {
  std::string text;
  if (!ReadWholeFile(options.actions_file, text)) {
    std::fprintf(stderr, "trv00381: cannot read the ACTIONS file '%s'\n",
                 options.actions_file.c_str());
    return 2;
  }
  std::vector<ui::Action> actions;
  std::string error;
  if (!ui::ParseActions(text, actions, error)) {
    std::fprintf(stderr, "trv00381: %s: %s\n", options.actions_file.c_str(), error.c_str());
    return 2;
  }

  forms::Transcript transcript;
  if (!transcript.Open(options.has_transcript ? options.transcript_file : std::string())) {
    std::fprintf(stderr, "trv00381: cannot write the transcript '%s'\n",
                 options.transcript_file.c_str());
    return 2;
  }
  ui::ScriptedFrontEnd front_end(std::move(actions), transcript);
  const sys::Clock clock(options.today);
  // Without a display the clipboard lives in memory, or in the file KVOR_CLIPBOARD names so that
  // the programs started next can read it.
  const char* clipboard_file = std::getenv("KVOR_CLIPBOARD");
  sys::MemoryClipboard memory;
  sys::FileClipboard file(clipboard_file ? clipboard_file : "");
  sys::Clipboard& clipboard =
      clipboard_file && *clipboard_file ? static_cast<sys::Clipboard&>(file) : memory;
  frame::Program program(front_end, clock, clipboard, transcript, start);
  frame::TakePrinterOptions(options, program.ctx.print);
  frame::TakeInterpreterOption(options, program.ctx.install);
  if (!front_end.CheckControls(program.ctx.main.form, error)) {
    std::fprintf(stderr, "trv00381: %s: %s\n", options.actions_file.c_str(), error.c_str());
    return 2;
  }
  // Actions run out at idle: the program ends as its end routine would, starting nothing.
  return front_end.Play(program.ctx.main.form, [&] { frame::EndProgram(program.ctx, 0); });
}

}  // namespace kvor::app
