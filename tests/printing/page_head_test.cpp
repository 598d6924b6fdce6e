// The page head on the in-memory printer, with the sample invoices read into the register fields
// as the print run reads them: what stands where, in which font, on the first page of a copy,
// on its later pages and on copies, and how the SYS-DATA print settings change the head.
#include <filesystem>
#include <memory>

#include "common/cp1252.h"
#include "common/text.h"
#include "core/master_window.h"
#include "printing/invoice_page.h"
#include "printing/invoice_records.h"

namespace kvor::printing {
namespace {

class PageHead : public InvoiceRecords {
 public:
  // The width of one column of a font, as the page's own printer measures it.
  static double Column(double size, bool bold, const std::string& font = "COURIER NEW") {
    printer::Surface probe(
        std::make_unique<printer::RecordingBackend>(std::make_shared<printer::RecordedJob>()));
    probe.SetFontName(font);
    probe.SetFontSize(size);
    probe.SetFontBold(bold);
    return probe.ColumnWidth();
  }

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

// x where a tab to `column` of Courier New `size` put the run, to within half a column of the
// font the run was printed in (the run is placed on the column grid of its own font).
void ExpectTab(const printer::TextRun& run, int column, double tab_size, bool tab_bold) {
  EXPECT_NEAR(run.x, column * PageHead::Column(tab_size, tab_bold),
              PageHead::Column(run.size, run.bold) / 2 + 1)
      << ToUtf8(run.text);
}

TEST_F(PageHead, TheFirstPageCarriesTheHeadTheBlocksAndTheColumnCaptions) {
  PrintHead("241001");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(ctx().main.CboPrnt->BackColor(), colour::kFieldOff);

  // The sample has a logo: it is painted and no company name is printed.
  ASSERT_EQ(Job()->pictures.size(), 1u);
  const printer::PictureRun& logo = Job()->pictures[0];
  EXPECT_EQ(logo.x, 400);
  EXPECT_EQ(logo.y, 200);
  EXPECT_EQ(logo.width, 5000);
  EXPECT_EQ(logo.height, 1000);
  EXPECT_NE(logo.source.find("001LOGGA.BMP"), std::string::npos);
  for (const printer::TextRun& run : Job()->texts) EXPECT_NE(run.size, 16) << ToUtf8(run.text);

  const printer::TextRun title = OnlyRun("FAKTURA");
  EXPECT_EQ(title.font, "COURIER NEW");
  EXPECT_EQ(title.size, 14);
  EXPECT_TRUE(title.bold);
  ExpectTab(title, 50, 10, true);
  const printer::TextRun number = OnlyRun("241001");
  EXPECT_EQ(number.size, 14);
  EXPECT_TRUE(number.bold);
  EXPECT_EQ(number.y, title.y);
  // Six characters from tab 85 of the 10-point grid would end past the sheet's right edge: the
  // number ends at the sheet's last column of its font instead, and stays right of the title.
  EXPECT_EQ(number.x + 6 * Column(14, true), 66 * Column(14, true));
  EXPECT_GT(number.x, 80 * Column(10, true));

  // The bars stand at tab 3 below the logo, not across it.
  const printer::TextRun bars = OnlyRun("*241001*");
  EXPECT_EQ(bars.font, "FREE 3 OF 9 REGULAR");
  EXPECT_EQ(bars.column, 3);
  EXPECT_GT(bars.y, title.y);
  EXPECT_GE(bars.y, logo.y + logo.height);

  const printer::TextRun date_caption = OnlyRun("Fakturadatum:");
  EXPECT_EQ(date_caption.size, 12);
  EXPECT_FALSE(date_caption.bold);
  EXPECT_GT(date_caption.y, bars.y);
  const printer::TextRun date = OnlyRun("2026-11-02");  // the invoice date, date rule "R"
  EXPECT_TRUE(date.bold);
  EXPECT_EQ(date.y, date_caption.y);
  const printer::TextRun page_caption = OnlyRun("Sida:");
  EXPECT_EQ(page_caption.column, 90 - 4);
  EXPECT_EQ(page_caption.size, 10);
  EXPECT_EQ(OnlyRun("1").y, date_caption.y);

  const printer::TextRun reference = OnlyRun("Order 1001");
  EXPECT_EQ(reference.size, 8);
  EXPECT_TRUE(reference.bold);
  EXPECT_EQ(OnlyRun("Säljare:"_w).column, 110 - 9);
  EXPECT_EQ(OnlyRun("0001").y, reference.y);

  // Without the address flag only the invoice address column is printed.
  EXPECT_TRUE(RunsOf("Leveransadress").empty());
  const printer::TextRun right_caption = OnlyRun("Fakturaadress");
  ExpectTab(right_caption, 53, 8, false);
  EXPECT_EQ(right_caption.size, 7);
  const printer::TextRun vat = OnlyRun("SE556123456701");
  EXPECT_EQ(vat.column, 111 - 14 + 5);
  EXPECT_EQ(OnlyRun("Vat:").column, 111 - 14);
  const printer::TextRun name = OnlyRun("Åkesson & Öberg Trävaror AB"_w);
  EXPECT_EQ(name.font, "MS SANS SERIF");
  EXPECT_EQ(name.size, 10);
  ExpectTab(name, 53, 10, true);
  // Six lines, the blank second one included.
  EXPECT_EQ(OnlyRun("Sverige").y - name.y, 5 * (OnlyRun("Ekonomiavdelningen").y - name.y));

  const printer::TextRun mark = OnlyRun("ORIGINAL");
  EXPECT_EQ(mark.column, 116 - 8);  // ends at the sheet's last column, 116, not 117
  EXPECT_EQ(mark.size, 8);
  EXPECT_TRUE(mark.bold);

  // A label-and-value line: dotted caption at tab 6, the value in bold sans serif, the right
  // caption ending at its column.
  const printer::TextRun terms = OnlyRun("Betalningsvillkor.....:");
  EXPECT_EQ(terms.column, 6);
  EXPECT_FALSE(terms.bold);
  EXPECT_GT(terms.y, mark.y);
  const printer::TextRun terms_value = OnlyRun("30 dagar netto");
  EXPECT_EQ(terms_value.font, "MS SANS SERIF");
  EXPECT_TRUE(terms_value.bold);
  EXPECT_EQ(terms_value.y, terms.y);
  EXPECT_EQ(OnlyRun("Förfallodatum:"_w).column, 105 - 13);
  EXPECT_EQ(OnlyRun("2026-12-02").y, terms.y);
  EXPECT_EQ(terms.size, 6);
  EXPECT_EQ(OnlyRun("Vårt ordernummer:"_w).column, 118 - 16);
  // The right parts stay on the sheet, whose printable width is 11186 twips on A4.
  const printer::TextRun order = OnlyRun("Avrop 311001");
  EXPECT_LE(order.x + 30 * Column(6, true), 11186);  // a reference of the full width
  const printer::TextRun phone = OnlyRun("0370-481 20");
  EXPECT_LE(phone.x + 20 * Column(6, true), 11186);  // a telephone number of the full width
  EXPECT_EQ(OnlyRun("Valuta:").column, 112 - 6);
  // In SPECIFIKAT the caption is capitalised and caption and value together end at 115.
  EXPECT_EQ(OnlyRun("Specifikation.........:").column, 6);
  EXPECT_EQ(OnlyRun("Specifikationsnr:").column, 115 - 16 - 17);
  EXPECT_EQ(OnlyRun("541001 2026-10-31").y, OnlyRun("Specifikationsnr:").y);

  // Column captions in 6 point ending at their columns, then the rule.
  const printer::TextRun amount = OnlyRun("Belopp");
  EXPECT_EQ(amount.size, 6);
  EXPECT_EQ(amount.column, 155 - 6);  // 155: the last 6-point column of the sheet
  EXPECT_EQ(OnlyRun("Längd"_w).column, 69 - 5);
  EXPECT_EQ(OnlyRun("Enhet/Rabatt").column, 125);
  const printer::TextRun rule = OnlyRun(std::string(110, '\x97'));
  EXPECT_EQ(rule.column, 6);
  EXPECT_EQ(rule.size, 8);
  EXPECT_TRUE(rule.bold);
  EXPECT_GT(rule.y, amount.y);
  ExpectOnTheSheet();
}

TEST_F(PageHead, LaterPagesOfACopyLeaveTheBlocksOutAndCopiesShowTheirNumber) {
  PrintHead("241001", 1);
  ASSERT_EQ(err, 0);
  const printer::TextRun copy = OnlyRun("Kopia:");
  EXPECT_EQ(copy.column, 113 - 5);  // "Kopia: 1" ends at 116, the sheet's last column
  EXPECT_FALSE(copy.bold);
  // "1" is the page number too: the copy number is the one on the copy mark's line.
  printer::TextRun copy_number;
  for (const printer::TextRun& r : RunsOf("1"))
    if (r.y == copy.y) copy_number = r;
  EXPECT_TRUE(RunsOf("ORIGINAL").empty());

  PrintPageHead(ctx(), 1, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().print.copy_pages, 2);
  const std::string second = ToUtf8(Job()->PageText(2));
  EXPECT_NE(second.find("Sida: 2"), std::string::npos) << second;
  EXPECT_NE(second.find("Kopia: 1"), std::string::npos) << second;
  EXPECT_NE(second.find("*241001*"), std::string::npos) << second;
  EXPECT_NE(second.find("Belopp"), std::string::npos) << second;
  for (const char* block :
       {"Betalningsvillkor", "Ert ordernummer", "Anmärkning", "E-post", "Specifikation.", "Kund."})
    EXPECT_EQ(second.find(block), std::string::npos) << block;
  // The first page keeps its copy number; the head starts each page again at the top.
  EXPECT_EQ(copy_number.page, 1);
  EXPECT_TRUE(copy_number.bold);
  EXPECT_EQ(copy_number.column, 113 - 5 + 7);
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
  EXPECT_TRUE(name.bold);
  ExpectTab(name, 3, 10, false);
  EXPECT_EQ(OnlyRun("FAKTURA").y, name.y);
  const printer::TextRun underline = OnlyRun(std::string(2 * company.size(), '\xA8'));
  EXPECT_EQ(underline.size, 8);
  EXPECT_GT(underline.y, name.y);
  const printer::TextRun slogan = OnlyRun("Virke från skogarna i Småland sedan 1921"_w);
  EXPECT_EQ(slogan.size, 7);
  EXPECT_TRUE(slogan.bold);
  EXPECT_GT(slogan.y, underline.y);

  // Neither logo nor name: the head line starts with an empty name.
  ResetCounters(ctx());
  Setting(57, "N");
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_TRUE(Job()->pictures.empty());
  EXPECT_TRUE(RunsOf(company).empty());
  EXPECT_TRUE(RunsOf(slogan.text).empty());
  EXPECT_EQ(OnlyRun("FAKTURA").y, 0);
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
  EXPECT_EQ(OnlyRun("2026-12-04").y, OnlyRun("Fakturadatum:").y);

  const printer::TextRun left_caption = OnlyRun("Leveransadress");
  ExpectTab(left_caption, 6, 8, false);
  EXPECT_EQ(OnlyRun("Fakturaadress").y, left_caption.y);
  // The delivery name stands left, the invoice name right, on one line.
  const auto names = RunsOf("Åkesson & Öberg Trävaror AB"_w);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].y, names[1].y);
  ExpectTab(names[0], 6, 8, true);
  EXPECT_NEAR(left_caption.x, names[0].x, Column(7, false));  // the caption over its column

