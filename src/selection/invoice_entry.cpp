#include "selection/invoice_entry.h"

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "printing/printer_choice.h"
#include "registers/database.h"
#include "selection/main_buttons.h"

namespace kvor::selection {

namespace {

constexpr int16_t kHeaderChannel = 2;         // SVF-FTHD
constexpr int16_t kSpecificationChannel = 6;  // SVF-LSHD

std::string CompanyId(const Context& ctx) {
  return Fixed(ctx.frame.company_id, 3);
}

// Sets a text box or combo box from the program without running its change handler.
void SetQuietly(Context& ctx, forms::Control* c, const std::string& text) {
  const int16_t suppressed = ctx.frame.events_suppressed;
  ctx.frame.events_suppressed = 1;
  c->SetText(text);
  ctx.frame.events_suppressed = suppressed;
}

void ShowTested(forms::Control* label, const std::string& value, const FieldColours& colours) {
  label->SetText(value);
  label->SetForeColor(colours.fore);
  label->SetBackColor(colours.back);
}

// A whole list entry: six digits, a blank and the stored date.
bool IsListEntry(const std::string& text) {
  return text.size() == 15 && text[6] == ' ' && text.find_first_not_of("0123456789") == 6;
}

void TakeNumberFromList(Context& ctx) {
  MasterWindow& m = ctx.main;
  std::string number = m.CboNmmr->Text();
  // An entry chosen in the list and confirmed with Enter comes whole; its number is the first
  // six characters.
  if (IsListEntry(number)) number.resize(6);
  PadZerosBefore(ctx.Msg(), number, 6);
  const int16_t suppressed = ctx.frame.events_suppressed;
  ctx.frame.events_suppressed = 1;
  m.TxtNmmr->SetText(number);
  m.CboNmmr->SetText("");
  ctx.frame.events_suppressed = suppressed;
  LookupInvoice(ctx);
}

// The end of a lookup that found nothing to print: back to number entry.
void BackToNumberEntry(Context& ctx) {
  ctx.main.TxtNmmr->Enable(true, colour::kFieldOn);
  ctx.frame.events_suppressed = 0;
  ctx.main.TxtNmmr->SetFocus();
}

}  // namespace

void LoadInvoiceList(Context& ctx, int32_t& unprinted, int32_t& printed, int16_t& err) {
  MasterWindow& m = ctx.main;
  MasterState& s = m.state;
  m.LblKlara->SetText("");
  m.LblAntal->SetText("");
  unprinted = 0;
  printed = 0;
  s.list_position = 0;

  const registers::Layout& layout = *registers::FindLayout("SVF-FTHD");
  const registers::Record& header = registers::Fields(ctx, "SVF-FTHD");
  const std::string prefix = CompanyId(ctx) + "F";
  std::string key = prefix + std::string(6, ' ');
  err = 0;
  for (;;) {
    registers::Nasta(ctx, key, kHeaderChannel, registers::nasta::kGreater, err);
    if (err > 0 || key.compare(0, prefix.size(), prefix) != 0) break;
    registers::Transfer(ctx, layout);
    if (header.Get("KONTRAKT") == "J") continue;
    if (header.Get("UTSKRIVEN") == "J") {
      ++printed;
      m.LblKlara->SetText(std::to_string(printed));
      continue;
    }
    ++unprinted;
    m.LblAntal->SetText(std::to_string(unprinted));
    m.CboNmmr->AddItem(header.Get("FAKTNR") + " " + header.Get("FAKTDATUM"), s.list_position);
    ++s.list_position;
    m.LblIndex->SetText(std::to_string(s.list_position));
  }
  err = 0;

  ctx.frame.invoice_list_count = s.list_position;
  s.lower_bound = 0;
  s.upper_bound = s.list_position - 1;
  s.list_position = 0;
  s.first_step = '0';

  if (unprinted == 0 && printed == 0) {
    dialogs::ShowMessage(ctx, "För UTSKRIFT finns EJ några POSTER att SKRIVA ut!"_w,
                         dialogs::kNotice);
    return;
  }
  std::string mode = unprinted > 0 ? "J" : "N";
  FieldColours colours;
  int16_t test = 0;
  TestYesNo(ctx.Msg(), mode, colours, test);
  m.TxtUkod->SetText(mode);
  m.TxtUkod->SetForeColor(colours.fore);
  m.TxtUkod->SetBackColor(colours.back);
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

void NumberChanged(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  MasterWindow& m = ctx.main;
  int16_t& err = m.state.error;
  const std::string text = m.TxtNmmr->Text();
  TestDigits(ctx.Msg(), text, err);
  if (text.size() == 6 && err == 0) {
    LookupInvoice(ctx);
  } else if (err == 1 && !text.empty()) {
    SetQuietly(ctx, m.TxtNmmr, text.substr(0, text.size() - 1));
  }
}

void NumberKeyPress(Context& ctx, int16_t& key_ascii) {
  if (key_ascii != forms::kKeyEnter) return;
  key_ascii = 0;
  LookupInvoice(ctx);
}

void NumberLostFocus(Context& ctx) {
  if (ctx.main.TxtNmmr->Enabled()) ctx.main.TxtNmmr->SetBackColor(colour::kFieldOn);
}

void ListGotFocus(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  MasterWindow& m = ctx.main;
  dialogs::HelpSelect(ctx, "FAKTURA");
  ResetButtons(ctx);
  ctx.frame.events_suppressed = 1;
  m.TxtNmmr->SetText("");
  m.CboNmmr->SetText("");
  ctx.frame.events_suppressed = 0;
  m.CmdExit->Enable(true, colour::kExitOn);
  m.CboNmmr->SetBackColor(colour::kListFocus);
}

void ListChanged(Context& ctx) {
  if (ctx.frame.events_suppressed) return;
  if (ctx.main.CboNmmr->Text().size() == 6) TakeNumberFromList(ctx);
}

void ListKeyPress(Context& ctx, int16_t& key_ascii) {
  if (key_ascii != forms::kKeyEnter) return;
  key_ascii = 0;
  if (IsBlank(ctx.main.CboNmmr->Text())) {
    ShowMandatoryField(ctx.Msg());
    ctx.main.CboNmmr->SetFocus();
    return;
  }
  TakeNumberFromList(ctx);
}

void ListLostFocus(Context& ctx) {
  if (ctx.main.CboNmmr->Enabled()) ctx.main.CboNmmr->SetBackColor(colour::kFieldOn);
}

void LookupInvoice(Context& ctx) {
  MasterWindow& m = ctx.main;
  MasterState& s = m.state;
  int16_t& err = s.error;

  // 1: nothing else may start while the lookup runs.
  ctx.frame.events_suppressed = 1;
  m.TxtNmmr->Enable(false, colour::kFieldBusy);
  m.CboNmmr->Enable(false, colour::kFieldOff);
  for (forms::Control* b : {m.CmdExit, m.CmdUpp, m.CmdNer}) b->Enable(false, colour::kButtonOff);
  for (forms::Control* b : m.CmdNmr) b->Enable(false, colour::kButtonOff);

  // 2-3: the invoice header.
  std::string number = m.TxtNmmr->Text();
  PadZerosBefore(ctx.Msg(), number, 6);
  s.invoice_number = number;
  m.TxtNmmr->SetText(number);
  std::string key = CompanyId(ctx) + "F" + number;
  registers::Laser(ctx, key, kHeaderChannel, registers::laser::kRead, registers::kSilent, err);
  if (err > 0) {
    dialogs::ShowMessage(ctx, "Angivet FAKTURA-nummer '"_w + number + "' saknas!",
                         dialogs::kNotice);
    m.TxtNmmr->SetText("");
    BackToNumberEntry(ctx);
    return;
  }

  // 4-5: customer and the reprint indicator.
  registers::Transfer(ctx, *registers::FindLayout("SVF-FTHD"));
  registers::Record& header = registers::Fields(ctx, "SVF-FTHD");
  m.LblKoden->SetText(header.Get("LANDKOD"));
  m.LblGrupp->SetText(header.Get("KUNDGRUPP"));
  m.LblIdent->SetText(header.Get("KUNDIDENT"));
  std::string reprint = header.Get("UTSKRIVEN") == "N" ? "J" : "N";
  FieldColours colours;
  TestYesNo(ctx.Msg(), reprint, colours, err);
  ShowTested(m.LblUkod, reprint, colours);

  // 6-8: refusals and the posted notice.
  const std::string invoice_date = "FAKTURA-datum: "_w + header.Get("FAKTDATUM");
  for (const auto& [field, tied_to] :
       {std::pair{"KONTRAKT", "KUND-kontrakt"}, std::pair{"PRODORDER", "PRODUKTIONS-order"}}) {
    if (header.Get(field) != "J") continue;
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Angivet FAKTURA-nummer '"_w + number + "' är KOPPLAD till "_w + tied_to + "!",
                   invoice_date),
        dialogs::kNotice);
    BackToNumberEntry(ctx);
    return;
  }
  if (header.Get("AJOURFORD") == "J") {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Angivet FAKTURA-nummer '"_w + number +
                                        "' är AJOURFÖRT men UTSKRIFT kan ÄNDÅ utföras!"_w,
                                    "AJOURFÖRINGS-datum: "_w + header.Get("AJOURDATUM")),
                         dialogs::kInformation);
  }

  // 9: certification codes.
  const std::string code = header.Get("CERTKOD");
  const std::string flag = header.Get("CERTFLAGGA");
  if (code != "N" && code != "F" && code != "B" && code != "P") {
    header.Set("CERTKOD", "N");
    header.Set("CERTFLAGGA", "N");
  } else if (code == "N" && flag != "N" && flag != "J") {
    header.Set("CERTFLAGGA", "N");
  }
  m.LblPfkod->SetText(header.Get("CERTKOD"));
  m.LblCfkod->SetText(header.Get("CERTFLAGGA"));

  // 10-11: the load specification; the read itself tells of a missing one.
  key = CompanyId(ctx) + "S" + header.Get("SPECNR");
  registers::Laser(ctx, key, kSpecificationChannel, registers::laser::kRead,
                   registers::kTellMissing, err);
  if (err > 0) {
    BackToNumberEntry(ctx);
    return;
  }
  registers::Transfer(ctx, *registers::FindLayout("SVF-LSHD"));
  const registers::Record& specification = registers::Fields(ctx, "SVF-LSHD");
  m.LblLsnmr->SetText(specification.At(5, 6));
  std::string date;
  FormatIsoDate(ctx.Msg(), specification.At(40, 8), date);
  m.LblDatum->SetText(date);
  m.LblSkod->SetText(header.Get("MOMSKOD"));
  m.LblSats->SetText(header.Get("MOMSSATS"));
  m.LblKurs->SetText(header.Get("VALKURS"));
  m.LblVkod->SetText(header.Get("VALUTABET"));

  // 12: on to the printer choice.
  s.lower_bound = 0;
  s.upper_bound = printing::InstalledPrinterCount(ctx) - 1;
  s.list_position = 0;
  s.first_step = '0';
  ShowCertificationCodes(ctx);
  ctx.frame.events_suppressed = 0;
  printing::ApplyPrinterChoice(ctx, err);
  if (err == 0) {
    m.CmdKlar->Enable(true, colour::kGoOn);
    m.CmdKlar->SetFocus();
  } else {
    m.CboPrnt->SetFocus();
  }
}

void ShowCertificationCodes(Context& ctx) {
  MasterWindow& m = ctx.main;
  int16_t& err = m.state.error;
  FieldColours colours;
  std::string value = m.LblPfkod->Text();
  if (!IsBlank(value)) {
    TestCertCode(ctx.Msg(), value, colours, err);
    ShowTested(m.LblPfkod, value, colours);
  }
  value = m.LblCfkod->Text();
  if (!IsBlank(value)) {
    colours = FieldColours{};
    TestYesNo(ctx.Msg(), value, colours, err);
    ShowTested(m.LblCfkod, value, colours);
  }
  err = 0;
}

}  // namespace kvor::selection
