#include "printing/print_run.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "einvoice/xml_file.h"
#include "printing/invoice_page.h"
#include "printing/page_engine.h"
#include "printing/printer_choice.h"
#include "registers/database.h"
#include "registers/readers.h"
#include "settings/open_file.h"
#include "settings/settings.h"

namespace kvor::printing {

namespace {

namespace laser = registers::laser;
using registers::kSilent;
using registers::kTellMissing;
using registers::Record;

Record& F(Context& ctx, const char* code) {
  return registers::Fields(ctx, code);
}

std::string Company(const Context& ctx) {
  return Fixed(ctx.frame.company_id, 3);
}

// The same, clearing the fields when the record is missing; the run goes on.
void ReadOrClear(Context& ctx, const char* code, const std::string& key) {
  int16_t err = 0;
  registers::ReadRecord(ctx, code, key, laser::kRead, kSilent, err);
  if (err != 0) registers::Clear(ctx, *registers::FindLayout(code));
}

// Amounts are summed in thousandths: the stored texts have three decimals, and whole numbers
// keep the sums exact.
long long Thousandths(std::string_view amount) {
  return std::llround(NumericValue(amount) * 1000);
}

std::string AmountText(Context& ctx, long long thousandths, int16_t integer_digits) {
  std::string value = std::to_string(thousandths / 1000.0);
  FormatAmount(ctx.Msg(), value, integer_digits, 3, 4);
  return value;
}

void SetAmount(Context& ctx, Record& r, const char* field, long long thousandths) {
  r.Set(field, AmountText(ctx, thousandths, 10));
}

// A row count into its 3-character header field, right-aligned as the suite writes its counts.
// A count the field cannot hold is stored as 999, and the user is told so once, in the first
// print, which is the pass that writes the header back.
void StoreRowCount(Context& ctx, const char* field, int32_t count) {
  Record& h = F(ctx, "SVF-FTHD");
  constexpr int32_t kLargest = 999;
  if (count > kLargest && ctx.print.run.copy == 0) {
    const std::string rows = std::string_view(field) == "ANTALSPEC"
                                 ? std::string("specifikationsrader")
                                 : std::string("tilläggsrader"_w);
    dialogs::ShowMessage(
        ctx,
        Paragraphs("För FAKTURA-nummer '"_w + h.Get("FAKTNR") + "' är ANTALET "_w + rows +
                       " STÖRRE än 999!"_w,
                   "Antal: " + std::to_string(count), "I fakturahuvudet lagras 999."),
        dialogs::kNotice);
  }
  std::string text = std::to_string(std::min(count, kLargest));
  PadBlanksBefore(ctx.Msg(), text, 3);
  h.Set(field, text);
}

void ResetSums(Context& ctx) {
  Record& h = F(ctx, "SVF-FTHD");
  for (const char* field : {"AVDRAGFTG", "AVDRAGVAL", "NETTOVAL", "NETTOFTG", "RADSUMMA1",
                            "MOMSVAL", "MOMSFTG", "RADSUMMA2", "RADSUMMA3", "TOTALVAL", "TOTALFTG"})
    SetAmount(ctx, h, field, 0);
  h.Set("AVRUNDVAL", AmountText(ctx, 0, 2));
  h.Set("AVRUNDFTG", AmountText(ctx, 0, 2));
  ctx.print.run.specification_rows = 0;
  ctx.print.run.additional_rows = 0;
  StoreRowCount(ctx, "ANTALSPEC", 0);
  StoreRowCount(ctx, "ANTALTILL", 0);
}

// Which row amount goes into which header sum, and with which sign.
struct SumPart {
  const char* row_field;
  const char* header_field;
  int sign;
};

constexpr SumPart kSpecificationSums[] = {
    {"FTSP_P085", "AVDRAGFTG", 1}, {"FTSP_P085", "NETTOFTG", -1}, {"FTSP_P099", "AVDRAGVAL", 1},
    {"FTSP_P099", "NETTOVAL", -1}, {"FTSP_P113", "NETTOVAL", 1},  {"FTSP_P127", "NETTOFTG", 1},
    {"FTSP_P141", "RADSUMMA1", 1}, {"FTSP_P155", "MOMSVAL", 1},   {"FTSP_P169", "MOMSFTG", 1},
    {"FTSP_P183", "RADSUMMA2", 1}, {"FTSP_P197", "RADSUMMA3", 1}};

constexpr SumPart kAdditionalSums[] = {{"FTAP_P250", "NETTOVAL", 1},  {"FTAP_P264", "NETTOFTG", 1},
                                       {"FTAP_P278", "RADSUMMA1", 1}, {"FTAP_P292", "MOMSVAL", 1},
                                       {"FTAP_P306", "MOMSFTG", 1},   {"FTAP_P320", "RADSUMMA2", 1},
                                       {"FTAP_P334", "RADSUMMA3", 1}};

// The row in the fields of `row_register` into the header sums, and one more row counted.
void AddRow(Context& ctx, const char* row_register, std::span<const SumPart> parts,
            int32_t& count) {
  Record& h = F(ctx, "SVF-FTHD");
  const Record& row = F(ctx, row_register);
  for (const SumPart& p : parts)
    SetAmount(ctx, h, p.header_field,
              Thousandths(h.Get(p.header_field)) + p.sign * Thousandths(row.Get(p.row_field)));
  ++count;
}

// SYSOREVP: EGETPRIS multiplies the price by the rate, VALUTAPRIS divides it. A zero rate is
// reported and empties both the price and the result; a zero price gives an empty result.
std::string OwnPrice(Context& ctx, bool multiply, std::string& price, const std::string& rate) {
  if (NumericValue(rate) == 0) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs(multiply ? "Modulen SYSOREVP för EGETPRIS får FELAKTIG parameter!"_w
                            : "Modulen SYSOREVP för VALUTAPRIS får FELAKTIG parameter!"_w,
                   "FpString: " + price, "VkString: " + rate),
        dialogs::kError);
    price.clear();
    return {};
  }
  if (NumericValue(price) == 0) return {};
  const double result = multiply ? NumericValue(price) * NumericValue(rate)
                                 : NumericValue(price) / NumericValue(rate);
  std::string text = std::to_string(result);
  FormatAmount(ctx.Msg(), text, 10, 3, 4);
  return text;
}

