// Pictures read from BMP files, and the KVOR PDF printer's files read back with the system's PDF
// and barcode tools.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QBuffer>
#include <QImage>

#include <csignal>
#include <cstdint>

#include <filesystem>
#include <regex>

#include "common/cp1252.h"
#include "platform/printer/picture.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/qt_backends.h"
#include "platform/printer/recording.h"
#include "support/run_program.h"

namespace kvor::printer {
namespace {

using test::WriteFile;

// A picture in BMP form as Qt writes it, 96 dpi: 24 bits a pixel (pixels as 0xRRGGBB, top row
// first), or 8 bits indexing the palette when there is one.
std::string Bmp(int width, int height, const std::vector<QRgb>& pixels,
                const QList<QRgb>& palette = {}) {
  QImage image(width, height, palette.empty() ? QImage::Format_RGB888 : QImage::Format_Indexed8);
  image.setColorTable(palette);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  for (int i = 0; i < width * height; ++i) image.setPixel(i % width, i / width, pixels[i]);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes.toStdString();
}

// An empty temporary folder, removed with what it holds when the test is done.
struct FreshFolder {
  ~FreshFolder() { std::filesystem::remove_all(path); }
  operator const std::string&() const { return path; }
  std::string operator+(const char* tail) const { return path + tail; }
  const std::string path = kvor::test::TempFolder();
};

// Standard output of one of the system's PDF tools.
std::string RunTool(const std::string& tool, const std::vector<std::string>& args) {
  const FreshFolder out;
  return test::RunProgram("/usr/bin/" + tool, args, out).out;
}

std::vector<std::uint8_t> Pixel(const Picture& p, int x, int y) {
  const auto* at = p.Rgb().data() + (y * p.Width() + x) * 3;
  return {at[0], at[1], at[2]};
}

TEST(PictureLoad, ReadsTrueColourAndPalettePicturesAndRefusesDamagedOnes) {
  const FreshFolder dir;
  // 3 x 2 pixels: the row padding and the bottom-up order both matter.
  WriteFile(dir + "/rgb.bmp",
            Bmp(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFFFFFF, 0x123456}));
  WriteFile(dir + "/pal.bmp", Bmp(3, 2, {0, 1, 2, 2, 1, 0}, {0x000000, 0xFFFFFF, 0x00A0B0C0}));

