// The test binary's own PostgreSQL server: made by initdb in a temporary folder, listening only on
// a Unix socket in that folder (no TCP), started on first use and stopped when the binary exits.
// When the tests run as root, as CI does, the server runs as the unprivileged user "nobody", who
// owns the folder. The server's programs are looked for in KVOR_PG_BINDIR, then in Debian's
// /usr/lib/postgresql/<version>/bin; without them the tests that need the server fail.
#pragma once

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace kvor::test {

class PgServer {
 public:
  // The server of this binary, started on first use.
  static PgServer& Get() {
    static PgServer* server = [] {
      auto* s = new PgServer();
      s->Start();
      std::atexit([] { Get().Stop(); });
      return s;
    }();
    return *server;
  }

  bool running() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // A libpq connection URI of the server's database.
  std::string url() const { return "postgresql:///postgres?host=" + folder_ + "&user=kvor"; }

  // Stops the server at once, as a crash or a power cut would end it for its clients: their
  // connections drop and nothing is shut down in order.
  bool Halt() { return Run("pg_ctl", {"-D", folder_ + "/data", "-m", "immediate", "-w", "stop"}); }
  // Starts it (again) on the same data folder and socket.
  bool Resume() {
    return Run("pg_ctl",
               {"-D", folder_ + "/data", "-l", folder_ + "/log", "-w", "-t", "60", "start"});
  }

 private:
  static std::string BinDir() {
    if (const char* given = std::getenv("KVOR_PG_BINDIR"); given && *given) return given;
    std::string best;
    std::error_code ec;
    for (const auto& version : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
      const std::string bin = version.path().string() + "/bin";
      if (access((bin + "/initdb").c_str(), X_OK) == 0 && bin > best) best = bin;
    }
    return best;
  }

  // Runs one of the server's programs, as "nobody" when this process is root.
  bool Run(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv = args;
    std::string path = bin_ + "/" + program;
    if (geteuid() == 0) {
      argv.insert(argv.begin(), {"-u", "nobody", "--", path});
      path = "/usr/sbin/runuser";
    }
    const ProcessResult result = RunProgram(path, argv, folder_);
    if (result.code != 0) error_ = program + " failed: " + result.out + result.err;
    return result.code == 0;
  }

  void Start() {
    bin_ = BinDir();
    if (bin_.empty()) {
      error_ = "no PostgreSQL server programs (initdb): install postgresql-15 (scripts/setup.sh)";
      return;
    }
    folder_ = TempFolder("kvor-pg");
    if (geteuid() == 0) {
      const passwd* nobody = getpwnam("nobody");
      if (!nobody || chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
        error_ = "cannot give the server's folder to the user nobody";
        return;
      }
    }
    const std::string data = folder_ + "/data";
    if (!Run("initdb",
             {"-D", data, "-U", "kvor", "--auth=trust", "-E", "UTF8", "--locale=C", "--no-sync"}))
      return;
    // Only the socket; and a test server need not survive a power cut.
    std::string conf = ReadFile(data + "/postgresql.conf");
    conf += "\nlisten_addresses = ''\nunix_socket_directories = '" + folder_ +
            "'\nfsync = off\nfull_page_writes = off\n";
    WriteFile(data + "/postgresql.conf", conf);
    Resume();
  }

  void Stop() {
    if (folder_.empty()) return;
    if (access((folder_ + "/data/postmaster.pid").c_str(), F_OK) == 0) Halt();
    std::filesystem::remove_all(folder_);
  }

  std::string bin_;
  std::string folder_;
  std::string error_;
};

}  // namespace kvor::test