// The price pair of an additional row: the given price in one currency gives the other.
void SettlePricePair(Context& ctx) {
  Record& row = F(ctx, "SVF-FTAP");
  std::string invoice_price = row.Get("FTAP_P205"), own_price = row.Get("FTAP_P231");
  const std::string rate = row.Get("FTAP_P221");
  if (NumericValue(invoice_price) == 0 && NumericValue(own_price) == 0) {
    row.Set("FTAP_P478", "N");
    return;
  }
  std::string mark = row.Get("FTAP_P478");
  if (mark != "E" && mark != "U") mark = "E";
  row.Set("FTAP_P478", mark);
  if (mark == "U") {
    own_price = OwnPrice(ctx, true, invoice_price, rate);
  } else {
    invoice_price = OwnPrice(ctx, false, own_price, rate);
  }
  row.Set("FTAP_P205", invoice_price);
  row.Set("FTAP_P231", own_price);
}

// SVP-KTKD, SVP-UFKD, SVP-VAKD and SVP-FTKD for the specification row.
void LookUpRowCodes(Context& ctx, int16_t& err) {
  const Record& row = F(ctx, "SVF-FTSP");
  const std::string company = Company(ctx);
  registers::ReadRecord(ctx, "SVP-KTKD", company + row.Get("FTSP_P023"), laser::kRead, kTellMissing,
                        err);
  if (err != 0) return;
  registers::ReadRecord(ctx, "SVP-UFKD", company + row.Get("FTSP_P012") + row.Get("FTSP_P025"),
                        laser::kRead, kTellMissing, err);
  if (err != 0) return;
  ReadOrClear(ctx, "SVP-VAKD", company + row.Get("FTSP_P025"));
  registers::ReadRecord(ctx, "SVP-FTKD", company + row.Get("FTSP_P030"), laser::kRead, kTellMissing,
                        err);
}

