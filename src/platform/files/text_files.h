// Text files by file number, as the settings readers use them: open for reading, writing or
// appending, read or write one line at a time, close one or all. Bytes are Windows-1252; lines
// are written with CR LF and read with CR LF or a bare LF.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

namespace kvor::files {

// A failed file operation, numbered as the program's messages number them.
struct FileError {
  int number = 0;
  std::string description;
};

// The file error for the current errno (or for end of file when at_end is true).
FileError ErrorFromErrno(int err);
FileError EndOfFileError();

class TextFiles {
 public:
  enum class Mode { Read, Write, Append };

  TextFiles() = default;
  TextFiles(const TextFiles&) = delete;
  TextFiles& operator=(const TextFiles&) = delete;
  ~TextFiles() { CloseAll(); }

  // Opens host_path as file number n (closing n first). Write truncates.
  bool Open(int n, const std::string& host_path, Mode mode, FileError& error);
  bool IsOpen(int n) const { return files_.count(n) > 0; }
  // The next line without its line end; false at the end of the file or on a read error.
  bool ReadLine(int n, std::string& line, FileError& error);
  bool AtEnd(int n);
  // Writes the line followed by CR LF. Lines are buffered: a failure may show only at a later
  // line or at the close. Once a write failed the file is cut off: every further write and the
  // close fail with that first error.
  bool WriteLine(int n, std::string_view line, FileError& error);
  // Closes file n (n <= 0: every file); a written file is flushed to disk first. False with the
  // error when a written file did not reach the disk whole.
  bool Close(int n, FileError& error);
  void CloseAll();

 private:
  struct Open_ {
    std::FILE* file = nullptr;
    Mode mode = Mode::Read;
    bool cut_off = false;  // a write failed; `failure` tells how
    FileError failure;
  };
  bool CloseOne(Open_& f, FileError& error);
  std::map<int, Open_> files_;
};

// What the file system tells of one file.
struct FileInfo {
  bool exists = false;
  std::string created, accessed, changed;  // "YYYY-MM-DD HH:MM:SS"
  long long size = 0;
};
FileInfo Inspect(const std::string& host_path);
bool FileExists(const std::string& host_path);
bool FolderExists(const std::string& host_path);
// Deletes the file even when it is read-only; false with the error when it stays.
bool ForceDelete(const std::string& host_path, FileError& error);

}  // namespace kvor::files
