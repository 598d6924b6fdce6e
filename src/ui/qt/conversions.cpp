#include "ui/qt/conversions.h"

#include <algorithm>
#include <cmath>

#include "common/cp1252.h"

namespace kvor::ui {

QString ToQt(std::string_view cp1252) {
  return QString::fromStdString(ToUtf8(cp1252));
}

std::string FromQt(const QString& text) {
  return FromUtf8(text.toStdString());
}

QString LabelText(std::string_view cp1252) {
  QString t = ToQt(cp1252);
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

QColor QtColour(forms::Color c) {
  return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

QString ColourName(forms::Color c) {
  return QtColour(c).name(QColor::HexRgb);
}

int Px(int twips) {
  return static_cast<int>(std::lround(twips / static_cast<double>(forms::kTwipsPerPixel)));
}

QRect PxRect(const forms::Rect& r) {
  return QRect(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
}

QFont QtFont(const forms::Font& f) {
  const QString name = ToQt(f.name).trimmed();
  const QString upper = name.toUpper();
  QString family = name;
  QFont::StyleHint hint = QFont::AnyStyle;
  if (upper == "COURIER NEW" || upper == "COURIER") {
    family = "Liberation Mono";
    hint = QFont::Monospace;
  } else if (upper == "MS SANS SERIF" || upper == "MICROSOFT SANS SERIF" || upper == "ARIAL") {
    family = "Liberation Sans";
    hint = QFont::SansSerif;
  }
  QFont font(family);
  font.setStyleHint(hint);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(f.points * 96.0 / 72.0))));
  font.setBold(f.bold);
  return font;
}

}  // namespace kvor::ui