void ShowRecordsRead(Context& ctx) {
  std::string shown = std::to_string(++ctx.print.run.records_read);
  PadBlanksBefore(ctx.Msg(), shown, 5);
  ctx.main.LblLasta->SetText(shown);
}

// The invoice is in the company's own currency: its 2-character currency code is the company's.
bool InOwnCurrency(Context& ctx) {
  return F(ctx, "SVF-FTHD").Get("VALKOD") == F(ctx, "SYS-FRTG").Get("FRTG_P372");
}

// The end sums: the row counts, the rounding to whole units and the totals.
void EndSums(Context& ctx, int16_t& err) {
  Record& h = F(ctx, "SVF-FTHD");
  StoreRowCount(ctx, "ANTALSPEC", ctx.print.run.specification_rows);
  StoreRowCount(ctx, "ANTALTILL", ctx.print.run.additional_rows);
  const bool own_currency = InOwnCurrency(ctx);
  auto rounding = [&](long long amount, std::string& into) {
    std::string difference;
    RoundingDifference(ctx.Msg(), std::to_string(amount / 1000.0), difference, 2, err);
    into = AmountText(ctx, Thousandths(difference), 2);
    return err == 0;
  };
  std::string text;
  if (own_currency) {
    if (!rounding(Thousandths(h.Get("NETTOFTG")) + Thousandths(h.Get("MOMSFTG")), text)) return;
    h.Set("AVRUNDFTG", text);
  } else {
    if (!rounding(Thousandths(h.Get("NETTOVAL")) + Thousandths(h.Get("MOMSVAL")), text)) return;
    h.Set("AVRUNDVAL", text);
    // The rounding carried over at the invoice's rate, rounded to hundredths.
    std::string in_own;
    RoundDecimals(std::to_string(NumericValue(text) * NumericValue(h.Get("VALKURS"))), in_own, 2,
                  err);
    h.Set("AVRUNDFTG", AmountText(ctx, Thousandths(in_own), 2));
  }
  SetAmount(ctx, h, "TOTALVAL",
            Thousandths(h.Get("MOMSVAL")) + Thousandths(h.Get("AVRUNDVAL")) +
                Thousandths(h.Get("NETTOVAL")));
  SetAmount(ctx, h, "TOTALFTG",
            Thousandths(h.Get("MOMSFTG")) + Thousandths(h.Get("AVRUNDFTG")) +
                Thousandths(h.Get("NETTOFTG")));
}

