// The totals block and the company foot on the in-memory printer, with the sample invoices read
// into the register fields as the print run reads them: the certification line, the FAS and
// amount lines in the currency the rows chose, the continuation texts of a page that goes on,
// the marking, and the company foot with its flags.
#include "common/cp1252.h"
#include "common/text.h"
#include "printing/invoice_page.h"
#include "printing/invoice_records.h"

namespace kvor::printing {
namespace {

class Totals : public InvoiceRecords {
 protected:
  // The block of `number` on a bare page, in the customer's language unless one is given.
  void PrintBlock(const std::string& number, int16_t language = -1) {
    ReadInvoice(number);
    if (HasFatalFailure()) return;
    Prepare();
    BeginBarePage();
    if (HasFatalFailure()) return;
    PrintTotals(ctx(), language < 0 ? ctx().print.run.language : language, err);
  }
  // The block again on a new job, after changes to the fields.
  void Reprint(int16_t language) {
    ResetCounters(ctx());
    BeginBarePage();
    PrintTotals(ctx(), language, err);
    ASSERT_EQ(err, 0);
  }
  // Changes to the fields between the read and the print.
  std::function<void()> Prepare = [] {};
  void Sums(const std::string& net_company, const std::string& net_invoice) {
    registers::Record& h = Fields("SVF-FTHD");
    h.Set("NETTOFTG", net_company);
    h.Set("NETTOVAL", net_invoice);
  }
  int16_t err = 0;
};

TEST_F(Totals, TheLastPagePrintsTheSumsOfTheRowsCurrencyAndTheCompanyFoot) {
  Prepare = [&] {
    Sums("     56096.985", "      4899.300");
    Fields("SVF-FTHD").Set("FTHD_P889", "   4899.30");
    Fields("SVF-FTHD").Set("MOMSVAL", "      1224.830");
    Fields("SVF-FTHD").Set("AVRUNDVAL", "  -.13");
    Fields("SVF-FTHD").Set("TOTALVAL", "      6124.000");
    Fields("SVF-FTHD").Set("FTHD_P855", "");
  };
  PrintBlock("241003");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(ctx().print.run.row_limit, 0);
  // With certification "N" the rule comes first, where the block starts: raised from its line
  // (14375 less the bottom reserve) just so far that the foot ends on the sheet.
  const printer::TextRun rule = OnlyRun(std::string(111, '\x97'));
  EXPECT_EQ(rule.y, TotalsTop(ctx()));
  EXPECT_GT(rule.y, 14375 - 175 - 50);

  // Each line of the block and the foot with its parts in column order. The amounts start at
  // tab 98 in the pattern width 16, so that their decimal marks line up whatever the decimals;
  // the total ends at 117. The foot's captions and right-hand texts end at their columns (48,
  // 121, 134); the bank is the one of the invoice's currency.
  ExpectLines({
      {"Währungsbetrag........:"_w,
       "6:Zahlung an IBAN SE64 5000 0000 0583 9825 7512, BIC SMBKSESS. | "
       "74:Währungsbetrag........: | 98:4.899:30"},
      {"Nettobetrag...........:",
       "6:Bei Zahlungsverzug werden Verzugszinsen berechnet. | 74:Nettobetrag...........: | "
       "98:4.899:300"},
      {"MwSt..................:",
       "6:Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum. | "
       "74:MwSt..................: | 98:1.224:830"},
      {"Rundung...............:", "74:Rundung...............: | 98:-0:13"},
      {"Zu zahlen EUR........:", "74:Zu zahlen EUR........: | 108:6.124:000"},
      {"Telefon:",
       "7:Trädgårdens Sågverk AB | 39:Telefon: | 48:0470-123 45 | 73:Bankgiro: | "
       "83:5050-1055 | 106:Handelsreg.-Nr.: | 123:556677-8899"},
      {"Mobiltelefon:",
       "7:Sågvägen 12 | 34:Mobiltelefon: | 48:070-312 45 67 | 73:Plusgiro: | 83:4711-2345 | "
       "116:info@tradgarden.se"},
      {"USt-IdNr.:",
       "7:352 46 Växjö | 37:USt-IdNr.: | 48:SE 556677-8899 01 | 73:Swift: | "
       "80:SMBKSESS Smålandsbanken Växjö | 117:www.tradgarden.se"},
      {"Konto:",
       "7:Sverige | 43:Konto: | 50:6-123456789 | 73:Iban: | "
       "79:SE64 5000 0000 0583 9825 7512 | 114:Innehar | 122:F | 123:-skattsedel"},
  });
  for (const char* amount : {"4.899:30", "1.224:830", "-0:13"}) {
    const printer::TextRun run = RunsOf(amount).at(0);
    EXPECT_EQ(run.column + run.text.find(':'), 98u + 16u) << amount;
  }
  EXPECT_EQ(OnlyRun(std::string(43, '\x97')).column, 74);
  // The foot's first line starts under the top of the foot picture, whose band carries a rule
  // across its top: the rule does not strike through the text.
  ASSERT_EQ(Job()->pictures.size(), 1u);
  const printer::PictureRun& foot = Job()->pictures[0];
  EXPECT_NE(foot.source.find("001FOTEN.BMP"), std::string::npos);
  EXPECT_NEAR(OnlyRun("Trädgårdens Sågverk AB"_w).y, foot.y + 100, 1);

  // Rows in the company's currency print the company sums.
  ctx().print.run.row_price_flag = "E";
  Reprint(2);
  EXPECT_EQ(OnlyRun("56.096:985").y, OnlyRun("Nettobetrag...........:").y);
}

TEST_F(Totals, APageThatContinuesShowsTheContinuationTextAndNoZeroAmounts) {
  Prepare = [&] {
    ctx().print.run.page_continues = true;
    ctx().print.run.row_limit = 14200;
    Fields("SVF-FTHD").Set("MOMSVAL", "         0.000");
    Fields("SVF-FTHD").Set("AVRUNDVAL", "");
  };
  PrintBlock("241003");
  ASSERT_EQ(err, 0);
  const auto carried = RunsOf("Übertrag"_w);
  ASSERT_EQ(carried.size(), 2u);
  EXPECT_EQ(carried[0].column, 98);
  EXPECT_EQ(carried[0].y, OnlyRun("Währungsbetrag........:"_w).y);
  EXPECT_EQ(carried[1].y, OnlyRun("Nettobetrag...........:").y);
  // A VAT and a rounding of zero keep their text lines but print neither caption nor amount.
  EXPECT_TRUE(RunsOf("MwSt..................:").empty());
  EXPECT_TRUE(RunsOf("Rundung...............:").empty());
  EXPECT_EQ(RunsOf("Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum."_w).size(), 1u);
  EXPECT_EQ(RunsOf("Zu zahlen EUR........:").size(), 1u);
  EXPECT_EQ(ctx().print.run.row_limit, 0);
}

TEST_F(Totals, OnASwedishInvoiceCertificationMarkingFasAndFootFlagsShapeTheBlock) {
  Prepare = [&] { Fields("SVF-DATA").SetAt(72, 60, "PEFC : 70 % certifierat"); };
  PrintBlock("241001", 0);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(LineOf("Certifiering:"),
            "6:Certifiering: | 20:PEFC 70 % certifierat · DEMO-PEFC-COC-0001");
  EXPECT_GT(RunsOf(std::string(111, '\x97')).front().y, OnlyRun("Certifiering:").y);
  // The certification word in the customer's language; the sample has no captions in language 5
  // (told).
  for (const auto& [language, expected] : {std::pair<int16_t, const char*>{2, "Zertifizierung:"},
                                           {1, "Certification:"},
                                           {5, "Certification:"}}) {
    Reprint(language);
    EXPECT_EQ(RunsOf(expected).size(), 1u) << language;
  }

  // The sample's marking kind "1" brings its picture and text; the picture has a strip of its
  // own above the block, where the rows end.
  Fields("SVF-DATA").SetAt(63, 9, "PEFC 100%");
  Reprint(0);
  ASSERT_EQ(Job()->pictures.size(), 2u);
  EXPECT_NE(Job()->pictures[0].source.find("KD5630.BMP"), std::string::npos);
  EXPECT_EQ(Job()->pictures[0].y, TotalsTop(ctx()));
  const int32_t block_top = TotalsTop(ctx()) + 1000;
  EXPECT_EQ(OnlyRun("Certifiering:").y, block_top);
  EXPECT_EQ(LineOf("PEFC 100%"), "64:PEFC 100% | 74:Att betala SEK.......: | 106:107.325:810");
  Fields("SVF-FTHD").Set("FTHD_P855", "2");
  Reprint(0);
  EXPECT_EQ(Job()->pictures.size(), 1u);  // the foot picture only
  EXPECT_EQ(OnlyRun("ISPM 15").column, 64);
  EXPECT_TRUE(RunsOf("PEFC 100%").empty());
  EXPECT_EQ(OnlyRun("Certifiering:").y, block_top);

  // A FAS amount gets its line and an underline under the amount. The FAS line's two lines move
  // the block up by as much, so that the foot stays on the sheet; the row limit moves with it.
  Fields("SVF-FTHD").Set("FASBELOPP", "      2500.000");
  Reprint(0);
  ExpectLines({{"FAS-belopp 001.......:", "74:FAS-belopp 001.......: | 98:2.500:000"},
               {"FAS-belopp:", "74:FAS-belopp: | 98:···················"}});
  EXPECT_GT(OnlyRun("FAS-belopp:").y, OnlyRun("FAS-belopp 001.......:").y);
  EXPECT_EQ(OnlyRun("Certifiering:").y, TotalsTop(ctx()));
  EXPECT_NEAR(TotalsTop(ctx()), block_top - 2 * 181.25, 1);
  ExpectNoOverprinting();

  // Blank foot fields leave their captions out.
  registers::Clear(ctx(), registers::LayoutOfChannel(11));  // no bank
  Fields("SYS-FRTG").SetAt(198, 15, "");
  Fields("SYS-FRTG").SetAt(43, 1, "N");
  Reprint(0);
  const std::string page = ToUtf8(Job()->PageText(1));
  for (const char* left_out : {"Swift:", "Konto:", "Mobiltelefon:", "Innehar"})
    EXPECT_EQ(page.find(left_out), std::string::npos) << left_out;
  EXPECT_NE(page.find("Iban:"), std::string::npos);
  EXPECT_NE(page.find("Telefon:"), std::string::npos);

  // The flags take the foot away and put a rule under the total.
  Fields("SYS-DATA").SetAt(60, 1, "N");
  Fields("SYS-DATA").SetAt(64, 1, "J");
  Reprint(0);
  for (const printer::PictureRun& picture : Job()->pictures)
    EXPECT_EQ(picture.source.find("FOTEN"), std::string::npos);
  EXPECT_TRUE(RunsOf("Trädgårdens Sågverk AB"_w).empty());
  EXPECT_TRUE(RunsOf("Telefon:").empty());
  const auto rules = RunsOf(std::string(111, '\x97'));
  ASSERT_EQ(rules.size(), 2u);  // above the FAS line and under the total
  EXPECT_GT(rules[1].y, OnlyRun("Att betala SEK.......:").y);
}

}  // namespace
}  // namespace kvor::printing
