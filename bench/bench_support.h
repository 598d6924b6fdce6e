// What the whole-program benchmarks share: leaving with a reason, reading a file, timing one run
// of a program as a separate process, and the benchmark's own register server.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/pg_server.h"

namespace kvor::bench {

inline std::string the_name = "bench";  // the benchmark's name in its messages
inline std::string the_dir;             // the benchmark's folder, removed again on every way out

[[noreturn]] inline void Die(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", the_name.c_str(), why.c_str());
  if (!the_dir.empty()) std::filesystem::remove_all(the_dir);
  std::exit(1);
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// One run of a program: the wall time from fork to its exit, and its exit code.
inline double RunOnce(const std::vector<std::string>& args, int& code) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);  // else the child's freopen writes out what this process still holds
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
      _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) Die("cannot start " + args[0]);
  const auto end = std::chrono::steady_clock::now();
  code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return std::chrono::duration<double>(end - start).count();
}

// The URL of this process's own PostgreSQL server, started on first use as the tests start theirs
// (tests/support/pg_server.h: a temporary folder, its Unix socket only) and stopped at exit.
inline std::string ServerUrl() {
  test::PgServer& server = test::PgServer::Get();
  if (!server.running()) Die("no register server: " + server.error());
  return server.url();
}

// Puts all 28 registers of the installation in dir onto the server at url, replacing what it
// holds, with the real `kvor reg copy`.
inline void CopyRegistersToServer(const std::string& dir, const std::string& url) {
  int code = 0;
  RunOnce({test::Kvor(), "reg", "--root", dir, "copy", "--from", "files", "--to", url, "--replace"},
          code);
  if (code != 0) Die("kvor reg copy to the server ended with " + std::to_string(code));
}

}  // namespace kvor::bench
