// Printing tests on a sample installation: the program's printer routines and the print run
// called directly, the jobs going to an in-memory printer or to KVOR PDF, messages answered by the
// scripted user and read from the transcript.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "core/context.h"
#include "frame/frame.h"
#include "platform/printer/fonts.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/qt_backends.h"
#include "platform/printer/recording.h"
#include "platform/printer/surface.h"
#include "printing/invoice_page.h"
#include "printing/page_engine.h"
#include "printing/print_run.h"
#include "printing/printer_choice.h"
#include "registers/database.h"
#include "registers/readers.h"
#include "settings/settings.h"
#include "support/open_registers.h"

namespace kvor::printing {

inline constexpr const char* kTest = "KVOR TEST";

// The open registers of a sample installation whose printers are KVOR PDF (writing into a folder
// of the test) and the in-memory KVOR TEST.
class PrintJob : public test::OpenRegisters {
 protected:
  explicit PrintJob(const std::string& actions = "") : OpenRegisters(actions) {}
  void SetUp() override {
    OpenRegisters::SetUp();
    if (HasFatalFailure()) return;
    ctx().print.prepare_printers = [](printer::PrinterSet& s) { s.AddRecordingPrinter(kTest); };
    ctx().print.pdf_folder = run.install.dir + "/pdf";
    ctx().frame.company_id = "001";
  }
  std::string Messages() { return test::MessageLines(run.Lines(), true); }
  // The printer table and list read, and `shown` applied as the user's choice.
  int16_t Choose(const std::string& shown) {
    int16_t err = 0;
    LoadPrinterTable(ctx(), err);
    EXPECT_EQ(err, 0);
    ListPrinters(ctx(), err);
    EXPECT_EQ(err, 0);
    ctx().main.CboPrnt->SetText(shown);
    ApplyPrinterChoice(ctx(), err);
    return err;
  }
  const printer::RecordedJob* Job() {
    const auto& jobs = ctx().print.printers->RecordedJobs(kTest);
    return jobs.empty() ? nullptr : jobs.back().get();
  }
  // One page: its start (with the page break before all but the first) and a line of text.
  int16_t Page(int n) {
    int16_t err = 0;
    if (n > 1) Sidbyte(ctx(), err);
    if (err == 0) StartPage(ctx(), err);
    if (err == 0) Printer(ctx()).Print(5, "Sida " + std::to_string(n), true);
    return err;
  }
  // A new job on the in-memory printer with its first page started, as the page head leaves it
  // but without the head itself: for one part of the page.
  void NewBarePage() {
    ResetCounters(ctx());
    ASSERT_EQ(Choose(kTest), 0);
    int16_t err = 0;
    BeginJob(ctx(), "S", err);
    ASSERT_EQ(err, 0);
    StartPage(ctx(), err);
    ASSERT_EQ(err, 0);
  }
};

// A sample invoice printed by the print run on the in-memory printer. The register fields keep
// what the run read last (the header, its customer, texts and bank, the last specification and
// additional rows), so that a test can change them and print a part of the page again.
class SampleInvoice : public PrintJob {
 protected:
  void SetUp() override {
    PrintJob::SetUp();
    if (HasFatalFailure()) return;
    // The readers the start-up runs for printing; a failure sets the indicator to 1.
    int16_t err = 0;
    registers::ReadCompany(ctx(), 1, *ctx().company, err);
    ASSERT_EQ(err, 0);
    registers::ReadBank(ctx(), 11, err);
    registers::ReadLengthTable(ctx(), 24, "L0001", *ctx().length_table, err);
    registers::ReadPrintCode(ctx(), "FT", 10, err);
    settings::ReadLanguageTable(ctx(), err);
    ASSERT_EQ(err, 0);
  }

  registers::Record& Fields(const std::string& code) { return registers::Fields(ctx(), code); }
  // The totals block alone, in the customer's language, on a new job's first page.
  void PrintTotalsAlone(int16_t language) {
    NewBarePage();
    int16_t err = 0;
    PrintTotals(ctx(), language, err);
    ASSERT_EQ(err, 0);
  }
  // Each one-letter print setting of SYS-DATA given as {position, value}.
  void Settings(const std::vector<std::pair<int, std::string>>& settings) {
    for (const auto& [position, value] : settings) Fields("SYS-DATA").SetAt(position, 1, value);
  }

