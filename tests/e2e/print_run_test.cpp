// Printing sample invoices with the real trv00381 on KVOR PDF: what the run writes back into the
// invoice header, checked against sums the test computes itself from the row records, and what
// the PDF file holds.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>

#include "support/demo_process.h"
#include "support/register_snapshot.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

// An amount as stored (blanks, a sign, digits, a point) in thousandths.
long long Thousandths(const std::string& text) {
  const std::string number = std::regex_replace(text, std::regex(" "), "");
  return number.empty() ? 0 : std::llround(std::stod(number) * 1000);
}

// A count as stored: right-aligned in three places.
std::string Count(std::size_t n) {
  const std::string digits = std::to_string(n);
  return std::string(3 - std::min<std::size_t>(digits.size(), 3), ' ') + digits;
}

using PrintRun = DemoProcess;

// The whole print run, on register files and on a register server.
using PrintRunOnStores = OnBothStores<DemoProcess>;
KVOR_DEMO_ON_BOTH_STORES(PrintRunOnStores);

TEST_P(PrintRunOnStores, TheHeaderCarriesTheSumsOfItsRowsAndTheFirstPrintsMarks) {
  const std::string before = Header("241001");
  const std::string t = Run("type TxtNmmr 241001\nclick CmdKlar\n");
  const std::string after = Header("241001");
  ASSERT_EQ(after.size(), before.size());

  // The sums, computed here from the rows as stored.
  std::map<int, long long> sum;  // header position -> thousandths
  const auto rows = Records("SVF-FTSP", "001F241001");
  const auto extra = Records("SVF-FTAP", "001F241001");
  ASSERT_FALSE(rows.empty());
  ASSERT_FALSE(extra.empty());
  for (const std::string& r : rows) {
    sum[631] += Thousandths(At(r, 85, 14));  // deduction, company currency
    sum[645] += Thousandths(At(r, 99, 14));  // deduction, invoice currency
    sum[659] += Thousandths(At(r, 113, 14)) - Thousandths(At(r, 99, 14));
    sum[673] += Thousandths(At(r, 127, 14)) - Thousandths(At(r, 85, 14));
    sum[687] += Thousandths(At(r, 141, 14));
    sum[701] += Thousandths(At(r, 155, 14));
    sum[715] += Thousandths(At(r, 169, 14));
    sum[729] += Thousandths(At(r, 183, 14));
    sum[743] += Thousandths(At(r, 197, 14));
  }
  for (const std::string& r : extra) {
    sum[659] += Thousandths(At(r, 250, 14));
    sum[673] += Thousandths(At(r, 264, 14));
    sum[687] += Thousandths(At(r, 278, 14));
    sum[701] += Thousandths(At(r, 292, 14));
    sum[715] += Thousandths(At(r, 306, 14));
    sum[729] += Thousandths(At(r, 320, 14));
    sum[743] += Thousandths(At(r, 334, 14));
  }
  for (const auto& [at, expected] : sum)
    EXPECT_EQ(Thousandths(At(after, at, 14)), expected) << "header position " << at;
  // The row counts ANTALSPEC and ANTALTILL, right-aligned as the suite writes its counts.
  EXPECT_EQ(At(after, 869, 3), Count(rows.size()));
  EXPECT_EQ(At(after, 865, 3), Count(extra.size()));

  // A SEK invoice: the rounding to whole kronor, and the totals.
  const long long net = sum[673], vat = sum[715];
  const long long rounding = Thousandths(At(after, 763, 6));
  EXPECT_EQ((net + vat + rounding) % 1000, 0) << net + vat;
  EXPECT_LE(std::llabs(rounding), 500);
  EXPECT_EQ(Thousandths(At(after, 783, 14)), net + vat + rounding);  // TOTALFTG
  EXPECT_EQ(Thousandths(At(after, 769, 14)),
            sum[659] + sum[701] + Thousandths(At(after, 757, 6)));  // TOTALVAL

  // Printed today, due the invoice date plus the payment days.
  EXPECT_EQ(At(after, 881, 1), "J");
  EXPECT_EQ(At(after, 974, 8), "20261204");
  using namespace std::chrono;
  const std::string date = At(after, 46, 8);
  const sys_days invoiced = year_month_day{year{std::stoi(date.substr(0, 4))},
                                           month{unsigned(std::stoi(date.substr(4, 2)))},
                                           day{unsigned(std::stoi(date.substr(6, 2)))}};
  const year_month_day due{invoiced + days{std::stoi(At(after, 610, 3))}};
  char due_text[32];
  std::snprintf(due_text, sizeof due_text, "%04d%02u%02u", int(due.year()), unsigned(due.month()),
                unsigned(due.day()));
  EXPECT_EQ(At(after, 857, 8), due_text);

  // Every field the run does not compute is as it was, byte for byte.
  std::string kept_before = before, kept_after = after;
  for (auto [from, to] :
       {std::pair{628, 630}, {631, 796}, {857, 871}, {881, 881}, {889, 902}, {974, 981}})
    for (int at = from; at <= to; ++at) kept_before[at - 1] = kept_after[at - 1] = '#';
  EXPECT_EQ(kept_after, kept_before);

  EXPECT_NE(MessageLines(t).find("message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!"),
            std::string::npos)
      << t;
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_NE(Pdfs()[0].find("/FAKTURA-001F241001-20261204-"), std::string::npos) << Pdfs()[0];
  EXPECT_EQ(PdfPages(Pdfs()[0]), 2);  // the first print and the installation's one copy
  const std::string page1 = PdfText(Pdfs()[0], 1);
  EXPECT_NE(page1.find("241001"), std::string::npos);
  EXPECT_NE(page1.find("Åkesson & Öberg Trävaror AB"), std::string::npos) << page1;
  EXPECT_NE(page1.find("ORIGINAL"), std::string::npos);
  EXPECT_NE(PdfText(Pdfs()[0], 2).find("Kopia: 1"), std::string::npos) << PdfText(Pdfs()[0], 2);

  // A EUR invoice is rounded to whole euros; that rounding, at the invoice's rate and rounded to
  // the öre, is the company-currency rounding, and with it the company-currency total adds up.
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);  // the run consumed the link area
  Run("type TxtNmmr 241003\nclick CmdKlar\n");
  const std::string eur = Header("241003");
  const long long rounding_eur = Thousandths(At(eur, 757, 6));
  ASSERT_NE(rounding_eur, 0);
  EXPECT_EQ((Thousandths(At(eur, 659, 14)) + Thousandths(At(eur, 701, 14)) + rounding_eur) % 1000,
            0);
  const long long rounding_sek = Thousandths(At(eur, 763, 6));
  EXPECT_EQ(rounding_sek, std::llround(rounding_eur * std::stod(At(eur, 621, 7)) / 10) * 10);
  EXPECT_EQ(Thousandths(At(eur, 783, 14)),
            Thousandths(At(eur, 673, 14)) + Thousandths(At(eur, 715, 14)) + rounding_sek);
}

