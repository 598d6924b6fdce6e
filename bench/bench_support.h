// What the whole-program benchmarks share: leaving with a reason, reading a file, timing one run
// of a program as a separate process, and the benchmark's own register server.
#pragma once

#include <sqlite3.h>
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

// A new folder of the benchmark's own under TMPDIR (or /tmp), named after `prefix`; Die removes it.
inline std::string MakeFolder(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
  if (!mkdtemp(dir.data())) Die("cannot make a folder under " + dir);
  the_dir = dir;
  return dir;
}

// Adds the records (key, whole record) to the register file in one transaction, past the record
// manager: the quick way to a register of many records.
inline void InsertRecords(const std::string& path,
                          const std::vector<std::pair<std::string, std::string>>& records) {
  sqlite3* db = nullptr;
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(db, "INSERT INTO records(key, version, data) VALUES(?1, 1, ?2)", -1,
                         &insert, nullptr) != SQLITE_OK)
    Die(path + ": " + sqlite3_errmsg(db));
  for (const auto& [key, data] : records) {
    sqlite3_bind_blob(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Die(path + ": " + sqlite3_errmsg(db));
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    Die(path + ": " + sqlite3_errmsg(db));
  sqlite3_close_v2(db);
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
