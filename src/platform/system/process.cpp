#include "platform/system/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace kvor::sys {

namespace {

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// This program's environment with `extra` set over it, as "NAME=value" texts.
std::vector<std::string> EnvironmentWith(const Environment& extra) {
  std::vector<std::string> out;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : extra)
      replaced = replaced || entry.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) out.push_back(entry);
  }
  for (const auto& [name, value] : extra) out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// In a child: exec the program; on failure write errno to the pipe and leave. Every file above
// the standard streams is closed at the exec (the report pipe already is), whoever opened it, and
// the signals this program ignores are the program's own again.
[[noreturn]] void Exec(const std::string& program, std::vector<char*>& argv, char** envp,
                       int report_fd) {
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  std::signal(SIGXFSZ, SIG_DFL);
  ::execve(program.c_str(), argv.data(), envp);
  const int err = errno;
  (void)!::write(report_fd, &err, sizeof err);
  ::_exit(127);
}

// Reads the exec failure a child reported, 0 when the exec succeeded (the pipe closed).
int ExecFailure(int fd) {
  int err = 0;
  ssize_t n;
  do n = ::read(fd, &err, sizeof err);
  while (n < 0 && errno == EINTR);
  return n == sizeof err ? err : 0;
}

}  // namespace

bool IsExecutable(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "";
  for (std::size_t at = 0; at < folders.size();) {
    const std::size_t end = std::min(folders.find(':', at), folders.size());
    const std::string folder = folders.substr(at, end - at);
    if (!folder.empty() && IsExecutable(folder + "/" + name)) return folder + "/" + name;
    at = end + 1;
  }
  return "";
}

int RunWithInput(const std::string& program, const std::vector<std::string>& args,
                 const std::string& input, double seconds, std::string& error) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                        std::chrono::duration<double>(seconds));
  const auto ms_left = [&] {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
  };
  std::vector<char*> argv = Argv(program, args);
  // A socket rather than a pipe for the input: a program that leaves without reading it must not
  // end this one by SIGPIPE (send takes MSG_NOSIGNAL).
  int in[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) {
    error = std::strerror(errno);
    return -1;
  }
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    ::close(in[0]);
    ::close(in[1]);
    return -1;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    error = std::strerror(errno);
    for (int fd : {in[0], in[1], report[0], report[1]}) ::close(fd);
    return -1;
  }
  if (child == 0) {
    ::dup2(in[1], 0);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    Exec(program, argv, environ, report[1]);
  }
  ::close(in[1]);
  ::close(report[1]);
  const int err = ExecFailure(report[0]);
  ::close(report[0]);
  std::size_t sent = 0;
  while (err == 0 && sent < input.size()) {
    pollfd ready{in[0], POLLOUT, 0};
    const int wait = ms_left();
    if (wait <= 0 || ::poll(&ready, 1, wait) <= 0) break;
    const ssize_t n =
        ::send(in[0], input.data() + sent, input.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno != EINTR && errno != EAGAIN) break;
    if (n > 0) sent += static_cast<std::size_t>(n);
  }
  ::close(in[0]);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) {
      error = std::strerror(errno);
      return -1;
    }
    if (ms_left() <= 0) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      error = "no end within the time allowed";
      return -1;
    }
    ::usleep(5000);
  }
  if (err != 0) {
    error = std::strerror(err);
    return -1;
  }
  if (sent < input.size()) {
    error = "the input was not taken";
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error, int& pid) {
  std::vector<char*> argv = Argv(program, args);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return false;
  }
  int pid_pipe[2];
  if (::pipe2(pid_pipe, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  // Two forks: the program becomes a child of init, so it outlives us and leaves no zombie.
  const pid_t middle = ::fork();
  if (middle < 0) {
    error = std::strerror(errno);
    for (int fd : {report[0], report[1], pid_pipe[0], pid_pipe[1]}) ::close(fd);
    return false;
  }
  if (middle == 0) {
    ::setsid();
    const pid_t child = ::fork();
    if (child == 0) Exec(program, argv, environ, report[1]);
    (void)!::write(pid_pipe[1], &child, sizeof child);
    ::_exit(child < 0 ? 1 : 0);
  }
  ::close(report[1]);
  ::close(pid_pipe[1]);
  int status = 0;
  ::waitpid(middle, &status, 0);
  pid_t child = -1;
  if (::read(pid_pipe[0], &child, sizeof child) != sizeof child) child = -1;
  ::close(pid_pipe[0]);
  const int err = ExecFailure(report[0]);
  ::close(report[0]);
  if (child < 0 || err != 0) {
    error = err ? std::strerror(err) : "fork failed";
    return false;
  }
  pid = child;
  return true;
}

int RunAndWait(const std::string& program, const std::vector<std::string>& args,
               const Environment& environment, std::string& error) {
  std::vector<char*> argv = Argv(program, args);
  std::vector<std::string> env_texts = EnvironmentWith(environment);
  std::vector<char*> envp = Pointers(env_texts);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return -1;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    error = std::strerror(errno);
    ::close(report[0]);
    ::close(report[1]);
    return -1;
  }
  if (child == 0) Exec(program, argv, envp.data(), report[1]);
  ::close(report[1]);
  const int err = ExecFailure(report[0]);
  ::close(report[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (err != 0) {
    error = std::strerror(err);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace kvor::sys
