#include "platform/system/clipboard.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/cp1252.h"
#include "platform/system/process.h"

namespace kvor::sys {

namespace {

// Hands the UTF-8 text to the desktop's clipboard tool: true when one took it. The tool leaves a
// process of its own behind that serves the text until another program sets the clipboard.
bool PutOnDesktop(const std::string& utf8) {
  struct Tool {
    const char* display;  // the environment variable that names the desktop's display
    const char* name;
    std::vector<std::string> args;
  };
  const Tool tools[] = {{"WAYLAND_DISPLAY", "wl-copy", {"--type", "text/plain;charset=utf-8"}},
                        {"DISPLAY", "xclip", {"-selection", "clipboard", "-in"}}};
  for (const Tool& tool : tools) {
    const char* display = std::getenv(tool.display);
    if (!display || !*display) continue;
    const std::string program = FindOnPath(tool.name);
    std::string error;
    if (!program.empty() && RunWithInput(program, tool.args, utf8, 3, error) == 0) return true;
  }
  return false;
}

}  // namespace

bool DesktopClipboard::SetText(const std::string& text) {
  text_ = text;
  on_desktop_ = PutOnDesktop(ToUtf8(text));
  return on_desktop_ || fallback_.SetText(text);
}

std::string DesktopClipboard::Text() const {
  return on_desktop_ ? text_ : fallback_.Text();
}

bool FileClipboard::SetText(const std::string& text) {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

std::string FileClipboard::Text() const {
  std::ifstream in(path_, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace kvor::sys
