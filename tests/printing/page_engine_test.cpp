// The printer table, the printer choice, the page engine, barcodes and pictures on the page.
#include "printing/page_engine.h"

#include "common/cp1252.h"
#include "printing/barcodes.h"
#include "printing/pictures.h"
#include "printing/print_job.h"

namespace kvor::printing {
namespace {

// The user answers the first cancel question "NEJ" and the second "JA".
class PageEngine : public PrintJob {
 protected:
  PageEngine() : PrintJob("answer NEJ\nanswer JA\n") {}
};

// A run of jobs: the cancel question goes on at "NEJ" and at "JA" ends the job with the pages
// printed; a job without pages sends no document; one has at most 999 pages; an unknown type is
// refused. Then the printer table and the checks of printer codes, barcode parameters and
// pictures.
TEST_F(PageEngine, JobsHaveOneTo999PagesKeepToThePageAndEndEarlyWhenCancelled) {
  ASSERT_EQ(Choose("kvor test"), 0);
  MasterWindow& m = ctx().main;
  m.Mf->SetText("före"_w);
  int16_t err = 0;
  BeginJob(ctx(), "S", err);
  ASSERT_EQ(Page(1), 0);
  // A barcode prints between its stars and gives the head its font back.
  Streckkod(ctx(), 3, "000123", err);
  Streckkod(ctx(), 3, "", err);  // nothing to print
  EXPECT_EQ(err, 0);
  ASSERT_EQ(Job()->texts.size(), 2u);
  EXPECT_EQ(Job()->texts[1].text, "*000123*");
  printer::Surface& s = Printer(ctx());
  EXPECT_EQ(s.FontName(), "COURIER NEW");
  EXPECT_TRUE(s.FontBold());
  EXPECT_EQ(s.FontSize(), 10);
  EXPECT_GE(s.CurrentY() - Job()->texts[1].y, 40 * 20);  // one 40-point line down
  CancelQuestion(ctx(), err);
  EXPECT_EQ(err, 0);
  // The question gone, the status line and the title are those of the running job again.
  EXPECT_EQ(m.Mf->Text(), "Bara VÄNTA eller TRYCK eventuell AVBRYT-knapp!"_w);
  EXPECT_EQ(m.form.Caption(), ctx().frame.window_title + " \xB7 !");
  EXPECT_EQ(Page(2), 0);
  CancelQuestion(ctx(), err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(ctx().frame.stop, 1);
  EXPECT_FALSE(m.CmdBryt->Enabled());
  EXPECT_EQ(Page(3), 1);
  Avsluta(ctx(), "FAKTURA", err);
  EXPECT_EQ(m.Mf->Text(), "före"_w);
  EXPECT_EQ(m.form.Caption(), ctx().frame.window_title);

  BeginJob(ctx(), "S", err);
  Avsluta(ctx(), "FAKTURA", err);
  EXPECT_EQ(err, 0);
  ASSERT_NE(Job(), nullptr);
  EXPECT_FALSE(Job()->ended);

  // Positions and spacer lines keep to the page; a row number past 99 stops the job.
  BeginJob(ctx(), "S", err);
  ASSERT_EQ(Page(1), 0);
  SetPosition(ctx(), 15850, err);
  Position(ctx(), err);
  EXPECT_EQ(ctx().print.position, 15850);
  Tomrad(ctx(), "T", err);  // too low on the page: nothing, bold unchanged
  EXPECT_FALSE(Printer(ctx()).FontBold());
  EXPECT_EQ(ctx().print.position, 15850);
  SetPosition(ctx(), 1000, err);
  Position(ctx(), err);
  Tomrad(ctx(), "T", err);
  EXPECT_TRUE(Printer(ctx()).FontBold());
  EXPECT_EQ(Printer(ctx()).FontSize(), 10);
  EXPECT_GT(ctx().print.position, 1000);
  EXPECT_LT(ctx().print.position, 1100);  // one 4-point line
  SetPosition(ctx(), 15851, err);
  EXPECT_EQ(err, 1);
  SetPosition(ctx(), 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(ctx().frame.stop, 0);  // a refused position does not stop the job
  AdvanceRows(ctx(), 60, err);
  EXPECT_EQ(ctx().main.LblLine->Text(), "60");
  AdvanceRows(ctx(), 40, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(ctx().frame.stop, 1);
  AdvanceRows(ctx(), -1, err);  // refused without a word while the job stops
  EXPECT_EQ(err, 1);
  EXPECT_EQ(ctx().print.rows_in_job, 60);
  Avsluta(ctx(), "FAKTURA", err);

  BeginJob(ctx(), "S", err);
  ASSERT_EQ(err, 0);
  int n = 1;
  while (Page(n) == 0) ++n;
  EXPECT_EQ(n, 1000);
  Sidbyte(ctx(), err);  // the stop flag refuses every further page
  EXPECT_EQ(err, 1);
  Avsluta(ctx(), "FAKTURA", err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Job()->pages, 999);
  EXPECT_TRUE(Job()->ended);
  EXPECT_EQ(ctx().frame.stop, 0);
  EXPECT_EQ(ctx().frame.print_busy, 0);
  BeginJob(ctx(), "X", err);
  EXPECT_EQ(err, 1);

  // The printer table finds its printer whatever the blanks and case; the bare code line is too
  // short to count.
  test::WriteFile(run.install.Host("C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT"),
                  "05Kvor  Pdf\r\n05\r\n03KVOR TEST\r\n");
  LoadPrinterTable(ctx(), err);
  ASSERT_EQ(err, 0) << run.Lines();
  ListPrinters(ctx(), err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().main.CboPrnt->Items(), (std::vector<std::string>{"KVOR PDF", kTest}));
  ChoosePrinterByCode(ctx(), 5, err);
  EXPECT_EQ(ctx().main.CboPrnt->Text(), "Kvor  Pdf");
  ApplyPrinterChoice(ctx(), err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(ctx().print.device, "KVOR PDF");
  // A code outside 1 to 15 asked for by the program is a program error; so are wrong barcode
  // parameters. A damaged picture is told.
  ChoosePrinterByCode(ctx(), 16, err);
  EXPECT_EQ(err, 1);
  SetUpBarcodeFont(ctx(), " 9 3", "R", err);
  EXPECT_EQ(err, 1);
  SetUpBarcodeFont(ctx(), "128", "R", err);
  EXPECT_EQ(ctx().print.barcode_font, "CODE 128");
  EncodeBarcode(ctx(), "000123", "R", "X", err);
  EXPECT_EQ(err, 1);
  EncodeBarcode(ctx(), "000123", "E", "N", err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(ctx().print.barcode_text, "000123");
  test::WriteFile(run.install.Host("C:\\KVOR\\BILDER\\TRASIG.BMP"), "BM not a picture");
  LoadPictureByName(ctx(), "TRASIG", err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(ctx().main.LblBfile->Text(), "C:\\KVOR   \\BILDER\\TRASIG.BMP");
  const std::string messages = Messages();
  EXPECT_EQ(messages.substr(0, messages.find("message 3")),
            "box KVOR TEST: Skall AVBRYT pågående UTSKRIFT utföras?\n"
            "box KVOR TEST: Skall AVBRYT pågående UTSKRIFT utföras?\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor! ¶ Skrivare: KVOR TEST\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' gav INGA sidor! ¶ Skrivare: KVOR TEST\n"
            "message 2 För UTSKRIFT kan EJ tilldelad POSITION sättas! ¶ POSITIONS-nummer: 15851\n"
            "message 2 För UTSKRIFT kan EJ tilldelad POSITION sättas! ¶ POSITIONS-nummer: 0\n"
            "message 2 För UTSKRIFT ges EJ tillåtet RAD-nummer! ¶ RAD-nummer: 100\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 1 sida! ¶ Skrivare: KVOR TEST\n"
            "message 2 Önskad UTSKRIFT har MAX gällande 999 tillåtna SID-antal! ¶ Påbörjad "
            "UTSKRIFT avbryts!\n"
            "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 999 sidor! ¶ Skrivare: KVOR "
            "TEST\n");
  // The program errors carry the time they happened.
  for (const char* told :
       {"message 3 Tilldelad TYP-kod 'X' för UTSKRIFT är EJ godkänd!",
        "message 3 Angiven KOD för VAL av SKRIVARE får FELAKTIG parameter! ¶ SKRIVAR-valet: 16 · "
        "Modulen: PRINTSET",
        "message 3 Modulen BARCODES för STRECKKODER får FELAKTIG parameter! ¶ IdString: 093 ¶ "
        "BkString: R\n"
        "message 3 Modulen BARCODES för KALKYLERING får FELAKTIG parameter! ¶ PubBarCodes: 128 ¶ "
        "BkString: R ¶ SkString: X\n"
        "message 3 Avsedd BILD-logga 'C:\\KVOR   \\BILDER\\TRASIG.BMP' kan EJ laddas!"})
    EXPECT_NE(messages.find(told), std::string::npos) << messages;
}

}  // namespace
}  // namespace kvor::printing
