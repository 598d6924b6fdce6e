#include "platform/system/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/cp1252.h"

namespace kvor::sys {

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string PathOf(const std::string& application) {
  return SettingsFolder() + "/" + application + ".ini";
}

bool SameName(const std::string& a, const std::string& b) {
  return Upper(a) == Upper(b);
}

}  // namespace

std::string SettingsFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) return std::string(xdg) + "/kvor";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/kvor";
}

bool ReadSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& fallback, std::string& value, std::string& error) {
  value = fallback;
  const std::string path = PathOf(application);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return true;  // no file: the fallback
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  std::string line, current;
  while (std::getline(in, line)) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      current = Trim(t.substr(1, t.size() - 2));
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos || !SameName(current, section) ||
        !SameName(Trim(line.substr(0, eq)), key))
      continue;
    // The value is taken as written, blanks included: its positions carry meaning.
    std::string v = line.substr(eq + 1);
    if (!v.empty() && v.back() == '\r') v.pop_back();
    value = FromUtf8(v);
  }
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  return true;
}

bool WriteSetting(const std::string& application, const std::string& section,
                  const std::string& key, const std::string& value, std::string& error) {
  const std::string folder = SettingsFolder();
  ::mkdir((folder.substr(0, folder.rfind('/'))).c_str(), 0755);
  ::mkdir(folder.c_str(), 0755);
  const std::string path = PathOf(application);
  std::vector<std::string> lines;
  {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
  }
  const std::string entry = key + "=" + ToUtf8(value);
  std::string current;
  int section_end = -1;
  bool done = false;
  for (std::size_t i = 0; i < lines.size() && !done; ++i) {
    const std::string t = Trim(lines[i]);
    if (!t.empty() && t.front() == '[' && t.back() == ']') {
      current = Trim(t.substr(1, t.size() - 2));
      if (SameName(current, section)) section_end = static_cast<int>(i) + 1;
      continue;
    }
    if (!SameName(current, section)) continue;
    section_end = static_cast<int>(i) + 1;
    const auto eq = lines[i].find('=');
    if (eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), key)) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (section_end < 0) {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + section_end, entry);
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& l : lines) out << l << "\n";
  out.close();  // the last of the buffer goes out here
  if (!out) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace kvor::sys
