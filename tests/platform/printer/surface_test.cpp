#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/printer/printer_set.h"
#include "platform/printer/recording.h"
#include "platform/printer/surface.h"

namespace kvor::printer {
namespace {

using ::testing::ElementsAre;

constexpr double kMonoAdvance = 1229.0 / 2048;  // of an em
constexpr double kMonoLine = 2320.0 / 2048;

struct RecordedSurface {
  std::shared_ptr<RecordedJob> job = std::make_shared<RecordedJob>();
  Surface surface{std::make_unique<RecordingBackend>(job)};
};

TEST(SurfaceColumns, ColumnsAndLinesFollowTheCurrentFontAndPosition) {
  RecordedSurface r;
  Surface& s = r.surface;
  s.SetFontSize(10);
  s.Print(10, "ABC", false);
  EXPECT_NEAR(r.job->texts.at(0).x, 1200, 0.5);  // 12 characters an inch
  EXPECT_DOUBLE_EQ(s.CurrentY(), 0);             // no advance

  // A tab to a column the line has already passed goes to that column on the next line, as a
  // printer's tab does: one line of the current font down. A bold 12-point line then advances by
  // the line height of 12 points; bold keeps the mono width.
  s.Print(13, "D", false);  // just after ABC: the same line
  s.SetFontSize(12);
  s.SetFontBold(true);
  s.Print(0, "X", true);
  EXPECT_EQ(r.job->texts.at(1).y, 0);
  EXPECT_DOUBLE_EQ(r.job->texts.at(2).y, kMonoLine * 240);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 2 * kMonoLine * 240);
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), kMonoAdvance * 240);

  // A proportional font's column is its average width, wider in bold.
  s.SetFontName("ms sans serif");
  EXPECT_EQ(s.FontName(), "MS SANS SERIF");
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), 1255.0 / 2048 * 240);
  s.SetFontBold(false);
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), 1208.0 / 2048 * 240);
  s.Print(5, "Y", true);
  EXPECT_DOUBLE_EQ(r.job->texts.at(3).x, 5 * 1208.0 / 2048 * 240);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 2 * kMonoLine * 240 + 2288.0 / 2048 * 240);

  // Code 39: one symbol of 16 modules a character, 17 twips a module at 40 points.
  s.SetFontName("FREE 3 OF 9 REGULAR");
  s.SetFontSize(40);
  EXPECT_DOUBLE_EQ(s.ColumnWidth(), 272);

  // A line from a set position, which starts a new line; an empty line still advances and draws
  // nothing.
  s.SetFontName("COURIER NEW");
  s.SetFontSize(8);
  s.Print(20, "slut", false);
  s.SetCurrentY(1500);
  s.Print(3, "rad", true);
  s.Print(3, "", true);
  EXPECT_DOUBLE_EQ(s.CurrentY(), 1500 + 2 * kMonoLine * 160);
  ASSERT_EQ(r.job->texts.size(), 6u);
  EXPECT_EQ(r.job->texts[5].y, 1500);
}

// An unknown or hidden font leaves the name as it was; invalid values raise faults.
TEST(SurfaceFonts, UnknownFontsAndInvalidValues) {
  auto job = std::make_shared<RecordedJob>();
  Surface s(std::make_unique<RecordingBackend>(job), {"FREE 3 OF 9 REGULAR"});
  s.SetFontName("FREE 3 OF 9 REGULAR");
  EXPECT_EQ(s.FontName(), "COURIER NEW");
  s.SetFontName("WINGDINGS");
  EXPECT_EQ(s.FontName(), "COURIER NEW");
  s.SetFontName("Free 3 of 9 Extended");
  EXPECT_EQ(s.FontName(), "FREE 3 OF 9 EXTENDED");

  RecordedSurface r;
  EXPECT_THROW(r.surface.SetFontSize(0), Fault);
  EXPECT_THROW(r.surface.SetOrientation(3), Fault);
  r.surface.SetOrientation(2);
  r.surface.Print(0, "A", true);
  try {
    r.surface.SetOrientation(1);
    FAIL() << "orientation changed within the document";
  } catch (const Fault& f) {
    EXPECT_EQ(f.Number(), kSetWithinPage);
  }
  EXPECT_EQ(r.job->orientation, 2);
}

