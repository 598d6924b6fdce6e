// kvor: the installation's command-line tool.
#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "usage: kvor COMMAND\n"
    "  help       this text\n"
    "\n"
    "Commands for sample installations (demo) and register records (reg) are not built yet.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "kvor: unknown command '%s'\n%s", argv[1], kUsage);
  return 2;
}
