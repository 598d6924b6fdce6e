// Starting the suite's programs and running commands. Always an argument vector, never a shell:
// register values must not be able to inject commands. A started program sees only its standard
// streams: every other file this program holds is closed for it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kvor::sys {

// Variables set for a started program on top of this program's environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Starts the program without waiting for it; it runs on after this program ends. False with the
// reason when it could not be started (the exec itself failing included).
bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error, int& pid);

// Runs the program and waits for it. Returns its exit code, 128 + the signal that ended it, or -1
// with the reason when it could not be started.
int RunAndWait(const std::string& program, const std::vector<std::string>& args,
               const Environment& environment, std::string& error);

// Runs the program with `input` on its standard input and its output thrown away, and waits up to
// `seconds` for it to end; one still running then is killed. It inherits no other open file of
// this program, so that what it leaves running holds none. Its exit code, or -1 with the reason.
int RunWithInput(const std::string& program, const std::vector<std::string>& args,
                 const std::string& input, double seconds, std::string& error);

// True when the file exists and may be executed.
bool IsExecutable(const std::string& path);
// The executable of that name in a folder of PATH, empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace kvor::sys
