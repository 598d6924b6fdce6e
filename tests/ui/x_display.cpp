// The Xlib side of XDisplay, apart so that Xlib's macros (None, Bool, KeyPress, ...) never meet
// the Qt and test headers.
#include "ui/x_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kvor::test {

QImage XDisplay::Grab(int x, int y, int width, int height) const {
  Display* display = XOpenDisplay(name.c_str());
  if (!display) return {};
  const Screen* screen = DefaultScreenOfDisplay(display);
  width = std::min(x + width, WidthOfScreen(screen)) - std::max(x, 0);
  height = std::min(y + height, HeightOfScreen(screen)) - std::max(y, 0);
  x = std::max(x, 0);
  y = std::max(y, 0);
  XImage* image =
      width > 0 && height > 0
          ? XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), AllPlanes, ZPixmap)
          : nullptr;
  QImage out;
  if (image) {
    // A 24-bit TrueColor screen: red, green and blue in the bytes from high to low.
    out = QImage(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col) {
        const unsigned long p = XGetPixel(image, col, row);
        out.setPixel(col, row, qRgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return out;
}

}  // namespace kvor::test
