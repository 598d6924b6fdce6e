// The page head on the in-memory printer, with the sample invoices read into the register fields
// as the print run reads them: what stands where on the first page of a copy,
// on its later pages and on copies, and how the SYS-DATA print settings change the head.
#include <filesystem>

#include "common/cp1252.h"
#include "common/text.h"
#include "core/master_window.h"
#include "printing/invoice_page.h"
#include "printing/invoice_records.h"

namespace kvor::printing {
namespace {

class PageHead : public InvoiceRecords {
 protected:
  void Setting(int position, const std::string& value) {
    Fields("SYS-DATA").SetAt(position, 1, value);
  }
  // The head of `number`, copy `copy`, in the customer's language, on a new job.
  void PrintHead(const std::string& number, int16_t copy = 0) {
    ReadInvoice(number);
    if (HasFatalFailure()) return;
    ASSERT_EQ(Choose(kTest), 0);
    PrintPageHead(ctx(), copy, ctx().print.run.language, err);
  }
  int16_t err = 0;
};

// x where a tab to `column` of Courier New `size` put the run: at the tab, or less than a column
// of the font the run was printed in after it (the run is placed on the column grid of its own
// font).
void ExpectTab(const printer::TextRun& run, int column, double tab_size, bool tab_bold) {
  const double tab =
      column * printer::AdvanceTwips(*printer::FindFont("COURIER NEW"), tab_size, tab_bold);
  EXPECT_GE(run.x, tab - 0.001) << ToUtf8(run.text);
  EXPECT_LT(run.x, tab + printer::AdvanceTwips(*printer::FindFont(run.font), run.size, run.bold))
      << ToUtf8(run.text);
}

TEST_F(PageHead, TheFirstPageCarriesTheHeadTheBlocksAndTheColumnCaptions) {
  PrintHead("241001");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(ctx().main.CboPrnt->BackColor(), colour::kFieldOff);

  // The sample has a logo: it is painted and no company name is printed.
  ASSERT_EQ(Job()->pictures.size(), 1u);
  EXPECT_NE(Job()->pictures[0].source.find("001LOGGA.BMP"), std::string::npos);
  EXPECT_TRUE(RunsOf("Trädgårdens Sågverk AB"_w).empty());

  // Each line of the head with its parts in column order: the invoice date by date rule "R";
  // right-hand texts ending at their columns (ORIGINAL at 117, "Belopp" at 156 of the 6-point
  // grid); in SPECIFIKAT caption and value together end at 115.
  ExpectLines({
      {"FAKTURA", "36:FAKTURA | 61:241001"},
      {"Fakturadatum:", "42:Fakturadatum: | 56:2026-11-02 | 86:Sida: | 92:1"},
      {"Order 1001", "63:Er referens: | 76:Order 1001 | 101:Säljare: | 110:0001"},
      {"Fakturaadress", "61:Fakturaadress | 97:Vat: | 102:SE556123456701"},
      {"ORIGINAL", "109:ORIGINAL"},
      {"Betalningsvillkor.....:",
       "6:Betalningsvillkor.....: | 30:30 dagar netto | 92:Förfallodatum: | 107:2026-12-02"},
      {"Specifikationsnr:",
       "6:Specifikation.........: | 30:Plastat Paketmärkt Växjö | "
       "82:Specifikationsnr: | 100:541001 2026-10-31"},
      {"Avrop 311001",
       "6:Ert ordernummer.......: | 30:Lastbil ABC 123 | 102:Vårt ordernummer: | "
       "120:Avrop 311001"},
      {"0370-481 20",
       "6:Kund..................: | 30:AKESSON Åkesson & Öberg Trävaror AB | "
       "108:Telefon: | 117:0370-481 20"},
      {"Valuta:", "6:Anmärkning............: | 106:Valuta: | 114:SEK"},
      {"Belopp",
       "8:Benämning | 64:Längd | 74:Avdrag | 101:Pris | 112:Kvantitet | "
       "125:Enhet/Rabatt | 150:Belopp"},
  });
  // The title at tab 50, the six-character number at tab 85, of the 10-point grid.
  ExpectTab(OnlyRun("FAKTURA"), 50, 10, true);
  ExpectTab(OnlyRun("241001"), 85, 10, false);
  // Without the address flag only the invoice address column is printed, six lines, the blank
  // second one included.
  EXPECT_TRUE(RunsOf("Leveransadress").empty());
  ExpectTab(OnlyRun("Fakturaadress"), 53, 8, false);
  const printer::TextRun name = OnlyRun("Åkesson & Öberg Trävaror AB"_w);
  ExpectTab(name, 53, 10, true);
  EXPECT_EQ(OnlyRun("Sverige").y - name.y, 5 * (OnlyRun("Ekonomiavdelningen").y - name.y));
}

TEST_F(PageHead, LaterPagesOfACopyLeaveTheBlocksOutAndCopiesShowTheirNumber) {
  PrintHead("241001", 1);
  ASSERT_EQ(err, 0);
  EXPECT_TRUE(RunsOf("ORIGINAL").empty());
  // "1" is the page number too: the copy number is the one on the copy mark's line, and "Kopia:
  // 1" ends at 117.
  EXPECT_EQ(LineOf("Kopia:"), "109:Kopia: | 116:1");
  PrintPageHead(ctx(), 1, 0, err);
  ASSERT_EQ(err, 0);
  const std::string second = ToUtf8(Job()->PageText(2));
  for (const char* kept : {"Sida: 2", "Kopia: 1", "*241001*", "Belopp"})
    EXPECT_NE(second.find(kept), std::string::npos) << second;
  for (const char* block :
       {"Betalningsvillkor", "Ert ordernummer", "Anmärkning", "E-post", "Specifikation.", "Kund."})
    EXPECT_EQ(second.find(block), std::string::npos) << block;
  // The head starts each page again at the top.
  EXPECT_EQ(RunsOf("FAKTURA")[1].y, RunsOf("FAKTURA")[0].y);
}

TEST_F(PageHead, TheCompanyNameAndSloganStandWhereThereIsNoLogo) {
  ReadInvoice("241001");
  Setting(54, "N");
  Setting(57, "J");
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_TRUE(Job()->pictures.empty());
  const std::string company = "Trädgårdens Sågverk AB"_w;
  const printer::TextRun name = OnlyRun(company);
  EXPECT_EQ(name.size, 16);
  ExpectTab(name, 3, 10, false);
  EXPECT_EQ(OnlyRun("FAKTURA").y, name.y);
  const std::string slogan = "Virke från skogarna i Småland sedan 1921"_w;
  EXPECT_GT(OnlyRun(slogan).y, OnlyRun(std::string(2 * company.size(), '\xA8')).y);

  // Neither logo nor name: the head line starts with an empty name.
  ResetCounters(ctx());
  Setting(57, "N");
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_TRUE(RunsOf(company).empty());
  EXPECT_TRUE(RunsOf(slogan).empty());
}

TEST_F(PageHead, PrintSettingsMoveAndFillTheHead) {
  ReadInvoice("241001");
  Setting(55, "J");  // delivery address
  Setting(59, "N");  // no barcode
  Setting(62, "2");  // top offset 2 x 175
  Setting(63, "2");  // two spacer lines
  Setting(58, "U");  // not the invoice date: today's, the invoice being unprinted
  Fields("SVF-FTHD").Set("FASBELOPP", "      1234.500");
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().print.top_offset, 350);
  EXPECT_GT(OnlyRun("FAKTURA").y, 0);  // below the spacer lines
  EXPECT_TRUE(RunsOf("*241001*").empty());
  // The delivery name stands left, the invoice name right, on one line, each under its caption;
  // the FAS line carries the copy mark on its right.
  ExpectLines(
      {{"Fakturadatum:", "42:Fakturadatum: | 56:2026-12-04 | 86:Sida: | 92:1"},
       {"Leveransadress", "7:Leveransadress | 61:Fakturaadress | 97:Vat: | 102:SE556123456701"},
       {"FAS-belopp: 1.234:500 001", "6:FAS-belopp: 1.234:500 001 | 109:ORIGINAL"}});
  const printer::TextRun left_caption = OnlyRun("Leveransadress");
  ExpectTab(left_caption, 6, 8, false);
  const auto names = RunsOf("Åkesson & Öberg Trävaror AB"_w);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].y, names[1].y);
  ExpectTab(names[0], 6, 8, true);
}

