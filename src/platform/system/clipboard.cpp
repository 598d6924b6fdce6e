#include "platform/system/clipboard.h"

#include <fstream>
#include <sstream>

namespace kvor::sys {

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