TEST_F(PrintRun, TwoCopiesFollowTheFirstPrintAndTheHeaderIsWrittenOnce) {
  Reg({"put", "SYS-DATA", "--keep", "SYSDATA_P001=001", "SYSDATA_P004=FT", "SYSDATA_P061=2"});
  const char* const header = "SVF-FTHD.BTR 001F241001";
  const long version = SnapshotRegisters(demo).records.at(header).version;
  Run("type TxtNmmr 241001\nclick CmdKlar\n");
  EXPECT_EQ(SnapshotRegisters(demo).records.at(header).version, version + 1);
  ASSERT_EQ(Pdfs().size(), 1u);
  ASSERT_EQ(PdfPages(Pdfs()[0]), 3);
  EXPECT_NE(PdfText(Pdfs()[0], 1).find("ORIGINAL"), std::string::npos);
  EXPECT_NE(PdfText(Pdfs()[0], 2).find("Kopia: 1"), std::string::npos);
  EXPECT_NE(PdfText(Pdfs()[0], 3).find("Kopia: 2"), std::string::npos);
  // Every copy recomputed the same sums: the total stands alike on all three pages.
  std::smatch m;
  const std::string page1 = PdfText(Pdfs()[0], 1);
  ASSERT_TRUE(std::regex_search(page1, m, std::regex("Att betala SEK\\.*: +([0-9.:]+)")));
  for (int page = 2; page <= 3; ++page)
    EXPECT_NE(PdfText(Pdfs()[0], page).find(m[1].str()), std::string::npos) << page;
}

