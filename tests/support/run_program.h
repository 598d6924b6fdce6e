// Runs one of the project's executables as a separate process and collects what it printed.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
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

// A fresh empty folder under the system's temporary folder.
inline std::string TempFolder() {
  char name[] = "/tmp/kvor-test-XXXXXX";
  return mkdtemp(name) ? name : "/tmp";
}

// Runs program with args (no shell); standard output and error go through files in `dir`.
inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::string& dir,
                                const std::vector<std::pair<std::string, std::string>>& env = {}) {
  const std::string out = dir + "/stdout", err = dir + "/stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
      _exit(126);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(out),
          ReadFile(err)};
}

inline std::string Trv00381() {
  return std::string(KVOR_BINARY_DIR) + "/src/trv00381";
}
inline std::string Kvor() {
  return std::string(KVOR_BINARY_DIR) + "/tools/kvor/kvor";
}

// Waits up to `seconds` for a file to hold `text` (programs started without waiting write late).
inline std::string WaitForText(const std::string& path, const std::string& text,
                               double seconds = 5) {
  std::string content;
  for (int i = 0; i < seconds * 50; ++i) {
    content = ReadFile(path);
    if (content.find(text) != std::string::npos) break;
    usleep(20000);
  }
  return content;
}

}  // namespace kvor::test
