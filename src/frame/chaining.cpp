// Program chaining and shutdown: the suite's programs hand control to each other through the
// link area, and this program always ends through the routines here.
#include <algorithm>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "frame/frame.h"
#include "platform/system/process.h"
#include "registers/database.h"
#include "selection/main_buttons.h"
#include "settings/settings.h"

namespace kvor::frame {

void QueryUnload(Context& ctx, int16_t& cancel) {
  if (ctx.frame.close_permitted == 1) return;
  cancel = 1;
  ClosingQuestion(ctx);
}

void ClosingQuestion(Context& ctx) {
  dialogs::ShowStopNotice(ctx);
  const std::string code = RemoveBlanks(ctx.frame.program_code);
  const std::string text =
      Paragraphs("Vald STÄNGNING är EJ normal!"_w, "Skall '" + code + "' stängas?"_w);
  ctx.transcript.Box("Avslutas", text);
  const forms::BoxAnswer a = ctx.ui.MessageBox("Avslutas", text, forms::BoxButtons::YesNo,
                                               forms::BoxIcon::Critical, forms::BoxAnswer::No);
  ctx.frame.closing_answer = a == forms::BoxAnswer::Yes ? dialogs::kAnswerYes : dialogs::kAnswerNo;
  dialogs::RestoreStatusLine(ctx);
  if (a == forms::BoxAnswer::Yes) {
    ctx.main.form.SetEnabled(false);
    ExitRoutine(ctx);
  } else if (ctx.main.CmdExit->Enabled()) {
    ctx.frame.events_suppressed = 0;
    ctx.main.CmdExit->SetFocus();
  }
}

void ExitRoutine(Context& ctx) {
  ctx.main.TidVisa->SetEnabled(false);
  selection::ResetButtons(ctx);
  registers::CloseAllChannels(ctx);
  ctx.link.link_data = std::string(60, ' ');
  ctx.link.link_text.clear();
  ctx.link.program_to_start = "TRV00377";
  ctx.link.system_code = "TRV";
  int16_t err = 0;
  StartProgramThroughLinkArea(ctx, err);
  EndAfterStart(ctx, err);
}

void ExitGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  dialogs::HelpReturn(ctx, "SELEKTERA");
  ctx.frame.idle_counter = 0;
  ctx.main.TidVisa->SetEnabled(true);
}

void StartProgramThroughLinkArea(Context& ctx, int16_t& err) {
  ctx.frame.idle_counter = 0;
  ctx.link.calling_program = ctx.frame.program_code;
  settings::WriteLinkArea(ctx, err);
  if (err > 0) return;
  const std::string folder = ctx.install.program_drive + "\\" + ctx.install.program_folder + "\\" +
                             ctx.link.system_code + "\\";
  RunProgram(ctx, folder + Trim(ctx.link.program_to_start) + ".EXE", "", err);
}

void RunProgram(Context& ctx, const std::string& path, const std::string& argument, int16_t& err) {
  ctx.main.form.SetEnabled(false);
  err = 0;
  std::string command = Trim(path);
  const std::string host = ctx.drives.ToHost(command);
  if (!files::FileExists(host)) {
    dialogs::ShowMessage(ctx, "Program '" + command + "' finns EJ på DISK-enheten!"_w,
                         dialogs::kError);
    err = 1;
  } else {
    std::vector<std::string> args;
    if (!Trim(argument).empty()) {
      command += " " + argument;
      args.push_back(argument);
    }
    std::string why;
    int pid = 0;
    if (sys::StartDetached(host, args, why, pid)) {
      ctx.transcript.Start(command);
    } else {
      dialogs::ReportTrappedError(ctx, "Program '" + command + "' kan EJ anropas!",
                                  TrappedError{"TRV00381", 53, why});
      err = 1;
    }
  }
  ctx.main.form.SetEnabled(true);
  ctx.frame.idle_counter = 0;
  dialogs::DoEvents(ctx);
}

void EndAfterStart(Context& ctx, int16_t err) {
  if (err == 1) StopProcedure(ctx);
  EndProgram(ctx);
}

void StopProcedure(Context& ctx) {
  if (ctx.main.form.Enabled()) ctx.main.form.SetEnabled(false);
  ctx.frame.events_suppressed = 1;
  registers::CloseAllChannels(ctx);
  const std::string handover = Paragraphs(ctx.frame.window_title, ctx.msg.last_shown);
  if (!ctx.clipboard.SetText(handover)) {
    dialogs::ReportTrappedError(ctx, "Modulen PROGSTOP för CLIPBOARD till STOPP kan EJ utföras!"_w,
                                TrappedError{"PROGSTOP", 521, "Can't open Clipboard"});
    // The exit routine comes back here when it cannot start the menu program either: then no
    // program of the suite can take over, and this one ends.
    if (ctx.frame.stop_ran_exit) EndProgram(ctx, kStoppedCode);
    ctx.frame.stop_ran_exit = 1;
    ExitRoutine(ctx);
  }
  int16_t err = 0;
  RunProgram(ctx, ctx.frame.system_drive + "\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE", "", err);
  if (ctx.frame.called_by_own_name == "J") ReturnToCaller(ctx);
  EndProgram(ctx, kStoppedCode);
}

void ReturnToCaller(Context& ctx) {
  if (ctx.frame.called_by_own_name == "N") EndProgram(ctx, kStoppedCode);
  ctx.main.form.SetEnabled(false);
  dialogs::DoEvents(ctx);
  ctx.frame.events_suppressed = 1;
  LinkArea& l = ctx.link;
  l.link_data = std::string(60, ' ');
  l.link_text.clear();
  ctx.frame.called_by_own_name = "N";
  const std::string program = Trim(l.program_to_start);
  if (program == "ACCESSAS" || program == "UPPSTART") {
    l.system_code = "SET";
  } else if (program == "IPLMENYN") {
    l.system_code = "IPL";
  } else {
    l.system_code = ctx.frame.program_code.substr(0, 3);
    if (l.return_kind == "U") l.program_to_start = l.system_code + "00000";
    if (l.return_kind == "T") l.program_to_start = l.system_code + "TOOLS";
    if (l.return_kind == "H") l.program_to_start = l.system_code + "MENYN";
  }
  int16_t err = 0;
  StartProgramThroughLinkArea(ctx, err);
  EndAfterStart(ctx, err);
}

void EndProgram(Context& ctx, int code) {
  ctx.main.form.SetEnabled(false);
  ctx.frame.close_permitted = 1;
  ctx.frame.events_suppressed = 1;
  ctx.text_files.CloseAll();
  throw ProgramEnd{code};
}

}  // namespace kvor::frame
