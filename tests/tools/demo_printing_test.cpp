// The pictures of kvor demo, read back from a freshly written installation: each picture by its
// own header and again by an independent reader.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "demo.h"
#include "demo_printing.h"
#include "support/run_program.h"

namespace kvor::test {
namespace {

uint32_t Le(const std::string& bytes, std::size_t at, int width) {
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

// A BMP file's header fields and pixels, as our writer is meant to lay them out.
struct Bitmap {
  explicit Bitmap(const std::string& file) : bytes(file) {}
  uint32_t At(std::size_t offset, int width) const { return Le(bytes, offset, width); }
  int Width() const { return static_cast<int>(At(18, 4)); }
  int Height() const { return static_cast<int>(At(22, 4)); }
  uint32_t RowSize() const { return (static_cast<uint32_t>(Width()) * 3 + 3) / 4 * 4; }
  // The pixel at (x, y) counted from the top: the file holds the bottom row first.
  demo::Rgb Pixel(int x, int y) const {
    const std::size_t p = At(10, 4) + (Height() - 1 - y) * RowSize() + x * 3;
    return {static_cast<uint8_t>(bytes[p + 2]), static_cast<uint8_t>(bytes[p + 1]),
            static_cast<uint8_t>(bytes[p])};
  }
  std::size_t Colours() const {
    std::set<uint32_t> seen;
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) {
        const demo::Rgb p = Pixel(x, y);
        seen.insert(p.r << 16 | p.g << 8 | p.b);
      }
    return seen.size();
  }
  std::string bytes;
};

class DemoPrinting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(TempFolder());
    std::string error;
    ASSERT_TRUE(demo::WriteInstallation(*dir_, error)) << error;
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*dir_);
    delete dir_;
  }
  static std::string Picture(const std::string& name) {
    return ReadFile(*dir_ + "/C/KVOR/BILDER/" + name + ".BMP");
  }
  static std::string* dir_;
};

std::string* DemoPrinting::dir_ = nullptr;

TEST_F(DemoPrinting, PicturesAreUncompressed24BitBottomUpBitmapsOfTheirSize) {
  const struct {
    const char* name;
    int width, height;
  } expected[] = {{"001LOGGA", 500, 100}, {"001FOTEN", 1070, 65}, {"KD5630", 100, 100}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const Bitmap bmp(Picture(e.name));
    ASSERT_GE(bmp.bytes.size(), 54u);
    EXPECT_EQ(bmp.bytes.substr(0, 2), "BM");
    EXPECT_EQ(bmp.At(2, 4), bmp.bytes.size());
    EXPECT_EQ(bmp.At(14, 4), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(bmp.Width(), e.width);
    EXPECT_EQ(bmp.Height(), e.height);  // positive: bottom-up
    EXPECT_EQ(bmp.At(28, 2), 24u);
    EXPECT_EQ(bmp.At(30, 4), 0u);
    EXPECT_EQ(bmp.At(34, 4), bmp.RowSize() * e.height);
    EXPECT_EQ(bmp.bytes.size(), 54 + bmp.RowSize() * e.height);  // no palette
    EXPECT_GE(bmp.Colours(), 2u);
    // The pixels as we lay them out, pixel for pixel through a reader that is not ours.
    QImage read;
    ASSERT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(bmp.bytes.data()),
                                  static_cast<int>(bmp.bytes.size()), "BMP"));
    ASSERT_EQ(read.size(), QSize(e.width, e.height));
    int differing = 0;
    for (int y = 0; y < e.height; ++y)
      for (int x = 0; x < e.width; ++x) {
        const demo::Rgb p = bmp.Pixel(x, y);
        differing += read.pixel(x, y) != qRgb(p.r, p.g, p.b);
      }
    EXPECT_EQ(differing, 0);
  }
}

// The drawings are the right way up: a frame around the logo, the foot's line near its top edge,
// and a round mark whose corners stay blank.
TEST_F(DemoPrinting, PicturesShowTheirShapesTheRightWayUp) {
  const demo::Rgb white{255, 255, 255};
  const Bitmap logo(Picture("001LOGGA"));
  EXPECT_NE(logo.Pixel(0, 0), white);
  EXPECT_EQ(logo.Pixel(250, 6), white);  // inside the frame, above the boards
  const Bitmap foot(Picture("001FOTEN"));
  const demo::Rgb band = foot.Pixel(500, 40);
  EXPECT_NE(foot.Pixel(500, 7), band);  // the line runs near the top, not the bottom
  EXPECT_EQ(foot.Pixel(500, 57), band);
  const Bitmap mark(Picture("KD5630"));
  for (const auto& [x, y] : {std::pair{0, 0}, {99, 0}, {0, 99}, {99, 99}})
    EXPECT_EQ(mark.Pixel(x, y), white) << x << "," << y;
  const demo::Rgb ring = mark.Pixel(50, 4);
  EXPECT_NE(ring, white);
  EXPECT_NE(mark.Pixel(50, 10), ring);  // inside the ring the disc is pale
  EXPECT_EQ(mark.Pixel(50, 25), ring);  // the spruce's crown, near the top of the disc
}

}  // namespace
}  // namespace kvor::test
