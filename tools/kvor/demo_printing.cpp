#include "demo_printing.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string_view>

#include "demo.h"

namespace kvor::demo {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kForest{34, 85, 51};
constexpr Rgb kMeadow{214, 232, 206};
constexpr Rgb kWood{196, 144, 88};
constexpr Rgb kEndGrain{120, 78, 40};

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

// A spruce of three tiers and a trunk, its top at (cx, top), `height` pixels tall.
void Spruce(Canvas& c, double cx, double top, double height, Rgb colour) {
  const double h = height;
  c.Rect(static_cast<int>(cx - h * 0.06), static_cast<int>(top + h * 0.8),
         static_cast<int>(h * 0.12) + 1, static_cast<int>(h * 0.2), kEndGrain);
  c.Triangle(cx, top, cx - h * 0.32, top + h * 0.38, cx + h * 0.32, top + h * 0.38, colour);
  c.Triangle(cx, top + h * 0.18, cx - h * 0.4, top + h * 0.6, cx + h * 0.4, top + h * 0.6, colour);
  c.Triangle(cx, top + h * 0.36, cx - h * 0.48, top + h * 0.82, cx + h * 0.48, top + h * 0.82,
             colour);
}

bool WriteFile(const std::string& path, std::string_view bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

}  // namespace

std::string PrinterTable() {
  return "05KVOR PDF\r\n";
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * height, background) {}

void Canvas::Set(int x, int y, Rgb colour) {
  if (x >= 0 && x < width_ && y >= 0 && y < height_)
    pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void Canvas::Rect(int left, int top, int width, int height, Rgb colour) {
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) Set(x, y, colour);
}

void Canvas::Frame(int left, int top, int width, int height, int thickness, Rgb colour) {
  Rect(left, top, width, thickness, colour);
  Rect(left, top + height - thickness, width, thickness, colour);
  Rect(left, top, thickness, height, colour);
  Rect(left + width - thickness, top, thickness, height, colour);
}

void Canvas::Ring(double cx, double cy, double outer, double inner, Rgb colour) {
  for (int y = static_cast<int>(cy - outer) - 1; y <= static_cast<int>(cy + outer) + 1; ++y)
    for (int x = static_cast<int>(cx - outer) - 1; x <= static_cast<int>(cx + outer) + 1; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (d <= outer && d >= inner) Set(x, y, colour);
    }
}

void Canvas::Triangle(double x1, double y1, double x2, double y2, double x3, double y3,
                      Rgb colour) {
  // Which side of the edge from (ax, ay) to (bx, by) the point lies on.
  auto side = [](double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  const int left = static_cast<int>(std::floor(std::min({x1, x2, x3})));
  const int right = static_cast<int>(std::ceil(std::max({x1, x2, x3})));
  const int top = static_cast<int>(std::floor(std::min({y1, y2, y3})));
  const int bottom = static_cast<int>(std::ceil(std::max({y1, y2, y3})));
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double a = side(x1, y1, x2, y2, px, py), b = side(x2, y2, x3, y3, px, py),
                   c = side(x3, y3, x1, y1, px, py);
      if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0)) Set(x, y, colour);
    }
}

std::string Bmp(const Canvas& canvas) {
  const uint32_t row = (static_cast<uint32_t>(canvas.Width()) * 3 + 3) / 4 * 4;
  const uint32_t image = row * static_cast<uint32_t>(canvas.Height());
  constexpr uint32_t kHeaders = 14 + 40;
  std::string out;
  out.reserve(kHeaders + image);
  // File header
  out += "BM";
  Put32(out, kHeaders + image);
  Put32(out, 0);
  Put32(out, kHeaders);
  // BITMAPINFOHEADER: a positive height means the rows are stored bottom-up.
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(canvas.Width()));
  Put32(out, static_cast<uint32_t>(canvas.Height()));
  Put16(out, 1);   // planes
  Put16(out, 24);  // bits a pixel
  Put32(out, 0);   // no compression
  Put32(out, image);
  Put32(out, 3780);  // 96 pixels an inch, in pixels a metre
  Put32(out, 3780);
  Put32(out, 0);  // no palette
  Put32(out, 0);
  for (int y = canvas.Height() - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    for (int x = 0; x < canvas.Width(); ++x) {
      const Rgb p = canvas.At(x, y);
      out += static_cast<char>(p.b);
      out += static_cast<char>(p.g);
      out += static_cast<char>(p.r);
    }
    out.append(start + row - out.size(), '\0');
  }
  return out;
}

// A framed strip: a spruce at the left, a stack of boards on a green base beside it.
Canvas CompanyLogo() {
  Canvas c(500, 100, kWhite);
  c.Frame(0, 0, 500, 100, 4, kForest);
  Spruce(c, 55, 10, 80, kForest);
  for (int i = 0; i < 5; ++i) {
    const int indent = (i % 2) * 18, top = 20 + i * 13;
    const int left = 115 + indent, width = 350 - 2 * indent;
    c.Rect(left, top, width, 11, kWood);
    c.Rect(left, top, 7, 11, kEndGrain);  // the board ends
    c.Rect(left + width - 7, top, 7, 11, kEndGrain);
  }
  c.Rect(105, 86, 370, 4, kForest);
  return c;
}

// A pale green band under a thin dark line, along the bottom of every invoice page.
Canvas FootPicture() {
  Canvas c(1070, 65, kMeadow);
  c.Rect(0, 6, 1070, 2, kForest);
  return c;
}

// A round mark: a green ring around a pale disc holding a spruce.
Canvas MarkingPicture() {
  Canvas c(100, 100, kWhite);
  c.Ring(50, 50, 48, 0, kForest);
  c.Ring(50, 50, 42, 0, kMeadow);
  Spruce(c, 50, 18, 62, kForest);
  return c;
}

bool WritePrinting(const std::string& dir, std::string& error) {
  if (!WriteFile(HostPath(dir, "C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT"), PrinterTable(), error))
    return false;
  const struct {
    const char* name;
    Canvas picture;
  } pictures[] = {
      {"001LOGGA", CompanyLogo()}, {"001FOTEN", FootPicture()}, {"KD5630", MarkingPicture()}};
  for (const auto& p : pictures)
    if (!WriteFile(HostPath(dir, std::string("C:\\KVOR   \\BILDER\\") + p.name + ".BMP"),
                   Bmp(p.picture), error))
      return false;
  return true;
}

}  // namespace kvor::demo
