// The pictures of kvor demo, read back from a freshly written installation by a reader that is
// not ours: each has its size, and its drawing is the right way up.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "demo.h"
#include "support/run_program.h"

namespace kvor::test {
namespace {

TEST(DemoPictures, AreBitmapsOfTheirSizeShowingTheirShapesTheRightWayUp) {
  const std::string dir = TempFolder();
  std::string error;
  ASSERT_TRUE(demo::WriteInstallation(dir, error)) << error;
  const auto picture = [&](const char* name, int width, int height) {
    QImage image;
    EXPECT_TRUE(image.load(QString::fromStdString(dir + "/C/KVOR/BILDER/" + name + ".BMP"), "BMP"))
        << name;
    EXPECT_EQ(image.size(), QSize(width, height)) << name;
    return image;
  };
  const QRgb white = qRgb(255, 255, 255);
  // A frame around the logo, the foot's line near its top edge, and a round mark whose corners
  // stay blank.
  const QImage logo = picture("001LOGGA", 500, 100);
  EXPECT_NE(logo.pixel(0, 0), white);
  EXPECT_EQ(logo.pixel(250, 6), white);  // inside the frame, above the boards
  const QImage foot = picture("001FOTEN", 1070, 65);
  const QRgb band = foot.pixel(500, 40);
  EXPECT_NE(foot.pixel(500, 7), band);  // the line runs near the top, not the bottom
  EXPECT_EQ(foot.pixel(500, 57), band);
  const QImage mark = picture("KD5630", 100, 100);
  for (const auto& [x, y] : {std::pair{0, 0}, {99, 0}, {0, 99}, {99, 99}})
    EXPECT_EQ(mark.pixel(x, y), white) << x << "," << y;
  const QRgb ring = mark.pixel(50, 4);
  EXPECT_NE(ring, white);
  EXPECT_NE(mark.pixel(50, 10), ring);  // inside the ring the disc is pale
  EXPECT_EQ(mark.pixel(50, 25), ring);  // the spruce's crown, near the top of the disc
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kvor::test
