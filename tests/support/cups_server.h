// A test's own CUPS server: cupsd with its configuration, spool, logs and socket in a temporary
// folder, listening only on a Unix socket there (no TCP, no browsing), started by the object and
// stopped and removed with it. Clients find it through CUPS_SERVER = Socket(); it never needs or
// touches the system's cupsd. Run as root, as CI runs, cupsd runs its filters as the user lp, who
// must reach the spool: the folder is readable by all. Without cupsd (Debian package cups-daemon)
// Error() says so.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/background_process.h"
#include "support/run_program.h"

namespace kvor::test {

class CupsServer {
 public:
  CupsServer() {
    if (access(kCupsd, X_OK) != 0) {
      error_ = "no cupsd: install cups-daemon (scripts/setup.sh)";
      return;
    }
    folder_ = TempFolder("kvor-cups");
    chmod(folder_.c_str(), 0755);
    for (const char* made : {"spool", "cache", "state", "tmp"})  // cupsd makes none of them
      std::filesystem::create_directory(folder_ + "/" + made);
    WriteFile(folder_ + "/cupsd.conf",
              "Listen " + Socket() +
                  "\nBrowsing No\nWebInterface No\nLogLevel warn\nDefaultAuthType None\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                  "</Policy>\n");
    const std::string& f = folder_;
    WriteFile(f + "/cups-files.conf",
              "ServerRoot " + f + "\nRequestRoot " + f + "/spool\nCacheDir " + f +
                  "/cache\nStateDir " + f + "/state\nTempDir " + f + "/tmp\nErrorLog " + f +
                  "/error_log\nAccessLog " + f + "/access_log\nPageLog " + f +
                  "/page_log\nPrintcap " + f + "/printcap\nFileDevice Yes\n");
    cupsd_ = std::make_unique<BackgroundProcess>(
        kCupsd,
        std::vector<std::string>{"-f", "-c", folder_ + "/cupsd.conf", "-s",
                                 folder_ + "/cups-files.conf"},
        folder_, "cupsd");
    if (!WaitUntil([&] { return access(Socket().c_str(), F_OK) == 0; }, 30))
      error_ = "cupsd did not start: " + cupsd_->Err() + ReadFile(folder_ + "/error_log");
  }
  ~CupsServer() {
    cupsd_.reset();
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  const std::string& Error() const { return error_; }
  std::string Socket() const { return folder_ + "/cups.sock"; }

  // Adds and enables a queue for A4 paper whose printable area leaves `margin` points free on
  // every side, and whose device is the file QueueFile(name): each job, a PDF, is written there
  // as it came.
  bool AddFileQueue(const std::string& name, double margin) {
    const std::string a4 = "595 842";  // points, as the PDF pages are
    const std::string area = std::to_string(margin) + " " + std::to_string(margin) + " " +
                             std::to_string(595 - margin) + " " + std::to_string(842 - margin);
    const std::string ppd = folder_ + "/" + name + ".ppd";
    WriteFile(ppd,
              "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
              "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
              "*PCFileName: \"KVORFILE.PPD\"\n*Manufacturer: \"KVOR\"\n*Product: \"(KVOR)\"\n"
              "*ModelName: \"KVOR file\"\n*ShortNickName: \"KVOR file\"\n"
              "*NickName: \"KVOR file\"\n*PSVersion: \"(3010.000) 0\"\n"
              "*cupsFilter: \"application/pdf 0 gziptoany\"\n"  // the PDF passes as it is
              "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
              "*PageSize A4: \"<</PageSize[" +
                  a4 + "]>>setpagedevice\"\n*CloseUI: *PageSize\n" +
                  "*DefaultImageableArea: A4\n*ImageableArea A4: \"" + area + "\"\n" +
                  "*DefaultPaperDimension: A4\n*PaperDimension A4: \"" + a4 + "\"\n");
    return Run("lpadmin", {"-p", name, "-v", "file://" + QueueFile(name), "-P", ppd, "-E"});
  }
  std::string QueueFile(const std::string& name) const { return folder_ + "/" + name + ".out"; }

  // Runs a client program of CUPS (lpadmin, cupsdisable, ...) against this server.
  bool Run(const std::string& program, const std::vector<std::string>& args) {
    const ProcessResult r =
        RunProgram("/usr/sbin/" + program, args, folder_, {{"CUPS_SERVER", Socket()}});
    if (r.code != 0) error_ = program + " failed: " + r.out + r.err;
    return r.code == 0;
  }

  // The file with one line per finished job: queue, user, job id, time, "total", ..., its title.
  std::string PageLog() const { return folder_ + "/page_log"; }

 private:
  static constexpr const char* kCupsd = "/usr/sbin/cupsd";
  std::string folder_;
  std::string error_;
  std::unique_ptr<BackgroundProcess> cupsd_;
};

}  // namespace kvor::test
