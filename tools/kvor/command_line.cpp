#include "command_line.h"

#include <algorithm>
#include <ostream>

namespace kvor::cli {

bool Arguments::Has(std::string_view name) const {
  return std::any_of(options.begin(), options.end(),
                     [&](const auto& o) { return o.first == name; });
}

std::string Arguments::Value(std::string_view name) const {
  for (auto o = options.rbegin(); o != options.rend(); ++o)
    if (o->first == name) return o->second;
  return {};
}

int WrongCommandLine(const Command& command, const std::string& message, std::ostream& err) {
  err << "kvor " << command.name << ": " << message << "\n" << command.usage;
  return kWrongCommandLine;
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::istream& in,
               std::ostream& out, std::ostream& err) {
  Arguments a;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      a.words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      out << command.usage;
      return kDone;
    }
    const auto known = std::find_if(command.options.begin(), command.options.end(),
                                    [&](const Option& o) { return o.name == arg; });
    if (known == command.options.end())
      return WrongCommandLine(command, "unknown option " + arg, err);
    if (!known->takes_value) {
      a.options.emplace_back(arg, "");
    } else if (i + 1 < args.size()) {
      a.options.emplace_back(arg, args[++i]);
    } else {
      return WrongCommandLine(command, "option " + arg + " needs a value", err);
    }
  }
  return command.run(a, in, out, err);
}

}  // namespace kvor::cli