TEST_F(PrintRun, TheCustomersAddressAndLanguageAndTheBarcodeReachThePdf) {
  // 241006's customer asks for the register's address: the one stored on the invoice is not
  // printed.
  Reg({"put", "SVF-FTHD", "--keep", "FTGID=001", "REGTYP=F", "FAKTNR=241006",
       "FAKTNAMN=Gammal Adress AB"});
  Run("type TxtNmmr 241006\nclick CmdKlar\n");
  ASSERT_EQ(Pdfs().size(), 1u);
  std::string page = PdfText(Pdfs()[0], 1);
  EXPECT_NE(page.find("Sjöbergs Bygg & Trä AB"), std::string::npos) << page;
  EXPECT_EQ(page.find("Gammal Adress AB"), std::string::npos);
  Tool("pdftoppm",
       {"-r", "300", "-f", "1", "-l", "1", "-singlefile", "-png", Pdfs()[0], dir + "/page"});
  EXPECT_EQ(Tool("zbarimg", {"-q", dir + "/page.png"}), "CODE-39:241006\n");
  std::filesystem::remove_all(pdf_dir);

  // A German customer (language 2): the captions of VSH-TEXT in German.
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);  // the run consumed the link area
  Run("type TxtNmmr 241003\nclick CmdKlar\n");
  ASSERT_EQ(Pdfs().size(), 1u);
  page = PdfText(Pdfs()[0], 1);
  EXPECT_NE(page.find("RECHNUNG"), std::string::npos) << page;
  EXPECT_EQ(page.find("FAKTURA "), std::string::npos) << page;
  std::filesystem::remove_all(pdf_dir);

  // A language the installation does not have stops the run before its job begins; the window
  // is then as after a finished run: AvBryt goes back to number entry, asking nothing.
  Reg({"put", "KRK-KUND", "--keep", "KUND_P001=001", "KUND_P004=DE", "KUND_P006=200",
       "KUND_P009=HOLZMULLER", "KUND_P308=9"});
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);
  const std::string t = Run("type TxtNmmr 241003\nclick CmdKlar\nclick CmdBryt\n");
  EXPECT_NE(t.find("har EJ tillåten SPRÅK-kod! ¶ SPRÅK-kod: 9\n"), std::string::npos) << t;
  EXPECT_EQ(t.find("Skall AVBRYT"), std::string::npos) << t;
  EXPECT_NE(t.find("focus CmdBryt\nfocus TxtNmmr\nstatus Tryck [ENTER] för TILLDELNING"),
            std::string::npos)
      << t;
  EXPECT_TRUE(Pdfs().empty());
}

