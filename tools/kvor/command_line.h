// The command line of every kvor command. A command names the options it takes; one routine
// runs it, so that every command answers --help with its usage and refuses an option it does not
// know in the same way.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvor::cli {

struct Option {
  std::string_view name;  // "--root"
  bool takes_value;       // the next argument is its value
};

// What follows the command's name, taken apart.
struct Arguments {
  std::vector<std::string> words;                            // not options, in order
  std::vector<std::pair<std::string, std::string>> options;  // as given; a flag's value is empty
  bool Has(std::string_view name) const;
  // The value of the last option of that name; empty when it was not given.
  std::string Value(std::string_view name) const;
};

// Exit codes of every command: 0 done, 1 failed with a message, 2 a wrong command line.
inline constexpr int kDone = 0, kFailed = 1, kWrongCommandLine = 2;

struct Command {
  std::string name;   // "demo"
  std::string usage;  // begins "usage: kvor demo ..."
  std::vector<Option> options;
  std::function<int(const Arguments&, std::istream& in, std::ostream& out, std::ostream& err)> run;
};

// Runs the command on the arguments that follow its name. --help (or -h) anywhere prints the
// usage to `out` and gives 0; an option the command does not take, or one without its value,
// is told on `err` with the usage and gives 2. "--" ends the options: what follows are words.
int RunCommand(const Command& command, const std::vector<std::string>& args, std::istream& in,
               std::ostream& out, std::ostream& err);

// A command line the command itself finds wrong: the message and the usage on `err`; gives 2.
int WrongCommandLine(const Command& command, const std::string& message, std::ostream& err);

}  // namespace kvor::cli
