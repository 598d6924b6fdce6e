#include "demo_invoices.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "common/cp1252.h"

namespace kvor::demo {

namespace {

using Fields = std::vector<reg::Assignment>;

const std::string kCompany = "001";

// Money is kept in hundredths (öre, cent) so that every sum of the sample is exact.
using Cents = int64_t;

// Half away from zero, as the invoices are rounded.
Cents RoundDiv(int64_t numerator, int64_t denominator) {
  const int64_t half = denominator / 2;
  return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

// A number right-aligned in width with two or three decimals: "      1234.500".
std::string Decimal(Cents cents, std::size_t width, int decimals) {
  const Cents whole = (cents < 0 ? -cents : cents) / 100;
  const Cents fraction = (cents < 0 ? -cents : cents) % 100;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%02lld%s", cents < 0 ? "-" : "",
                static_cast<long long>(whole), static_cast<long long>(fraction),
                decimals == 3 ? "0" : "");
  std::string out = text;
  return out.size() < width ? std::string(width - out.size(), ' ') + out : out;
}
std::string Amount(Cents cents) {
  return Decimal(cents, 14, 3);
}
// A quantity in thousandths, 3 decimals, right-aligned.
std::string Quantity(int64_t milli, std::size_t width) {
  char text[40];
  std::snprintf(text, sizeof text, "%*lld.%03lld", static_cast<int>(width) - 4,
                static_cast<long long>(milli / 1000), static_cast<long long>(milli % 1000));
  return text;
}
std::string Count(std::size_t n) {
  char text[8];
  std::snprintf(text, sizeof text, "%3zu", n);
  return text;
}

std::string PlusDays(const std::string& yyyymmdd, int days) {
  using namespace std::chrono;
  const year_month_day from{year{std::stoi(yyyymmdd.substr(0, 4))},
                            month{static_cast<unsigned>(std::stoi(yyyymmdd.substr(4, 2)))},
                            day{static_cast<unsigned>(std::stoi(yyyymmdd.substr(6, 2)))}};
  const year_month_day to{sys_days{from} + std::chrono::days{days}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(to.year()),
                static_cast<unsigned>(to.month()), static_cast<unsigned>(to.day()));
  return text;
}

struct Customer {
  std::string country_code;  // LANDKOD
  std::string group;         // KUNDGRUPP
  std::string ident;         // KUNDIDENT
  std::string name, line1, line2, street, town, country;
  std::string vat1, vat2, vat3, vat4;
  std::string phone, contact;
  std::string language;        // digit
  std::string address_source;  // "R": the invoice prints this register's address
  bool einvoice = false;       // with file type "H" and a GLN identity
  std::string gln;             // 13 digits; with it the customer has KRK-XTRA
  bool extra = false;          // KRK-XTRA without a GLN
  std::string delivery_town;   // the delivery address's postal line, when not `town`
};

const Customer kAkesson{"SE",
                        "100",
                        "AKESSON",
                        "Åkesson & Öberg Trävaror AB"_w,
                        "Ekonomiavdelningen",
                        "",
                        "Box 114",
                        "331 21 Värnamo"_w,
                        "Sverige",
                        "SE",
                        "556123",
                        "4567",
                        "01",
                        "0370-481 20",
                        "Åsa Åkesson"_w,
                        "0",
                        "F",
                        false,
                        "",
                        false,
                        ""};
const Customer kNorrbygg{"SE",
                         "100",
                         "NORRBYGG",
                         "Norrbygg & Trä AB"_w,
                         "Fakturamottagning",
                         "",
                         "Storgatan 8",
                         "352 30 Växjö"_w,
                         "Sverige",
                         "SE",
                         "556987",
                         "1234",
                         "01",
                         "090-14 22 00",
                         "Örjan Nilsson"_w,
                         "0",
                         "F",
                         true,
                         "7350012345679",
                         false,
                         "Virkesterminalen Växjö"_w};
const Customer kMuller{"DE",
                       "200",
                       "HOLZMULLER",
                       "Holzhandel Müller GmbH"_w,
                       "Buchhaltung",
                       "",
                       "Hafenstraße 17"_w,
                       "20457 Hamburg"_w,
                       "Deutschland",
                       "DE",
                       "811234",
                       "567",
                       "",
                       "+49 40 123456",
                       "Jürgen Müller"_w,
                       "2",
                       "F",
                       false,
                       "",
                       false,
                       ""};
const Customer kSjoberg{"SE",
                        "100",
                        "SJOBERG",
                        "Sjöbergs Bygg & Trä AB"_w,
                        "Att: Göran Sjöberg"_w,
                        "",
                        "Industrivägen 3"_w,
                        "571 38 Nässjö"_w,
                        "Sverige",
                        "SE",
                        "556444",
                        "3322",
                        "01",
                        "0380-55 10 10",
                        "Göran Sjöberg"_w,
                        "0",
                        "R",
                        false,
                        "",
                        false,
                        ""};
const Customer kHalsinge{"SE",
                         "100",
                         "HALSINGE",
                         "Hälsinge Snickeri AB"_w,
                         "",
                         "",
                         "Kvarnvägen 21"_w,
                         "821 42 Bollnäs"_w,
                         "Sverige",
                         "SE",
                         "556777",
                         "8811",
                         "01",
                         "0278-61 00 00",
                         "Mats Hällström"_w,
                         "0",
                         "F",
                         false,
                         "",
                         true,
                         ""};
const Customer* const kCustomers[] = {&kAkesson, &kNorrbygg, &kMuller, &kSjoberg, &kHalsinge};

// A timber row: product, quality, nominal dimensions (mm, one decimal), length (mm), quantity
// (m3, thousandths), price per m3 (hundredths) and the rejected quantity priced at a third.
struct Timber {
  std::string product;  // "FU" pine, "GR" spruce
  std::string quality;  // "SF", "KV", "UT"
  std::string thickness, width, length;
  int64_t quantity = 0;
  Cents price = 0;
  int64_t rejected = 0;
};

// An additional row: an article (group, number) with its text, quantity and price.
struct Article {
  std::string group, number, text, description;
  int64_t quantity = 0;
  std::string unit;
  Cents price = 0;
};

struct Invoice {
  std::string number, date;
  const Customer* customer;
  std::vector<Timber> rows;
  std::vector<Article> articles;
  bool euro = false;
  std::string cert = "N", cert_flag = "N";
  bool printed = false, posted = false, contract = false, production_order = false;
  bool specification_missing = false, purchase_order = false;
  bool delivery_date_known = true;
  std::string freight;  // first line of the freight text; none when empty
  std::string seller = "0001";
};

struct Product {
  const char* code;
  std::string sv, en, de;
};
const Product kProducts[] = {{"FU", "Furu, sågad"_w, "Pine, sawn", "Kiefer, gesägt"_w},
                             {"GR", "Gran, sågad"_w, "Spruce, sawn", "Fichte, gesägt"_w}};
struct Quality {
  const char* code;
  std::string sv, en, de;
};
const Quality kQualities[] = {{"SF", "Sågfallande"_w, "Sawfalling", "Sägefallend"_w},
                              {"KV", "Kvinta", "Fifths", "Fünfte"_w},
                              {"UT", "Utskott", "Sixths", "Ausschuss"}};

// Key parts every timber row of the sample shares: row group "1", sawn goods "1", invoice type
// "01", unit "M3" and the last key character "0".
const char* const kRowGroup = "1";
const char* const kGradeGroup = "1";
const char* const kInvoiceType = "01";
const char* const kUnit = "M3";
const char* const kLastKey = "0";

std::string Padded(const std::string& value, std::size_t width) {
  std::string out = value;
  out.resize(width, ' ');
  return out;
}
// Five characters right-aligned: " 22.0".
std::string Dimension(const std::string& value) {
  return value.size() < 5 ? std::string(5 - value.size(), ' ') + value : value;
}

class Sample {
 public:
  std::vector<SampleRecord> records;

