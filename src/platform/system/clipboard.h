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

}  // namespace kvor::sys
