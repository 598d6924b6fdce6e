// A real FTP server for tests: pyftpdlib in a Python process of its own, on 127.0.0.1 at a port
// the system chooses, with the one user kvor/kvor whose login folder is `home`; and WithFtpServer,
// a fixture whose installation sends its e-invoices there.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/background_process.h"

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
    const std::string port_file = folder_ + "/ftp_server.port";
    server_ = std::make_unique<BackgroundProcess>(
        "/usr/bin/python3", std::vector<std::string>{folder_ + "/ftp_server.py", home, port_file},
        folder_, "ftp_server");
    WaitUntil([&] { return !(port = ReadFile(port_file)).empty(); }, 10);
  }
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  bool Running() const { return !port.empty(); }
  void Stop() { server_.reset(); }
  // What the server logged, for a failing test's message.
  std::string Log() const { return ReadFile(folder_ + "/ftp_server.err"); }

  std::string home;
  std::string port;  // decimal, empty when the server did not come up

 private:
  std::string folder_;
  std::unique_ptr<BackgroundProcess> server_;
};

// The fixture with its installation's EDI settings pointing at an FTP server of its own.
template <class Fixture>
class WithFtpServer : public Fixture {
 protected:
  void SetUp() override {
    Fixture::SetUp();
    ASSERT_TRUE(server.Running()) << server.Log();
    this->SendTo(server.port);
  }
  FtpServer server{this->dir + "/ftp"};
};

}  // namespace kvor::test
