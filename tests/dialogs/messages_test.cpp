#include "dialogs/messages.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "common/cp1252.h"
#include "common/text.h"
#include "support/scripted_run.h"

namespace kvor::dialogs {
namespace {

// A scripted front end that writes down each dialog at its first turn of events, before the
// scripted user answers it: a line with the window's place and size, its visible buttons and focus,
// and what the main window showed meanwhile (enabled or not, events suppressed, the colour of the
// message strip, the status line).
class WatchingFrontEnd : public ui::ScriptedFrontEnd {
 public:
  using ScriptedFrontEnd::ScriptedFrontEnd;
  void Show(forms::Form& f) override {
    ScriptedFrontEnd::Show(f);
    shown_ = &f;
  }
  void DoEvents() override {
    if (shown_) {
      std::ostringstream line;
      const forms::Rect& at = shown_->Geometry();
      line << "at " << at.left << " size " << at.width << "x" << at.height << " |";
      for (const auto& c : shown_->Controls())
        if (c->GetKind() == forms::Kind::Button && c->Visible()) line << ' ' << c->Name();
      const MasterWindow& m = ctx->main;
      line << " | focus " << (shown_->Focus() ? shown_->Focus()->Name() : "") << " | strip "
           << std::hex << std::uppercase << m.Mb->BackColor() << std::dec << " | main "
           << (m.form.Enabled() ? "on " : "off ") << ctx->frame.events_suppressed << " | "
           << ToUtf8(m.Mf->Text()) << "\n";
      seen += line.str();
    }
    shown_ = nullptr;
    ScriptedFrontEnd::DoEvents();
  }
  Context* ctx = nullptr;
  std::string seen;

 private:
  forms::Form* shown_ = nullptr;
};

// A program whose dialogs the front end records.
struct DialogRun {
  explicit DialogRun(const std::string& actions)
      : front_end(test::Actions(actions), transcript),
        program(front_end, clock, clipboard, transcript, {"/opt/kvor/bin/trv00381", "C:", {}}) {
    transcript.OpenMemory();
    front_end.ctx = &ctx();
    ctx().frame.program_code = "TRV00381";
    ctx().frame.events_suppressed = 0;
  }
  Context& ctx() { return program.ctx; }

