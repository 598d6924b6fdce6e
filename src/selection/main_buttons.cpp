#include "selection/main_buttons.h"

#include "common/cp1252.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "dialogs/messages.h"
#include "einvoice/sending.h"
#include "printing/print_run.h"
#include "printing/printer_choice.h"
#include "registers/database.h"
#include "registers/readers.h"
#include "selection/invoice_entry.h"

namespace kvor::selection {

void WireSelection(Context& ctx) {
  MasterWindow& m = ctx.main;
  Context* c = &ctx;
  m.TxtNmmr->GotFocus = [c] { NumberEntryReset(*c); };
  m.TxtNmmr->Change = [c] { NumberChanged(*c); };
  m.TxtNmmr->KeyPress = [c](int16_t& k) { NumberKeyPress(*c, k); };
  m.TxtNmmr->LostFocus = [c] { NumberLostFocus(*c); };
  m.CboNmmr->GotFocus = [c] { ListGotFocus(*c); };
  m.CboNmmr->Change = [c] { ListChanged(*c); };
  m.CboNmmr->KeyPress = [c](int16_t& k) { ListKeyPress(*c, k); };
  m.CboNmmr->LostFocus = [c] { ListLostFocus(*c); };
  for (int i = 0; i < 10; ++i) m.CmdNmr[i]->Click = [c, i] { DigitPressed(*c, i); };
  m.CmdSudda->Click = [c] { ClearPressed(*c); };
  m.CmdSpara->Click = [c] { DonePressed(*c); };
  m.CmdUpp->Click = [c] { StepUpOrDown(*c, true); };
  m.CmdNer->Click = [c] { StepUpOrDown(*c, false); };
  m.CboPrnt->GotFocus = [c] { PrinterListGotFocus(*c); };
  m.CboPrnt->Change = [c] { PrinterListChanged(*c); };
  m.CboPrnt->KeyPress = [c](int16_t&) { PrinterListKeyPress(*c); };
  m.CboPrnt->LostFocus = [c] { PrinterListLostFocus(*c); };
  m.CmdKlar->GotFocus = [c] { PrintButtonGotFocus(*c); };
  m.CmdKlar->Click = [c] { PrintButtonPressed(*c); };
  m.CmdSand->GotFocus = [c] { SendGotFocus(*c); };
  m.CmdSand->Click = [c] { SendPressed(*c); };
  m.CmdBryt->GotFocus = [c] { CancelGotFocus(*c); };
  m.CmdBryt->Click = [c] { CancelPressed(*c); };
}

void ResetButtons(Context& ctx) {
  MasterWindow& m = ctx.main;
  if (ctx.frame.print_busy) m.TxtNmmr->Enable(false, colour::kFieldOff);
  for (forms::Control* b : m.ActionButtons())
    if (b != m.CboPrnt) b->Enable(false, colour::kButtonOff);
  m.CboPrnt->Enable(false, colour::kPrinterListOff);
}

void EnableDigits(Context& ctx) {
  for (forms::Control* b : ctx.main.CmdNmr) b->Enable(true, colour::kDigitOn);
  ctx.main.TidVisa->SetEnabled(true);
}

void DisableDigits(Context& ctx) {
  for (forms::Control* b : ctx.main.CmdNmr) b->Enable(false, colour::kButtonOff);
  ctx.main.TidVisa->SetEnabled(false);
}

void DigitPressed(Context& ctx, int digit) {
  MasterWindow& m = ctx.main;
  if (m.state.navigation_mode != 1) return;
  m.TxtNmmr->SetBackColor(colour::kFieldDigit);
  const std::string text = RemoveBlanks(m.TxtNmmr->Text());
  std::string now = text;
  if (text.size() < 6) {
    now += static_cast<char>('0' + digit);
    const int16_t suppressed = ctx.frame.events_suppressed;
    ctx.frame.events_suppressed = 1;  // no lookup starts from this change
    m.TxtNmmr->SetText(now);
    ctx.frame.events_suppressed = suppressed;
  }
  m.CmdSudda->Enable(true, colour::kStopOn);
  m.CmdSpara->Enable(true, colour::kGoOn);
  if (now.size() == 6) DonePressed(ctx);
}

void ClearPressed(Context& ctx) {
  MasterWindow& m = ctx.main;
  ResetButtons(ctx);
  m.CmdSudda->Enable(false, colour::kButtonOff);
  m.CmdSpara->Enable(false, colour::kButtonOff);
  if (m.state.navigation_mode != 1) return;
  m.TxtNmmr->Enable(true, colour::kFieldOn);
  ctx.frame.events_suppressed = 0;
  // The clear button has the focus now; moving it back starts a fresh number entry.
  m.TxtNmmr->SetFocus();
}

void DonePressed(Context& ctx) {
  MasterWindow& m = ctx.main;
  DisableDigits(ctx);
  m.CmdSudda->Enable(false, colour::kButtonOff);
  m.CmdSpara->Enable(false, colour::kButtonOff);
  if (m.state.navigation_mode == 1)
    LookupInvoice(ctx);
  else if (m.state.navigation_mode == 2)
    ConfirmPrinter(ctx);
}

void StepUpOrDown(Context& ctx, bool up) {
  MasterState& s = ctx.main.state;
  ctx.main.CmdSudda->Enable(false, colour::kButtonOff);
  if (s.first_step == '1')
    s.list_position += up ? -1 : 1;
  else
    s.first_step = '1';  // the first press shows the entry where the list stands
  if (up && s.list_position < s.lower_bound) s.list_position = s.lower_bound;
  if (!up && s.list_position > s.upper_bound) s.list_position = s.upper_bound;
  StepToPosition(ctx, s.list_position);
}

void StepToPosition(Context& ctx, int32_t& position) {
  MasterWindow& m = ctx.main;
  const int16_t suppressed = ctx.frame.events_suppressed;
  if (m.state.navigation_mode == 1) {
    m.CboNmmr->SetListIndex(position);
    const std::string text = Upper(m.CboNmmr->Text());
    ctx.frame.events_suppressed = 1;
    m.TxtNmmr->SetText(text.substr(0, 6));
    m.CboNmmr->SetText(text);
    ctx.frame.events_suppressed = suppressed;
  } else if (m.state.navigation_mode == 2) {
    m.CboPrnt->SetListIndex(position);
    const std::string text = m.CboPrnt->Text();
    ctx.frame.events_suppressed = 1;
    m.CboPrnt->SetText(text);
    ctx.frame.events_suppressed = suppressed;
  }
  m.CmdSpara->Enable(true, colour::kGoOn);
  m.CmdSpara->SetFocus();
}

void PrinterListGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  MasterWindow& m = ctx.main;
  printing::PromptPrinterChoice(ctx, "FAKTURA");
  m.state.navigation_mode = 2;
  m.CmdUpp->Enable(true, colour::kDigitOn);
  m.CmdNer->Enable(true, colour::kDigitOn);
}