// Steps 2 to 13: every record the invoice needs, read before anything is printed. 1: stop.
void ReadInvoice(Context& ctx, int16_t& err) {
  MasterWindow& m = ctx.main;
  const std::string company = Company(ctx);
  const std::string key = company + "F" + m.TxtNmmr->Text();
  registers::ReadRecord(ctx, "SVF-FTHD", key, laser::kReadLockedOrCancel, kTellMissing, err);
  if (err > 0) return;
  m.LblVisas->SetText(key);
  Record& h = F(ctx, "SVF-FTHD");

  registers::ReadRecord(ctx, "KRK-KUND",
                        company + h.Get("LANDKOD") + h.Get("KUNDGRUPP") + h.Get("KUNDIDENT"),
                        laser::kRead, kTellMissing, err);
  if (err > 0) return;
  registers::ReadCustomerExtra(ctx, 26, err);
  if (err > 0) return;
  int16_t second = 0;
  registers::ShowEInvoiceData(ctx, ctx.print.run.language, second);
  ctx.print.run.copy = 0;

  Record& customer = F(ctx, "KRK-KUND");
  if (customer.Get("KUND_P314") == "R") {
    h.Set("FAKTNAMN", customer.Get("KUND_P024"));
    h.Set("FAKTADR1", customer.Get("KUND_P054"));
    h.Set("FAKTADR2", customer.Get("KUND_P079"));
    h.Set("FAKTADR3", customer.Get("KUND_P104"));
    h.Set("FAKTPOSTORT", customer.Get("KUND_P129"));
    h.Set("FAKTLAND", customer.Get("KUND_P154"));
  }
  const bool einvoice = customer.Get("KUND_P409") == "J";
  if (einvoice) {
    registers::ReadEdi(ctx, 25, err);
    if (err == 1) return;
    m.LblLkgln->SetText(F(ctx, "SYS-EDIH").Get("EDIH_P004"));
    m.LblFtgln->SetText(F(ctx, "SYS-EDIH").Get("EDIH_P006"));
  }
  const int16_t language = ctx.print.run.language;
  if (language < 0 || language > ctx.install.highest_language) {
    settings::TestLanguageCode(
        ctx, RemoveBlanks(h.Get("LANDKOD") + h.Get("KUNDGRUPP") + h.Get("KUNDIDENT")), "KRK",
        "KUND", std::to_string(language));
    err = 1;
    return;
  }
  registers::ReadIban(ctx, 12, h.Get("VALKOD"), err);
  err = 0;  // a missing IBAN record does not stop the run

  registers::ReadRecord(ctx, "SVF-LSHD", company + "S" + h.Get("SPECNR"), laser::kRead,
                        kTellMissing, err);
  if (err > 0) return;
  registers::WriteLoadSpecificationCertification(ctx, 8, err);
  if (err > 0) return;
  if (F(ctx, "SVF-LSHD").Get("LSHD_P738") == "J") {
    registers::ReadRecord(ctx, "SVP-POHD", company + "P" + h.Get("ORDERNR"), laser::kRead,
                          kTellMissing, err);
    if (err > 0) return;
  }

  ReadOrClear(ctx, "SVF-TEXT", company + customer.Get("KUND_P308") + "F");
  ReadOrClear(ctx, "SAK-SFSH", company + h.Get("SALJKOD"));
  registers::ReadSvfData(ctx, 27, customer.Get("KUND_P308"), err);
  if (err == 1) return;
  err = 0;

  // The amount of the VALUTA line: the net, unless the installation keeps a stored amount that is
  // not zero and not above the net. The installation's settings flag (position 20 of the
  // settings value) is the setting that decides it.
  const std::string net = h.Get(InOwnCurrency(ctx) ? "NETTOFTG" : "NETTOVAL");
  std::string amount = h.Get("FTHD_P889");
  const double stored = NumericValue(amount);
  if (ctx.install.settings_flag == "N" || stored == 0 || stored > NumericValue(net)) amount = net;
  amount = std::to_string(NumericValue(amount));
  FormatAmount(ctx.Msg(), amount, 10, 2, 3);
  h.Set("FTHD_P889", amount);

  std::string due = h.Get("FAKTDATUM");
  AddToDate(ctx.Msg(), due, h.Get("BETDAGAR"), 3, err);
  if (err == 1) return;
  h.Set("FORFDATUM", due);

  if (NumericValue(h.Get("FASBELOPP")) > NumericValue(h.Get("NETTOFTG"))) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("För FAKTURA-nummer '"_w + h.Get("FAKTNR") +
                                        "' är FAS-beloppet STÖRRE än NETTO-beloppet!"_w,
                                    "NETTO-beloppet: " + RemoveBlanks(h.Get("NETTOFTG")),
                                    "FAS-beloppet: " + RemoveBlanks(h.Get("FASBELOPP"))),
                         dialogs::kNotice);
  }
}

