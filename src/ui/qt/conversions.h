// The few conversions between the window model and Qt: Windows-1252 text, colours, twips.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"

namespace kvor::ui {

// Windows-1252 text for a widget.
QString ToQt(std::string_view cp1252);
// Text from a widget as Windows-1252; characters it lacks become "?".
std::string FromQt(const QString& text);
// A label's text: its CR LF line breaks as Qt's "\n".
QString LabelText(std::string_view cp1252);

QColor QtColour(forms::Color c);
QString ColourName(forms::Color c);  // "#rrggbb"

// Twips to pixels, rounded to the nearest pixel.
int Px(int twips);
QRect PxRect(const forms::Rect& r);

// The model's fonts on this system: Courier New and MS Sans Serif become their metric twins
// Liberation Mono and Liberation Sans. Sizes are taken at the 96 dots an inch that the twips
// assume (15 twips a pixel), so text keeps its room in the twips layout on any screen.
QFont QtFont(const forms::Font& f);

}  // namespace kvor::ui
