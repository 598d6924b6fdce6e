#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <regex>

#include "common/cp1252.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/qt_backends.h"
#include "platform/printer/recording.h"
#include "test_files.h"

namespace kvor::printer {
namespace {

using test_files::Bmp;
using test_files::FreshFolder;
using test_files::RunTool;
using test_files::WriteFile;

// 2026-12-05 14:30:12 in the machine's local time.
std::time_t JobTime() {
  std::tm t{};
  strptime("2026-12-05 14:30:12", "%Y-%m-%d %H:%M:%S", &t);
  t.tm_isdst = -1;
  return std::mktime(&t);
}

std::string PdfInfo(const std::string& path, const std::string& field) {
  std::smatch m;
  const std::string info = RunTool("pdfinfo " + path);
  if (std::regex_search(info, m, std::regex(field + ": *([^\n]*)"))) return m[1];
  return "(no " + field + " in pdfinfo output)";
}

// Left edge in points of the first word of that text in pdftotext -bbox output.
double WordLeft(const std::string& boxes, const std::string& word) {
  std::smatch m;
  if (!std::regex_search(boxes, m, std::regex("xMin=\"([0-9.]+)\"[^>]*>" + word + "<"))) return -1;
  return std::stod(m[1]);
}

TEST(PdfOutput, InvoicePageHasTextPictureAndAScannableBarcode) {
  const FreshFolder dir;
  WriteFile(dir + "/LOGGA.BMP", Bmp(4, 2, 24, std::vector<std::uint32_t>(8, 0xFF0000)));
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
  s->SetCurrentY(4000);
  s->SetFontName("FREE 3 OF 9 REGULAR");
  ASSERT_EQ(s->FontName(), "FREE 3 OF 9 REGULAR");
  s->SetFontSize(40);
  s->Print(10, "*000123*", true);
  s->EndDoc();

  const std::string path = s->OutputPath();
  EXPECT_EQ(std::filesystem::path(path).filename(), "FAKTURA-001F000123-20261205-143012.pdf");
  EXPECT_TRUE(std::regex_match(PdfInfo(path, "Page size"),
                               std::regex("595[.0-9]* x 84[12][.0-9]* pts \\(A4\\)")))
      << PdfInfo(path, "Page size");

  const std::string text = RunTool("pdftotext -layout " + path + " -");
  EXPECT_TRUE(std::regex_search(text, std::regex("Fakturanr +000123"))) << text;
  EXPECT_NE(text.find("Öppet köp"), std::string::npos) << text;  // UTF-8 from pdftotext
  // The words at their columns: column n is n x 1229/2048 of 10 points from the printable area's
  // left edge, which lies kPdfMarginPoints inside the sheet.
  const std::string boxes = RunTool("pdftotext -bbox " + path + " -");
  EXPECT_NEAR(WordLeft(boxes, "Fakturanr"), kPdfMarginPoints + 5 * 1229.0 / 2048 * 10, 0.3)
      << boxes;
  EXPECT_NEAR(WordLeft(boxes, "000123"), kPdfMarginPoints + 40 * 1229.0 / 2048 * 10, 0.3) << boxes;
  const std::string fonts = RunTool("pdffonts " + path);
  EXPECT_TRUE(std::regex_search(fonts, std::regex("LiberationMono[^\n]* yes "))) << fonts;

  // The page at 300 dpi: the barcode decodes, the picture fills its rectangle.
  const std::string image = dir + "/page";
  RunTool("pdftoppm -r 300 -singlefile " + path + " " + image);
  EXPECT_NE(RunTool("zbarimg -q " + image + ".ppm").find("CODE-39:000123"), std::string::npos);

  std::ifstream ppm(image + ".ppm", std::ios::binary);
  std::string magic;
  int width = 0, height = 0, max = 0;
  ppm >> magic >> width >> height >> max;
  ppm.get();
  ASSERT_EQ(magic, "P6");
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
  ppm.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
  // Twips from the printable area's corner to pixels at 300 dpi.
  const double inset = 20 * kPdfMarginPoints;
  auto at = [&](double x, double y) {
    const std::size_t i =
        (static_cast<std::size_t>((y + inset) * 300 / 1440) * width + (x + inset) * 300 / 1440) * 3;
    // Red, green and blue reduced to 0 or 1, as the renderer's colour handling may shift a step.
    return std::vector<int>{pixels[i] / 128, pixels[i + 1] / 128, pixels[i + 2] / 128};
  };
  EXPECT_EQ(at(2900, 700), (std::vector<int>{1, 0, 0}));   // inside the picture
  EXPECT_EQ(at(5300, 1100), (std::vector<int>{1, 0, 0}));  // near its far corner
  EXPECT_EQ(at(5600, 700), (std::vector<int>{1, 1, 1}));   // beside it
}

TEST(PdfOutput, EarlierFilesAreNeverOverwrittenAndAnAbortedJobLeavesNone) {
  const FreshFolder dir;
  PrinterSet set(dir, false);
  set.SetClock(JobTime);
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    auto s = set.Open("KVOR PDF", {"FAKTURA", ""});
    s->Print(0, "Jobb " + std::to_string(i), true);
    s->EndDoc();
    names.push_back(std::filesystem::path(s->OutputPath()).filename());
    EXPECT_EQ(PdfInfo(s->OutputPath(), "Pages"), "1");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"FAKTURA-20261205-143012.pdf",
                                             "FAKTURA-20261205-143012-2.pdf",
                                             "FAKTURA-20261205-143012-3.pdf"}));
  EXPECT_NE(RunTool("pdftotext " + dir.path + "/FAKTURA-20261205-143012.pdf -").find("Jobb 0"),
            std::string::npos);

  auto aborted = set.Open("KVOR PDF", {"FAKTURA", ""});
  aborted->Print(0, "Rad", true);
  aborted->Abort();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 3);
}

TEST(PdfOutput, AnUnwritableFolderRaisesAFaultAtTheFirstOutput) {
  const FreshFolder dir;
  WriteFile(dir + "/taken", "x");  // a file where the folder should be made
  PrinterSet set(dir + "/taken/UTSKRIFT", false);
  auto s = set.Open("KVOR PDF", {"FAKTURA", "001F000123"});
  s->SetOrientation(1);  // settings before the first output do not write
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
}

// The file size limit of the process stands in for a full disk: writes past it fail.
TEST(PdfOutput, AFailedWriteRaisesAFaultAndLeavesNoFile) {
  const FreshFolder dir;
  PrinterSet set(dir, false);
  auto s = set.Open("KVOR PDF", {"FAKTURA", ""});
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
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

}  // namespace
}  // namespace kvor::printer
