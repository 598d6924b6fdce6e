#include "ui/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/qt/conversions.h"

namespace kvor::ui {

bool QtClipboard::SetText(const std::string& text) {
  QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
  if (!clipboard) return false;
  clipboard->clear();
  clipboard->setText(ToQt(text));
  return true;
}

std::string QtClipboard::Text() const {
  const QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
  return clipboard ? FromQt(clipboard->text()) : std::string();
}

}  // namespace kvor::ui
