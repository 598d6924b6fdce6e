#include "frame/frame.h"

#include "common/cp1252.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "printing/printer_choice.h"
#include "registers/database.h"
#include "registers/readers.h"
#include "selection/invoice_entry.h"
#include "selection/main_buttons.h"
#include "settings/settings.h"

namespace kvor::frame {

namespace {

std::string FileStem(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The stop rules of the start-up readers.
enum class StopRule { AboveZero, ExactlyOne, Never };

bool Stops(StopRule rule, int16_t& err) {
  switch (rule) {
    case StopRule::AboveZero:
      return err > 0;
    case StopRule::ExactlyOne:
      return err == 1;
    case StopRule::Never:
      err = 0;
      return false;
  }
  return false;
}

// A failed start-up step leaves by the exit routine.
[[noreturn]] void StopStartUp(Context& ctx) {
  ExitRoutine(ctx);
}

}  // namespace

void FillFrameState(Context& ctx, const StartInfo& start) {
  FrameState& f = ctx.frame;
  f.program_code = Fixed(Upper(FileStem(start.executable)), 8);
  f.program_path = Upper(Folder(start.executable));
  f.system_drive = start.system_drive.empty() ? "C:" : Fixed(start.system_drive, 2);
  f.system_drive_letter = f.system_drive[0];
  settings::RefreshDateAndTime(ctx);
  f.idle_counter = 0;
  f.idle_limit = 240;
  f.close_permitted = 0;
  f.print_busy = 0;
  f.invoice_list_count = 0;
  if (IsBlank(ctx.link.owner_short_name)) f.owner_short_name = "";
}

void StartUp(Context& ctx, const StartInfo& start) {
  MasterWindow& m = ctx.main;
  FrameState& f = ctx.frame;
  int16_t& err = m.state.error;

  // 1-2: the program-wide state, the title and the window.
  m.form.SetEnabled(false);
  f.events_suppressed = 1;
  FillFrameState(ctx, start);
  m.CmdExit->Enable(true, colour::kExitOn);
  m.Mf->SetText("Startar " + f.program_code + "-programmet!");
  dialogs::DoEvents(ctx);
  f.window_title = std::string(MasterWindow::kDesignedCaption) + std::string(kDotSeparator) +
                   "KVOR" + std::string(kDotSeparator) + kReleaseDate;
  f.window_height = static_cast<int16_t>(m.form.Geometry().height);
  f.window_width = static_cast<int16_t>(m.form.Geometry().width);
  m.form.SetCaption(f.window_title);
  m.form.SetBackColor(colour::kWindow);
  ctx.ui.Show(m.form);

  // 3-4: the file-system object is always at hand here.
  f.file_system_ready = true;
  m.form.SetEnabled(true);
  settings::RefreshDateAndTime(ctx);

  // 5: controls in their start state.
  m.LblRtyp->SetText("F");
  m.CboNmmr->Enable(false, colour::kFieldOff);
  m.TxtNmmr->Enable(false, colour::kFieldOff);
  m.TidVisa->SetInterval(1000);
  selection::ResetButtons(ctx);

  // 6: the readers in their order, each with its stop rule.
  auto step = [&](auto&& reader, StopRule rule) {
    err = 0;
    reader(ctx, err);
    if (Stops(rule, err)) StopStartUp(ctx);
  };
  step(settings::ReadDriveSettings, StopRule::AboveZero);
  step(settings::ReadLinkArea, StopRule::AboveZero);
  step(settings::ReadRegistrySettings, StopRule::Never);
  step(registers::OpenAllRegisters, StopRule::AboveZero);
  step([](Context& c, int16_t& e) { registers::ReadCompany(c, 1, *c.company, e); },
       StopRule::AboveZero);
  step([](Context& c, int16_t& e) { registers::ReadBank(c, 11, e); }, StopRule::AboveZero);
  {  // No lookup runs from this change: events are suppressed.
    m.TxtNmmr->SetText(Fixed(ctx.link.link_data, 6));
  }
  step([](Context& c, int16_t& e) { registers::ReadBusinessArea(c, 13, "F", "OTK", e); },
       StopRule::ExactlyOne);
  // The installation's length table is the company's table "L" + "0001"; a company keeps one.
  step([](Context& c,
          int16_t& e) { registers::ReadLengthTable(c, 24, "L0001", *c.length_table, e); },
       StopRule::ExactlyOne);
  step(printing::LoadPrinterTable, StopRule::ExactlyOne);
  step(printing::ListPrinters, StopRule::ExactlyOne);
  printing::ChoosePrinterByCode(ctx, 5, err);  // its result is not tested
  step([](Context& c, int16_t& e) { registers::ReadPrintCode(c, "FT", 10, e); },
       StopRule::AboveZero);
  step(settings::ReadLanguageTable, StopRule::ExactlyOne);
  step(settings::ReadCompanyIdentity, StopRule::Never);

  // 7-8: the invoice list; nothing to print ends the program (the loader has said so).
  int32_t& unprinted = m.state.unprinted_count;
  int32_t& printed = m.state.printed_count;
  err = 0;
  selection::LoadInvoiceList(ctx, unprinted, printed, err);
  if (unprinted == 0 && printed == 0) StopStartUp(ctx);

  if (IsBlank(ctx.link.link_data)) {
    // 9: wait for the user's number; the number field's focus handler starts the entry.
    m.CmdBryt->Enable(true, colour::kStopOn);
    m.TxtNmmr->Enable(true, colour::kFieldOn);
    f.events_suppressed = 0;
    m.TxtNmmr->SetFocus();
  } else {
    // 10: the caller handed over an invoice number.
    m.TxtNmmr->SetText(Fixed(ctx.link.link_data, 6));
    selection::LookupInvoice(ctx);
  }
}

void IdleTick(Context& ctx) {
  FrameState& f = ctx.frame;
  if (f.idle_counter > f.idle_limit) {
    ExitRoutine(ctx);
    return;
  }
  ctx.main.LblWaits->SetText(std::to_string(f.idle_limit - f.idle_counter));
  ++f.idle_counter;
  dialogs::DoEvents(ctx);
}

void KeepWindowSize(Context& ctx) {
  if (ctx.frame.window_width <= 0 || ctx.frame.window_height <= 0) return;
  const forms::Rect r = ctx.main.form.Geometry();
  if (r.width != ctx.frame.window_width || r.height != ctx.frame.window_height)
    ctx.main.form.SetSize(ctx.frame.window_width, ctx.frame.window_height);
}

void WireMainWindow(Context& ctx, const StartInfo& start) {
  MasterWindow& m = ctx.main;
  m.form.Load = [&ctx, start] { StartUp(ctx, start); };
  m.form.Resize = [&ctx] { KeepWindowSize(ctx); };
  m.form.QueryUnload = [&ctx](int16_t& cancel, int16_t) { QueryUnload(ctx, cancel); };
  m.TidVisa->Tick = [&ctx] { IdleTick(ctx); };
  m.CmdExit->Click = [&ctx] { ExitRoutine(ctx); };
  m.CmdExit->GotFocus = [&ctx] { ExitGotFocus(ctx); };
  selection::WireSelection(ctx);
  ctx.stop_procedure = [&ctx] { StopProcedure(ctx); };
}

}  // namespace kvor::frame
