// Runs one of the project's executables as a separate process and collects what it printed.
#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kvor::test {

struct ProcessResult {
  int code = -1;
  std::string out, err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh empty folder under the system's temporary folder, its name beginning with `prefix`.
inline std::string TempFolder(const std::string& prefix = "kvor-test") {
  std::string name = "/tmp/" + prefix + "-XXXXXX";
  if (!mkdtemp(name.data())) throw std::runtime_error("no temporary folder: " + name);
  return name;
}

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs in the started program's process just before the exec: a limit or a file system of its
// own for that program alone.
using BeforeExec = std::function<void()>;

// For BeforeExec: the started program finds `folder` as an empty file system of `bytes` bytes
// (a full disk once written), in a mount namespace of its own that nothing else sees. Needs root;
// without it the program is not run and ends with 125.
inline void TinyFileSystem(const std::string& folder, std::size_t bytes) {
  const std::string size = "size=" + std::to_string(bytes);
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0)
    _exit(125);
}

// Starts program with args (no shell) without waiting for it; its standard output and error go
// to the files `out` and `err`. The child's process id.
inline pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& out, const std::string& err,
                          const Environment& env = {}, const BeforeExec& before_exec = {}) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
      _exit(126);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (before_exec) before_exec();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

// A wait status as a shell tells it: the exit code, or 128 + the signal that ended the program.
inline int ExitCode(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits for a started program to end: its exit code.
inline int WaitForProgram(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return ExitCode(status);
}

// Runs program with args and waits for it; standard output and error go through files in `dir`.
inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::string& dir, const Environment& env = {},
                                const BeforeExec& before_exec = {}) {
  const std::string out = dir + "/stdout", err = dir + "/stderr";
  const int code = WaitForProgram(StartProgram(program, args, out, err, env, before_exec));
  return {code, ReadFile(out), ReadFile(err)};
}

inline std::string Trv00381() {
  return std::string(KVOR_BINARY_DIR) + "/src/trv00381";
}
inline std::string Kvor() {
  return std::string(KVOR_BINARY_DIR) + "/tools/kvor/kvor";
}

// How often `part` stands in `text`.
inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Calls `ready` every 20 ms until it returns true or `seconds` have passed (a bound for a broken
// run, not a pace); true when it did.
inline bool WaitUntil(const std::function<bool()>& ready, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end) return false;
    usleep(20000);
  }
  return true;
}

// Waits up to `seconds` for a file to hold `text` (`times` times): programs started without
// waiting write late. The file's content when it does, or at the end of the wait.
inline std::string WaitForText(const std::string& path, const std::string& text, double seconds = 5,
                               int times = 1) {
  std::string content;
  WaitUntil(
      [&] {
        content = ReadFile(path);
        return Occurrences(content, text) >= times;
      },
      seconds);
  return content;
}

}  // namespace kvor::test