  forms::Transcript transcript;
  WatchingFrontEnd front_end;
  sys::Clock clock{sys::LocalTime{2026, 12, 4, 0, 0, 0}};
  sys::MemoryClipboard clipboard;
  frame::Program program;
};

TEST(MessagesAndQuestions,
     SizeFollowsTheTextKindOrPreselectionColoursTheStripAndTheMainWindowIsGivenBack) {
  DialogRun run("answer AVBRYT\nanswer STÄNG\nanswer AVBRYT\nanswer JA\n");
  Context& ctx = run.ctx();
  ctx.main.Mf->SetText("before");
  ShowMessage(ctx, "Posten är LÅST"_w, kCancellable);
  EXPECT_EQ(ctx.msg.answer, kAnswerCancel);
  EXPECT_EQ(ctx.main.Mf->Text(), "before");  // the status line is back afterwards
  // The longest line decides the width: 60 characters need 61 * 150 + 250 twips; wider than the
  // main window, the text is clipped to it and the window is a line taller. [AVBRYT] is not on a
  // kind 3 window: the answer is ignored and the window closes with [STÄNG].
  ShowMessage(ctx, std::string(100, 'x'), 7);
  ShowMessage(ctx, "abc\r\n" + std::string(60, 'x') + "\r\nde", kError);
  EXPECT_EQ(ctx.msg.answer, kAnswerClose);
  // A question takes the scripted answer; without one, the preselected button.
  AskQuestion(ctx, Paragraphs("FAKTURA redan skickad!", "Skicka IGEN?"), 0, 2);
  EXPECT_EQ(ctx.msg.answer, kAnswerYes);
  AskQuestion(ctx, "?", 5, 3);  // a close button wanted above 1 counts as 1: it is shown
  EXPECT_EQ(ctx.msg.answer, kAnswerQuestionClose);
  AskQuestion(ctx, "?", 0, 0);  // none: [JA]
  EXPECT_EQ(ctx.msg.answer, kAnswerYes);
  EXPECT_NE(
      run.transcript.Captured().find(
          "ignored answer AVBRYT\nanswer STÄNG (auto)\nstatus before\nstatus Tryck [JA] eller "
          "[NEJ] knappen!\nquestion FAKTURA redan skickad! ¶ Skicka IGEN?\nanswer JA\n"),
      std::string::npos)
      << run.transcript.Captured();
  // The main window is borrowed while the dialog shows, the window centred on the 1920 x 1080
  // pixel screen of the scripted front end; kind 7 leaves the strip and the status line alone.
  EXPECT_EQ(
      run.front_end.seen,
      R"(at 11415 size 5970x2040 | CmdBryt CmdExit | focus CmdExit | strip C00000 | main off 1 | Tryck [AVBRYT] eller [STÄNG] efter LÄST meddelande!
at 8400 size 12000x2280 | CmdExit | focus CmdExit | strip FFFFC0 | main off 1 | before
at 9700 size 9400x2280 | CmdExit | focus CmdExit | strip FFC0C0 | main off 1 | Tryck [STÄNG] efter LÄST meddelande!
at 10200 size 8400x2280 | CmdJa CmdNej | focus CmdNej | strip FFC0C0 | main off 1 | Tryck [JA] eller [NEJ] knappen!
at 10200 size 8400x2040 | CmdJa CmdNej CmdExit | focus CmdExit | strip FFFFC0 | main off 1 | Tryck [JA] eller [NEJ] knappen!
at 10200 size 8400x2040 | CmdJa CmdNej | focus CmdJa | strip C0FFC0 | main off 1 | Tryck [JA] eller [NEJ] knappen!
)");
  EXPECT_TRUE(ctx.main.form.Enabled());
  EXPECT_EQ(ctx.frame.events_suppressed, 0);
}

TEST(ReportError, AddsSupportBlockOrUnderlinedFaultAndCopiesItToTheClipboard) {
  DialogRun run("");
  ReportError(run.ctx(), "Filen 'X' kan EJ läsas!"_w);
  const std::string text = ToUtf8(run.clipboard.Text());
  const std::regex layout(
      "Filen 'X' kan EJ läsas!\r\n\r\nKontakta KVOR för HJÄLP enligt SUPPORT-avtalet!\r\n\r\n"
      "Inträffat: 2026-12-04 · [0-2][0-9]:[0-5][0-9]\r\n\r\nProgram: TRV00381");
  EXPECT_TRUE(std::regex_match(text, layout)) << text;
  EXPECT_EQ(run.ctx().msg.kind, kError);
  EXPECT_EQ(ToUtf8(run.ctx().msg.text), text);

  // A trapped error underlines the first paragraph and shows the fault.
  ReportTrappedError(run.ctx(), Paragraphs("Modulen X kan EJ utföras!"_w, "Gör KONTROLL!"_w),
                     TrappedError{"TRV00381", 53, "File not found"});
  const std::string trapped = ToUtf8(run.clipboard.Text());
  const std::string expected_start =
      "Modulen X kan EJ utföras!\r\n\r\nGör KONTROLL!\r\n\r\nProjekt: TRV00381\r\n\r\n" +
      std::string(25, '-') + "\r\n\r\nFel:  53\r\n\r\nFile not found\r\n\r\n" +
      std::string(47, '-') + "\r\n\r\nKontakta KVOR";
  EXPECT_EQ(trapped.substr(0, expected_start.size()), expected_start);
}

// (A message or question within the wait, and the wait's end, are checked with the print job's
// cancel question.)
TEST(WaitState, TakesTheExitAwayUntilAStatusHelpEndsItAndPausesTakeSecondsOrMilliseconds) {
  DialogRun run("");
  Context& ctx = run.ctx();
  MasterWindow& m = ctx.main;
  EnterWaitState(ctx);
  EXPECT_FALSE(m.CmdExit->Enabled());
  EXPECT_EQ(m.Mb->BackColor(), 0xFFFF00u);
  HelpSelect(ctx, "FAKTURA");
  EXPECT_EQ(m.Mf->Text(), "Välj FAKTURA med [UPP]/[NER] och [ENTER] accepterar!"_w);

  // A pause of a small value waits seconds, of others milliseconds.
  const long long start = run.front_end.Now();
  Pause(ctx, 2);
  Pause(ctx, 75);
  EXPECT_EQ(run.front_end.Now() - start, 2075);
}

}  // namespace
}  // namespace kvor::dialogs