  // The FAS line carries the copy mark on its right.
  const printer::TextRun fas = OnlyRun("FAS-belopp: 1.234:500 001");
  EXPECT_EQ(fas.column, 6);
  EXPECT_TRUE(fas.bold);
  EXPECT_EQ(OnlyRun("ORIGINAL").y, fas.y);
}

TEST_F(PageHead, APrintedInvoiceShowsItsFirstPrintDateUnlessTheInvoiceDateIsAskedFor) {
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

TEST_F(PageHead, AHeadWithoutTheBarcodeFontIsStillPrinted) {
  ctx().print.prepare_printers = [](printer::PrinterSet& s) {
    s.AddRecordingPrinter(kTest);
    s.HideFont("FREE 3 OF 9 REGULAR");
  };
  PrintHead("241001");
  EXPECT_EQ(err, 0);
  EXPECT_TRUE(RunsOf("*241001*").empty());
  EXPECT_EQ(RunsOf("Fakturadatum:").size(), 1u);
  EXPECT_EQ(RunsOf(std::string(110, '\x97')).size(), 1u);
  EXPECT_NE(Messages().find("Fontfilen: FREE 3 OF 9 REGULAR"), std::string::npos);
}

TEST_F(PageHead, AGermanCustomerGetsGermanCaptions) {
  PrintHead("241003");
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().print.run.language, 2);
  EXPECT_EQ(RunsOf("RECHNUNG").size(), 1u);
  EXPECT_EQ(OnlyRun("Seite:").column, 90 - 5);
  EXPECT_EQ(RunsOf("Zahlungsbedingungen...:").size(), 1u);
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
