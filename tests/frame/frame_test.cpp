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

TEST(StartUp, FillsTheStateAndWaitsInNumberEntry) {
  ScriptedRun run;
  run.Play();
  Context& ctx = run.ctx();
  EXPECT_EQ(ctx.frame.program_code, "TRV00381");
  EXPECT_EQ(ctx.frame.program_path, "/OPT/KVOR/BIN");
  EXPECT_EQ(ctx.frame.system_drive, "C:");
  EXPECT_EQ(ctx.frame.date, "2026-12-04");
  EXPECT_EQ(ctx.frame.date_compact, "20261204");
  EXPECT_EQ(ctx.frame.window_width, MasterWindow::kWidth);
  EXPECT_EQ(ctx.frame.window_height, MasterWindow::kHeight);
  EXPECT_EQ(ctx.frame.window_title, "TRV00381 \xB7 KVOR \xB7 2022-10-19");
  EXPECT_EQ(ctx.main.LblRtyp->Text(), "F");
  EXPECT_EQ(ctx.main.TidVisa->Interval(), 1000);
  // Number entry: the field has the focus in red, digits and timer run, the exit button is on.
  EXPECT_EQ(ctx.main.form.Focus(), ctx.main.TxtNmmr);
  EXPECT_EQ(ctx.main.TxtNmmr->BackColor(), 0xFF0000u);
  EXPECT_TRUE(ctx.main.CmdNmr[5]->Enabled());
  EXPECT_TRUE(ctx.main.TidVisa->Enabled());
  EXPECT_EQ(ctx.main.CmdExit->BackColor(), 0xFFFFC0u);
  EXPECT_FALSE(ctx.main.CmdKlar->Enabled());
  EXPECT_EQ(ctx.main.CmdKlar->BackColor(), 0x959595u);
  EXPECT_EQ(ctx.main.CboPrnt->BackColor(), 0x808080u);
  EXPECT_EQ(run.Lines(),
            "status Startar TRV00381-programmet!\n"
            "title TRV00381 · KVOR · 2022-10-19\n"
            "focus TxtNmmr\n"
            "status Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!\n"
            "end 0\n");
}

TEST(StartUp, BuildsTheCompanysLengthTable) {
  ScriptedRun run;
  run.Play();
  const registers::LengthTable& table = *run.ctx().length_table;
  EXPECT_EQ(table.Entry(1), "1800");   // column 1, row 1
  EXPECT_EQ(table.Entry(2), "1950");   // column 2, row 1
  EXPECT_EQ(table.Entry(4), "2100");   // column 1, row 2
  EXPECT_EQ(table.Entry(46), "    ");  // past the 15 rows
}

TEST(StartUp, GoesOnWithoutALengthTable) {
  ScriptedRun run;
  // An empty SVP-LFID file in the sample installation.
  recman::Engine engine([&](const std::string& path) { return run.install.Host(path); });
  std::string error;
  ASSERT_TRUE(registers::CreateRegisterFile(engine, "C:\\KVOR\\SVP\\SVP-LFID.BTR",
                                            *registers::FindLayout("SVP-LFID"), error))
      << error;
  run.Play();
  EXPECT_EQ(test::MessageLines(run.Lines()),
            "message 2 Gällande LÄNGD-FÖRDELNINGS-tabell 'L0001' finns EJ registrerad! ¶ "
            "Skall REGISTRERAS via SVP-V01 programmet!\n");
  EXPECT_EQ(run.ctx().main.form.Focus(), run.ctx().main.TxtNmmr);  // number entry all the same
  EXPECT_EQ(run.ctx().length_table->Entry(1), "    ");
}

TEST(IdleCountdown, CountsDownThenLeavesByTheExitRoutine) {
  ScriptedRun run("tick 1\n");
  run.Play();
  EXPECT_EQ(run.ctx().main.LblWaits->Text(), "240");

  ScriptedRun full("tick 241\n");
  full.Play();
  EXPECT_EQ(full.ctx().main.LblWaits->Text(), "0");
  EXPECT_TRUE(full.by_script);  // still running when the actions ran out

  ScriptedRun over("tick 242\n");
  EXPECT_EQ(over.Play(), 0);
  EXPECT_FALSE(over.by_script);  // the 242nd tick left by itself
  EXPECT_EQ(over.ctx().frame.close_permitted, 1);
  EXPECT_FALSE(over.ctx().main.TidVisa->Enabled());
  EXPECT_EQ(over.ctx().link.program_to_start, "TRV00377");
  EXPECT_EQ(over.ctx().link.system_code, "TRV");
}