// Step 15.3: the specification rows of one pass. 1: end.
void SpecificationRows(Context& ctx, bool einvoice, int16_t& err) {
  PrintState::Run& run = ctx.print.run;
  const registers::Layout& rows = *registers::FindLayout("SVF-FTSP");
  const std::string prefix = F(ctx, "SVF-FTHD").Text().substr(0, 10);
  std::string key = prefix + std::string(28, ' ');
  run.records_read = 0;
  for (;;) {
    registers::Nasta(ctx, key, rows.channel, registers::nasta::kGreater, err);
    if (err != 0 || key.compare(0, prefix.size(), prefix) != 0) break;
    registers::Transfer(ctx, rows);
    ShowRecordsRead(ctx);
    registers::LookUpLoadSpecificationRow(ctx, 19, err);
    if (err > 0) break;
    LookUpRowCodes(ctx, err);
    if (err != 0) return;
    PrintSpecificationRow(ctx, run.copy, run.language, err);
    if (err != 0) return;
    AddRow(ctx, "SVF-FTSP", kSpecificationSums, run.specification_rows);
    if (run.copy == 0) {
      // The dimension record's five codes are the load-specification row's description code,
      // code, dimension part and its two dimensions, in their widths 1, 2, 5, 5 and 5.
      const Record& row = F(ctx, "SVF-LSSP");
      ReadOrClear(ctx, "SVP-DSNA",
                  Company(ctx) + row.Get("LSSP_P012") + row.Get("LSSP_P013") +
                      row.Get("LSSP_P025") + row.Get("LSSP_P039") + row.Get("LSSP_P044"));
      if (einvoice) {
        einvoice::FillTimberRowTransfer(ctx, err);
        if (err != 0) return;
      }
    }
  }
  err = 0;
}

// Step 15.4: the additional rows of one pass, each with its price pair written back. 1: end.
void AdditionalRows(Context& ctx, bool einvoice, int16_t& err) {
  PrintState::Run& run = ctx.print.run;
  const registers::Layout& rows = *registers::FindLayout("SVF-FTAP");
  const std::string prefix = F(ctx, "SVF-FTHD").Text().substr(0, 10);
  std::string key = prefix + std::string(8, ' ');
  for (;;) {
    registers::Nasta(ctx, key, rows.channel, registers::nasta::kGreater, err);
    if (err != 0 || key.compare(0, prefix.size(), prefix) != 0) break;
    ShowRecordsRead(ctx);
    std::string row_key = key;
    registers::ReadRecord(ctx, "SVF-FTAP", row_key, laser::kReadLocked, kTellMissing, err);
    if (err != 0) return;
    SettlePricePair(ctx);
    registers::Build(ctx, rows);
    registers::Skriver(ctx, row_key, rows.channel, registers::skriver::kUpdate, kTellMissing, err);
    if (err > 0) {
      err = 0;
      return;
    }
    registers::Transfer(ctx, rows);
    PrintAdditionalRow(ctx, run.copy, run.language, err);
    if (err != 0) return;
    AddRow(ctx, "SVF-FTAP", kAdditionalSums, run.additional_rows);
    if (run.copy == 0 && einvoice) {
      const Record& row = F(ctx, "SVF-FTAP");
      const std::string article = row.Get("FTAP_P019") + row.Get("FTAP_P024");
      ReadOrClear(ctx, "ARV-AVID", Company(ctx) + article + row.Get("FTAP_P044"));
      ReadOrClear(ctx, "ARV-ATKL", Company(ctx) + article);
      einvoice::FillArticleRowTransfer(ctx, err);
      if (err != 0) return;
    }
  }
  err = 0;
}

