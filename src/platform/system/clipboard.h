// The clipboard: plain text only. The real one belongs to the window system; headless runs keep
// it in memory.
#pragma once

#include <string>

namespace kvor::sys {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content by the text (Windows-1252). False when the clipboard could
  // not be used.
  virtual bool SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

class MemoryClipboard : public Clipboard {
 public:
  bool SetText(const std::string& text) override {
    text_ = text;
    return true;
  }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

// A clipboard kept in a file, so that headless runs can hand text to the programs they start
// (the stop program reads what the stopped program left there).
class FileClipboard : public Clipboard {
 public:
  explicit FileClipboard(std::string path) : path_(std::move(path)) {}
  bool SetText(const std::string& text) override;
  std::string Text() const override;

 private:
  std::string path_;
};

// The desktop's clipboard, served by a tool that keeps the text after this program has ended
// (wl-copy under Wayland, xclip under X11): there a clipboard belongs to the program that set it
// and goes with it, and the stop program reads it only once this program has ended. The desktop
// takes the text as UTF-8. Without a tool that takes the text, the fallback clipboard takes it.
class DesktopClipboard : public Clipboard {
 public:
  explicit DesktopClipboard(Clipboard& fallback) : fallback_(fallback) {}
  bool SetText(const std::string& text) override;
  // What this program put on the clipboard last.
  std::string Text() const override;

 private:
  Clipboard& fallback_;
  std::string text_;
  bool on_desktop_ = false;
};

}  // namespace kvor::sys