  void Add(const char* code, Fields fields) { records.push_back({code, std::move(fields)}); }
  // Code and load-specification records several rows share are written once.
  void AddOnce(const char* code, const std::string& key, Fields fields) {
    if (written_.insert(std::string(code) + key).second) Add(code, std::move(fields));
  }

 private:
  std::set<std::string> written_;
};

void AddCustomer(Sample& s, const Customer& c) {
  const bool gln = !c.gln.empty();
  s.Add("KRK-KUND", {{"KUND_P001", kCompany},
                     {"KUND_P004", c.country_code},
                     {"KUND_P006", c.group},
                     {"KUND_P009", c.ident},
                     {"KUND_P024", c.name},
                     {"KUND_P054", c.line1},
                     {"KUND_P079", c.line2},
                     {"KUND_P104", c.street},
                     {"KUND_P129", c.town},
                     {"KUND_P154", c.country},
                     {"KUND_P174", c.vat1},
                     {"KUND_P176", c.vat2},
                     {"KUND_P182", c.vat3},
                     {"KUND_P186", c.vat4},
                     {"KUND_P189", c.phone},
                     {"KUND_P259", c.contact.substr(0, 20)},
                     {"KUND_P308", c.language},
                     {"KUND_P314", c.address_source},
                     {"KUND_P348", "N"},
                     {"KUND_P363", c.contact},
                     {"KUND_P409", c.einvoice ? "J" : "N"},
                     {"KUND_P410", c.einvoice ? "H" : "N"},
                     {"KUND_P416", c.einvoice ? "A" : "N"},
                     {"KUND_P457", "N"},
                     {"KUND_P461", c.einvoice ? "G" : "N"}});
  if (!gln && !c.extra) return;
  Fields extra = {{"XTRA_P001", kCompany}, {"XTRA_P004", c.country_code},
                  {"XTRA_P006", c.group},  {"XTRA_P009", c.ident},
                  {"XTRA_P047", "N"},      {"XTRA_P048", "N"},
                  {"XTRA_P055", "N"},      {"XTRA_P056", "N"},
                  {"XTRA_P057", "N"},      {"XTRA_P224", "100"},
                  {"XTRA_P232", "N"},      {"XTRA_P233", "N"},
                  {"XTRA_P234", "N"},      {"XTRA_P235", "N"},
                  {"XTRA_P236", "N"},      {"XTRA_P237", "N"},
                  {"XTRA_P238", "0"},      {"XTRA_P239", "N"},
                  {"XTRA_P240", "0"},      {"XTRA_P308", "4"},
                  {"XTRA_P309", "1"},      {"XTRA_P310", "3"},
                  {"XTRA_P311", "3"},      {"XTRA_P312", "0"}};
  if (gln) {
    extra.push_back({"XTRA_P241", c.gln.substr(0, 2)});
    extra.push_back({"XTRA_P243", c.gln.substr(2, 5)});
    extra.push_back({"XTRA_P248", c.gln.substr(7, 5)});
    extra.push_back({"XTRA_P253", c.gln.substr(12, 1)});
  }
  s.Add("KRK-XTRA", std::move(extra));
}

// The code registers every timber row of the sample refers to, and the articles.
void AddCodes(Sample& s) {
  for (const Quality& q : kQualities)
    s.Add("SVP-KTKD", {{"KTKD_P001", kCompany},
                       {"KTKD_P004", q.code},
                       {"KTKD_P006", q.sv},
                       {"KTKD_P018", q.en},
                       {"KTKD_P030", q.de},
                       {"KTKD_P133", "J"}});  // the quality code is printed on the row
  for (const Product& p : kProducts) {
    s.Add("SVP-UFKD", {{"UFKD_P001", kCompany},
                       {"UFKD_P004", kGradeGroup},
                       {"UFKD_P005", p.code},
                       {"UFKD_P085", p.sv},
                       {"UFKD_P110", p.en},
                       {"UFKD_P135", p.de},
                       {"UFKD_P477", "N"}});
    // The grade is looked up by the row's whole 5-character product code, whose last three
    // characters lie where the language-0 text begins; the sample's codes end in blanks there.
    s.Add("SVP-VAKD", {{"VAKD_P001", kCompany},
                       {"VAKD_P004", p.code},
                       {"VAKD_P006", "   Sågat"_w},
                       {"VAKD_P018", "Sawn"},
                       {"VAKD_P030", "Gesägt"_w}});
  }
  s.Add("SVP-FTKD", {{"FTKD_P001", kCompany},
                     {"FTKD_P004", kInvoiceType},
                     {"FTKD_P006", " 1800"},
                     {"FTKD_P011", " 6600"},
                     {"FTKD_P036", "N"},
                     {"FTKD_P037", "N"}});
  s.Add("SAK-SFSH",
        {{"SFSH_P001", kCompany}, {"SFSH_P004", "0001"}, {"SFSH_P008", "Karin Lindqvist"}});
  s.Add("SAK-SFSH",
        {{"SFSH_P001", kCompany}, {"SFSH_P004", "0002"}, {"SFSH_P008", "Per Åström"_w}});
}

void AddArticle(Sample& s, const Article& a) {
  s.AddOnce("ARV-ATKL", a.group + a.number,
            {{"ATKL_P001", kCompany},
             {"ATKL_P004", a.group},
             {"ATKL_P009", a.number},
             {"ATKL_P029", a.text},
             {"ATKL_P070", "T100"},
             {"ATKL_P074", "90001"},
             {"ATKL_P085", "9000100"}});
  s.AddOnce("ARV-AVID", a.group + a.number,
            {{"AVID_P001", kCompany},
             {"AVID_P004", a.group},
             {"AVID_P009", a.number},
             {"AVID_P034", a.text}});
}

// Texts per language: the invoice text (SVF-TEXT) and the marking and certification texts
// (SVF-DATA) of Swedish (0), English (1) and German (2).
void AddLanguageTexts(Sample& s) {
  struct Texts {
    const char* digit;
    std::string l1, l2, l3, key, pefc, fsc, rows;
  };
  const Texts texts[] = {
      {"0", "Betala till bankgiro 5050-1055 och ange fakturanumret.",
       "Vid försenad betalning debiteras dröjsmålsränta enligt räntelagen."_w,
       "Varorna förblir säljarens egendom tills fakturan är betald."_w, "Märkning och upplysning"_w,
       "Virket är PEFC-certifierat."_w, "Virket är FSC-certifierat."_w, "Priser per m3"},
      {"1", "Payment to bank giro 5050-1055. Please quote the invoice number.",
       "Interest is charged on late payment.",
       "Ownership passes to the buyer when the invoice is paid in full.", "Marking and notes",
       "The timber is PEFC certified.", "The timber is FSC certified.", "Prices per m3"},
      {"2", "Zahlung an IBAN SE64 5000 0000 0583 9825 7512, BIC SMBKSESS.",
       "Bei Zahlungsverzug werden Verzugszinsen berechnet.",
       "Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum."_w,
       "Kennzeichnung und Hinweise", "Das Holz ist PEFC-zertifiziert.",
       "Das Holz ist FSC-zertifiziert.", "Preise je m3"}};
  for (const Texts& t : texts) {
    s.Add("SVF-TEXT", {{"SVFTEXT_P001", kCompany},
                       {"SVFTEXT_P004", t.digit},
                       {"SVFTEXT_P005", "F"},
                       {"SVFTEXT_P006", t.l1},
                       {"SVFTEXT_P072", t.l2},
                       {"SVFTEXT_P138", t.l3}});
    s.Add("SVF-DATA", {{"SVFDATA_P001", kCompany},
                       {"SVFDATA_P004", t.digit},
                       {"SVFDATA_P005", t.key},
                       {"SVFDATA_P072", t.pefc},
                       {"SVFDATA_P192", "DEMO-PEFC-COC-0001"},
                       {"SVFDATA_P212", t.fsc},
                       {"SVFDATA_P332", "DEMO-FSC-C000001"},
                       {"SVFDATA_P480", t.rows}});
  }
}

// EDI settings: the company's GLN prefix and the connection the upload script uses.
void AddEdi(Sample& s) {
  s.Add("SYS-EDIH", {{"EDIH_P001", kCompany},
                     {"EDIH_P004", "73"},
                     {"EDIH_P006", "51234"},
                     {"EDIH_P158", "J"},
                     {"EDIH_P185", "in"},  // the folder on the receiver's server
                     {"EDIH_P247", "127.0.0.1"},
                     {"EDIH_P267", "2121"},
                     {"EDIH_P272", "kvor"},
                     {"EDIH_P295", "kvor"}});
}

struct Sums {
  Cents deduction_company = 0, deduction_invoice = 0;
  Cents net_invoice = 0, net_company = 0, vat_invoice = 0, vat_company = 0;
};

void AddInvoice(Sample& s, const Invoice& inv) {
  const Customer& c = *inv.customer;
  const std::string specnr = "54" + inv.number.substr(2);
  const std::string order = "31" + inv.number.substr(2);
  const int64_t rate = inv.euro ? 114500 : 10000;  // ten-thousandths
  const std::string rate_text = inv.euro ? "11.4500" : "1.00000";
  const std::string basis = inv.euro ? "U" : "E";
  auto to_company = [&](Cents invoice) { return RoundDiv(invoice * rate, 10000); };
  Sums sums;

  for (const Timber& t : inv.rows) {
    const Cents amount = RoundDiv(t.quantity * t.price, 1000);
    const Cents deduction = RoundDiv(t.rejected * t.price, 3000);
    const Cents vat = RoundDiv((amount - deduction) * 25, 100);
    const Cents amount_c = to_company(amount), deduction_c = to_company(deduction);
    const Cents vat_c = to_company(vat);
    sums.deduction_invoice += deduction;
    sums.deduction_company += deduction_c;
    sums.net_invoice += amount - deduction;
    sums.net_company += amount_c - deduction_c;
    sums.vat_invoice += vat;
    sums.vat_company += vat_c;
    const std::string product = Padded(t.product, 5);
    const std::string thickness = Dimension(t.thickness), width = Dimension(t.width);
    s.Add("SVF-FTSP", {{"FTSP_P001", kCompany},
                       {"FTSP_P004", "F"},
                       {"FTSP_P005", inv.number},
                       {"FTSP_P011", kRowGroup},
                       {"FTSP_P012", kGradeGroup},
                       {"FTSP_P013", thickness},
                       {"FTSP_P018", width},
                       {"FTSP_P023", t.quality},
                       {"FTSP_P025", product},
                       {"FTSP_P030", kInvoiceType},
                       {"FTSP_P032", kUnit},
                       {"FTSP_P034", t.length},
                       {"FTSP_P038", kLastKey},
                       {"FTSP_P040", "  1"},
                       {"FTSP_P043", t.rejected > 0 ? " 90" : "100"},
                       {"FTSP_P047", Decimal(t.price, 10, 2)},
                       {"FTSP_P070", Decimal(to_company(t.price), 10, 2)},
                       {"FTSP_P080", " 0.00"},
                       {"FTSP_P085", Amount(deduction_c)},
                       {"FTSP_P099", Amount(deduction)},
                       {"FTSP_P113", Amount(amount)},
                       {"FTSP_P127", Amount(amount_c)},
                       {"FTSP_P141", Amount(0)},
                       {"FTSP_P155", Amount(vat)},
                       {"FTSP_P169", Amount(vat_c)},
                       {"FTSP_P183", Amount(0)},
                       {"FTSP_P197", Amount(0)},
                       {"FTSP_P213", Quantity(t.quantity, 8)},
                       {"FTSP_P222", Quantity(t.rejected, 8)},
                       {"FTSP_P237", basis},
                       {"FTSP_P239", "00"}});
    if (inv.specification_missing) continue;
    // The load-specification row is found by the row's key parts with a blank length part (the
    // company keeps lengths out of that key), so rows that differ only in length share it. Its
    // dimension fields repeat the row's, which also makes the timber-dimension key.
    const std::string row_key = specnr + kRowGroup + kGradeGroup + t.quality + thickness + width +
                                product + kInvoiceType + kUnit + kLastKey;
    s.AddOnce("SVF-LSSP", row_key,
              {{"LSSP_P001", kCompany},
               {"LSSP_P004", "S"},
               {"LSSP_P005", specnr},
               {"LSSP_P011", kRowGroup},
               {"LSSP_P012", kGradeGroup},
               {"LSSP_P013", t.quality},
               {"LSSP_P015", thickness},
               {"LSSP_P020", width},
               {"LSSP_P025", product},
               {"LSSP_P030", kInvoiceType},
               {"LSSP_P032", kUnit},
               {"LSSP_P038", kLastKey},
               {"LSSP_P039", thickness},
               {"LSSP_P044", width}});
    // The dimension record's key: the load-specification row's description code, code, product
    // and its two dimensions, as the print run looks it up.
    const std::string dims = std::string(kGradeGroup) + t.quality + product + thickness + width;
    std::string article = t.product == "FU" ? "11" : "12";
    for (const std::string& d : {t.thickness, t.width})
      for (char ch : d)
        if (ch >= '0' && ch <= '9' && article.size() < 7) article += ch;
    article.resize(7, '0');
    s.AddOnce("SVP-DSNA", dims,
              {{"DSNA_P001", kCompany},
               {"DSNA_P004", kGradeGroup},
               {"DSNA_P005", t.quality},
               {"DSNA_P007", product},
               {"DSNA_P012", thickness},
               {"DSNA_P017", width},
               {"DSNA_P115", article},
               {"DSNA_P122", article.substr(2)},
               {"DSNA_P128", article.substr(0, 4)}});
  }

  int row = 0;
  for (const Article& a : inv.articles) {
    ++row;
    const Cents net = RoundDiv(a.quantity * a.price, 1000);
    const Cents vat = RoundDiv(net * 25, 100);
    const Cents net_c = to_company(net), vat_c = to_company(vat);
    sums.net_invoice += net;
    sums.net_company += net_c;
    sums.vat_invoice += vat;
    sums.vat_company += vat_c;
    char row_number[12];
    std::snprintf(row_number, sizeof row_number, "%02d", row);
    s.Add("SVF-FTAP", {{"FTAP_P001", kCompany},
                       {"FTAP_P004", "F"},
                       {"FTAP_P005", inv.number},
                       {"FTAP_P011", row_number},
                       {"FTAP_P013", "001"},
                       {"FTAP_P016", "000"},
                       {"FTAP_P019", a.group},
                       {"FTAP_P024", a.number},
                       {"FTAP_P049", a.text},
                       {"FTAP_P079", a.description},
                       {"FTAP_P188", Quantity(a.quantity, 9)},
                       {"FTAP_P197", a.unit},
                       {"FTAP_P205", Amount(a.price)},
                       {"FTAP_P221", rate_text},
                       {"FTAP_P231", Amount(to_company(a.price))},
                       {"FTAP_P250", Amount(net)},
                       {"FTAP_P264", Amount(net_c)},
                       {"FTAP_P278", Amount(0)},
                       {"FTAP_P292", Amount(vat)},
                       {"FTAP_P306", Amount(vat_c)},
                       {"FTAP_P320", Amount(0)},
                       {"FTAP_P334", Amount(0)},
                       {"FTAP_P478", basis}});
    AddArticle(s, a);
  }

  // Totals: rounded to whole units in the invoice currency; in a foreign currency the rounding
  // is carried over to the company currency at the invoice's rate.
  const Cents gross_invoice = sums.net_invoice + sums.vat_invoice;
  const Cents rounding_invoice = RoundDiv(gross_invoice, 100) * 100 - gross_invoice;
  const Cents rounding_company = inv.euro
                                     ? to_company(rounding_invoice)
                                     : RoundDiv(sums.net_company + sums.vat_company, 100) * 100 -
                                           (sums.net_company + sums.vat_company);
  const Cents total_invoice = gross_invoice + (inv.euro ? rounding_invoice : 0);
  const Cents total_company = sums.net_company + sums.vat_company + rounding_company;

  // In the company's own currency the invoice-currency rounding stays zero. An invoice printed
  // earlier carries its print date.
  Fields header = {
      {"FTGID", kCompany},
      {"REGTYP", "F"},
      {"FAKTNR", inv.number},
      {"SPECNR", inv.specification_missing ? "549999" : specnr},
      {"ORDERNR", order},
      {"ORDERTILL", "001"},
      {"LANDKOD", c.country_code},
      {"KUNDGRUPP", c.group},
      {"KUNDIDENT", c.ident},
      {"FAKTDATUM", inv.date},
      {"KOPREF", "Order " + inv.number.substr(2)},
      {"VARREF", "Karin Lindqvist"},
      {"FTHD_P129", "Avrop " + order},
      {"LEVNAMN", c.name},
      {"LEVADR1", c.line1},
      {"LEVGODSADR", c.street},
      {"LEVPOSTORT", c.delivery_town.empty() ? c.town : c.delivery_town},
      {"LEVLAND", c.country},
      // The customer moved: with address source "R" the print takes the register's address.
      {"FAKTNAMN", c.name},
      {"FAKTADR1", c.line1},
      {"FAKTADR3", c.address_source == "R" ? "Gamla vägen 1"_w : c.street},
      {"FAKTPOSTORT", c.address_source == "R" ? "571 21 Nässjö"_w : c.town},
      {"FAKTLAND", c.country},
      {"BETKOD", "30"},
      {"BETTEXT", inv.euro ? "30 Tage netto" : "30 dagar netto"},
      {"BETDAGAR", " 30"},
      {"MOMSKOD", "1"},
      {"MOMSSATS", "25.00"},
      {"VALKOD", inv.euro ? "EU" : "SE"},
      {"VALKURS", rate_text},
      {"VALUTABET", inv.euro ? "EUR" : "SEK"},
      {"AVDRAGFTG", Amount(sums.deduction_company)},
      {"AVDRAGVAL", Amount(sums.deduction_invoice)},
      {"NETTOVAL", Amount(sums.net_invoice)},
      {"NETTOFTG", Amount(sums.net_company)},
      {"RADSUMMA1", Amount(0)},
      {"MOMSVAL", Amount(sums.vat_invoice)},
      {"MOMSFTG", Amount(sums.vat_company)},
      {"RADSUMMA2", Amount(0)},
      {"RADSUMMA3", Amount(0)},
      // Three decimals, as the print run stores the rounding: a reprint writes the same e-invoice.
      {"AVRUNDVAL", Decimal(inv.euro ? rounding_invoice : 0, 6, 3)},
      {"AVRUNDFTG", Decimal(rounding_company, 6, 3)},
      {"TOTALVAL", Amount(total_invoice)},
      {"TOTALFTG", Amount(total_company)},
      {"ANMARKNING", inv.rows.size() > 50 ? "Delleverans 1 av 2" : ""},
      {"SALJKOD", inv.seller},
      {"SKICKAD", "N"},
      {"FTHD_P855", "1"},
      {"FORFDATUM", PlusDays(inv.date, 30)},
      {"ANTALTILL", Count(inv.articles.size())},
      {"ANTALSPEC", Count(inv.rows.size())},
      {"UTSKRIVEN", inv.printed ? "J" : "N"},
      {"FTHD_P889", Amount(sums.net_invoice)},
      {"FASBELOPP", Amount(0)},
      {"AJOURFORD", inv.posted ? "J" : "N"},
      {"AJOURDATUM", inv.posted ? "20261130" : ""},
      {"UTSKRDATUM", inv.printed ? PlusDays(inv.date, 1) : ""},
      {"KONTRAKT", inv.contract ? "J" : "N"},
      {"PRODORDER", inv.production_order ? "J" : "N"},
      {"CERTKOD", inv.cert},
      {"CERTFLAGGA", inv.cert_flag}};
  s.Add("SVF-FTHD", std::move(header));

  if (!inv.freight.empty())
    s.Add("SVF-FKFT", {{"FKFT_P001", kCompany},
                       {"FKFT_P004", "F"},
                       {"FKFT_P005", inv.number},
                       {"FKFT_P011", inv.freight},
                       {"FKFT_P109", "Lossning med kranbil, kunden anvisar plats."}});
  if (inv.specification_missing) return;
  s.Add("SVF-LSHD", {{"LSHD_P001", kCompany},
                     {"LSHD_P004", "S"},
                     {"LSHD_P005", specnr},
                     {"LSHD_P011", order},
                     {"LSHD_P017", "001"},
                     {"LSHD_P040", PlusDays(inv.date, -2)},
                     {"LSHD_P048", inv.delivery_date_known ? PlusDays(inv.date, -1) : ""},
                     {"LSHD_P058", inv.cert_flag},
                     {"LSHD_P282", "Lastbil ABC 123"},
                     {"LSHD_P303", "Åkeri Sandberg AB"_w},
                     {"LSHD_P323", "Fritt kund, lossning ingår"_w},
                     {"LSHD_P463", "Paketmärkt"_w},
                     {"LSHD_P475", "Plastat"},
                     {"LSHD_P485", "Växjö"_w},
                     {"LSHD_P500", "FS-" + specnr},
                     {"LSHD_P542", "001"},
                     {"LSHD_P738", inv.purchase_order ? "J" : "N"},
                     {"LSHD_P750", inv.cert}});
  if (inv.purchase_order)
    s.Add("SVP-POHD", {{"POHD_P001", kCompany},
                       {"POHD_P004", "P"},
                       {"POHD_P005", order},
                       {"POHD_P011", PlusDays(inv.date, -14)},
                       {"POHD_P026", c.ident}});
}

const Article kFreight{"TRP", "FRAKT", "Frakt Växjö - kund"_w, "Transport med lastbil", 1000,
                       "ST",  185000};
const Article kPallets{"EMB", "PALL-EUR", "EUR-pall", "Lastpall 1200x800, retur ej",
                       12000, "ST",       12500};

// 85 rows: five dimensions in seventeen lengths, enough for several pages.
std::vector<Timber> LongSpecification() {
  const std::pair<const char*, const char*> dims[] = {
      {"22.0", "100.0"}, {"22.0", "150.0"}, {"45.0", "95.0"}, {"45.0", "145.0"}, {"70.0", "220.0"}};
  std::vector<Timber> rows;
  int n = 0;
  for (const auto& [thickness, width] : dims)
    for (int length = 1800; length <= 6600; length += 300, ++n)
      rows.push_back({n % 2 ? "GR" : "FU", n % 3 ? "SF" : "KV", thickness, width,
                      std::to_string(length), 400 + 37 * (n % 11),
                      2400 * 100 + 50 * 100 * (n % 4)});
  return rows;
}

std::vector<Invoice> Invoices() {
  const std::vector<Timber> three = {{"FU", "SF", "22.0", "100.0", "4500", 12345, 245000, 0},
                                     {"FU", "KV", "45.0", "145.0", "5100", 8760, 219000, 300},
                                     {"GR", "SF", "45.0", "95.0", "3600", 15000, 232000, 0}};
  const std::vector<Timber> two = {{"GR", "SF", "22.0", "150.0", "4200", 9870, 238000, 0},
                                   {"FU", "UT", "45.0", "145.0", "3900", 4500, 164000, 0}};
  std::vector<Invoice> all;
  Invoice i;
  auto next = [&](const char* number, const char* date, const Customer& c) {
    i = Invoice{};
    i.number = number;
    i.date = date;
    i.customer = &c;
    i.rows = two;
  };
  next("241001", "20261102", kAkesson);
  i.rows = three;
  i.articles = {kFreight};
  i.cert = "P";
  i.cert_flag = "J";
  i.freight = "Frakt: lastbil från Växjö till Värnamo, levererat 2026-11-01."_w;
  all.push_back(i);
  next("241002", "20261104", kNorrbygg);
  i.articles = {kPallets};
  i.cert = "B";
  i.cert_flag = "J";
  i.delivery_date_known = false;
  i.seller = "0002";
  all.push_back(i);
  next("241003", "20261105", kMuller);
  i.rows = {{"FU", "SF", "45.0", "145.0", "4800", 11200, 21500, 0},
            {"GR", "SF", "45.0", "95.0", "4200", 9350, 19800, 0}};
  i.euro = true;
  i.articles = {{"TRP", "FRAKT", "Fracht Växjö - Hamburg"_w, "LKW-Transport", 1000, "ST", 64000}};
  all.push_back(i);
  next("241004", "20261109", kAkesson);
  i.rows = LongSpecification();
  i.freight = "Frakt: två lastbilar från Växjö till Värnamo."_w;
  all.push_back(i);
  next("241005", "20261110", kAkesson);
  i.posted = true;
  all.push_back(i);
  next("241006", "20261112", kSjoberg);
  all.push_back(i);
  next("241007", "20261116", kAkesson);
  i.cert = "F";
  i.cert_flag = "J";
  i.purchase_order = true;
  all.push_back(i);
  next("241008", "20261117", kAkesson);
  i.cert = "B";
  all.push_back(i);
  next("241009", "20261118", kAkesson);
  i.production_order = true;
  all.push_back(i);
  next("241010", "20261119", kAkesson);
  i.printed = true;
  all.push_back(i);
  next("241011", "20261123", kHalsinge);
  i.printed = true;
  all.push_back(i);
  next("241012", "20261125", kAkesson);
  i.contract = true;
  all.push_back(i);
  next("241013", "20261201", kAkesson);
  i.cert = "X";
  all.push_back(i);
  next("241014", "20261203", kSjoberg);
  i.specification_missing = true;
  all.push_back(i);
  return all;
}

}  // namespace

std::vector<SampleRecord> InvoiceRecords() {
  Sample s;
  for (const Customer* c : kCustomers) AddCustomer(s, *c);
  AddCodes(s);
  AddLanguageTexts(s);
  AddEdi(s);
  for (const Invoice& inv : Invoices()) AddInvoice(s, inv);
  return std::move(s.records);
}

}  // namespace kvor::demo
