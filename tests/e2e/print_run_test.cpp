// Printing sample invoices with the real trv00381 on KVOR PDF: what the run writes back into the
// invoice header, checked against sums the test computes itself from the row records, and what
// the PDF file holds.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>

#include "installation.h"
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

using PrintRun = Installation;

// The whole print run, on register files and on a register server.
using PrintRunOnStores = OnBothStores<Installation>;
KVOR_DEMO_ON_BOTH_STORES(PrintRunOnStores);

TEST_P(PrintRunOnStores, TheHeaderCarriesTheSumsOfItsRowsAndTheFirstPrintsMarksWrittenOnce) {
  // Two copies: each recomputes the sums, and the header is still written once.
  Reg({"put", "SYS-DATA", "--keep", "SYSDATA_P001=001", "SYSDATA_P004=FT", "SYSDATA_P061=2"});
  const std::string before = Header("241001");
  const long version = Snapshot().records.at("SVF-FTHD.BTR 001F241001").version;
  const std::string t = Run("type TxtNmmr 241001\nclick CmdKlar\n");
  EXPECT_EQ(Snapshot().records.at("SVF-FTHD.BTR 001F241001").version, version + 1);
  const std::string after = Header("241001");
  ASSERT_EQ(after.size(), before.size());

  // The sums, computed here from the rows as stored.
  std::map<int, long long> sum;  // header position -> thousandths
  const auto rows = Records("SVF-FTSP", "001F241001");
  const auto extra = Records("SVF-FTAP", "001F241001");
  ASSERT_FALSE(rows.empty() || extra.empty());
  // The nine amounts of a row, 14 wide from position 85, add up to the header's from 631; the
  // last seven of an additional row's, from 250, to the same seven. The gross amounts at 659 and
  // 673 are stored less the deductions at 645 and 631.
  for (int i = 0; i < 9; ++i) {
    for (const std::string& r : rows) sum[631 + 14 * i] += Thousandths(At(r, 85 + 14 * i, 14));
    for (const std::string& r : extra)
      if (i >= 2) sum[631 + 14 * i] += Thousandths(At(r, 250 + 14 * (i - 2), 14));
  }
  sum[659] -= sum[645];
  sum[673] -= sum[631];
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
  const std::string due = At(after, 46, 8) + " +" + At(after, 610, 3) + " days";
  EXPECT_EQ(At(after, 857, 8) + "\n", Tool("date", {"-d", due, "+%Y%m%d"})) << due;

  // Every field the run does not compute is as it was, byte for byte.
  std::string kept_before = before, kept_after = after;
  for (auto [from, to] :
       {std::pair{628, 630}, {631, 796}, {857, 871}, {881, 881}, {889, 902}, {974, 981}})
    for (int at = from; at <= to; ++at) kept_before[at - 1] = kept_after[at - 1] = '#';
  EXPECT_EQ(kept_after, kept_before);

  EXPECT_THAT(MessageLines(t),
              HasSubstr("message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 3 sidor!"))
      << t;
  ASSERT_EQ(Pdfs().size(), 1u);
  const std::string pdf = Pdfs()[0];
  ASSERT_EQ(PdfPages(pdf), 3);
  const std::string page1 = PdfText(pdf, 1);
  // The first print, then the copies, each with the same total.
  std::smatch total;
  ASSERT_TRUE(std::regex_search(page1, total, std::regex("Att betala SEK\\.*: +([0-9.:]+)")));
  for (const auto& [page, mark] : {std::pair{1, "ORIGINAL"}, {2, "Kopia: 1"}, {3, "Kopia: 2"}})
    EXPECT_THAT(PdfText(pdf, page), AllOf(HasSubstr(mark), HasSubstr(total[1].str())));

  // 241003, handed over by the link area and looked up at once, is in EUR, to a German customer
  // (language 2): the captions of VSH-TEXT in German.
  std::filesystem::remove_all(pdf_dir);
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo, "--invoice", "241003"}, dir).code, 0);
  EXPECT_THAT(Run("show TxtNmmr\nshow LblVkod\nshow LblKoden\nclick CmdKlar\n"),
              AllOf(Not(HasSubstr("status Tryck [ENTER] för TILLDELNING")),
                    HasSubstr("show TxtNmmr \"241003\" off back #FFFFC0 fore #000000\n"
                              "show LblVkod \"EUR\" on back #FFFFFF fore #000000\n"
                              "show LblKoden \"DE\" on back #FFFFFF fore #000000\n")));
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_THAT(PdfText(Pdfs()[0], 1), AllOf(HasSubstr("RECHNUNG"), Not(HasSubstr("FAKTURA "))));
  // It is rounded to whole euros; that rounding, at the invoice's rate and rounded to the öre, is
  // the company-currency rounding, and with it the company-currency total adds up.
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

