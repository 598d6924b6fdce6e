// Pictures of buttons and picture boxes: a few built-in drawings, or an image file.
#pragma once

#include <QPixmap>
#include <QSize>
#include <string>

namespace kvor::ui {

// The picture of that name at about `size` logical pixels: "arrow-up", "arrow-down" and
// "printer" are drawn here; any other name is read as an image file (a host path). A null pixmap
// when there is no such picture.
QPixmap PictureOf(const std::string& name, QSize size, qreal device_pixel_ratio);

}  // namespace kvor::ui
