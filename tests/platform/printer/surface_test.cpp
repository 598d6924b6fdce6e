#include <gtest/gtest.h>

#include "platform/printer/printer_set.h"
#include "platform/printer/recording.h"
#include "platform/printer/surface.h"

namespace kvor::printer {
namespace {

constexpr double kMonoAdvance = 1229.0 / 2048;  // of an em
constexpr double kMonoLine = 2320.0 / 2048;

// One job on the set's test printer, which records each page's text runs and renders them as text.
TEST(SurfacePages, ColumnsAndLinesFollowTheCurrentFontAndPositionAndPagesAreRecordedAsText) {
  PrinterSet set("/tmp/kvor-printer-unused", false);
  set.AddRecordingPrinter("KVOR TEST");
  EXPECT_EQ(set.Open("NO SUCH PRINTER"), nullptr);
  auto opened = set.Open("KVOR TEST");
  ASSERT_NE(opened, nullptr);
  Surface& s = *opened;
  const RecordedJob& job = *set.RecordedJobs("KVOR TEST").at(0);
  s.SetFontSize(10);
  s.Print(10, "ABC", false);
  EXPECT_NEAR(job.texts.at(0).x, 1200, 0.5);  // 12 characters an inch
  EXPECT_DOUBLE_EQ(s.CurrentY(), 0);          // no advance

  // A tab to a column the line has already passed goes to that column on the next line, as a
  // printer's tab does: one line of the current font down. A bold 12-point line then advances by
  // the line height of 12 points; bold keeps the mono width.
  s.Print(13, "D", false);  // just after ABC: the same line
  s.SetFontSize(12);
  s.SetFontBold(true);
  s.Print(0, "X", true);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 2 * kMonoLine * 240);
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), kMonoAdvance * 240);

  // A proportional font's column is its average width, wider in bold.
  s.SetFontName("ms sans serif");
  EXPECT_EQ(s.FontName(), "MS SANS SERIF");
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), 1255.0 / 2048 * 240);
  s.SetFontBold(false);
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), 1208.0 / 2048 * 240);
  s.Print(5, "Y", true);
  EXPECT_DOUBLE_EQ(job.texts.at(3).x, 5 * 1208.0 / 2048 * 240);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 2 * kMonoLine * 240 + 2288.0 / 2048 * 240);

  // A line from a set position, which starts a new line; an empty line still advances and draws
  // nothing.
  s.SetFontName("COURIER NEW");
  s.SetFontSize(8);
  s.Print(20, "slut", false);
  s.SetCurrentY(1500);
  s.Print(3, "rad", true);
  s.Print(3, "", true);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 1500 + 2 * kMonoLine * 160);

  // An unknown font leaves the name as it was; invalid values raise faults, and so does a change
  // of orientation within the document.
  s.SetFontName("WINGDINGS");
  EXPECT_EQ(s.FontName(), "COURIER NEW");
  EXPECT_THROW(s.SetFontSize(0), Fault);
  EXPECT_THROW(s.SetOrientation(3), Fault);
  try {
    s.SetOrientation(2);
    FAIL() << "orientation changed within the document";
  } catch (const Fault& f) {
    EXPECT_EQ(f.Number(), kSetWithinPage);
  }

  // A new page starts at its top; a break at the very end adds no empty sheet.
  s.NewPage();
  EXPECT_DOUBLE_EQ(s.CurrentY(), 0);
  s.Print(4, "sida 2", true);
  s.NewPage();
  s.EndDoc();
  EXPECT_EQ(s.Pages(), 2);
  EXPECT_TRUE(job.ended);
  EXPECT_EQ(job.PageText(1), "          ABCD\nX\n     Y\n                    slut\n   rad\n");
  EXPECT_EQ(job.PageText(2), "    sida 2\n");

  // A job dropped unfinished is aborted.
  auto dropped = std::make_shared<RecordedJob>();
  Surface(std::make_unique<RecordingBackend>(dropped)).Print(0, "A", true);
  EXPECT_TRUE(dropped->aborted);
  EXPECT_FALSE(dropped->ended);
}

}  // namespace
}  // namespace kvor::printer
