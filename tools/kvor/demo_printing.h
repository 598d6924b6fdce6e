// What the sample installation needs for printing: the printer table SKRIVARE.DAT and the
// pictures of the picture folder (company logo, foot picture, marking picture), drawn here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvor::demo {

// The printer table's contents: code 05, the invoice's printer, is the program's PDF printer.
std::string PrinterTable();

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A picture in memory, row 0 at the top. Shapes outside the canvas are clipped.
class Canvas {
 public:
  Canvas(int width, int height, Rgb background);
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  void Rect(int left, int top, int width, int height, Rgb colour);
  // A frame `thickness` pixels wide along the inside of the rectangle.
  void Frame(int left, int top, int width, int height, int thickness, Rgb colour);
  // Every pixel whose centre lies within the ring from inner to outer radius (inner 0: a disc).
  void Ring(double cx, double cy, double outer, double inner, Rgb colour);
  // Every pixel whose centre lies inside the triangle.
  void Triangle(double x1, double y1, double x2, double y2, double x3, double y3, Rgb colour);

 private:
  void Set(int x, int y, Rgb colour);
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// The canvas as a BMP file: 24 bits a pixel, uncompressed, rows bottom-up, each padded to 4 bytes.
std::string Bmp(const Canvas& canvas);

// The three pictures of the sample company "001".
Canvas CompanyLogo();     // 001LOGGA: 500 x 100
Canvas FootPicture();     // 001FOTEN: 1070 x 65
Canvas MarkingPicture();  // KD5630: 100 x 100

// Writes SKRIVARE.DAT and the pictures into the installation in dir (its folders must exist).
bool WritePrinting(const std::string& dir, std::string& error);

}  // namespace kvor::demo