TEST(IdleCountdown, ActivityStartsItAgain) {
  // 200 seconds idle, then the exit button gets the focus: the count starts from 240 again.
  ScriptedRun run("tick 200\nfocus CmdExit\ntick 241\n");
  run.Play();
  EXPECT_TRUE(run.by_script);
  EXPECT_EQ(run.ctx().main.LblWaits->Text(), "0");
  EXPECT_NE(
      run.Lines().find("focus CmdExit\nstatus Tryck [ÅTER] för ANROP av SELEKTERA-programmet!\n"),
      std::string::npos);
}

TEST(CloseBox, AsksAndKeepsTheWindowOnNo) {
  ScriptedRun run("close\nanswer NEJ\n");
  run.Play();
  EXPECT_TRUE(run.by_script);
  EXPECT_EQ(run.ctx().main.form.Focus(), run.ctx().main.CmdExit);
  EXPECT_EQ(run.ctx().frame.closing_answer, 7);
  EXPECT_NE(
      run.Lines().find("status Program TRV00381 utför STOPP för FORTSATT bearbetning!\n"
                       "box Avslutas: Vald STÄNGNING är EJ normal! ¶ Skall 'TRV00381' stängas?\n"
                       "answer NEJ\n"),
      std::string::npos);

  // No answer given: No is the default button.
  ScriptedRun quiet("close\n");
  quiet.Play();
  EXPECT_TRUE(quiet.by_script);
  EXPECT_NE(quiet.Lines().find("answer NEJ (auto)"), std::string::npos);
}

TEST(CloseBox, YesLeavesAsTheExitButtonDoes) {
  ScriptedRun run("close\nanswer JA\nclick CmdExit\n");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_FALSE(run.by_script);
  EXPECT_EQ(run.ctx().link.program_to_start, "TRV00377");
  EXPECT_NE(run.Lines().find("answer JA\n"), std::string::npos);
  // Once the program itself ends, the close box lets the window go.
  EXPECT_TRUE(run.ctx().main.form.RequestClose());
}

TEST(ExitButton, LeavesWithBlankLinkData) {
  ScriptedRun run("click CmdExit\n");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_FALSE(run.by_script);
  EXPECT_EQ(run.ctx().link.link_data, std::string(60, ' '));
}

TEST(WindowSize, ResizeIsUndone) {
  ScriptedRun run;
  run.Play();
  forms::Form& f = run.ctx().main.form;
  f.SetSize(5000, 3000);
  f.RaiseResize();
  EXPECT_EQ(f.Geometry().width, MasterWindow::kWidth);
  EXPECT_EQ(f.Geometry().height, MasterWindow::kHeight);
}

TEST(StopProcedure, HandsTitleAndLastMessageToTheClipboard) {
  ScriptedRun run;
  run.Play();
  Context& ctx = run.ctx();
  ctx.msg.last_shown = "Filen saknas!";
  EXPECT_THROW(StopProcedure(ctx), ProgramEnd);
  EXPECT_EQ(run.clipboard.Text(), ctx.frame.window_title + "\r\n\r\nFilen saknas!");
  EXPECT_FALSE(ctx.main.form.Enabled());
}

TEST(Options, ParsesTheCommonOptions) {
  Options o;
  std::string error;
  ASSERT_TRUE(
      ParseOptions({"--root", "/srv/kvor", "--drive", "d:=/mnt/data", "--drive", "C:=/c", "--today",
                    "2024-02-29", "--headless", "a.txt", "--transcript", "t.txt"},
                   o, error))
      << error;
  EXPECT_EQ(o.root, "/srv/kvor");
  ASSERT_EQ(o.drives.size(), 2u);
  EXPECT_EQ(o.drives[0].first, 'D');
  EXPECT_EQ(o.drives[0].second, "/mnt/data");
  ASSERT_TRUE(o.today);
  EXPECT_EQ(o.today->day, 29);
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.actions_file, "a.txt");
  EXPECT_EQ(o.transcript_file, "t.txt");

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--today", "2023-02-29"},
                                              {"--today", "20240101"},
                                              {"--drive", "C=/x"},
                                              {"--drive", "1:=/x"},
                                              {"--headless"},
                                              {"--bogus"}}) {
    Options ignored;
    EXPECT_FALSE(ParseOptions(bad, ignored, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kvor::frame