// Without copies: a long invoice, and one with more rows than the header's count holds.
TEST_F(PrintRun, ALongInvoiceFlowsOverPagesAndMoreRowsThanTheCountHoldsAreStoredAs999) {
  Reg({"put", "SYS-DATA", "--keep", "SYSDATA_P001=001", "SYSDATA_P004=FT", "SYSDATA_P061=0"});
  const std::string t = Run("type TxtNmmr 241004\nclick CmdKlar\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(t, m, std::regex("är UTFÖRD med ([0-9]+) sidor!"))) << t;
  const int pages = std::stoi(m[1]);
  EXPECT_GT(pages, 1);
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_EQ(PdfPages(Pdfs()[0]), pages);
  for (int page = 1; page <= pages; ++page) {
    const std::string text = PdfText(Pdfs()[0], page);
    EXPECT_NE(text.find("FAKTURA"), std::string::npos) << "page " << page;  // the head
    const bool last = page == pages;
    for (const char* caption : {"Valutabelopp", "Netto"}) {
      const std::regex line(std::string(caption) + "\\.+: +Transport");
      EXPECT_EQ(std::regex_search(text, line), !last) << caption << " on page " << page << "\n"
                                                      << text;
    }
  }

  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);  // the run consumed the link area
  // 1000 more specification rows: copies of one, of other lengths (a key part), which find the
  // same load-specification row.
  const std::string spec = Reg({"export", "SVF-FTSP"});
  std::smatch row;
  ASSERT_TRUE(std::regex_search(spec, row, std::regex(".*\"FTSP_P005\": \"241001\".*")));
  std::string rows;
  for (int length = 1000; length < 2000; ++length)
    rows += std::regex_replace(row.str(), std::regex("\"FTSP_P034\": \"[^\"]*\""),
                               "\"FTSP_P034\": \"" + std::to_string(length) + "\"") +
            "\n";
  WriteFile(dir + "/rows.jsonl", rows);
  Reg({"import", "SVF-FTSP", dir + "/rows.jsonl"});
  const std::size_t count = Records("SVF-FTSP", "001F241001").size();
  const std::string said = MessageLines(Run("type TxtNmmr 241001\nclick CmdKlar\n"));
  EXPECT_NE(said.find("message 2 För FAKTURA-nummer '241001' är ANTALET specifikationsrader "
                      "STÖRRE än 999! ¶ Antal: " +
                      std::to_string(count) + " ¶ I fakturahuvudet lagras 999.\n"),
            std::string::npos)
      << said;
  EXPECT_EQ(At(Header("241001"), 869, 3), "999");
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");
}

TEST_F(PrintRun, WrongValuesAreToldAndAnUnknownCurrencyLeavesTheHeaderUnprinted) {
  Reg({"put", "SVF-FTHD", "--keep", "FTGID=001", "REGTYP=F", "FAKTNR=241001", "VALKOD=XQ",
       "FASBELOPP=9999999.000"});
  // An additional row whose invoice-currency price is given with a rate of zero.
  const std::string row = Records("SVF-FTAP", "001F241001").at(0);
  ASSERT_NE(Thousandths(At(row, 205, 14)), 0);
  Reg({"put", "SVF-FTAP", "--keep", "FTAP_P001=001", "FTAP_P004=F", "FTAP_P005=241001",
       "FTAP_P011=" + At(row, 11, 2), "FTAP_P013=" + At(row, 13, 3), "FTAP_P016=" + At(row, 16, 3),
       "FTAP_P478=U", "FTAP_P221=0"});
  const std::string t = Run("type TxtNmmr 241001\nclick CmdKlar\n");
  const std::string messages = MessageLines(t);
  EXPECT_NE(messages.find("message 3 Modulen SYSOREVP för EGETPRIS får FELAKTIG parameter! ¶ "
                          "FpString: "),
            std::string::npos)
      << messages;
  // The row is written back with neither price.
  const std::string written = Records("SVF-FTAP", row.substr(0, 18)).at(0);
  EXPECT_EQ(At(written, 205, 14), std::string(14, ' '));
  EXPECT_EQ(At(written, 231, 14), std::string(14, ' '));
  EXPECT_NE(messages.find("message 2 För FAKTURA-nummer '241001' är FAS-beloppet STÖRRE än "
                          "NETTO-beloppet!"),
            std::string::npos)
      << messages;
  EXPECT_NE(messages.find("message 2 För FAKTURA-nummer '241001' måste KODEN för VALUTAN "
                          "registreras! ¶ Denna KOD skall REGISTRERAS via VSH-V01 programmet! ¶ "
                          "VALUTA-kod: XQ\n"),
            std::string::npos)
      << messages;
  EXPECT_NE(messages.find("är UTFÖRD med 1 sida!"), std::string::npos) << messages;
  EXPECT_EQ(At(Header("241001"), 881, 1), "N");
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_NE(PdfText(Pdfs()[0], 1).find("Furu, sågad"), std::string::npos);  // the rows came
}

}  // namespace
}  // namespace kvor::test