TEST(SurfacePages, PagesAreCountedAndRenderedAsText) {
  RecordedSurface r;
  Surface& s = r.surface;
  EXPECT_EQ(s.Pages(), 0);
  s.Print(0, "FAKTURA", false);
  s.Print(20, "Nr 123", true);
  s.Print(2, "rad 1", true);
  s.NewPage();
  EXPECT_DOUBLE_EQ(s.CurrentY(), 0);
  s.Print(4, "sida 2", true);
  s.NewPage();  // a break at the very end adds no empty sheet
  s.EndDoc();
  EXPECT_EQ(s.Pages(), 2);
  EXPECT_EQ(r.job->pages, 2);
  EXPECT_TRUE(r.job->ended);
  EXPECT_EQ(r.job->PageText(1), "FAKTURA             Nr 123\n  rad 1\n");
  EXPECT_EQ(r.job->PageText(2), "    sida 2\n");

  // A job that drew nothing sends nothing; one dropped unfinished is aborted.
  for (bool drew : {false, true}) {
    auto job = std::make_shared<RecordedJob>();
    {
      Surface unfinished(std::make_unique<RecordingBackend>(job));
      if (drew)
        unfinished.Print(0, "A", true);
      else
        unfinished.EndDoc();
    }
    EXPECT_EQ(job->aborted, drew);
    EXPECT_FALSE(job->ended);
  }
}

// A backend whose destination fails at the given operation.
class FailingBackend : public Backend {
 public:
  FailingBackend(std::string failing, int* aborts)
      : failing_(std::move(failing)), aborts_(aborts) {}
  void BeginDocument(int) override { Fail("begin"); }
  void NewPage() override { Fail("page"); }
  void DrawText(const TextRun&) override { Fail("text"); }
  void DrawPicture(const PictureRun&, const Picture&) override { Fail("picture"); }
  void EndDocument() override { Fail("end"); }
  void Abort() noexcept override { ++*aborts_; }

 private:
  void Fail(const std::string& op) {
    if (op == failing_) throw Fault(kPrinterError, "queue refused " + op);
  }
  std::string failing_;
  int* aborts_;
};

TEST(SurfaceFaults, BackendFaultsReachTheCallerOfTheStep) {
  for (const std::string op : {"begin", "text", "page", "end"}) {
    int aborts = 0;
    Surface s(std::make_unique<FailingBackend>(op, &aborts));
    try {
      s.Print(0, "A", true);
      s.NewPage();
      s.Print(0, "B", true);
      s.EndDoc();
      ADD_FAILURE() << "no fault for " << op;
    } catch (const Fault& f) {
      EXPECT_EQ(f.Number(), kPrinterError);
      EXPECT_EQ(f.Description(), "queue refused " + op);
    }
    // A fault within a begun document drops it; further output is refused until EndDoc.
    EXPECT_EQ(aborts, op == "text" || op == "page" ? 1 : 0) << op;
    if (op == "text" || op == "page") {
      EXPECT_THROW(s.Print(0, "B", true), Fault) << op;
      EXPECT_NO_THROW(s.EndDoc()) << op;
    }
  }
}

TEST(PrinterSetList, PdfPrinterIsAlwaysOfferedAndTestPrintersRecord) {
  PrinterSet set("/tmp/kvor-printer-unused", false);
  EXPECT_THAT(set.DeviceNames(), ElementsAre("KVOR PDF"));
  set.AddRecordingPrinter("KVOR TEST");
  EXPECT_THAT(set.DeviceNames(), ElementsAre("KVOR PDF", "KVOR TEST"));
  EXPECT_EQ(set.Open("NO SUCH PRINTER"), nullptr);
  auto surface = set.Open("KVOR TEST");
  ASSERT_NE(surface, nullptr);
  surface->Print(1, "hej", true);
  surface->EndDoc();
  ASSERT_EQ(set.RecordedJobs("KVOR TEST").size(), 1u);
  EXPECT_EQ(set.RecordedJobs("KVOR TEST")[0]->PageText(1), " hej\n");
}

}  // namespace
}  // namespace kvor::printer
