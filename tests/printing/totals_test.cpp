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
  // Changes to the fields between the read and the print.
  std::function<void()> Prepare = [] {};
  void Sums(const std::string& net_company, const std::string& net_invoice) {
    registers::Record& h = Fields("SVF-FTHD");
    h.Set("NETTOFTG", net_company);
    h.Set("NETTOVAL", net_invoice);
  }
  std::string Page() { return ToUtf8(Job()->PageText(1)); }
  int16_t err = 0;
};

TEST_F(Totals, TheLastPagePrintsTheSumsOfTheRowsCurrencyAndTheCompanyFoot) {
  Prepare = [&] {
    Sums("     56096.985", "      4899.300");
    Fields("SVF-FTHD").Set("MOMSVAL", "      1224.830");
    Fields("SVF-FTHD").Set("AVRUNDVAL", "  -.13");
    Fields("SVF-FTHD").Set("TOTALVAL", "      6124.000");
    Fields("SVF-FTHD").Set("FTHD_P855", "");
  };
  PrintBlock("241003");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Messages(), "");

  // The block starts at its fixed line; with certification "N" the rule comes first.
  const printer::TextRun rule = RunsOf(std::string(110, '\x97')).front();
  EXPECT_EQ(rule.y, 14375 - 450 - 175);  // lifted so that the foot stays on the sheet
  EXPECT_EQ(rule.column, 6);

  const printer::TextRun currency_caption = OnlyRun("Währungsbetrag........:"_w);
  EXPECT_EQ(currency_caption.column, 74);
  EXPECT_FALSE(currency_caption.bold);
  const printer::TextRun free_text =
      OnlyRun("Zahlung an IBAN SE64 5000 0000 0583 9825 7512, BIC SMBKSESS.");
  EXPECT_EQ(free_text.font, "MS SANS SERIF");
  EXPECT_TRUE(free_text.bold);
  EXPECT_EQ(free_text.y, currency_caption.y);

  const printer::TextRun net = OnlyRun("Nettobetrag...........:");
  const auto net_amount = RunsOf("4.899:300");
  ASSERT_EQ(net_amount.size(), 2u);  // VALUTA and NETTO: the invoice currency's net
  EXPECT_EQ(net_amount[1].y, net.y);
  // Pattern width 16 and three decimals make 20 characters from tab 98: the amount is right-aligned
  // in them but ends at column 116, the sheet's last, instead of 118.
  EXPECT_EQ(net_amount[1].column + static_cast<int>(net_amount[1].text.size()), 116);
  EXPECT_EQ(net_amount[1].text, "4.899:300");
  EXPECT_TRUE(net_amount[1].bold);
  EXPECT_EQ(OnlyRun("1.224:830").y, OnlyRun("MwSt..................:").y);
  EXPECT_EQ(OnlyRun("-0:13").y, OnlyRun("Rundung...............:").y);

  // TOTAL: a line of 43 over it, the caption with the currency in capitals, the amount ending
  // at column 117.
  const printer::TextRun total = OnlyRun("Zu zahlen EUR........:");
  EXPECT_EQ(total.column, 74);
  const printer::TextRun total_amount = OnlyRun("6.124:000");
  EXPECT_EQ(total_amount.y, total.y);
  EXPECT_EQ(total_amount.column + 9, 116);  // 117 lies past the sheet's edge
  const printer::TextRun over = OnlyRun(std::string(42, '\x97'));  // 43 would pass the edge
  EXPECT_EQ(over.column, 74);
  EXPECT_LT(over.y, total.y);

  // The foot picture and the foot below the block.
  ASSERT_EQ(Job()->pictures.size(), 1u);
  const printer::PictureRun& foot = Job()->pictures[0];
  EXPECT_NE(foot.source.find("001FOTEN.BMP"), std::string::npos);
  EXPECT_EQ(foot.x, 450);
  EXPECT_EQ(foot.width, 10700);
  EXPECT_EQ(foot.height, 650);
  EXPECT_GT(foot.y, total.y);
  const printer::TextRun company = OnlyRun("Trädgårdens Sågverk AB"_w);
  EXPECT_EQ(company.size, 7);
  EXPECT_TRUE(company.bold);
  // The foot's first line starts under the top of the picture, whose band carries a rule across
  // its top: the rule does not strike through the text.
  EXPECT_NEAR(company.y, foot.y + 100, 1);
  const printer::TextRun phone = OnlyRun("Telefon:");  // German "Telefon" too
  EXPECT_EQ(phone.column + 9, 48);
  EXPECT_FALSE(phone.bold);
  EXPECT_EQ(OnlyRun("0470-123 45").column, 48);
  EXPECT_EQ(OnlyRun("USt-IdNr.:").column + 11, 48);
  EXPECT_EQ(OnlyRun("SE 556677-8899 01").column, 48);
  EXPECT_EQ(OnlyRun("Bankgiro:").column, 73);
  EXPECT_EQ(OnlyRun("Swift:").column, 73);
  EXPECT_EQ(RunsOf("SMBKSESS Smålandsbanken Växjö"_w).size(), 1u);
  EXPECT_EQ(OnlyRun("Iban:").column, 73);
  EXPECT_EQ(RunsOf("SE64 5000 0000 0583 9825 7512").size(), 1u);  // the EUR account
  EXPECT_EQ(OnlyRun("Konto:").column, 43);
  EXPECT_EQ(RunsOf("6-123456789").size(), 1u);
  const printer::TextRun organisation_caption = OnlyRun("Handelsreg.-Nr.:");
  // The foot's right end moves from column 134 to the sheet's last, 133, and its neighbours with it.
  EXPECT_EQ(organisation_caption.column + 15, 120);
  EXPECT_EQ(OnlyRun("556677-8899").y, organisation_caption.y);
  const printer::TextRun web = OnlyRun("www.info@tradgarden.se");
  EXPECT_EQ(web.column + static_cast<int>(web.text.size()), 133);
  const printer::TextRun tax = OnlyRun("Innehar");
  EXPECT_EQ(tax.column, 113);
  EXPECT_EQ(OnlyRun("F").column, 121);
  EXPECT_TRUE(OnlyRun("F").bold);
  EXPECT_EQ(OnlyRun("-skattsedel").column, 122);
  EXPECT_EQ(ctx().print.run.row_limit, 0);
}

