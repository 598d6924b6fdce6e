// A bitmap picture loaded from a BMP file, ready to be painted on a page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvor::printer {

class Picture {
 public:
  // Reads a Windows bitmap: 1, 4, 8, 24 or 32 bits a pixel, uncompressed. A missing, short or
  // damaged file gives false and a reason; the picture is then left empty.
  bool Load(const std::string& host_path, std::string& error);

  bool Empty() const { return width_ == 0; }
  int Width() const { return width_; }    // pixels
  int Height() const { return height_; }  // pixels
  // The size at the resolution written in the file (96 dpi when it gives none), in twips.
  double WidthTwips() const { return width_ * 1440.0 / dpi_x_; }
  double HeightTwips() const { return height_ * 1440.0 / dpi_y_; }
  // Pixels top row first, three bytes (red, green, blue) a pixel.
  const std::vector<std::uint8_t>& Rgb() const { return rgb_; }
  const std::string& Source() const { return source_; }

 private:
  int width_ = 0, height_ = 0;
  double dpi_x_ = 96, dpi_y_ = 96;
  std::vector<std::uint8_t> rgb_;
  std::string source_;
};

}  // namespace kvor::printer
