// kvor: the installation's command-line tool. Every command is an entry of one table and runs
// through the same command-line routine.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "demo.h"
#include "frame/options.h"
#include "reg.h"

namespace {

using kvor::cli::Arguments;
using kvor::cli::Command;

const Command& Named(const std::string& name);

int Fail(std::ostream& err, const std::string& message) {
  err << "kvor: " << message << "\n";
  return kvor::cli::kFailed;
}

int Demo(const Arguments& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.words.size() != 1)
    return kvor::cli::WrongCommandLine(Named("demo"), "demo takes one folder", err);
  const std::string& dir = args.words[0];
  kvor::frame::Options options;
  options.registers = args.Value("--registers");
  const std::string registers = kvor::frame::RegistersUrl(options, std::getenv("KVOR_REGISTERS"));
  std::string error;
  if (!kvor::demo::WriteInstallation(dir, error, registers)) return Fail(err, error);
  // The URL may hold a password: it is not repeated here.
  out << "Sample installation written to " << dir << " (drive C: is " << dir << "/C)"
      << (registers.empty() ? "" : ", its registers to the register server") << ".\n"
      << "Start the program with: trv00381 --root " << dir
      << (registers.empty() ? "" : " and the same --registers URL or KVOR_REGISTERS") << "\n";
  return 0;
}

int Link(const Arguments& args, std::istream&, std::ostream&, std::ostream& err) {
  if (args.words.size() != 1)
    return kvor::cli::WrongCommandLine(Named("link"), "link takes the installation folder", err);
  kvor::LinkArea link = kvor::demo::MenuLinkArea();
  if (args.Has("--invoice")) link.link_data = args.Value("--invoice");
  if (args.Has("--owner")) link.owner_short_name = args.Value("--owner");
  if (args.Has("--company")) link.company_id = args.Value("--company");
  std::string error;
  if (!kvor::demo::WriteLinkArea(args.words[0], link, error)) return Fail(err, error);
  return 0;
}

// The usage of kvor: the first line of every command's usage.
std::string Usage(const std::vector<Command>& commands) {
  std::string usage = "usage: kvor COMMAND ...\n";
  for (const Command& c : commands) {
    const std::string first = c.usage.substr(0, c.usage.find('\n'));
    usage += "  " + first.substr(first.find(c.name)) + "\n";
  }
  return usage + "  help\n'kvor COMMAND --help' tells more about each command.\n";
}

int Help(const Arguments&, std::istream&, std::ostream& out, std::ostream&) {
  out << Named("help").usage;
  return 0;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = [] {
    std::vector<Command> c = {
        {"demo",
         "usage: kvor demo DIR [--registers URL]\n"
         "  writes a sample installation into DIR (drive C: is DIR/C), its registers onto the\n"
         "  PostgreSQL server of URL when given (or KVOR_REGISTERS);\n"
         "  then run: trv00381 --root DIR\n",
         {{"--registers", true}},
         Demo},
        {"link",
         "usage: kvor link DIR [--invoice NNNNNN] [--owner NAME] [--company ID]\n"
         "  leaves a link area in DIR as the menu program does before it starts trv00381;\n"
         "  with --invoice, the invoice is looked up at once\n",
         {{"--invoice", true}, {"--owner", true}, {"--company", true}},
         Link},
        kvor::reg::Command(),
    };
    c.push_back({"help", Usage(c), {}, Help});
    return c;
  }();
  return commands;
}

// The command of that name; kvor's own usage when there is none.
const Command& Named(const std::string& name) {
  for (const Command& c : Commands())
    if (c.name == name) return c;
  return Commands().back();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string& help = Named("help").usage;
  if (args.empty()) {
    std::cerr << help;
    return kvor::cli::kWrongCommandLine;
  }
  const std::string name = args[0] == "--help" || args[0] == "-h" ? "help" : args[0];
  const Command& command = Named(name);
  if (command.name != name) {
    std::cerr << "kvor: unknown command '" << name << "'\n" << help;
    return kvor::cli::kWrongCommandLine;
  }
  return kvor::cli::RunCommand(command, {args.begin() + 1, args.end()}, std::cin, std::cout,
                               std::cerr);
}