TEST_F(Totals, RowsInCompanyCurrencyPrintTheCompanySums) {
  Prepare = [&] {
    Sums("     56096.985", "      4899.300");
    ctx().print.run.row_price_flag = "E";
  };
  PrintBlock("241003");
  ASSERT_EQ(err, 0);
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
  EXPECT_TRUE(carried[0].bold);
  EXPECT_EQ(carried[0].y, OnlyRun("Währungsbetrag........:"_w).y);
  EXPECT_EQ(carried[1].y, OnlyRun("Nettobetrag...........:").y);
  // A VAT and a rounding of zero keep their text lines but print neither caption nor amount.
  EXPECT_TRUE(RunsOf("MwSt..................:").empty());
  EXPECT_TRUE(RunsOf("Rundung...............:").empty());
  EXPECT_EQ(RunsOf("Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum."_w).size(), 1u);
  EXPECT_EQ(RunsOf("Zu zahlen EUR........:").size(), 1u);
  EXPECT_EQ(ctx().print.run.row_limit, 0);
  ExpectOnTheSheet();
}

TEST_F(Totals, TheCertificationLineSpeaksTheCustomersLanguage) {
  Prepare = [&] { Fields("SVF-DATA").SetAt(72, 60, "PEFC : 70 % certifierat"); };
  PrintBlock("241001", 0);
  ASSERT_EQ(err, 0);
  const printer::TextRun word = OnlyRun("Certifiering:");
  EXPECT_EQ(word.column, 6);
  EXPECT_EQ(word.size, 8);
  EXPECT_TRUE(word.bold);
  EXPECT_EQ(word.y, 14375 - 450 - 175);
  const printer::TextRun text = OnlyRun("PEFC 70 % certifierat \xB7 DEMO-PEFC-COC-0001");
  EXPECT_EQ(text.font, "MS SANS SERIF");
  EXPECT_EQ(text.y, word.y);
  EXPECT_GT(RunsOf(std::string(110, '\x97')).front().y, word.y);
  // With the certification line the block and its foot still end on the sheet.
  ExpectOnTheSheet();

  for (const auto& [language, expected] : {std::pair<int16_t, const char*>{2, "Zertifizierung:"},
                                           {1, "Certification:"},
                                           {5, "Certification:"}}) {
    ResetCounters(ctx());
    BeginBarePage();
    PrintTotals(ctx(), language, err);  // the sample has no captions in language 5 (told)
    EXPECT_EQ(RunsOf(expected).size(), 1u) << language;
  }
}

