#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "platform/printer/picture.h"
#include "test_files.h"

namespace kvor::printer {
namespace {

using test_files::Bmp;
using test_files::FreshFolder;
using test_files::WriteFile;

std::vector<std::uint8_t> Pixel(const Picture& p, int x, int y) {
  const auto* at = p.Rgb().data() + (y * p.Width() + x) * 3;
  return {at[0], at[1], at[2]};
}

TEST(PictureLoad, ReadsTrueColourAndPalettePicturesAndRefusesDamagedOnes) {
  const FreshFolder dir;
  // 3 x 2 pixels: the row padding and the bottom-up order both matter.
  WriteFile(dir + "/rgb.bmp",
            Bmp(3, 2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFFFFFF, 0x123456}));
  WriteFile(dir + "/pal.bmp", Bmp(3, 2, 8, {0, 1, 2, 2, 1, 0}, {0x000000, 0xFFFFFF, 0x00A0B0C0}));

  Picture p;
  std::string error;
  ASSERT_TRUE(p.Load(dir + "/rgb.bmp", error)) << error;
  EXPECT_EQ(p.Width(), 3);
  EXPECT_EQ(p.Height(), 2);
  EXPECT_EQ(Pixel(p, 0, 0), (std::vector<std::uint8_t>{0xFF, 0, 0}));
  EXPECT_EQ(Pixel(p, 2, 0), (std::vector<std::uint8_t>{0, 0, 0xFF}));
  EXPECT_EQ(Pixel(p, 2, 1), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_NEAR(p.WidthTwips(), 3 * 15, 0.1);  // 96 dpi: 15 twips a pixel

  ASSERT_TRUE(p.Load(dir + "/pal.bmp", error)) << error;
  EXPECT_EQ(Pixel(p, 1, 0), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Pixel(p, 0, 1), (std::vector<std::uint8_t>{0xA0, 0xB0, 0xC0}));

  // Missing or damaged files give a reason.
  EXPECT_FALSE(p.Load(dir + "/none.bmp", error));
  EXPECT_NE(error.find("none.bmp"), std::string::npos);

  WriteFile(dir + "/text.bmp", "hej");
  EXPECT_FALSE(p.Load(dir + "/text.bmp", error));
  EXPECT_NE(error.find(" ingen läsbar BMP-bild: "_w), std::string::npos);

  // Every cut-short prefix of a good picture is refused without reading past its end.
  const auto good = Bmp(5, 4, 8, std::vector<std::uint32_t>(20, 1), {0, 0xFFFFFF});
  for (std::size_t n = 0; n < good.size(); ++n) {
    WriteFile(dir + "/short.bmp", good.substr(0, n));
    error.clear();
    EXPECT_FALSE(p.Load(dir + "/short.bmp", error)) << n << " bytes";
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(p.Empty());
  }

  // An absurd size in the header is refused, not allocated.
  auto huge = Bmp(1, 1, 24, {0});
  huge.replace(18, 4, "\xFF\xFF\xFF\x7F");
  WriteFile(dir + "/huge.bmp", huge);
  EXPECT_FALSE(p.Load(dir + "/huge.bmp", error));
}

}  // namespace
}  // namespace kvor::printer