  Picture p;
  std::string error;
  ASSERT_TRUE(p.Load(dir + "/rgb.bmp", error)) << error;
  EXPECT_EQ(p.Height(), 2);
  EXPECT_EQ(Pixel(p, 2, 1), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_NEAR(p.WidthTwips(), 3 * 15, 0.1);  // 96 dpi: 15 twips a pixel
  ASSERT_TRUE(p.Load(dir + "/pal.bmp", error)) << error;
  EXPECT_EQ(Pixel(p, 0, 1), (std::vector<std::uint8_t>{0xA0, 0xB0, 0xC0}));

  // Every cut-short prefix of a good picture is refused with a reason, without reading past its
  // end.
  const auto good = Bmp(5, 4, std::vector<QRgb>(20, 1), {0, 0xFFFFFF});
  for (std::size_t n = 0; n < good.size(); ++n) {
    WriteFile(dir + "/short.bmp", good.substr(0, n));
    error.clear();
    EXPECT_FALSE(p.Load(dir + "/short.bmp", error)) << n << " bytes";
    EXPECT_NE(error.find(" ingen läsbar BMP-bild: "_w), std::string::npos) << n << " bytes";
    EXPECT_TRUE(p.Empty());
  }

  // An absurd size in the header is refused, not allocated.
  auto huge = Bmp(1, 1, {0});
  huge.replace(18, 4, "\xFF\xFF\xFF\x7F");
  WriteFile(dir + "/huge.bmp", huge);
  EXPECT_FALSE(p.Load(dir + "/huge.bmp", error));
}

// 2026-12-05 14:30:12 in the machine's local time.
std::time_t JobTime() {
  std::tm t{};
  strptime("2026-12-05 14:30:12", "%Y-%m-%d %H:%M:%S", &t);
  t.tm_isdst = -1;
  return std::mktime(&t);
}

// Left edge in points of the first word of that text in pdftotext -bbox output.
double WordLeft(const std::string& boxes, const std::string& word) {
  std::smatch m;
  if (!std::regex_search(boxes, m, std::regex("xMin=\"([0-9.]+)\"[^>]*>" + word + "<"))) return -1;
  return std::stod(m[1]);
}

TEST(PdfOutput, InvoicePageHasItsTextAtItsColumnsAndItsPictureAndNeverOverwritesAnEarlierFile) {
  const FreshFolder dir;
  WriteFile(dir + "/LOGGA.BMP", Bmp(4, 2, std::vector<QRgb>(8, 0xFF0000)));
  Picture logo;
  std::string error;
  ASSERT_TRUE(logo.Load(dir + "/LOGGA.BMP", error)) << error;

  PrinterSet set(dir + "/UTSKRIFT", false);
  set.SetClock(JobTime);
  auto s = set.Open("KVOR PDF", {"FAKTURA", "001F000123"});
  ASSERT_NE(s, nullptr);
  s->SetFontName("COURIER NEW");
  s->SetFontSize(10);
  s->SetCurrentY(2000);
  s->Print(5, "Fakturanr", false);
  s->Print(40, "000123", true);
  s->Print(5, "Öppet köp"_w, true);
  s->PaintPicture(logo, 400, 200, 5000, 1000);
  s->EndDoc();
  // Later jobs of the same name never overwrite an earlier file; an aborted job leaves none.
  for (const std::string job : {"2", "3", "aborted"}) {
    auto later = set.Open("KVOR PDF", {"FAKTURA", "001F000123"});
    later->Print(0, "Jobb " + job, true);
    job == "aborted" ? later->Abort() : later->EndDoc();
  }
  const std::string name = dir + "/UTSKRIFT/FAKTURA-001F000123-20261205-143012";
  EXPECT_EQ(s->OutputPath(), name + ".pdf");
  for (const std::string job : {"2", "3"})
    EXPECT_EQ(RunTool("pdftotext", {name + "-" + job + ".pdf", "-"}), "Jobb " + job + "\n\n\f");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir + "/UTSKRIFT"), {}), 3);

  const std::string path = s->OutputPath();
  const std::string info = RunTool("pdfinfo", {path});
  EXPECT_TRUE(
      std::regex_search(info, std::regex("Page size: *595[.0-9]* x 84[12][.0-9]* pts \\(A4\\)")))
      << info;
  // The words at their columns, the Swedish letters intact: column n is n x 1229/2048 of 10
  // points from the printable area's left edge, which lies kPdfMarginPoints inside the sheet.
  const std::string boxes = RunTool("pdftotext", {"-bbox", path, "-"});
  for (const auto& [word, column] :
       {std::pair<std::string, int>{"Fakturanr", 5}, {"000123", 40}, {"Öppet", 5}})
    EXPECT_NEAR(WordLeft(boxes, word), kPdfMarginPoints + column * 1229.0 / 2048 * 10, 0.3)
        << word << boxes;
  const std::string fonts = RunTool("pdffonts", {path});
  EXPECT_TRUE(std::regex_search(fonts, std::regex("LiberationMono[^\n]* yes "))) << fonts;

  // The top left of the printable area at 72 dpi, 20 twips a pixel, each pixel's red, green and
  // blue reduced to 0 or 1 as the renderer's colour handling may shift a step: the picture fills
  // its rectangle.
  const std::string margin = std::to_string(static_cast<int>(kPdfMarginPoints));
  const std::string ppm =
      RunTool("pdftoppm", {"-r", "72", "-x", margin, "-y", margin, "-W", "300", "-H", "70", path});
  auto at = [&](int x, int y) {  // twips from the printable area's corner
    if (ppm.size() < 3 * 300 * 70) return std::string("no page");
    const std::size_t pixel = ppm.size() - 3 * (300 * 70 - (y / 20 * 300 + x / 20));
    std::string rgb;
    for (std::size_t i = pixel; i < pixel + 3; ++i)
      rgb += static_cast<unsigned char>(ppm[i]) >= 128 ? '1' : '0';
    return rgb;
  };
  EXPECT_EQ(at(2900, 700), "100");   // inside the picture
  EXPECT_EQ(at(5300, 1100), "100");  // near its far corner
  EXPECT_EQ(at(5600, 700), "111");   // beside it
}

// A destination that cannot be written raises a fault and keeps no file: a file where the folder
// should be made fails the first output (settings before it do not write); the file size limit of
// the process, standing in for a full disk, fails a later write.
TEST(PdfOutput, AnUnwritableDestinationRaisesAFaultAndLeavesNoFile) {
  const FreshFolder dir;
  WriteFile(dir + "/taken", "x");
  PrinterSet unmade(dir + "/taken/UTSKRIFT", false);
  auto s = unmade.Open("KVOR PDF", {"FAKTURA", "001F000123"});
  s->SetOrientation(1);
  s->SetFontName("COURIER NEW");
  try {
    s->Print(0, "Rad", true);
    FAIL() << "no fault";
  } catch (const Fault& f) {
    EXPECT_EQ(f.Number(), kPathNotFound);
    EXPECT_NE(f.Description().find("taken/UTSKRIFT"), std::string::npos) << f.Description();
  }
  EXPECT_NO_THROW(s->EndDoc());
  EXPECT_EQ(s->Pages(), 0);

  PrinterSet set(dir + "/full", false);
  s = set.Open("KVOR PDF", {"FAKTURA", ""});
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  int number = 0;
  try {
    for (int page = 0; page < 20; ++page) {
      if (page > 0) s->NewPage();
      for (int row = 0; row < 60; ++row) s->Print(0, "Rad " + std::to_string(row), true);
    }
    s->EndDoc();
  } catch (const Fault& f) {
    number = f.Number();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_NE(number, 0) << "no fault";
  EXPECT_THROW(s->Print(0, "Rad", true), Fault);  // the failed job refuses more output
  EXPECT_TRUE(std::filesystem::is_empty(dir + "/full"));
}

}  // namespace
}  // namespace kvor::printer