TEST_F(PrintRun, TheRegistersAddressIsPrintedTooManyRowsAreToldAndAnUnknownLanguageStops) {
  // 241006's customer asks for the register's address: the one stored on the invoice is not
  // printed. 1000 more specification rows, copies of one of other lengths (a key part) that find
  // the same load-specification row, are more than the header's count holds.
  Reg({"put", "SVF-FTHD", "--keep", "FTGID=001", "REGTYP=F", "FAKTNR=241006",
       "FAKTNAMN=Gammal Adress AB"});
  const std::string spec = Reg({"export", "SVF-FTSP"});
  std::smatch row;
  ASSERT_TRUE(std::regex_search(spec, row, std::regex(".*\"FTSP_P005\": \"241006\".*")));
  std::string rows;
  for (int length = 1000; length < 2000; ++length)
    rows += std::regex_replace(row.str(), std::regex("\"FTSP_P034\": \"[^\"]*\""),
                               "\"FTSP_P034\": \"" + std::to_string(length) + "\"") +
            "\n";
  WriteFile(dir + "/rows.jsonl", rows);
  Reg({"import", "SVF-FTSP", dir + "/rows.jsonl"});
  const std::size_t count = Records("SVF-FTSP", "001F241006").size();
  EXPECT_THAT(MessageLines(Run("type TxtNmmr 241006\nclick CmdKlar\n")),
              HasSubstr("message 2 För FAKTURA-nummer '241006' är ANTALET specifikationsrader "
                        "STÖRRE än 999! ¶ Antal: " +
                        std::to_string(count) + " ¶ I fakturahuvudet lagras 999.\n"));
  EXPECT_EQ(At(Header("241006"), 869, 3), "999");
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_THAT(PdfText(Pdfs()[0], 1),
              AllOf(HasSubstr("Sjöbergs Bygg & Trä AB"), Not(HasSubstr("Gammal Adress AB"))));
  std::filesystem::remove_all(pdf_dir);

  // A language the installation does not have stops the run before its job begins; the window
  // is then as after a finished run: AvBryt goes back to number entry, asking nothing.
  Reg({"put", "KRK-KUND", "--keep", "KUND_P001=001", "KUND_P004=DE", "KUND_P006=200",
       "KUND_P009=HOLZMULLER", "KUND_P308=9"});
  const std::string t = RunAgain("type TxtNmmr 241003\nclick CmdKlar\nclick CmdBryt\n");
  EXPECT_THAT(t, HasSubstr("har EJ tillåten SPRÅK-kod! ¶ SPRÅK-kod: 9\n"));
  EXPECT_THAT(t, Not(HasSubstr("Skall AVBRYT")));
  EXPECT_THAT(t, HasSubstr("focus CmdBryt\nfocus TxtNmmr\nstatus Tryck [ENTER] för TILLDELNING"));
  EXPECT_TRUE(Pdfs().empty());
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
  const std::string messages = MessageLines(Run("type TxtNmmr 241001\nclick CmdKlar\n"));
  EXPECT_THAT(messages,
              HasSubstr("message 3 Modulen SYSOREVP för EGETPRIS får FELAKTIG parameter! ¶ "
                        "FpString: "));
  // The row is written back with neither price.
  const std::string written = Records("SVF-FTAP", row.substr(0, 18)).at(0);
  EXPECT_EQ(At(written, 205, 14), std::string(14, ' '));
  EXPECT_EQ(At(written, 231, 14), std::string(14, ' '));
  EXPECT_THAT(messages, HasSubstr("message 2 För FAKTURA-nummer '241001' är FAS-beloppet STÖRRE än "
                                  "NETTO-beloppet!"));
  EXPECT_THAT(messages,
              HasSubstr("message 2 För FAKTURA-nummer '241001' måste KODEN för VALUTAN "
                        "registreras! ¶ Denna KOD skall REGISTRERAS via VSH-V01 programmet! ¶ "
                        "VALUTA-kod: XQ\n"));
  EXPECT_THAT(messages, HasSubstr("är UTFÖRD med 1 sida!"));
  EXPECT_EQ(At(Header("241001"), 881, 1), "N");
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_THAT(PdfText(Pdfs()[0], 1), HasSubstr("Furu, sågad"));  // the rows came
}

}  // namespace
}  // namespace kvor::test