TEST_F(Totals, MarkingKindsBringTheirPictureAndText) {
  Prepare = [&] {
    Fields("SVF-FTHD").Set("FTHD_P855", "1");
    Fields("SVF-DATA").SetAt(63, 9, "PEFC 100%");
  };
  PrintBlock("241001");
  ASSERT_EQ(err, 0);
  ASSERT_EQ(Job()->pictures.size(), 2u);
  const printer::PictureRun& marking = Job()->pictures[0];
  EXPECT_NE(marking.source.find("KD5630.BMP"), std::string::npos);
  EXPECT_EQ(marking.x, 5900);
  EXPECT_EQ(marking.width, 1000);
  const printer::TextRun text = OnlyRun("PEFC 100%");
  EXPECT_EQ(text.column, 64);
  EXPECT_EQ(text.y, OnlyRun("Att betala SEK.......:").y);

  ResetCounters(ctx());
  Fields("SVF-FTHD").Set("FTHD_P855", "2");
  BeginBarePage();
  PrintTotals(ctx(), 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Job()->pictures.size(), 1u);  // the foot picture only
  EXPECT_EQ(OnlyRun("ISPM 15").column, 64);
  EXPECT_TRUE(RunsOf("PEFC 100%").empty());
}

TEST_F(Totals, TheFootFlagsDecideRuleAndFoot) {
  Prepare = [&] {
    Fields("SYS-DATA").SetAt(60, 1, "N");
    Fields("SYS-DATA").SetAt(64, 1, "J");
  };
  PrintBlock("241001");
  ASSERT_EQ(err, 0);
  for (const printer::PictureRun& picture : Job()->pictures)
    EXPECT_EQ(picture.source.find("FOTEN"), std::string::npos);
  EXPECT_TRUE(RunsOf("Innehar").empty());
  EXPECT_TRUE(RunsOf("Trädgårdens Sågverk AB"_w).empty());
  const auto rules = RunsOf(std::string(110, '\x97'));
  ASSERT_EQ(rules.size(), 2u);  // above the FAS line and under the total
  EXPECT_GT(rules[1].y, OnlyRun("Att betala SEK.......:").y);
}

TEST_F(Totals, BlankFootFieldsLeaveTheirCaptionsOut) {
  Prepare = [&] {
    registers::Clear(ctx(), registers::LayoutOfChannel(11));  // no bank
    Fields("SYS-FRTG").SetAt(198, 15, "");
    Fields("SYS-FRTG").SetAt(43, 1, "N");
  };
  PrintBlock("241001");
  ASSERT_EQ(err, 0);
  const std::string page = Page();
  for (const char* left_out : {"Swift:", "Konto:", "Mobiltelefon:", "Innehar"})
    EXPECT_EQ(page.find(left_out), std::string::npos) << left_out;
  EXPECT_NE(page.find("Iban:"), std::string::npos);
  EXPECT_NE(page.find("Telefon:"), std::string::npos);
}

TEST_F(Totals, AFasAmountGetsItsLineAndUnderline) {
  Prepare = [&] { Fields("SVF-FTHD").Set("FASBELOPP", "      2500.000"); };
  PrintBlock("241001");
  ASSERT_EQ(err, 0);
  const printer::TextRun caption = OnlyRun("FAS-belopp 001.......:");
  EXPECT_EQ(caption.column, 74);
  EXPECT_EQ(OnlyRun("2.500:000").y, caption.y);
  const printer::TextRun underline = OnlyRun(std::string(19, '\xB7'));
  EXPECT_EQ(underline.column, 97);  // under the amount, which ends at column 116
  EXPECT_EQ(underline.y, OnlyRun("FAS-belopp:").y);
  EXPECT_GT(underline.y, caption.y);
  // The FAS line's two lines move the block up by as much, so that the foot stays on the sheet;
  // the row limit moves with it.
  EXPECT_EQ(OnlyRun("Certifiering:").y, TotalsTop(ctx()));
  EXPECT_LT(TotalsTop(ctx()), 14375 - 450 - 175);
  ExpectOnTheSheet();
}

}  // namespace
}  // namespace kvor::printing
