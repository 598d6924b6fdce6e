// A real FTP server for tests: pyftpdlib in a Python process of its own, on 127.0.0.1 at a port
// the system chooses, with the one user kvor/kvor whose login folder is `home`.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/run_program.h"

namespace kvor::test {

class FtpServer {
 public:
  // Starts the server in `folder` (its script, port file and log lie there); the files it
  // receives land in folder/home. Check Running() before use.
  explicit FtpServer(const std::string& folder) : home(folder + "/home"), folder_(folder) {
    std::filesystem::create_directories(home);
    WriteFile(folder_ + "/ftp_server.py",
              "import os, sys\n"
              "from pyftpdlib.authorizers import DummyAuthorizer\n"
              "from pyftpdlib.handlers import FTPHandler\n"
              "from pyftpdlib.servers import FTPServer\n"
              "home, port_file = sys.argv[1], sys.argv[2]\n"
              "users = DummyAuthorizer()\n"
              "users.add_user('kvor', 'kvor', home, perm='elradfmwMT')\n"
              "FTPHandler.authorizer = users\n"
              "server = FTPServer(('127.0.0.1', 0), FTPHandler)\n"
              "with open(port_file + '.new', 'w') as f:\n"
              "    f.write(str(server.socket.getsockname()[1]))\n"
              "os.rename(port_file + '.new', port_file)\n"
              "server.serve_forever()\n");
    const std::string log = folder_ + "/ftp_server.log", port_file = folder_ + "/ftp_server.port";
    pid_ = fork();
    if (pid_ == 0) {
      if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr))
        _exit(126);
      execl("/usr/bin/python3", "python3", (folder_ + "/ftp_server.py").c_str(), home.c_str(),
            port_file.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 500 && port.empty(); ++i) {
      port = ReadFile(port_file);
      if (port.empty()) usleep(20000);
    }
  }
  ~FtpServer() { Stop(); }
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  bool Running() const { return pid_ > 0 && !port.empty(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  // What the server logged, for a failing test's message.
  std::string Log() const { return ReadFile(folder_ + "/ftp_server.log"); }

  std::string home;
  std::string port;  // decimal, empty when the server did not come up

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

}  // namespace kvor::test