  // The print run of invoice `number` (the original and the sample's one copy) on a new job of
  // the in-memory printer; the run's error indicator.
  int16_t PrintInvoice(const std::string& number) {
    ResetCounters(ctx());
    EXPECT_EQ(Choose(kTest), 0);
    ctx().main.TxtNmmr->SetText(number);
    int16_t err = 0;
    PrintRun(ctx(), err);
    return err;
  }
  // The recorded runs whose text, blanks around it left out, is `text`: on page `page`, or on
  // every page when it is 0.
  std::vector<printer::TextRun> RunsOf(const std::string& text, int page = 0) {
    std::vector<printer::TextRun> out;
    if (Job() == nullptr) return out;
    for (const printer::TextRun& run : Job()->texts)
      if (Trim(run.text) == text && (page == 0 || run.page == page)) out.push_back(run);
    return out;
  }
  // The one run of that text on the page; a failure when there is none or more than one.
  printer::TextRun OnlyRun(const std::string& text, int page = 1) {
    const auto runs = RunsOf(text, page);
    EXPECT_EQ(runs.size(), 1u) << "runs of '" << ToUtf8(text) << "' on page " << page;
    return runs.empty() ? printer::TextRun{} : runs.front();
  }

  // The runs on the line of the one run of that text on the page, in column order, as
  // "column:text | ...".
  std::string LineOf(const std::string& text, int page = 1) {
    const printer::TextRun first = OnlyRun(text, page);
    std::vector<printer::TextRun> line;
    for (const printer::TextRun& run : Job()->texts)
      if (run.page == first.page && run.y == first.y) line.push_back(run);
    std::sort(line.begin(), line.end(),
              [](const auto& a, const auto& b) { return a.column < b.column; });
    std::string out;
    for (const printer::TextRun& run : line)
      out += (out.empty() ? "" : " | ") + std::to_string(run.column) + ":" + ToUtf8(Trim(run.text));
    return out;
  }
  // For each pair, the line of the one run of the first text on the page, as LineOf gives it.
  void ExpectLines(const std::vector<std::pair<std::string, std::string>>& lines, int page = 1) {
    for (const auto& [text, line] : lines) EXPECT_EQ(LineOf(text, page), line);
  }

  // Every text run and picture of the job lies inside the printable area of KVOR PDF's A4 page;
  // nothing is printed over anything else but two pictures: the foot picture, the ground of the
  // foot text, and the marking picture, which the layout stands across the rule and the amount
  // lines' free texts. A run covers its characters, blanks around them left out, one line of its
  // font high, measured with the metrics the surface prints by.
  void ExpectNoOverprinting() {
    ASSERT_NE(Job(), nullptr);
    struct Box {
      int page;
      double left, top, right, bottom;
      std::string what;
      bool ground;
    };
    std::vector<Box> boxes;
    for (const printer::PictureRun& p : Job()->pictures) {
      const bool ground = p.source.find("FOTEN") != std::string::npos ||
                          p.source.find("KD5630") != std::string::npos;
      boxes.push_back({p.page, p.x, p.y, p.x + p.width, p.y + p.height, p.source, ground});
    }
    for (const printer::TextRun& run : Job()->texts) {
      const std::size_t first = run.text.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      const printer::FontMetrics& font = *printer::FindFont(run.font);
      const double width = printer::AdvanceTwips(font, run.size, run.bold);
      boxes.push_back({run.page, run.x + static_cast<double>(first) * width, run.y,
                       run.x + static_cast<double>(TrimRight(run.text).size()) * width,
                       run.y + printer::LineHeightTwips(font, run.size),
                       "'" + ToUtf8(run.text) + "' on page " + std::to_string(run.page), false});
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const Box& a = boxes[i];
      EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= printer::kPdfPrintableWidth &&
                  a.bottom <= printer::kPdfPrintableHeight)
          << a.what;
      for (std::size_t k = i + 1; k < boxes.size() && !a.ground; ++k) {
        const Box& b = boxes[k];  // overlapping by more than half a twip of rounding
        EXPECT_FALSE(!b.ground && a.page == b.page && a.left < b.right - 0.5 &&
                     b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5)
            << a.what << " and " << b.what;
      }
    }
  }
};

}  // namespace kvor::printing