TEST_F(PageHead, TheInvoiceChoosesLanguageAndTheDateOfAReprint) {
  PrintHead("241003");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().print.run.language, 2);
  EXPECT_EQ(OnlyRun("Seite:").column, 90 - 5);
  EXPECT_EQ(RunsOf("Zahlungsbedingungen...:").size(), 1u);

  // A printed invoice shows its first print date unless the invoice date is asked for.
  ResetCounters(ctx());
  ReadInvoice("241010");
  const std::string first_print = Fields("SVF-FTHD").Get("UTSKRDATUM");
  ASSERT_EQ(first_print.size(), 8u);
  const std::string shown =
      first_print.substr(0, 4) + "-" + first_print.substr(4, 2) + "-" + first_print.substr(6, 2);
  Setting(58, "U");
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, ctx().print.run.language, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().print.run.printed_date, shown);
  EXPECT_EQ(RunsOf(shown).size(), 1u);
}

// A workstation without the barcode font is told and gets its head without the bars.
TEST_F(PageHead, AHeadWithoutTheBarcodeFontIsStillPrinted) {
  ctx().print.prepare_printers = [](printer::PrinterSet& s) {
    s.AddRecordingPrinter(kTest);
    s.HideFont("FREE 3 OF 9 REGULAR");
  };
  PrintHead("241001");
  EXPECT_EQ(err, 0);
  EXPECT_TRUE(RunsOf("*241001*").empty());
  EXPECT_EQ(RunsOf(std::string(111, '\x97')).size(), 1u);
  EXPECT_EQ(Messages(),
            "message 3 Angiven FONT kan EJ tilldelas WINDOWS för KONTROLL-utskrift! ¶ Kontrollera "
            "FONTEN på C:\\WINDOWS\\FONTS-katalogen! ¶ Fontfilen: FREE 3 OF 9 REGULAR ¶ "
            "BkString: R\n");
}

TEST_F(PageHead, AMissingCaptionStopsTheHeadBeforeAnythingIsPrinted) {
  ReadInvoice("241001");
  // The title's text taken out of VSH-TEXT, as another program of the suite could.
  std::string key = "005";
  registers::Laser(ctx(), key, 28, 1, 0, err);
  ASSERT_EQ(err, 0);
  int16_t status = 4;  // delete
  registers::BTRWRARD(ctx(), key, status, 28, 0);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_NE(Messages().find("För LÄSNING finns EJ avsett TEXT-nummer 005 registrerat!"),
            std::string::npos)
      << Messages();
  EXPECT_EQ(ctx().print.job_begun, 0);
  EXPECT_EQ(Job(), nullptr);
}

TEST_F(PageHead, AMissingLogoStopsTheHead) {
  ReadInvoice("241001");
  std::filesystem::remove(run.install.Host("C:\\KVOR\\BILDER\\001LOGGA.BMP"));
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_NE(Messages().find("Tilldelad BILD som BMP finns EJ på BILDER-katalogen!"),
            std::string::npos);
  EXPECT_TRUE(Job() == nullptr || RunsOf("FAKTURA").empty());
}

}  // namespace
}  // namespace kvor::printing
