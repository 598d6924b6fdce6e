#include "platform/files/drive_map.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <sstream>

#include "common/cp1252.h"

namespace kvor::files {

namespace {

char Letter(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case, or `name` itself.
std::string MatchName(const std::string& folder, const std::string& name) {
  if (Exists(folder + "/" + name)) return name;
  DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return name;
  const std::string wanted = Upper(FromUtf8(name));
  std::string found = name;
  while (const dirent* e = ::readdir(dir)) {
    if (Upper(FromUtf8(e->d_name)) == wanted) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

void DriveMap::Set(char letter, std::string folder) {
  drives_[Letter(letter)] = std::move(folder);
}

bool DriveMap::SetFromList(const std::string& list, std::string& error) {
  std::stringstream in(list);
  std::string entry;
  while (std::getline(in, entry, ';')) {
    if (entry.empty()) continue;
    if (entry.size() < 4 || !std::isalpha(static_cast<unsigned char>(entry[0])) ||
        entry[1] != ':' || entry[2] != '=') {
      error = "a drive is written X:=DIR, not '" + entry + "'";
      return false;
    }
    Set(entry[0], entry.substr(3));
  }
  return true;
}

std::string DriveMap::Folder(char letter) const {
  const auto it = drives_.find(Letter(letter));
  if (it != drives_.end()) return it->second;
  if (!root_.empty() && std::isalpha(static_cast<unsigned char>(letter)))
    return root_ + "/" + std::string(1, Letter(letter));
  return {};
}

std::string DriveMap::AsList() const {
  std::string list;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string folder = Folder(letter);
    if (!folder.empty()) list += (list.empty() ? "" : ";") + std::string(1, letter) + ":=" + folder;
  }
  return list;
}

std::string DriveMap::ToHost(const std::string& windows_path) const {
  if (windows_path.size() < 2 || windows_path[1] != ':') return {};
  std::string host = Folder(windows_path[0]);
  if (host.empty()) return {};
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  std::string name;
  auto add = [&] {
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty()) host += "/" + MatchName(host, ToUtf8(name));
    name.clear();
  };
  for (std::size_t i = 2; i < windows_path.size(); ++i) {
    const char c = windows_path[i];
    if (c == '\\' || c == '/') {
      add();
    } else {
      name += c;
    }
  }
  add();
  return host;
}

}  // namespace kvor::files
