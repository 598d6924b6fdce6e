// The window system's clipboard, for the program's Windows-1252 texts.
#pragma once

#include <string>

#include "platform/system/clipboard.h"

namespace kvor::ui {

class QtClipboard : public sys::Clipboard {
 public:
  // Needs a QGuiApplication; false or an empty text without one.
  bool SetText(const std::string& text) override;
  std::string Text() const override;
};

}  // namespace kvor::ui
