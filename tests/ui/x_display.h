// A private X display for tests of the real program in a real window: an Xvfb server of its own,
// the user's mouse through xdotool (XTEST events, so they take the same path through the X server
// and Qt as a clerk's hand), window lookup by title, and pictures of the screen as PNG files.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/run_program.h"

namespace kvor::test {

// A window on the display: its id and where it lies on the screen, in pixels.
struct XWindow {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
 public:
  // Starts Xvfb with one 1024 x 768 screen of 24-bit colour on the first free display number,
  // which the server itself picks and reports. `dir` takes the server's log.
  explicit XDisplay(const std::string& dir) : dir_(dir) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string log = dir + "/xvfb.log";
      if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr))
        _exit(126);
      const std::string fd = std::to_string(fds[1]);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
            "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name = ":" + number;
    if (!name.empty()) x_ = Open(name);
  }
  ~XDisplay() {
    Close(x_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  bool Running() const { return x_ != nullptr; }
  std::string Log() const { return ReadFile(dir_ + "/xvfb.log"); }

  // Runs xdotool on this display; its standard output, empty when it failed.
  std::string Xdo(const std::vector<std::string>& args) const {
    const ProcessResult r = RunProgram("/usr/bin/xdotool", args, dir_, {{"DISPLAY", name}});
    return r.code == 0 ? r.out : std::string();
  }

  // The shown windows whose title matches the regular expression `title`.
  std::vector<XWindow> Windows(const std::string& title) const {
    std::vector<XWindow> out;
    const std::string ids = Xdo({"search", "--onlyvisible", "--name", title});
    std::size_t at = 0;
    while (at < ids.size()) {
      const std::size_t end = ids.find('\n', at);
      const std::string id = ids.substr(at, end == std::string::npos ? end : end - at);
      at = end == std::string::npos ? ids.size() : end + 1;
      if (id.empty()) continue;
      std::smatch m;
      const std::string geometry = Xdo({"getwindowgeometry", id});
      if (std::regex_search(geometry, m,
                            std::regex("Position: (-?[0-9]+),(-?[0-9]+)[^\n]*\n *Geometry: "
                                       "([0-9]+)x([0-9]+)")))
        out.push_back({id, std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])});
    }
    return out;
  }
  // Waits for exactly one shown window with a title that matches.
  std::optional<XWindow> WaitForWindow(const std::string& title, double seconds = 30) const {
    std::optional<XWindow> found;
    WaitUntil(
        [&] {
          const std::vector<XWindow> all = Windows(title);
          if (all.size() == 1) found = all[0];
          return found.has_value();
        },
        seconds);
    return found;
  }
  // Waits for the window to be no longer shown (another with the same title may be by then).
  bool WaitForWindowGone(const XWindow& window, const std::string& title,
                         double seconds = 30) const {
    return WaitUntil(
        [&] {
          for (const XWindow& w : Windows(title))
            if (w.id == window.id) return false;
          return true;
        },
        seconds);
  }

  // Moves the pointer to (x, y) of the screen and clicks the left button there. The X server
  // takes the XTEST motion and button events in order, so the click lands at the new place.
  // (xdotool's --sync is not used: it waits 15 s for a motion when the pointer is there already.)
  bool Click(int x, int y) const {
    const ProcessResult r = RunProgram(
        "/usr/bin/xdotool", {"mousemove", std::to_string(x), std::to_string(y), "click", "1"}, dir_,
        {{"DISPLAY", name}});
    // Two clicks on one place in quick succession are a double click; Qt's buttons take the
    // second as a click too, but a pause keeps the events as a clerk's hand makes them.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    return r.code == 0;
  }

  // What the screen shows in the rectangle (the part of it that lies on the screen).
  QImage Grab(int x, int y, int width, int height) const;
  // The rectangle once it has stopped changing: two pictures a quarter second apart that agree
  // (the window paints after it is shown, and its idle countdown changes once a second).
  QImage GrabSettled(int x, int y, int width, int height) const {
    QImage last = Grab(x, y, width, height);
    for (int i = 0; i < 40; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
      QImage now = Grab(x, y, width, height);
      if (now == last) return now;
      last = now;
    }
    return last;
  }

  std::string name;  // ":N", empty when the server did not come up

 private:
  static void* Open(const std::string& name);
  static void Close(void* x);

  std::string dir_;
  pid_t pid_ = -1;
  void* x_ = nullptr;  // the Xlib connection; Xlib's names stay inside x_display.cpp
};

}  // namespace kvor::test
