// The print run inside the test's own process, so that the test can look at the registers while
// the program still holds them open: the header's lock during and after a cancelled run.
#include <gtest/gtest.h>

#include <regex>

#include "printing/print_job.h"
#include "printing/print_run.h"
#include "settings/settings.h"
#include "support/run_program.h"
#include "support/scripted_run.h"

namespace kvor::printing {
namespace {

// Another process writes the header of the invoice; it needs the header's lock to do so.
test::ProcessResult AnotherProcessWrites(const test::ScriptedRun& run, const std::string& number) {
  return test::RunProgram(test::Kvor(),
                          {"reg", "--root", run.install.dir, "put", "SVF-FTHD", "--keep",
                           "FTGID=001", "REGTYP=F", "FAKTNR=" + number},
                          run.install.dir);
}

TEST(CancelledPrintRun, EndsWithThePagesPrintedAndLeavesNoLock) {
  test::ScriptedRun run(
      "type TxtNmmr 241004\nclick CmdKlar\nduring 150 click CmdBryt\nanswer JA\n");
  MasterWindow& window = run.ctx().main;
  bool locked_while_printing = false, free_after = false;
  window.CmdBryt->Click = [&, cancel = window.CmdBryt->Click] {
    const test::ProcessResult r = AnotherProcessWrites(run, "241004");
    locked_while_printing = r.code == 1 && r.err.find("status 84") != std::string::npos;
    cancel();
  };
  window.CmdExit->GotFocus = [&, got_focus = window.CmdExit->GotFocus] {
    if (run.ctx().frame.print_busy == 0) free_after = AnotherProcessWrites(run, "241004").code == 0;
    got_focus();
  };
  run.Play();
  const std::string lines = run.Lines();
  EXPECT_TRUE(locked_while_printing);
  EXPECT_TRUE(free_after);
  EXPECT_NE(lines.find("box KVOR PDF: Skall AVBRYT pågående UTSKRIFT utföras?\nanswer JA\n"),
            std::string::npos)
      << lines;
  // The job ends with the pages printed before the answer.
  EXPECT_TRUE(
      std::regex_search(lines, std::regex("message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD "
                                          "med [1-9][0-9]* sid(a|or)! ¶ Skrivare: KVOR PDF\n")))
      << lines;
  // Cancelled in the first pass: the header is not marked printed.
  EXPECT_EQ(registers::Fields(run.ctx(), "SVF-FTHD").Get("UTSKRIVEN"), "N");
}

// Every sample invoice printed whole on the in-memory printer, first print and copy, under every
// combination of the five print settings of SYS-DATA: logo, barcode, company name, delivery
// address and company foot.
using EveryLayout = SampleInvoice;

TEST_F(EveryLayout, NoTextIsPrintedOverAnotherOrAPictureOrOffTheSheet) {
  const int settings[] = {54, 59, 57, 55, 60};
  int printed = 0;
  for (int combination = 0; combination < 32; ++combination) {
    for (int bit = 0; bit < 5; ++bit)
      Settings({{settings[bit], (combination >> bit & 1) != 0 ? "J" : "N"}});
    for (int number = 241001; number <= 241014; ++number) {
      if (PrintInvoice(std::to_string(number)) != 0) continue;  // refused, told
      SCOPED_TRACE("invoice " + std::to_string(number) + ", settings " +
                   std::to_string(combination));
      ++printed;
      ExpectNoOverprinting();
    }
  }
  EXPECT_EQ(printed, 32 * 13);  // 241014 lacks its load specification: refused, told
}

}  // namespace
}  // namespace kvor::printing
