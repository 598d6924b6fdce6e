#include "platform/printer/recording.h"

#include <map>

namespace kvor::printer {

void RecordingBackend::BeginDocument(int orientation) {
  job_->orientation = orientation;
  job_->pages = 1;
}

std::string RecordedJob::PageText(int page) const {
  std::map<double, std::string> lines;
  for (const TextRun& run : texts) {
    if (run.page != page) continue;
    std::string& line = lines[run.y];
    const std::size_t at = run.column < 0 ? 0 : static_cast<std::size_t>(run.column);
    if (line.size() < at + run.text.size()) line.resize(at + run.text.size(), ' ');
    line.replace(at, run.text.size(), run.text);
  }
  std::string out;
  for (const auto& [y, line] : lines) out += line + "\n";
  return out;
}

}  // namespace kvor::printer
