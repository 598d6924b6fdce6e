// A program of the project started without waiting for it, so that a test can act while it runs:
// another process holding a record lock, or trv00381 stopped at a "wait" action. Its standard
// output and error go to files that the test reads while it runs.
#pragma once

#include <signal.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace kvor::test {

class BackgroundProcess {
 public:
  // Starts program with args; its output goes to `dir`/`name`.out and .err.
  BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                    const std::string& dir, const std::string& name, const Environment& env = {})
      : out_path(dir + "/" + name + ".out"), err_path(dir + "/" + name + ".err") {
    WriteFile(out_path, "");
    WriteFile(err_path, "");
    pid_ = StartProgram(program, args, out_path, err_path, env);
  }
  ~BackgroundProcess() { Stop(); }
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // Waits for the output to hold `text` (up to `seconds`, a bound for a broken run, not a
  // pace); true when it does.
  bool WaitForOutput(const std::string& text, double seconds = 30) {
    return WaitForText(out_path, text, seconds).find(text) != std::string::npos;
  }
  // Waits for the process to end: its exit code, or 128 + the signal that ended it.
  int Wait() {
    if (pid_ > 0) code_ = WaitForProgram(pid_);
    pid_ = -1;
    return code_;
  }
  // Waits up to `seconds` for the process to end: its exit code, or -1 while it still runs.
  int WaitForEnd(double seconds) {
    WaitUntil(
        [&] {
          int status = 0;
          if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            code_ = ExitCode(status);
          }
          return pid_ <= 0;
        },
        seconds);
    return pid_ > 0 ? -1 : code_;
  }
  // Ends it with SIGTERM, as a person ends a program, and waits for it.
  int Stop() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    return Wait();
  }
  // Ends it with SIGKILL, as a crash or a power cut ends a program, and waits for it.
  int Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL);
    return Wait();
  }
  std::string Out() const { return ReadFile(out_path); }
  std::string Err() const { return ReadFile(err_path); }

  const std::string out_path, err_path;

 private:
  pid_t pid_ = -1;
  int code_ = -1;
};

}  // namespace kvor::test