// Step 15: the first print and the copies. Leaves the error indicator of the step that ended it;
// `currency_missing` tells the caller to show the currency message.
void Passes(Context& ctx, bool einvoice, bool& currency_missing, int16_t& err) {
  PrintState::Run& run = ctx.print.run;
  Record& h = F(ctx, "SVF-FTHD");
  const int copies = static_cast<int>(NumericValue(F(ctx, "SYS-DATA").Get("SYSDATA_P061")));
  for (;;) {
    ResetSums(ctx);
    PrintPageHead(ctx, run.copy, run.language, err);
    if (err != 0) return;
    SpecificationRows(ctx, einvoice, err);
    if (err != 0) return;
    AdditionalRows(ctx, einvoice, err);
    if (err != 0) return;

    int16_t found = 0;
    registers::ReadRecord(ctx, "SVF-FKFT", h.Text().substr(0, 10), laser::kRead, kSilent, found);
    if (found == 0) {
      PrintFreightText(ctx, run.copy, run.language, err);
      if (err != 0) return;
    }

    registers::ReadBusinessArea(ctx, 13, "VK", h.Get("VALKOD"), err);
    if (err == 1) {
      currency_missing = true;
      return;
    }
    const Record& currency = F(ctx, "VSH-DATA");
    h.Set("FTHD_P868", currency.Get("VSHDATA_P037"));
    h.Set("VALUTABET", currency.Get("VSHDATA_P012"));

    EndSums(ctx, err);
    if (err != 0) return;
    if (run.copy == 0) {  // only the first print marks the header printed
      registers::WritePrintedMark(ctx, 2, err);
      if (err != 0) return;
    }
    PrintTotals(ctx, run.language, err);
    if (err != 0) return;
    if (run.copy >= copies) return;
    ++run.copy;
    ctx.print.copy_pages = 0;
  }
}

}  // namespace

void PrintRun(Context& ctx, int16_t& err) {
  MasterWindow& m = ctx.main;
  PrintState::Run& run = ctx.print.run;
  m.LblVisas->SetText("");
  m.LblLasta->SetText("");
  ctx.print.copy_pages = 0;
  m.state.einvoice_written = 0;
  run.records_read = 0;
  run.copy = 0;

  ReadInvoice(ctx, err);
  if (err != 0) return;
  Record& h = F(ctx, "SVF-FTHD");
  const bool einvoice = F(ctx, "KRK-KUND").Get("KUND_P409") == "J";
  ctx.print.job_name = "FAKTURA";
  ctx.print.job_key = h.Text().substr(0, 10);

  if (einvoice) {
    einvoice::OpenInvoiceXml(ctx, 1, "F", h.Get("FTGID") + "-" + h.Get("FAKTNR"), err);
    if (err == 1) return;
    einvoice::FillHeaderTransfer(ctx, err);
    if (err == 0) m.state.einvoice_written = 1;
  }
  bool currency_missing = false;
  if (err == 0) Passes(ctx, einvoice, currency_missing, err);
  if (currency_missing) {
    std::string code = h.Get("VALKOD");
    for (char& c : code)
      if (c == ' ') c = '\xB7';
    dialogs::ShowMessage(
        ctx,
        Paragraphs(
            "För FAKTURA-nummer '"_w + h.Get("FAKTNR") + "' måste KODEN för VALUTAN registreras!"_w,
            "Denna KOD skall REGISTRERAS via VSH-V01 programmet!"_w, "VALUTA-kod: " + code),
        dialogs::kNotice);
  }

  int16_t end = 0;
  Avsluta(ctx, "FAKTURA", end);
  if (m.state.einvoice_written != 1) {
    if (einvoice) settings::CloseTextFile(ctx, 1);  // a refused customer leaves the file empty
    return;
  }
  einvoice::EndInvoiceXml(ctx, 1, "F", end);
  einvoice::CloseInvoiceXml(ctx, 1, end);
  if (end != 0) {  // a cut-off file was told about and is never offered for sending
    m.state.einvoice_written = 0;
    m.CmdSand->Enable(false, colour::kButtonOff);
    return;
  }
  dialogs::ShowMessage(
      ctx,
      Paragraphs("För FAKTURA-nummer '"_w + h.Get("FAKTNR") + "' har DATA som XML skapats!"_w,
                 "Tryck KONTROLL för VISA dess INNEHÅLL i XML-filen!"_w,
                 "Tryck SKICKA för ÖVERFÖRING till FTP-servern!"_w, "Fil " + ctx.einvoice.path),
      dialogs::kInformation);
  m.CmdSand->Enable(true, colour::kGoOn);
}

}  // namespace kvor::printing
