// A private X display for tests of the real program in a real window: an Xvfb server of its own,
// the user's mouse through xdotool (XTEST events, so they take the same path through the X server
// and Qt as a clerk's hand), window lookup by title, and pictures of the screen as PNG files.
#pragma once

#include <QImage>
#include <algorithm>
#include <chrono>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/background_process.h"

namespace kvor::test {

// A window on the display: its id and where it lies on the screen, in pixels.
struct XWindow {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
 public:
  // Starts Xvfb with one 1024 x 768 screen of 24-bit colour on the first free display number,
  // which the server itself picks and writes to its standard output once it accepts clients.
  // `dir` takes the server's output.
  explicit XDisplay(const std::string& dir)
      : dir_(dir),
        server_("/usr/bin/Xvfb",
                {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
                dir, "xvfb") {
    if (server_.WaitForOutput("\n")) name = ":" + server_.Out().substr(0, server_.Out().find('\n'));
  }

  bool Running() const { return !name.empty(); }
  std::string Log() const { return server_.Err(); }

  // Runs xdotool on this display; its standard output, empty when it failed.
  std::string Xdo(const std::vector<std::string>& args) const {
    const ProcessResult r = RunProgram("/usr/bin/xdotool", args, dir_, {{"DISPLAY", name}});
    return r.code == 0 ? r.out : std::string();
  }

  // The shown windows whose title matches the regular expression `title`.
  std::vector<XWindow> Windows(const std::string& title) const {
    std::vector<XWindow> out;
    std::istringstream ids(Xdo({"search", "--onlyvisible", "--name", title}));
    for (std::string id; std::getline(ids, id);) {
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
    std::vector<XWindow> all;
    if (!WaitUntil([&] { return (all = Windows(title)).size() == 1; }, seconds)) return {};
    return all[0];
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

  // What the screen shows in the rectangle (the part of it that lies on the screen), read through
  // a connection of its own.
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
  std::string dir_;
  BackgroundProcess server_;
};

}  // namespace kvor::test