void PrinterListChanged(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  printing::RefuseTypedPrinter(ctx);
}

void PrinterListKeyPress(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  if (ctx.main.CboPrnt->Text().empty()) {
    ctx.main.CboPrnt->SetFocus();
    return;
  }
  ConfirmPrinter(ctx);
}

void PrinterListLostFocus(Context& ctx) {
  if (ctx.main.CboPrnt->Enabled()) ctx.main.CboPrnt->SetBackColor(colour::kFieldOn);
}

void ConfirmPrinter(Context& ctx) {
  MasterWindow& m = ctx.main;
  printing::ApplyPrinterChoice(ctx, m.state.error);
  if (m.state.error != 1) {
    m.CmdKlar->Enable(true, colour::kGoOn);
    m.CmdKlar->SetFocus();
  } else {
    m.CboPrnt->SetFocus();
  }
}

void PrintButtonGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  MasterWindow& m = ctx.main;
  dialogs::HelpStart(ctx, "OK");
  m.state.navigation_mode = 2;
  m.CmdUpp->Enable(true, colour::kDigitOn);
  m.CmdNer->Enable(true, colour::kDigitOn);
}

void PrintButtonPressed(Context& ctx) {
  MasterWindow& m = ctx.main;
  BeginRunState(ctx);
  m.CmdKlar->Enable(false, colour::kButtonOff);
  ctx.print.run.row_group.clear();
  m.TidVisa->SetEnabled(false);
  printing::PrintRun(ctx, m.state.error);
  // A run that stopped before its job began (a missing customer, a refused language code), or a
  // cancel answered before it, had no job end to clear these: a stop flag left set would make
  // the registers refuse every read, a busy flag the cancel button ask about a print.
  ctx.frame.stop = 0;
  ctx.frame.print_busy = 0;
  LoadInvoiceList(ctx, m.state.unprinted_count, m.state.printed_count, m.state.error);
  AfterPrintRun(ctx);
  m.CmdExit->Enable(true, colour::kExitOn);
  if (m.state.einvoice_written == 1) {
    m.CmdSand->SetFocus();
  } else {
    m.state.send_ready = 0;
    m.CmdExit->SetFocus();
  }
}

void SendPressed(Context& ctx) {
  MasterWindow& m = ctx.main;
  BeginRunState(ctx);
  einvoice::SendInvoice(ctx);
  m.CmdExit->Enable(true, colour::kExitOn);
  ctx.frame.events_suppressed = 0;
  // Sending is no print run: the cancel button and the number field must not take it for one.
  ctx.frame.print_busy = 0;
  m.CmdExit->SetFocus();
}

void SendGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  ctx.msg.status_text = "Tryck [SKICKA] för ÖVERFÖRING av FAKTURA-uppgifterna!"_w;
  dialogs::ShowStatusText(ctx);
}

void CancelGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  dialogs::HelpCancel(ctx, ctx.frame.print_busy ? "UTSKRIFT" : "INITIERING");
}

void CancelPressed(Context& ctx) {
  MasterWindow& m = ctx.main;
  if (ctx.frame.print_busy) {
    printing::CancelQuestion(ctx, m.state.error);
    return;
  }
  EndRunState(ctx);
  m.TxtNmmr->Enable(true, colour::kFieldOn);
  m.TxtNmmr->SetFocus();
}

void BeginRunState(Context& ctx) {
  ctx.main.CmdExit->Enable(false, colour::kButtonOff);
  ctx.frame.print_busy = 1;
  ctx.msg.wait_flag = 0;
  ctx.frame.idle_counter = 0;
  ctx.frame.events_suppressed = 1;
  dialogs::DoEvents(ctx);
}

void EndRunState(Context& ctx) {
  ctx.main.CmdExit->Enable(true, colour::kExitOn);
  ctx.frame.events_suppressed = 0;
  ctx.frame.idle_counter = 0;
  dialogs::LeaveWaitState(ctx);
}

void AfterPrintRun(Context& ctx) {
  printing::EnablePrintControls(ctx);
  ctx.main.TxtNmmr->Enable(true, colour::kFieldOn);
}

}  // namespace kvor::selection
