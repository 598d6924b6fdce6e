// The invoice page as the print run prints the sample invoices on the in-memory printer: what
// stands where in the head, the rows, the totals block and the company foot, on the first print
// and the copy and over several pages; then the parts printed again from changed register fields
// for what the sample does not show.
#include <filesystem>
#include <map>
#include <tuple>

#include "common/cp1252.h"
#include "common/text.h"
#include "core/master_window.h"
#include "printing/print_job.h"

namespace kvor::printing {
namespace {

const std::string kRule(111, '\x97');  // the rule across the page

// The height of a line of Courier New in that many points, in twips.
double CourierLine(int points) {
  return points * 20 * 2320.0 / 2048;
}

TEST_F(SampleInvoice, ASwedishInvoiceCarriesHeadRowsTotalsAndFootOnTheOriginalAndTheCopy) {
  ASSERT_EQ(PrintInvoice("241001"), 0);
  EXPECT_EQ(
      Messages(),
      "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor! ¶ Skrivare: KVOR TEST\n");

  // The head, each line with its parts in column order: the invoice date by date rule "R";
  // right-hand texts ending at their columns (ORIGINAL at 117, "Belopp" at 156 of the 6-point
  // grid); in SPECIFIKAT caption and value together end at 115. The sample has a logo: no company
  // name is printed. Only the invoice address column, six lines, the blank second one included.
  ExpectLines({
      {"FAKTURA", "36:FAKTURA | 61:241001"},
      {"*241001*", "3:*241001*"},
      {"Fakturadatum:", "42:Fakturadatum: | 56:2026-11-02 | 86:Sida: | 92:1"},
      {"Fakturaadress", "61:Fakturaadress | 97:Vat: | 102:SE556123456701"},
      {"ORIGINAL", "109:ORIGINAL"},
      {"Betalningsvillkor.....:",
       "6:Betalningsvillkor.....: | 30:30 dagar netto | 92:Förfallodatum: | 107:2026-12-02"},
      {"Avrop 311001",
       "6:Ert ordernummer.......: | 30:Lastbil ABC 123 | 102:Vårt ordernummer: | "
       "120:Avrop 311001"},
      {"0370-481 20",
       "6:Kund..................: | 30:AKESSON Åkesson & Öberg Trävaror AB | "
       "108:Telefon: | 117:0370-481 20"},
      {"Belopp",
       "8:Benämning | 64:Längd | 74:Avdrag | 101:Pris | 112:Kvantitet | "
       "125:Enhet/Rabatt | 150:Belopp"},
  });
  EXPECT_TRUE(RunsOf("Leveransadress").empty());
  const printer::TextRun name = OnlyRun("Åkesson & Öberg Trävaror AB"_w);
  EXPECT_EQ(OnlyRun("Box 114").y - name.y, 3 * (OnlyRun("Ekonomiavdelningen").y - name.y));

  // The rows: each group's heading in bold with the delivery notice reference beside it; the
  // first heading straight under the captions and the rule, the next ones after a spacer line of
  // 4 points, where the counted rows tell that the group is not the first; description,
  // length, price, quantity and unit, amount; a rejected share beside the length and its
  // deduction line, a third of the price on the rejected quantity, taken off; the additional
  // row's description at 31 and its article on a line of its own. Prices and amounts start at
  // their tabs in their pattern width, so that their decimal marks line up.
  const printer::TextRun heading = OnlyRun("Sågfallande Furu, sågad Sågat"_w);
  EXPECT_TRUE(heading.bold);
  EXPECT_DOUBLE_EQ(heading.y - OnlyRun("Benämning"_w).y, CourierLine(6) + CourierLine(8));
  EXPECT_DOUBLE_EQ(
      OnlyRun("Sågfallande Gran, sågad Sågat"_w).y - OnlyRun("1 SF Furu, sågad 22*100[N]"_w).y,
      CourierLine(8) + CourierLine(4));
  EXPECT_EQ(RunsOf("\xB7 B/L FS-541001", 1).size(), 3u);
  ExpectLines({
      {"Kvinta Furu, sågad Sågat"_w, "6:Kvinta Furu, sågad Sågat | 30:· B/L FS-541001"},
      {"1 SF Furu, sågad 22*100[N]"_w,
       "6:1 SF Furu, sågad 22*100[N] | 46:4500MM | 62:2.450:00 | 80:12.345 | 90:M3 | "
       "100:30.245:250"},
      {"1 KV Furu, sågad 45*145[N]"_w,
       "6:1 KV Furu, sågad 45*145[N] | 46:5100MM | 53:3.4 % | 62:2.190:00 | 80:8.760 | 90:M3 | "
       "100:19.184:400"},
      {"Avdrag vrak:", "49:Avdrag vrak: | 62:730:00 | 80:0.300 | 90:M3 | 100:-219:000"},
      {"Transport med lastbil", "31:Transport med lastbil"},
      {"TRP\xB7"
       "FRAKT",
       "6:001 | 10:TRP\u00B7FRAKT"},
      {"Frakt Växjö - kund"_w,
       "10:Frakt Växjö - kund | 62:1.850:000 | 80:1.000 | 90:ST | 100:1.850:000"},
  });
  EXPECT_EQ(OnlyRun("30.245:250").text, "        30.245:250");
  EXPECT_EQ(OnlyRun("-219:000").text.find(':'), OnlyRun("30.245:250").text.find(':'));

  // The freight text follows the rows after an empty line.
  const printer::TextRun first =
      OnlyRun("Frakt: lastbil från Växjö till Värnamo, levererat 2026-11-01."_w);
  const printer::TextRun second = OnlyRun("Lossning med kranbil, kunden anvisar plats.");
  EXPECT_GT(first.y - OnlyRun("Frakt Växjö - kund"_w).y, second.y - first.y);

  // The totals block: the certification line, the rule, the amounts at tab 98 and the total
  // ending at 117, the marking picture at x 5900 150 twips above the line under the rule; then
  // the company foot, its first line under the top of the foot picture, whose band carries a
  // rule across its top. The foot's captions and right-hand texts end at their columns.
  const printer::TextRun rule = RunsOf(kRule, 1).at(1);
  EXPECT_EQ(LineOf("Certifiering:"),
            "6:Certifiering: | 20:Virket är PEFC-certifierat. · DEMO-PEFC-COC-0001");
  EXPECT_GT(rule.y, OnlyRun("Certifiering:").y);
  ExpectLines({
      {"Netto.................:",
       "6:Vid försenad betalning debiteras dröjsmålsränta enligt räntelagen. | "
       "74:Netto.................: | 98:85.860:650"},
      {"Moms..................:",
       "6:Varorna förblir säljarens egendom tills fakturan är betald. | "
       "74:Moms..................: | 98:21.465:160"},
      {"Öresavrundning........:"_w, "74:Öresavrundning........: | 98:0:190"},
      {"Att betala SEK.......:", "74:Att betala SEK.......: | 106:107.326:000"},
      {"Bankgiro:",
       "7:Trädgårdens Sågverk AB | 39:Telefon: | 48:0470-123 45 | 73:Bankgiro: | "
       "83:5050-1055 | 115:Org.nr: | 123:556677-8899"},
      {"Konto:",
       "7:Sverige | 43:Konto: | 50:6-123456789 | 73:Iban: | "
       "79:SE45 5000 0000 0583 9825 7466 | 114:Innehar | 122:F | 123:-skattsedel"},
  });
  // The pictures by name, top left and size: the copy has them where the original has them.
  std::string pictures;
  for (const printer::PictureRun& p : Job()->pictures)
    pictures += std::filesystem::path(p.source).filename().string() + " " +
                std::to_string(int(p.x)) + "," + std::to_string(int(p.y)) + " " +
                std::to_string(int(p.width)) + "x" + std::to_string(int(p.height)) + "\n";
  const std::string page =
      "001LOGGA.BMP 400,200 5000x1000\nKD5630.BMP 5900,14205 1000x1000\n001FOTEN.BMP 450,15621 "
      "10700x650\n";
  EXPECT_EQ(pictures, page + page);
  EXPECT_NEAR(OnlyRun("Trädgårdens Sågverk AB"_w).y, Job()->pictures.at(2).y + 100, 1);

  // The copy numbers its pages from 1 again, shows its number where the original shows
  // ORIGINAL and starts its rows with a heading again.
  ExpectLines({{"Fakturadatum:", "42:Fakturadatum: | 56:2026-11-02 | 86:Sida: | 92:1"},
               {"Kopia:", "109:Kopia: | 116:1"}},
              2);
  EXPECT_TRUE(RunsOf("ORIGINAL", 2).empty());
  EXPECT_EQ(RunsOf("\xB7 B/L FS-541001", 2).size(), 3u);
}

TEST_F(SampleInvoice, AForeignCurrencyInvoiceIsPrintedInTheCustomersLanguageAndCurrency) {
  ASSERT_EQ(PrintInvoice("241003"), 0);
  // Rows priced in the invoice's currency print the invoice-currency amounts; the bank is the
  // one of that currency. The block is raised from its line (14375 less the bottom reserve) just
  // so far that the foot ends on the sheet.
  ExpectLines({
      {"1 SF Kiefer, gesägt 45*145[N]"_w,
       "6:1 SF Kiefer, gesägt 45*145[N] | 46:4800MM | 62:215:00 | 80:11.200 | 90:M3 | "
       "100:2.408:000"},
      {"Fracht Växjö - Hamburg"_w,
       "10:Fracht Växjö - Hamburg | 62:640:000 | 80:1.000 | 90:ST | 100:640:000"},
      {"Währungsbetrag........:"_w,
       "6:Zahlung an IBAN SE64 5000 0000 0583 9825 7512, BIC SMBKSESS. | "
       "74:Währungsbetrag........: | 98:4.899:30"},
      {"MwSt..................:",
       "6:Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum. | "
       "74:MwSt..................: | 98:1.224:830"},
      {"Rundung...............:", "74:Rundung...............: | 98:-0:130"},
      {"Zu zahlen EUR........:", "74:Zu zahlen EUR........: | 108:6.124:000"},
      {"USt-IdNr.:",
       "7:352 46 Växjö | 37:USt-IdNr.: | 48:SE 556677-8899 01 | 73:Swift: | "
       "80:SMBKSESS Smålandsbanken Växjö | 117:www.tradgarden.se"},
  });
  for (const char* amount : {"4.899:30", "1.224:830", "-0:130"}) {
    const printer::TextRun run = OnlyRun(amount);
    EXPECT_EQ(run.column + run.text.find(':'), 98u + 16u) << amount;
  }
  EXPECT_EQ(RunsOf(kRule, 1).at(1).y, TotalsTop(ctx()));
  EXPECT_GT(TotalsTop(ctx()), 14375 - 175 - 50);

  // The row's price basis: one the invoice's currency does not allow falls back to that
  // currency's own; in the company's own currency "N" keeps the invoice-currency amount,
  // anything else but "E" becomes "E", and the row prints its company-currency amount.
  registers::Record& h = Fields("SVF-FTHD");
  const std::string currency = h.Get("VALKOD");
  int16_t err = 0;
  for (const auto& [code, basis, flag] :
       {std::tuple{currency, "E", "U"}, {currency, "N", "N"}, {std::string("SE"), "U", "E"}}) {
    h.Set("VALKOD", code);
    Fields("SVF-FTSP").Set("FTSP_P237", basis);
    NewBarePage();
    PrintSpecificationRow(ctx(), 0, 2, err);
    EXPECT_EQ(ctx().print.run.row_price_flag, flag) << code << " " << basis;
  }
  EXPECT_EQ(RunsOf("27.571:600").size(), 1u);
  h.Set("VALKOD", currency);

  // Rows in the company's currency print the company sums. A page that goes on shows the
  // continuation text for the currency and net amounts; a VAT and a rounding of zero keep their
  // text lines but print neither caption nor amount.
  ctx().print.run.row_price_flag = "E";
  h.Set("NETTOFTG", "     56096.985");
  PrintTotalsAlone(2);
  EXPECT_EQ(OnlyRun("56.096:985").y, OnlyRun("Nettobetrag...........:").y);
  ctx().print.run.row_price_flag = "U";
  ctx().print.run.page_continues = true;
  ctx().print.run.row_limit = 14200;
  h.Set("MOMSVAL", "         0.000");
  h.Set("AVRUNDVAL", "");
  PrintTotalsAlone(2);
  EXPECT_EQ(LineOf("Nettobetrag...........:"),
            "6:Bei Zahlungsverzug werden Verzugszinsen berechnet. | 74:Nettobetrag...........: | "
            "98:Übertrag");
  EXPECT_TRUE(RunsOf("MwSt..................:").empty());
  EXPECT_TRUE(RunsOf("Rundung...............:").empty());
  EXPECT_EQ(RunsOf("Die Ware bleibt bis zur vollständigen Bezahlung unser Eigentum."_w).size(), 1u);
  EXPECT_EQ(ctx().print.run.row_limit, 0);
}

// The sample's 85 rows take four pages of each pass: a page is closed with the totals block, its
// amounts carried over, when the next row would reach the block, and not earlier.
TEST_F(SampleInvoice, RowsPastTheRowLimitGoOnOnTheNextPage) {
  ASSERT_EQ(PrintInvoice("241004"), 0);
  ASSERT_EQ(Job()->pages, 8);
  const double limit = TotalsTop(ctx());
  std::map<int, double> lowest;  // the bottom of each page's last row line
  int rows = 0;
  for (const printer::TextRun& run : Job()->texts) {
    if (run.text.find("[N]") == std::string::npos) continue;
    ++rows;
    lowest[run.page] = std::max(lowest[run.page], run.y + CourierLine(8));
  }
  EXPECT_EQ(rows, 2 * 85);
  for (int page : {1, 2, 3, 5, 6, 7}) {
    EXPECT_LE(lowest[page], limit) << page;
    EXPECT_GT(lowest[page], limit - 3 * CourierLine(8) - 100) << page;
  }
  EXPECT_EQ(LineOf("Netto.................:", 3),
            "6:Vid försenad betalning debiteras dröjsmålsränta enligt räntelagen. | "
            "74:Netto.................: | 98:Transport");
  // The freight text, too long for the rest of the last page of rows, starts the next page.
  EXPECT_EQ(lowest.count(4), 0u);
  EXPECT_EQ(RunsOf("Frakt: två lastbilar från Växjö till Värnamo."_w, 4).size(), 1u);

  // Later pages carry the head without its blocks, at the top of the page; the copy counts its
  // own pages.
  const std::string third = ToUtf8(Job()->PageText(3));
  for (const char* kept : {"Sida: 3", "ORIGINAL", "*241004*", "Belopp"})
    EXPECT_NE(third.find(kept), std::string::npos) << third;
  for (const char* block :
       {"Betalningsvillkor", "Ert ordernummer", "Anmärkning", "E-post", "Specifikation.", "Kund."})
    EXPECT_EQ(third.find(block), std::string::npos) << block;
  EXPECT_EQ(OnlyRun("FAKTURA", 3).y, 0);
  EXPECT_EQ(LineOf("Fakturadatum:", 7), "42:Fakturadatum: | 56:2026-11-09 | 86:Sida: | 92:3");
}

// The Swedish sample's last specification row, its totals block and its head printed again
// with the fields and SYS-DATA print settings they depend on changed; then whole runs without
// the barcode font, the logo or the title's text.
TEST_F(SampleInvoice, TheRowTotalsAndHeadFollowTheirFieldsAndSettingsAndTellWhatTheyLack) {
  ASSERT_EQ(PrintInvoice("241001"), 0);
  int16_t err = 0;
  NewBarePage();
  // In German the deduction caption ends where the price column begins, in lower case.
  PrintSpecificationRow(ctx(), 0, 2, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(OnlyRun("Abzug ausschuss:").column, 59 - 5 - 9);

  // Actual dimensions that differ from the nominal ones; the quality code left out; the invoice
  // type with its range; a length given as an index into the length table; a discount. The
  // description runs past tab 46: the length and what follows it go to the next line.
  registers::Record& row = Fields("SVF-FTSP");
  Fields("SVF-LSSP").Set("LSSP_P039", " 21.5");
  Fields("SVF-LSSP").Set("LSSP_P044", " 98.0");
  Fields("SVP-KTKD").Set("KTKD_P133", "N");
  Fields("SVP-FTKD").Set("FTKD_P036", "J");
  row.Set("FTSP_P034", "  12");
  row.Set("FTSP_P080", " 2.50");
  PrintSpecificationRow(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  ExpectLines({{"1 Furu, sågad 45*145[N] 21.5*98[A] 01 1800-6600"_w,
                "6:1 Furu, sågad 45*145[N] 21.5*98[A] 01 1800-6600"},
               {"7200MM",
                "46:7200MM | 53:3.4 % | 62:2.190:00 | 80:8.760 | 90:M3 | 93:2.50 | 98:% | "
                "100:19.184:400"}});

  // A range whose ends agree is one value; no quantity, no price and no amount leave their
  // columns empty.
  Fields("SVP-FTKD").Set("FTKD_P011", " 1800");
  row.Set("FTSP_P213", "");
  row.Set("FTSP_P070", "      0.00");
  row.Set("FTSP_P127", "         0.000");
  row.Set("FTSP_P080", " 0.00");
  row.Set("FTSP_P034", "4500");
  PrintSpecificationRow(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  ExpectLines({{"1 Furu, sågad 45*145[N] 21.5*98[A] 01 1800"_w,
                "6:1 Furu, sågad 45*145[N] 21.5*98[A] 01 1800"},
               {"4500MM", "46:4500MM"}});

  // The certification word in the customer's language; the sample has no captions in language 5.
  Fields("SVF-DATA").SetAt(72, 60, "PEFC : 70 % certifierat");
  for (const auto& [language, line] :
       {std::pair<int16_t, std::string>{0, "6:Certifiering: | 20:PEFC 70 % certifierat"},
        {2, "6:Zertifizierung: | 22:PEFC 70 % certifierat"},
        {5, "6:Certification: | 21:PEFC 70 % certifierat"}}) {
    PrintTotalsAlone(language);
    EXPECT_EQ(LineOf(line.substr(2, line.find(' ') - 2)), line + " · DEMO-PEFC-COC-0001");
  }

  // The marking text beside the amount lines with kind "1"; kind "2" brings its own text and no
  // picture.
  Fields("SVF-DATA").SetAt(63, 9, "PEFC 100%");
  PrintTotalsAlone(0);
  const int32_t block_top = TotalsTop(ctx());
  EXPECT_EQ(OnlyRun("Certifiering:").y, block_top);
  EXPECT_EQ(LineOf("PEFC 100%"), "64:PEFC 100% | 74:Att betala SEK.......: | 106:107.326:000");
  Fields("SVF-FTHD").Set("FTHD_P855", "2");
  PrintTotalsAlone(0);
  EXPECT_EQ(Job()->pictures.size(), 1u);  // the foot picture only
  EXPECT_EQ(OnlyRun("ISPM 15").column, 64);
  EXPECT_TRUE(RunsOf("PEFC 100%").empty());

  // A FAS amount gets its line and an underline under the amount. The FAS line's two lines move
  // the block up by as much, so that the foot stays on the sheet.
  Fields("SVF-FTHD").Set("FASBELOPP", "      2500.000");
  PrintTotalsAlone(0);
  ExpectLines({{"FAS-belopp 001.......:", "74:FAS-belopp 001.......: | 98:2.500:000"},
               {"FAS-belopp:", "74:FAS-belopp: | 98:···················"}});
  EXPECT_EQ(OnlyRun("Certifiering:").y, TotalsTop(ctx()));
  EXPECT_NEAR(TotalsTop(ctx()), block_top - 2 * CourierLine(8), 1);
  ExpectNoOverprinting();

  // Blank foot fields leave their captions out.
  registers::Clear(ctx(), registers::LayoutOfChannel(11));  // no bank
  Fields("SYS-FRTG").SetAt(198, 15, "");
  Fields("SYS-FRTG").SetAt(43, 1, "N");
  PrintTotalsAlone(0);
  const std::string page = ToUtf8(Job()->PageText(1));
  for (const char* left_out : {"Swift:", "Konto:", "Mobiltelefon:", "Innehar"})
    EXPECT_EQ(page.find(left_out), std::string::npos) << left_out;
  for (const char* kept : {"Iban:", "Telefon:"}) EXPECT_NE(page.find(kept), std::string::npos);

  // The flags take the foot away and put a rule under the total.
  Settings({{60, "N"}, {64, "J"}});
  PrintTotalsAlone(0);
  EXPECT_TRUE(Job()->pictures.empty());
  EXPECT_TRUE(RunsOf("Telefon:").empty());
  const auto rules = RunsOf(kRule);
  ASSERT_EQ(rules.size(), 2u);  // above the FAS line and under the total
  EXPECT_GT(rules[1].y, OnlyRun("Att betala SEK.......:").y);

  auto head = [&] {
    ResetCounters(ctx());
    ASSERT_EQ(Choose(kTest), 0);
    PrintPageHead(ctx(), 0, 0, err);
    ASSERT_EQ(err, 0);
  };
  // No logo: the company name in 16 points on the title's line, the slogan under its underline;
  // neither logo nor name: neither of them.
  const std::string company = "Trädgårdens Sågverk AB"_w;
  const std::string slogan = "Virke från skogarna i Småland sedan 1921"_w;
  Settings({{54, "N"}, {57, "J"}});
  head();
  EXPECT_TRUE(Job()->pictures.empty());
  EXPECT_EQ(OnlyRun(company).size, 16);
  EXPECT_EQ(OnlyRun("FAKTURA").y, OnlyRun(company).y);
  EXPECT_GT(OnlyRun(slogan).y, OnlyRun(std::string(2 * company.size(), '\xA8')).y);
  Settings({{57, "N"}});
  head();
  EXPECT_TRUE(RunsOf(company).empty());
  EXPECT_TRUE(RunsOf(slogan).empty());

  // The delivery address, no barcode, a top offset of 2 x 175 and two spacer lines, the first
  // print date, a FAS amount: the delivery name stands left, the invoice name right, on one line;
  // the FAS line carries the copy mark on its right.
  Settings({{55, "J"}, {59, "N"}, {62, "2"}, {63, "2"}, {58, "U"}});
  Fields("SVF-FTHD").Set("FASBELOPP", "      1234.500");
  head();
  EXPECT_EQ(ctx().print.top_offset, 350);
  EXPECT_GT(OnlyRun("FAKTURA").y, 0);
  EXPECT_TRUE(RunsOf("*241001*").empty());
  ExpectLines(
      {{"Fakturadatum:", "42:Fakturadatum: | 56:2026-12-04 | 86:Sida: | 92:1"},
       {"Leveransadress", "7:Leveransadress | 61:Fakturaadress | 97:Vat: | 102:SE556123456701"},
       {"FAS-belopp: 1.234:500 001", "6:FAS-belopp: 1.234:500 001 | 109:ORIGINAL"}});
  const auto names = RunsOf("Åkesson & Öberg Trävaror AB"_w);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].y, names[1].y);

  // An invoice printed before shows the date of its last print, a day after its invoice date in
  // the sample; the run marks it printed again, today, before the copy. A workstation without
  // the barcode font is told and prints its head without the bars.
  Settings({{59, "J"}});
  ctx().print.printers->HideFont("FREE 3 OF 9 REGULAR");
  ASSERT_EQ(PrintInvoice("241010"), 0);
  EXPECT_EQ(LineOf("Fakturadatum:", 1), "42:Fakturadatum: | 56:2026-11-20 | 86:Sida: | 92:1");
  EXPECT_EQ(LineOf("Fakturadatum:", 2), "42:Fakturadatum: | 56:2026-12-04 | 86:Sida: | 92:1");
  EXPECT_TRUE(RunsOf("*241010*").empty());

  // A missing logo, or a caption taken out of VSH-TEXT as another program of the suite could,
  // stops the run before anything is printed.
  std::filesystem::remove(run.install.Host("C:\\KVOR\\BILDER\\001LOGGA.BMP"));
  Settings({{54, "J"}});
  EXPECT_NE(PrintInvoice("241002"), 0);
  EXPECT_TRUE(Job()->texts.empty());
  Settings({{54, "N"}});
  std::string key = "005";  // the title's text
  registers::Laser(ctx(), key, 28, 1, 0, err);
  ASSERT_EQ(err, 0);
  int16_t status = 4;  // delete
  registers::BTRWRARD(ctx(), key, status, 28, 0);
  ASSERT_EQ(status, 0);
  EXPECT_NE(PrintInvoice("241002"), 0);
  EXPECT_TRUE(Job()->texts.empty());
  const std::string m = Messages();
  for (const char* told :
       {"message 3 Angiven FONT kan EJ tilldelas WINDOWS för KONTROLL-utskrift! ¶ Kontrollera "
        "FONTEN på C:\\WINDOWS\\FONTS-katalogen! ¶ Fontfilen: FREE 3 OF 9 REGULAR ¶ BkString: R\n"
        "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!",
        "Tilldelad BILD som BMP finns EJ på BILDER-katalogen!",
        "För LÄSNING finns EJ avsett TEXT-nummer 005 registrerat!"})
    EXPECT_NE(m.find(told), std::string::npos) << m;
}

}  // namespace
}  // namespace kvor::printing
