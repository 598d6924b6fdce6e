#include "platform/files/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace kvor::files {

FileError ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return {53, "File not found"};
    case EACCES:
    case EPERM:
      return {70, "Permission denied"};
    case ENOSPC:
      return {61, "Disk full"};
    case EISDIR:
      return {75, "Path/File access error"};
    case ENAMETOOLONG:
    case EINVAL:
      return {52, "Bad file name or number"};
    default:
      return {57, std::string("Device I/O error: ") + std::strerror(err)};
  }
}

FileError EndOfFileError() {
  return {62, "Input past end of file"};
}

bool TextFiles::Open(int n, const std::string& host_path, Mode mode, FileError& error) {
  FileError ignored;
  if (auto it = files_.find(n); it != files_.end()) {
    CloseOne(it->second, ignored);
    files_.erase(it);
  }
  // "e": close-on-exec, so a program started meanwhile does not hold the file.
  const char* how = mode == Mode::Read ? "rbe" : mode == Mode::Write ? "wbe" : "abe";
  std::FILE* f = host_path.empty() ? nullptr : std::fopen(host_path.c_str(), how);
  if (!f) {
    error = host_path.empty() ? FileError{52, "Bad file name or number"} : ErrorFromErrno(errno);
    return false;
  }
  files_[n] = Open_{f, mode, false, {}};
  return true;
}

bool TextFiles::ReadLine(int n, std::string& line, FileError& error) {
  line.clear();
  auto it = files_.find(n);
  if (it == files_.end() || it->second.mode != Mode::Read) {
    error = {52, "Bad file name or number"};
    return false;
  }
  std::FILE* f = it->second.file;
  int c = std::fgetc(f);
  if (c == EOF) {
    error = std::ferror(f) ? ErrorFromErrno(errno) : EndOfFileError();
    return false;
  }
  for (; c != EOF && c != '\n'; c = std::fgetc(f)) line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (std::ferror(f)) {
    error = ErrorFromErrno(errno);
    return false;
  }
  return true;
}

bool TextFiles::AtEnd(int n) {
  auto it = files_.find(n);
  if (it == files_.end()) return true;
  std::FILE* f = it->second.file;
  const int c = std::fgetc(f);
  if (c == EOF) return true;
  std::ungetc(c, f);
  return false;
}

bool TextFiles::WriteLine(int n, std::string_view line, FileError& error) {
  auto it = files_.find(n);
  if (it == files_.end() || it->second.mode == Mode::Read) {
    error = {52, "Bad file name or number"};
    return false;
  }
  Open_& f = it->second;
  if (!f.cut_off && (std::fwrite(line.data(), 1, line.size(), f.file) != line.size() ||
                     std::fputs("\r\n", f.file) == EOF)) {
    f.cut_off = true;
    f.failure = ErrorFromErrno(errno);
  }
  if (f.cut_off) error = f.failure;
  return !f.cut_off;
}

bool TextFiles::CloseOne(Open_& f, FileError& error) {
  if (f.mode != Mode::Read && !f.cut_off) {
    // The rest of the buffer goes out here, and a written file must be on disk before another
    // program may read it.
    if (std::fflush(f.file) != 0 || ::fsync(::fileno(f.file)) != 0) {
      f.cut_off = true;
      f.failure = ErrorFromErrno(errno);
    }
  }
  if (std::fclose(f.file) != 0 && !f.cut_off) {
    f.cut_off = true;
    f.failure = ErrorFromErrno(errno);
  }
  if (f.cut_off) error = f.failure;
  return !f.cut_off;
}

bool TextFiles::Close(int n, FileError& error) {
  if (n <= 0) {
    bool ok = true;
    for (auto& [number, f] : files_) ok = CloseOne(f, error) && ok;
    files_.clear();
    return ok;
  }
  auto it = files_.find(n);
  if (it == files_.end()) return true;
  const bool ok = CloseOne(it->second, error);
  files_.erase(it);
  return ok;
}

void TextFiles::CloseAll() {
  FileError ignored;
  Close(0, ignored);
}

namespace {

std::string Stamp(const struct timespec& ts) {
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace

FileInfo Inspect(const std::string& host_path) {
  FileInfo info;
  struct statx sx {};
  if (host_path.empty() ||
      ::statx(AT_FDCWD, host_path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0 ||
      !S_ISREG(sx.stx_mode))
    return info;
  auto ts = [](const struct statx_timestamp& t) { return timespec{t.tv_sec, t.tv_nsec}; };
  info.exists = true;
  info.size = static_cast<long long>(sx.stx_size);
  // Not every file system keeps a birth time; the last change stands in for it then.
  info.created = Stamp(ts((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_mtime));
  info.accessed = Stamp(ts(sx.stx_atime));
  info.changed = Stamp(ts(sx.stx_mtime));
  return info;
}

bool FileExists(const std::string& host_path) {
  struct stat st {};
  return !host_path.empty() && ::stat(host_path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& host_path) {
  struct stat st {};
  return !host_path.empty() && ::stat(host_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDelete(const std::string& host_path, FileError& error) {
  if (::unlink(host_path.c_str()) == 0) return true;
  if (errno == EACCES || errno == EPERM) {
    ::chmod(host_path.c_str(), 0644);
    if (::unlink(host_path.c_str()) == 0) return true;
  }
  error = ErrorFromErrno(errno);
  return false;
}

}  // namespace kvor::files
