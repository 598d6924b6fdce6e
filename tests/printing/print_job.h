// Printing tests on a sample installation: the program's printer routines called directly, the
// jobs going to an in-memory printer or to KVOR PDF. Messages are answered by the scripted user
// and read from the transcript.
#pragma once

#include <gtest/gtest.h>

#include "frame/frame.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/surface.h"
#include "printing/page_engine.h"
#include "printing/printer_choice.h"
#include "settings/settings.h"
#include "support/scripted_run.h"

namespace kvor::printing {

inline constexpr const char* kTest = "KVOR TEST";

// A sample installation whose printers are KVOR PDF (writing into a folder of the test) and the
// in-memory KVOR TEST.
class PrintJob : public ::testing::Test {
 protected:
  explicit PrintJob(const std::string& actions = "") : run(actions) {}
  void SetUp() override {
    frame::FillFrameState(ctx(), run.install.Start());
    int16_t err = 0;
    settings::ReadDriveSettings(ctx(), err);
    ASSERT_EQ(err, 0);
    ctx().print.prepare_printers = [](printer::PrinterSet& s) { s.AddRecordingPrinter(kTest); };
    ctx().print.pdf_folder = run.install.dir + "/pdf";
    ctx().frame.company_id = "001";
  }
  Context& ctx() { return run.ctx(); }
  std::string Messages() { return test::MessageLines(run.Lines(), true); }
  void WriteTable(const std::string& text) {
    test::WriteFile(run.install.Host("C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT"), text);
  }
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

  test::ScriptedRun run;
};

}  // namespace kvor::printing
