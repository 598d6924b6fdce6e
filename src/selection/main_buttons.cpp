#include "selection/main_buttons.h"

#include "common/cp1252.h"

namespace kvor::selection {

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

void NumberEntryReset(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  MasterWindow& m = ctx.main;
  m.Mf->SetText("Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!"_w);
  m.state.navigation_mode = 1;
  ctx.frame.idle_counter = 0;
  ResetButtons(ctx);
  EnableDigits(ctx);
  ctx.frame.events_suppressed = 1;
  m.TxtNmmr->SetText("");
  m.CboNmmr->SetText("");
  ctx.frame.events_suppressed = 0;
  for (forms::Control* l : {m.LblKoden, m.LblGrupp, m.LblIdent, m.LblLsnmr, m.LblDatum, m.LblSkod,
                            m.LblSats, m.LblVkod, m.LblKurs})
    l->SetText("");
  if (ctx.frame.invoice_list_count > 0) {
    m.CboNmmr->Enable(true, colour::kFieldOn);
    m.CmdUpp->Enable(true, colour::kDigitOn);
    m.CmdNer->Enable(true, colour::kDigitOn);
  }
  m.CmdSpara->Enable(true, colour::kGoOn);
  m.CmdExit->Enable(true, colour::kExitOn);
  m.TxtNmmr->SetBackColor(colour::kFieldFocus);
}

}  // namespace kvor::selection
