// The main window's fill routines of the e-invoice transfer record: values taken from the
// register fields as the print run has read them, cleaned of what the receiver cannot use.
#include <cstddef>
#include <string_view>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "einvoice/gln.h"
#include "einvoice/xml_file.h"
#include "registers/database.h"
#include "registers/row_amounts.h"

namespace kvor::einvoice {

namespace {

using registers::Record;

const Record& F(Context& ctx, std::string_view code) {
  return registers::Fields(ctx, code);
}

void Set(Context& ctx, const char* element, std::string value) {
  ctx.einvoice.values[element] = std::move(value);
}

std::string IsoDate(Context& ctx, std::string_view stored) {
  std::string date;
  FormatIsoDate(ctx.Msg(), stored, date);
  return date;
}

// An amount with a full stop as decimal mark and no thousands separator: "-1234.50".
std::string Amount(Context& ctx, std::string_view stored) {
  std::string value = RemoveBlanks(stored);
  FormatAmount(ctx.Msg(), value, 10, 2, 3);
  return RemoveBlanks(value);
}

std::string FirstNotBlank(std::initializer_list<std::string> values, std::string otherwise = "") {
  for (const std::string& v : values)
    if (!IsBlank(v)) return TrimRight(v);
  return otherwise;
}

// Postcode and town of a 25-character postal line. A line whose first five characters are not
// all digits has no postcode: the whole line, trailing blanks too, stands as the town.
void SetPostalLine(Context& ctx, const char* postcode_element, const char* town_element,
                   const std::string& line) {
  std::string postcode, town;
  int16_t failed = 0;
  SplitPostcode(line, postcode, town, failed);
  if (failed != 0) {
    postcode.clear();
    town = line;
  }
  Set(ctx, postcode_element, postcode);
  Set(ctx, town_element, town);
}

// The payment terms as a reader takes them: the text when it names its own days, else the days
// in front of it.
std::string PaymentTerms(const Record& h) {
  const std::string days = RemoveBlanks(h.Get("BETDAGAR"));
  const std::string text = h.Get("BETTEXT");
  if (text.find(" " + days + " ") != std::string::npos) return TrimRight(text);
  return TrimRight(days + " " + text);
}

// A 12-digit GLN base completed by its check digit; empty and indicator 1 when the base is wrong.
std::string GlnArticleNumber(Context& ctx, const std::string& base, int16_t& err) {
  std::string digit;
  GlnCheckDigit(ctx, base, digit, err);
  return err == 0 ? base + digit : "";
}

// Dimension code of a timber row's article: the parts joined by the middle dot, blanks removed.
std::string DimensionCode(const Record& d) {
  const std::string dot(1, kMiddleDot);
  return RemoveBlanks(d.Get("DSNA_P004") + dot + d.Get("DSNA_P005") + dot + d.Get("DSNA_P007") +
                      dot + d.Get("DSNA_P012") + dot + d.Get("DSNA_P017"));
}

// The seller's article number of a timber row by the customer's article mode.
std::string TimberArticleNumber(Context& ctx, int16_t& err) {
  const Record& d = F(ctx, "SVP-DSNA");
  const Record& load_row = F(ctx, "SVF-LSSP");
  const Record& edi = F(ctx, "SYS-EDIH");
  const std::string mode = F(ctx, "KRK-KUND").Get("KUND_P416");
  if (mode == "A") {
    std::string number = RemoveBlanks(d.Get("DSNA_P115"));
    const std::string minimum = F(ctx, "SYS-FRTG").Get("FRTG_P428");
    const std::size_t shortest = minimum[0] >= '0' && minimum[0] <= '9' ? minimum[0] - '0' : 0;
    if (number.size() < shortest) {
      dialogs::ShowMessage(ctx,
                           Paragraphs("Läs VIRKES-uppgift '"_w + DimensionCode(d) +
                                          "'har EJ något ARTIKEL-nummer!"_w,
                                      "Skall REGISTRERAS via SVP-V09 programmet!"),
                           dialogs::kNotice);
      return "SAKNAS";
    }
    const double share = NumericValue(load_row.Get("LSSP_P034"));
    if (edi.Get("EDIH_P158") == "J" && share > 0 && share < 100 && number.size() >= 2)
      number = number.substr(0, number.size() - 2) + load_row.Get("LSSP_P034");
    return number;
  }
  if (mode == "G") {
    if (NumericValue(d.Get("DSNA_P122")) <= 0) return "";
    return GlnArticleNumber(ctx, edi.Get("EDIH_P004") + edi.Get("EDIH_P006") + d.Get("DSNA_P122"),
                            err);
  }
  if (mode == "V") return RemoveBlanks(d.Get("DSNA_P128"));
  return "";
}

std::string ArticleArticleNumber(Context& ctx, int16_t& err) {
  const Record& a = F(ctx, "ARV-ATKL");
  const Record& edi = F(ctx, "SYS-EDIH");
  const std::string mode = F(ctx, "KRK-KUND").Get("KUND_P416");
  if (mode == "A") return RemoveBlanks(a.Get("ATKL_P085"));
  if (mode == "G") {
    if (NumericValue(a.Get("ATKL_P074")) <= 0) return "";
    return GlnArticleNumber(ctx, edi.Get("EDIH_P004") + edi.Get("EDIH_P006") + a.Get("ATKL_P074"),
                            err);
  }
  if (mode == "V") return RemoveBlanks(a.Get("ATKL_P070"));
  return "";
}

// The certificate numbers the invoice's certification code asks for, each with its share.
void SetCertificates(Context& ctx, bool timber_row) {
  const std::string code = timber_row ? F(ctx, "SVF-FTHD").Get("CERTKOD") : "";
  const Record& settings = F(ctx, "SVF-DATA");
  const auto set = [&](bool wanted, const char* number_element, const char* percent_element,
                       const char* field) {
    const std::string number = wanted ? RemoveBlanks(settings.Get(field)) : "";
    Set(ctx, number_element, number);
    Set(ctx, percent_element, number.empty() ? "" : "100");
  };
  set(code == "P" || code == "B", "R_CertPEFCReferenceNo", "R_CertPEFCReferencePercent",
      "SVFDATA_P192");
  set(code == "F" || code == "B", "R_CertFSCReferenceNo", "R_CertFSCReferencePercent",
      "SVFDATA_P332");
}

}  // namespace

void FillHeaderTransfer(Context& ctx, int16_t& err) {
  const Record& h = F(ctx, "SVF-FTHD");
  const Record& load = F(ctx, "SVF-LSHD");
  const Record& company = F(ctx, "SYS-FRTG");
  const Record& customer = F(ctx, "KRK-KUND");
  Set(ctx, "H_S_Momsregistreringsnr",
      RemoveBlanks(company.Get("FRTG_P029") + company.Get("FRTG_P031") + company.Get("FRTG_P037") +
                   company.Get("FRTG_P041")));
  Set(ctx, "H_S_KONTAKT_Namn",
      FirstNotBlank(
          {F(ctx, "SAK-SFSH").Get("SFSH_P008"), h.Get("VARREF"), company.Get("FRTG_P114")}));
  Set(ctx, "H_S_Bankgiro", RemoveBlanks(company.Get("FRTG_P388")));
  Set(ctx, "H_S_Postgiro", RemoveBlanks(company.Get("FRTG_P401")));
  Set(ctx, "H_S_KONTAKT_Telefon", RemoveBlanks(company.Get("FRTG_P183")));
  Set(ctx, "H_K_KONTAKT_Telefon", RemoveBlanks(customer.Get("KUND_P189")));
  Set(ctx, "H_Fakturanr", h.Get("FAKTNR"));
  Set(ctx, "H_Fakturadatum", IsoDate(ctx, h.Get("FAKTDATUM")));
  Set(ctx, "H_Leveransdatum", IsoDate(ctx, load.Get("LSHD_P048")));
  Set(ctx, "H_K_Momsregistreringsnr",
      RemoveBlanks(customer.Get("KUND_P174") + customer.Get("KUND_P176") +
                   customer.Get("KUND_P182") + customer.Get("KUND_P186")));
  Set(ctx, "H_K_KONTAKT_Namn",
      FirstNotBlank({customer.Get("KUND_P363"), customer.Get("KUND_P259")}, "SAKNAS"));
  Set(ctx, "H_K_Namn", TrimRight(h.Get("FAKTNAMN")));
  Set(ctx, "H_K_GataBox", TrimRight(h.Get("FAKTADR3")));
  SetPostalLine(ctx, "H_K_Postnr", "H_K_Ort", h.Get("FAKTPOSTORT"));
  Set(ctx, "H_K_Land", FirstNotBlank({h.Get("FAKTLAND")}, "SVERIGE"));
  Set(ctx, "H_L_Namn", TrimRight(h.Get("LEVNAMN")));
  Set(ctx, "H_L_Godsadress", TrimRight(h.Get("LEVGODSADR")));
  SetPostalLine(ctx, "H_L_Postnr", "H_L_Ort", h.Get("LEVPOSTORT"));
  Set(ctx, "H_L_Land", FirstNotBlank({h.Get("LEVLAND")}, "SVERIGE"));
  Set(ctx, "H_Bet_Villkor_Kod", h.Get("BETKOD"));
  Set(ctx, "H_Bet_Villkor_Text", PaymentTerms(h));
  Set(ctx, "H_Forfallodatum", IsoDate(ctx, h.Get("FORFDATUM")));
  Set(ctx, "H_REF_Leveransavi", TrimRight(load.Get("LSHD_P500")));
  Set(ctx, "H_REF_Saljarens_bestnr",
      RemoveBlanks(h.Get("ORDERNR")) + RemoveBlanks(h.Get("ORDERTILL")));
  Set(ctx, "H_REF_Koparens_referens", TrimRight(h.Get("KOPREF")));
  Set(ctx, "H_ANM_LA1", TrimRight(h.Get("ANMARKNING")));
  Set(ctx, "H_ANM_LA2",
      TrimRight(SingleBlanks(load.Get("LSHD_P463") + " " + load.Get("LSHD_P475"))));
  Set(ctx, "H_Bet_Valuta", h.Get("VALUTABET"));
  const std::string net = Amount(ctx, h.Get("NETTOFTG"));
  Set(ctx, "H_Summa_Detaljrader", net);
  Set(ctx, "H_Summa_ExklMoms", net);
  Set(ctx, "H_MOMS_Momspliktigt_belopp1", net);
  Set(ctx, "H_MOMS_Procent1", h.Get("MOMSSATS"));
  Set(ctx, "H_MOMS_Momsbelopp1", Amount(ctx, h.Get("MOMSFTG")));
  Set(ctx, "H_Oresutjamning", RemoveBlanks(h.Get("AVRUNDFTG")));
  Set(ctx, "H_Att_betala", Amount(ctx, h.Get("TOTALFTG")));
  ctx.einvoice.row_number = 0;
  WriteInvoiceHeader(ctx, 1, "F", err);
}

void FillTimberRowTransfer(Context& ctx, int16_t& err) {
  err = 0;
  const Record& row = F(ctx, "SVF-FTSP");
  const Record& load_row = F(ctx, "SVF-LSSP");
  std::string article = TimberArticleNumber(ctx, err);
  if (err != 0) return;
  if (IsBlank(article))
    article = load_row.Get("LSSP_P012") + load_row.Get("LSSP_P013") + load_row.Get("LSSP_P039") +
              load_row.Get("LSSP_P044") + load_row.Get("LSSP_P025") + load_row.Get("LSSP_P030");
  Set(ctx, "R_Artikelnr_Saljarens", article);
  Set(ctx, "R_Beskrivning1",
      TrimRight(load_row.Get("LSSP_P012") + " " + TrimRight(F(ctx, "SVP-KTKD").Get("KTKD_P006")) +
                " " + load_row.Get("LSSP_P039") + "x" + load_row.Get("LSSP_P044")));
  Set(ctx, "R_Beskrivning2", TrimRight(F(ctx, "SVP-UFKD").Get("UFKD_P085")));
  Set(ctx, "R_Beskrivning3", "");
  Set(ctx, "R_Kvantitet", RemoveBlanks(row.Get("FTSP_P213")));
  Set(ctx, "R_Enhet", row.Get("FTSP_P032"));
  Set(ctx, "R_Pris", Amount(ctx, row.Get("FTSP_P070")));
  Set(ctx, "R_Summa", Amount(ctx, row.Get("FTSP_P127")));
  SetCertificates(ctx, true);
  WriteInvoiceRow(ctx, 1, "F", err);
}

void FillArticleRowTransfer(Context& ctx, int16_t& err) {
  err = 0;
  const Record& row = F(ctx, "SVF-FTAP");
  std::string article = ArticleArticleNumber(ctx, err);
  if (err != 0) return;
  if (IsBlank(article))
    article = RemoveBlanks(row.Get("FTAP_P019") + row.Get("FTAP_P024") + row.Get("FTAP_P044"));
  Set(ctx, "R_Artikelnr_Saljarens", article);
  Set(ctx, "R_Beskrivning1", TrimRight(row.Get("FTAP_P049")));
  Set(ctx, "R_Beskrivning2", TrimRight(row.Get("FTAP_P079") + " " + row.Get("FTAP_P129")));
  Set(ctx, "R_Beskrivning3", "");
  const std::string quantity = RemoveBlanks(row.Get("FTAP_P188"));
  Set(ctx, "R_Kvantitet", quantity);
  Set(ctx, "R_Enhet", row.Get("FTAP_P197"));
  const std::string amount = Amount(ctx, RemoveBlanks(registers::AdditionalRowAmount(ctx)));
  std::string price = Amount(ctx, row.Get("FTAP_P231"));
  // A row of one piece priced at nothing has its price in its sum.
  if (NumericValue(price) == 0 && NumericValue(quantity) == 1) price = amount;
  Set(ctx, "R_Pris", price);
  Set(ctx, "R_Summa", amount);
  SetCertificates(ctx, false);
  WriteInvoiceRow(ctx, 1, "F", err);
}

}  // namespace kvor::einvoice
