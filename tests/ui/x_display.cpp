// The Xlib side of XDisplay, apart so that Xlib's macros (None, Bool, KeyPress, ...) never meet
// the Qt and test headers.
#include "ui/x_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kvor::test {

void* XDisplay::Open(const std::string& name) {
  return XOpenDisplay(name.c_str());
}

void XDisplay::Close(void* x) {
  if (x) XCloseDisplay(static_cast<Display*>(x));
}

QImage XDisplay::Grab(int x, int y, int width, int height) const {
  Display* display = static_cast<Display*>(x_);
  if (!display) return {};
  const Screen* screen = DefaultScreenOfDisplay(display);
  width = std::min(x + width, WidthOfScreen(screen)) - std::max(x, 0);
  height = std::min(y + height, HeightOfScreen(screen)) - std::max(y, 0);
  x = std::max(x, 0);
  y = std::max(y, 0);
  if (width <= 0 || height <= 0) return {};
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return {};
  // A 24-bit TrueColor screen: red, green and blue in the bytes from high to low.
  QImage out(width, height, QImage::Format_RGB32);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      const unsigned long p = XGetPixel(image, col, row);
      out.setPixel(col, row, qRgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  XDestroyImage(image);
  return out;
}

}  // namespace kvor::test
