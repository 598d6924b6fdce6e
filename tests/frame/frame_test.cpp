#include "frame/frame.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "frame/options.h"
#include "registers/admin.h"
#include "registers/readers.h"
#include "support/scripted_run.h"

namespace kvor::frame {
namespace {

using test::ScriptedRun;

TEST(StartUp, FillsTheStateAndLengthTableWaitsInNumberEntryAndKeepsTheWindowSize) {
  ScriptedRun run;
  run.Play();
  Context& ctx = run.ctx();
  // From the program's own path and the clock.
  EXPECT_EQ(ctx.frame.program_code, "TRV00381");
  EXPECT_EQ(ctx.frame.program_path, "/OPT/KVOR/BIN");
  EXPECT_EQ(ctx.frame.date + " " + ctx.frame.date_compact, "2026-12-04 20261204");
  // The company's length table: column 2 of row 1, column 1 of row 2, past the 15 rows.
  EXPECT_EQ(ctx.length_table->Entry(2), "1950");
  EXPECT_EQ(ctx.length_table->Entry(4), "2100");
  EXPECT_EQ(ctx.length_table->Entry(46), "    ");
  // Number entry: the field has the focus, digits and timer run, OK waits for an invoice.
  EXPECT_EQ(ctx.main.form.Focus(), ctx.main.TxtNmmr);
  EXPECT_TRUE(ctx.main.CmdNmr[5]->Enabled());
  EXPECT_TRUE(ctx.main.TidVisa->Enabled());
  EXPECT_FALSE(ctx.main.CmdKlar->Enabled());

  forms::Form& f = ctx.main.form;
  f.SetSize(5000, 3000);
  f.RaiseResize();
  EXPECT_EQ(f.Geometry().width, MasterWindow::kWidth);
  EXPECT_EQ(f.Geometry().height, MasterWindow::kHeight);
}

TEST(IdleCountdown, LeavesByTheExitRoutineOnceItHasRunOutAfterAStartUpWithoutALengthTable) {
  // An empty SVP-LFID file in the sample installation: the start-up tells and goes on to number
  // entry all the same, where the idle countdown runs.
  ScriptedRun over("tick 242\n");
  recman::Engine engine([&](const std::string& path) { return over.install.Host(path); });
  std::string error;
  ASSERT_TRUE(registers::CreateRegisterFile(engine, "C:\\KVOR\\SVP\\SVP-LFID.BTR",
                                            *registers::FindLayout("SVP-LFID"), error))
      << error;
  EXPECT_EQ(over.Play(), 0);
  EXPECT_EQ(test::MessageLines(over.Lines()),
            "message 2 Gällande LÄNGD-FÖRDELNINGS-tabell 'L0001' finns EJ registrerad! ¶ "
            "Skall REGISTRERAS via SVP-V01 programmet!\n");
  EXPECT_EQ(over.ctx().length_table->Entry(1), "    ");
  const std::string t = over.Lines();
  EXPECT_NE(t.find("\nfocus TxtNmmr\n", t.find("LÄNGD-FÖRDELNINGS")), std::string::npos) << t;
  EXPECT_FALSE(over.by_script);  // the 242nd tick left by itself
  EXPECT_FALSE(over.ctx().main.TidVisa->Enabled());
  EXPECT_EQ(over.ctx().link.program_to_start, "TRV00377");
}

TEST(CloseBox, NoKeepsTheWindowAndRestartsTheIdleCountAndYesLetsItGoWhenTheProgramEnds) {
  // After 200 idle seconds the first box gets no answer: No is the default button, the window
  // stays, and the count starts from 240 again: 241 ticks bring it to 0 without leaving. The
  // second box is answered Yes.
  ScriptedRun run("tick 200\nclose\ntick 241\nshow LblWaits\nclose\nanswer JA\n");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_FALSE(run.by_script);
  EXPECT_NE(
      run.Lines().find("status Program TRV00381 utför STOPP för FORTSATT bearbetning!\n"
                       "box Avslutas: Vald STÄNGNING är EJ normal! ¶ Skall 'TRV00381' stängas?\n"
                       "answer NEJ (auto)\n"),
      std::string::npos)
      << run.Lines();
  EXPECT_NE(run.Lines().find("\nshow LblWaits \"0\" on"), std::string::npos) << run.Lines();
  EXPECT_EQ(test::Occurrences(run.Lines(), "\nbox Avslutas"), 2);
  EXPECT_EQ(run.ctx().link.program_to_start, "TRV00377");
  // Once the program itself ends, the close box lets the window go.
  EXPECT_TRUE(run.ctx().main.form.RequestClose());
}

TEST(Options, ParsesTheCommonOptions) {
  Options o;
  std::string error;
  ASSERT_TRUE(
      ParseOptions({"--root", "/srv/kvor", "--drive", "d:=/mnt/data", "--drive", "C:=/c", "--today",
                    "2024-02-29", "--headless", "a.txt", "--transcript", "t.txt"},
                   o, error))
      << error;
  EXPECT_EQ(o.drives, (decltype(o.drives){{'D', "/mnt/data"}, {'C', "/c"}}));
  EXPECT_EQ(o.today ? o.today->day : 0, 29);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--today", "2023-02-29"},
                                              {"--today", "20240101"},
                                              {"--drive", "C=/x"},
                                              {"--headless"},
                                              {"--bogus"}}) {
    Options ignored;
    EXPECT_FALSE(ParseOptions(bad, ignored, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kvor::frame
