#include "printing/printer_choice.h"

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"

namespace kvor::printing {

namespace {

constexpr forms::Color kListPrompt = 0xFFFF00;
constexpr forms::Color kListBusy = 0xFFFFC0;
constexpr forms::Color kListNoPrinterOff = 0xEBEBEB;
constexpr forms::Color kListNoPrinterOn = 0xC00000;

}  // namespace

void LoadPrinterTable(Context& ctx, int16_t& err) {
  err = 0;
  DisablePrintControls(ctx);
  ctx.print.table.fill("");
}

void ListPrinters(Context& ctx, int16_t& err) {
  err = 0;
  ctx.print.installed.clear();
  ctx.main.CboPrnt->ClearItems();
}

void ChoosePrinterByCode(Context& ctx, int16_t code, int16_t& err) {
  err = 0;
  if (code < 1 || code > 15) return;
  ctx.main.CboPrnt->SetText(ctx.print.table[code]);
  ctx.print.current_code = code;
}

int16_t InstalledPrinterCount(const Context& ctx) {
  return static_cast<int16_t>(ctx.print.installed.size());
}

void PromptPrinterChoice(Context& ctx, const std::string& job_name) {
  MasterWindow& m = ctx.main;
  m.Mf->SetText("Välj SKRIVARE med [UPP]/[NER] för "_w + job_name + "-utskrift!");
  m.CboPrnt->SetBackColor(kListPrompt);
  m.CmdKlar->Enable(false, colour::kButtonOff);
  ctx.print.chosen_name = m.CboPrnt->Text();
}

void RefuseTypedPrinter(Context& ctx) {
  dialogs::ShowMessage(ctx, "Tillåter ENDAST att VÄLJA visade SKRIVAR-val!"_w, dialogs::kNotice);
  // Put back without raising the refusal a second time.
  const int16_t suppressed = ctx.frame.events_suppressed;
  ctx.frame.events_suppressed = 1;
  const int16_t code = ctx.print.current_code;
  ctx.main.CboPrnt->SetText(code >= 1 && code <= 15 ? ctx.print.table[code] : "");
  ctx.frame.events_suppressed = suppressed;
  EnablePrintControls(ctx);
  ctx.main.CboPrnt->SetFocus();
}

// The search among the installed printers waits for the printer surface; until then the choice
// shown stands and everything around it is done as with a match.
void ApplyPrinterChoice(Context& ctx, int16_t& err) {
  ctx.print.chosen_name = RemoveBlanks(Upper(ctx.main.CboPrnt->Text()));
  ctx.main.form.SetEnabled(false);
  err = 0;
  EnablePrintControls(ctx);
  ctx.main.form.SetEnabled(true);
}

void DisablePrintControls(Context& ctx) {
  MasterWindow& m = ctx.main;
  m.CmdBryt->Enable(false, colour::kButtonOff);
  m.CboPrnt->Enable(false, ctx.print.installed.empty() ? kListNoPrinterOff : kListBusy);
}

void EnablePrintControls(Context& ctx) {
  MasterWindow& m = ctx.main;
  m.CmdBryt->Enable(true, colour::kStopOn);
  m.CboPrnt->Enable(true, ctx.print.installed.empty() ? kListNoPrinterOn : colour::kFieldOn);
}

void CancelQuestion(Context& ctx, int16_t& err) {
  MasterWindow& m = ctx.main;
  m.Mf->SetText("Besvara VISAT meddelande!");
  m.Mf->SetForeColor(0x000000);
  m.Mb->SetBackColor(colour::kStopOn);
  const std::string title = Upper(m.CboPrnt->Text());
  const std::string text = "Skall AVBRYT pågående UTSKRIFT utföras?"_w;
  ctx.transcript.Box(title, text);
  const forms::BoxAnswer a = ctx.ui.MessageBox(title, text, forms::BoxButtons::YesNo,
                                               forms::BoxIcon::Question, forms::BoxAnswer::No);
  dialogs::RestoreStatusLine(ctx);
  if (a != forms::BoxAnswer::Yes) {
    err = 0;
    return;
  }
  m.CmdBryt->Enable(false, colour::kButtonOff);
  ctx.frame.stop = 1;
  ctx.msg.wait_flag = 0;
  ctx.print.job_begun = 0;
  ctx.frame.print_busy = 0;
  err = 1;
}

}  // namespace kvor::printing
