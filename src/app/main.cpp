// trv00381: prints one customer invoice, writes and sends its e-invoice.
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/headless.h"
#include "frame/options.h"

namespace {

std::string ExecutablePath(const char* argv0) {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, n) : std::string(argv0);
}

}  // namespace

int RunWithWindows(int argc, char** argv, const kvor::frame::Options& options,
                   const kvor::frame::StartInfo& start);

int main(int argc, char** argv) {
  using namespace kvor;
  // A write past the file-size limit fails with EFBIG and is told like any failed write, instead
  // of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  frame::Options options;
  std::string error;
  if (!frame::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "trv00381: %s\n%s", error.c_str(), frame::kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(frame::kUsage, stdout);
    return 0;
  }
  const char* drive = std::getenv("SystemDrive");
  frame::StartInfo start{ExecutablePath(argv[0]), drive ? drive : "", {}};
  if (!frame::BuildDriveMap(options, std::getenv("KVOR_DRIVES"), start.drives, error)) {
    std::fprintf(stderr, "trv00381: %s\n", error.c_str());
    return 2;
  }
  start.registers = frame::RegistersUrl(options, std::getenv("KVOR_REGISTERS"));
  if (options.headless) return app::RunHeadless(options, start);
  return RunWithWindows(argc, argv, options, start);
}
