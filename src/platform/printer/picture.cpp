#include "platform/printer/picture.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/cp1252.h"

namespace kvor::printer {

namespace {

// BMP layout: a 14-byte file header ("BM", file size, reserved, offset of the pixel rows), an
// info header (12 bytes in the old core form with 16-bit sizes, 40 bytes or more otherwise),
// the colour table for 1, 4 and 8 bits a pixel (4 bytes an entry, 3 in the core form), then
// the rows, each padded to 4 bytes, bottom row first unless the height is negative.
constexpr int kMaxSide = 30000;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

bool Picture::Load(const std::string& host_path, std::string& error) {
  *this = Picture();
  std::ifstream in(host_path, std::ios::binary);
  if (!in) {
    error = host_path + " kan inte öppnas: "_w + std::strerror(errno);
    return false;
  }
  const std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
  auto damaged = [&](const std::string& why) {
    *this = Picture();
    error = host_path + " är ingen läsbar BMP-bild: "_w + why;
    return false;
  };
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return damaged("inget BMP-huvud");
  const std::uint32_t offset = U32(b, 10);
  const std::uint32_t info_size = U32(b, 14);
  const bool core = info_size == 12;
  if (!core && info_size < 40) return damaged("okänd storlek på huvudet"_w);
  if (b.size() < 14 + static_cast<std::size_t>(info_size)) return damaged("filen är avkortad"_w);
  long long width, height;
  unsigned bits, compression = 0, colours_used = 0;
  if (core) {
    width = U16(b, 18);
    height = static_cast<std::int16_t>(U16(b, 20));
    bits = U16(b, 24);
  } else {
    width = static_cast<std::int32_t>(U32(b, 18));
    height = static_cast<std::int32_t>(U32(b, 22));
    bits = U16(b, 28);
    compression = U32(b, 30);
    const auto ppm_x = static_cast<std::int32_t>(U32(b, 38));
    const auto ppm_y = static_cast<std::int32_t>(U32(b, 42));
    colours_used = U32(b, 46);
    if (ppm_x > 0) dpi_x_ = ppm_x * 0.0254;
    if (ppm_y > 0) dpi_y_ = ppm_y * 0.0254;
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return damaged("bildstorlek " + std::to_string(width) + " x " + std::to_string(height));
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return damaged(std::to_string(bits) + " bitar per bildpunkt");
  // Compression 3 (bit fields) is accepted for 32-bit pictures in the usual BGRX order.
  if (compression != 0 && !(compression == 3 && bits == 32))
    return damaged("komprimerade bilder kan inte läsas"_w);

  std::vector<std::uint8_t> palette;  // three bytes a colour: blue, green, red
  if (bits <= 8) {
    const std::size_t entries =
        colours_used != 0 && colours_used <= (1u << bits) ? colours_used : (std::size_t{1} << bits);
    const std::size_t entry_size = core ? 3 : 4;
    const std::size_t start = 14 + info_size;
    if (start + entries * entry_size > b.size()) return damaged("färgtabellen är avkortad"_w);
    for (std::size_t i = 0; i < entries; ++i)
      palette.insert(palette.end(), b.begin() + start + i * entry_size,
                     b.begin() + start + i * entry_size + 3);
  }
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  if (offset > b.size() || b.size() - offset < stride * height)
    return damaged("bildpunkterna är avkortade"_w);

  rgb_.resize(static_cast<std::size_t>(width) * height * 3);
  for (long long row = 0; row < height; ++row) {
    const std::uint8_t* src = b.data() + offset + stride * (top_down ? row : height - 1 - row);
    std::uint8_t* dst = rgb_.data() + row * width * 3;
    for (long long x = 0; x < width; ++x, dst += 3) {
      const std::uint8_t* bgr;
      if (bits >= 24) {
        bgr = src + x * (bits / 8);
      } else {
        const unsigned per_byte = 8 / bits;
        const unsigned shift = (per_byte - 1 - x % per_byte) * bits;
        const std::size_t index = (src[x / per_byte] >> shift) & ((1u << bits) - 1);
        static constexpr std::uint8_t kBlack[3] = {0, 0, 0};
        bgr = index * 3 < palette.size() ? palette.data() + index * 3 : kBlack;
      }
      dst[0] = bgr[2];
      dst[1] = bgr[1];
      dst[2] = bgr[0];
    }
  }
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  source_ = host_path;
  return true;
}

}  // namespace kvor::printer
