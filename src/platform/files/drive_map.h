// Windows paths stay Windows paths: the program builds "C:\WINKVOR\SYSTEM\DISKUNIT.DAT" and shows
// it so in messages; only this map turns such a path into a host path for I/O.
//   - each drive letter is a host folder (--drive X:=DIR, --root DIR, KVOR_DRIVES);
//   - backslashes become slashes;
//   - trailing blanks of each name are dropped, as Windows drops them ("KVOR   " is "KVOR");
//   - a name that does not exist in the exact case is looked up case-insensitively, so that an
//     installation copied from a Windows machine works;
//   - names are Windows-1252 in the program and UTF-8 on the host.
#pragma once

#include <map>
#include <string>

namespace kvor::files {

class DriveMap {
 public:
  // Maps drive letter (A-Z, either case) to a host folder.
  void Set(char letter, std::string folder);
  // Every drive letter to root/<letter>. Letters set one by one before are forgotten; letters
  // set after win over the root.
  void SetRoot(std::string root) {
    root_ = std::move(root);
    drives_.clear();
  }
  // Reads "C:=/srv/c;D:=/srv/d" (the KVOR_DRIVES form); false on a malformed entry.
  bool SetFromList(const std::string& list, std::string& error);

  // Every mapped letter in the KVOR_DRIVES form, for the programs this program starts.
  std::string AsList() const;

  // The host folder of a drive letter, or "" when the letter is not mapped.
  std::string Folder(char letter) const;
  bool HasDrive(char letter) const { return !Folder(letter).empty(); }

  // The host path of a Windows path ("C:\A\B.DAT"), or "" when its drive is not mapped or the
  // path has no drive.
  std::string ToHost(const std::string& windows_path) const;

 private:
  std::map<char, std::string> drives_;
  std::string root_;
};

}  // namespace kvor::files
