// kvor: the installation's command-line tool.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "demo.h"
#include "frame/options.h"
#include "reg.h"

namespace {

const char* const kUsage =
    "usage: kvor COMMAND ...\n"
    "  demo DIR [--registers URL]      write a sample installation into DIR (drive C: is DIR/C),\n"
    "                                  its registers onto the PostgreSQL server of URL when given\n"
    "                                  (or KVOR_REGISTERS); then run: trv00381 --root DIR\n"
    "  link DIR [--invoice NNNNNN] [--owner NAME] [--company ID]\n"
    "                                  leave a link area in DIR as the menu program does before "
    "it\n"
    "                                  starts trv00381 (with --invoice, the invoice is looked up "
    "at once)\n"
    "  reg [--root DIR | --drive X:=DIR ...] COMMAND ...\n"
    "                                  create, list, read and write records by field name\n"
    "                                  (kvor reg help tells more)\n"
    "  help                            this text\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "kvor: %s\n", message.c_str());
  return 1;
}

int Demo(const std::vector<std::string>& args) {
  kvor::frame::Options options;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--registers") {
      folders.push_back(args[i]);
    } else if (i + 1 < args.size()) {
      options.registers = args[++i];
    } else {
      return Fail("option --registers needs a value");
    }
  }
  if (folders.size() != 1) return Fail(std::string("demo takes one folder\n") + kUsage);
  const std::string& dir = folders[0];
  const std::string registers = kvor::frame::RegistersUrl(options, std::getenv("KVOR_REGISTERS"));
  std::string error;
  if (!kvor::demo::WriteInstallation(dir, error, registers)) return Fail(error);
  std::printf("Sample installation written to %s (drive C: is %s/C)%s.\n", dir.c_str(), dir.c_str(),
              registers.empty() ? "" : ", its registers to the register server");
  // The URL may hold a password: it is not repeated here.
  std::printf("Start the program with: trv00381 --root %s%s\n", dir.c_str(),
              registers.empty() ? "" : " and the same --registers URL or KVOR_REGISTERS");
  return 0;
}

int Link(const std::vector<std::string>& args) {
  if (args.empty()) return Fail(std::string("link takes the installation folder\n") + kUsage);
  kvor::LinkArea link = kvor::demo::MenuLinkArea();
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return Fail("option " + args[i] + " needs a value");
    const std::string& value = args[i + 1];
    if (args[i] == "--invoice") {
      link.link_data = value;
    } else if (args[i] == "--owner") {
      link.owner_short_name = value;
    } else if (args[i] == "--company") {
      link.company_id = value;
    } else {
      return Fail("unknown option " + args[i]);
    }
    ++i;
  }
  std::string error;
  if (!kvor::demo::WriteLinkArea(args[0], link, error)) return Fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "help" || command == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "demo") return Demo(rest);
  if (command == "link") return Link(rest);
  if (command == "reg") return kvor::reg::Run(rest, std::cin, std::cout, std::cerr);
  std::fprintf(stderr, "kvor: unknown command '%s'\n%s", command.c_str(), kUsage);
  return 2;
}
