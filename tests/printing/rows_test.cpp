// The rows of the invoice page on the in-memory printer: the sample invoices' specification
// rows, additional rows and freight texts read from the registers as the print run reads them,
// where each part lands on the row grid, and how rows flow onto the next page.
#include <map>
#include <set>

#include "common/cp1252.h"
#include "common/text.h"
#include "platform/printer/recording.h"
#include "printing/invoice_page.h"
#include "printing/invoice_records.h"

namespace kvor::printing {
namespace {

class Rows : public InvoiceRecords {
 protected:
  // The sample's rows of one invoice printed on a bare page, as the print run's loops print them.
  void PrintRowsOf(const std::string& number, int16_t language) {
    ReadInvoice(number);
    if (HasFatalFailure()) return;
    BeginBarePage();
    if (HasFatalFailure()) return;
    for (const std::string& key : RowKeys(4)) {
      ReadSpecificationRow(key);
      if (HasFatalFailure()) return;
      PrintSpecificationRow(ctx(), 0, language, err);
      ASSERT_EQ(err, 0);
    }
    for (const std::string& key : RowKeys(5)) {
      ReadAdditionalRow(key);
      PrintAdditionalRow(ctx(), 0, language, err);
      ASSERT_EQ(err, 0);
    }
  }
  int16_t err = 0;
};

TEST_F(Rows, TheSampleInvoicesRowsStandOnTheRowGrid) {
  PrintRowsOf("241001", 0);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Messages(), "");

  // Each new group gets its heading in bold, the delivery notice reference beside it.
  const printer::TextRun heading = OnlyRun("Sågfallande Furu, sågad Sågat"_w);
  EXPECT_EQ(heading.column, 6);
  EXPECT_TRUE(heading.bold);
  EXPECT_EQ(LineOf("Kvinta Furu, sågad Sågat"_w),
            "6:Kvinta Furu, sågad Sågat | 30:· B/L FS-541001");
  EXPECT_EQ(RunsOf("\xB7 B/L FS-541001").size(), 3u);

  // Description and nominal dimensions, length, price, quantity and unit, amount; the sample's
  // rows are priced in the company's currency. Prices and amounts start at their tabs in their
  // pattern width, so that their decimal marks line up.
  EXPECT_EQ(LineOf("1 SF Furu, sågad 22*100[N]"_w),
            "6:1 SF Furu, sågad 22*100[N] | 46:4500MM | 62:2.450:00 | 80:12.345 | 90:M3 | "
            "100:30.245:250");
  const printer::TextRun amount = OnlyRun("30.245:250");
  EXPECT_EQ(amount.text, "        30.245:250");
  EXPECT_EQ(OnlyRun("2.450:00").text.size(), 17u);
  EXPECT_GT(amount.y, heading.y);

  // A row with a rejected share: the share beside the length and a deduction line under it,
  // a third of the price on the rejected quantity, taken off.
  EXPECT_EQ(LineOf("1 KV Furu, sågad 45*145[N]"_w),
            "6:1 KV Furu, sågad 45*145[N] | 46:5100MM | 53:3.4 % | 62:2.190:00 | 80:8.760 | "
            "90:M3 | 100:19.184:400");
  EXPECT_EQ(LineOf("Avdrag vrak:"),
            "49:Avdrag vrak: | 62:730:00 | 80:0.300 | 90:M3 | 100:-219:000");
  EXPECT_EQ(OnlyRun("-219:000").text.find(':'), amount.text.find(':'));
  EXPECT_GT(OnlyRun("Avdrag vrak:").y, OnlyRun("19.184:400").y);
  EXPECT_EQ(LineOf("1 SF Gran, sågad 45*95[N]"_w),
            "6:1 SF Gran, sågad 45*95[N] | 46:3600MM | 62:2.320:00 | 80:15.000 | 90:M3 | "
            "100:34.800:000");
  EXPECT_EQ(ctx().print.run.row_group, "Kvinta Furu, sågad Sågat"_w);

  // The additional row: its description at 31, the article on a line of its own, then the
  // text with the price, quantity, unit and amount.
  const std::string article =
      "TRP\xB7"
      "FRAKT";
  EXPECT_EQ(OnlyRun("Transport med lastbil").column, 31);
  EXPECT_EQ(LineOf(article), "6:001 | 10:TRP\u00B7FRAKT");
  EXPECT_EQ(LineOf("Frakt Växjö - kund"_w),
            "10:Frakt Växjö - kund | 62:1.850:000 | 80:1.000 | 90:ST | 100:1.850:000");
  EXPECT_LT(OnlyRun("Transport med lastbil").y, OnlyRun(article).y);
  EXPECT_LT(OnlyRun(article).y, OnlyRun("Frakt Växjö - kund"_w).y);

  // The freight text follows the rows after an empty line; an empty one prints nothing.
  const double last_row = RunsOf("1.850:000").at(0).y;
  const std::size_t before = Job()->texts.size();
  PrintFreightText(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  ASSERT_EQ(Job()->texts.size(), before + 2);
  const printer::TextRun first =
      OnlyRun("Frakt: lastbil från Växjö till Värnamo, levererat 2026-11-01."_w);
  const printer::TextRun second = OnlyRun("Lossning med kranbil, kunden anvisar plats.");
  EXPECT_EQ(second.x, first.x);
  EXPECT_GT(first.y - last_row, second.y - first.y);
  Clear(18);
  const int32_t position = ctx().print.position;
  const int16_t rows = ctx().print.row_on_page;
  PrintFreightText(ctx(), 0, 0, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Job()->texts.size(), before + 2);
  EXPECT_EQ(ctx().print.position, position);
  EXPECT_EQ(ctx().print.row_on_page, rows);
  EXPECT_EQ(Messages(), "");
}

TEST_F(Rows, AHeadingComesWhenTheGroupChangesAndTheLineShowsWhatItsRecordsAskFor) {
  ReadInvoice("241001");
  BeginBarePage();
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> keys = RowKeys(4);
  ASSERT_EQ(keys.size(), 3u);
  // In key order (thickness and width before the quality) the rejected quality comes last.
  for (const std::string& key : {keys[2], keys[2], keys[0]}) {
    ReadSpecificationRow(key);
    PrintSpecificationRow(ctx(), 0, 2, err);
    ASSERT_EQ(err, 0);
  }
  EXPECT_EQ(RunsOf("Fünfte Kiefer, gesägt Gesägt"_w).size(), 1u);
  EXPECT_EQ(RunsOf("1 KV Kiefer, gesägt 45*145[N]"_w).size(), 2u);
  EXPECT_EQ(RunsOf("Sägefallend Kiefer, gesägt Gesägt"_w).size(), 1u);
  // The deduction caption ends where the price column begins, the second text in lower case.
  EXPECT_EQ(RunsOf("Abzug ausschuss:").at(0).column, 59 - 5 - 9);

  // A new run forgets the group: the heading comes again.
  ctx().print.run.row_group.clear();
  PrintSpecificationRow(ctx(), 0, 2, err);
  EXPECT_EQ(RunsOf("Sägefallend Kiefer, gesägt Gesägt"_w).size(), 2u);

  // The row line shows what its code records and values ask for.
  ResetCounters(ctx());
  BeginBarePage();
  ReadSpecificationRow(RowKeys(4).at(0));  // the 22 x 100 pine, without a rejected share
  registers::Record& row = Fields("SVF-FTSP");
  // Actual dimensions that differ from the nominal ones; the quality code left out; the invoice
  // type with its range; a length given as an index into the length table; a discount. The
  // description runs past tab 46: the length and what follows it go to the next line.
  Fields("SVF-LSSP").Set("LSSP_P039", " 21.5");
  Fields("SVF-LSSP").Set("LSSP_P044", " 98.0");
  Fields("SVP-KTKD").Set("KTKD_P133", "N");
  Fields("SVP-FTKD").Set("FTKD_P036", "J");
  row.Set("FTSP_P034", "  12");
  row.Set("FTSP_P080", " 2.50");
  PrintSpecificationRow(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(LineOf("1 Furu, sågad 22*100[N] 21.5*98[A] 01 1800-6600"_w),
            "6:1 Furu, sågad 22*100[N] 21.5*98[A] 01 1800-6600");
  EXPECT_EQ(LineOf("7200MM"),
            "46:7200MM | 62:2.450:00 | 80:12.345 | 90:M3 | 93:2.50 | 98:% | 100:30.245:250");
  EXPECT_GT(OnlyRun("7200MM").y, OnlyRun("1 Furu, sågad 22*100[N] 21.5*98[A] 01 1800-6600"_w).y);

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
  EXPECT_EQ(LineOf("1 Furu, sågad 22*100[N] 21.5*98[A] 01 1800"_w),
            "6:1 Furu, sågad 22*100[N] 21.5*98[A] 01 1800");
  EXPECT_EQ(LineOf("4500MM"), "46:4500MM");
  EXPECT_EQ(Messages(), "");
}

TEST_F(Rows, TheRowPriceFlagChoosesTheCurrencyOfTheAmounts) {
  // A foreign-currency invoice with rows priced in its currency: the invoice-currency amounts.
  PrintRowsOf("241003", 2);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(ctx().print.run.row_price_flag, "U");
  EXPECT_EQ(LineOf("1 SF Kiefer, gesägt 45*145[N]"_w),
            "6:1 SF Kiefer, gesägt 45*145[N] | 46:4800MM | 62:215:00 | 80:11.200 | 90:M3 | "
            "100:2.408:000");
  EXPECT_EQ(LineOf("Fracht Växjö - Hamburg"_w),
            "10:Fracht Växjö - Hamburg | 62:640:000 | 80:1.000 | 90:ST | 100:640:000");

  // A basis that the invoice's currency does not allow falls back to that currency's own.
  registers::Record& row = Fields("SVF-FTSP");
  row.Set("FTSP_P237", "E");
  PrintSpecificationRow(ctx(), 0, 2, err);
  EXPECT_EQ(ctx().print.run.row_price_flag, "U");
  row.Set("FTSP_P237", "N");
  PrintSpecificationRow(ctx(), 0, 2, err);
  EXPECT_EQ(ctx().print.run.row_price_flag, "N");

  // In the company's own currency, "N" keeps the invoice-currency amount, anything else but
  // "E" becomes "E".
  Fields("SVF-FTHD").Set("VALKOD", "SE");
  row.Set("FTSP_P237", "U");
  PrintSpecificationRow(ctx(), 0, 2, err);
  EXPECT_EQ(ctx().print.run.row_price_flag, "E");
  EXPECT_EQ(RunsOf("27.571:600").size(), 1u);  // the row's company-currency amount
  EXPECT_EQ(Messages(), "");
}

TEST_F(Rows, APrinterFaultIsReportedAsRaddata) {
  ReadInvoice("241001");
  ASSERT_FALSE(HasFatalFailure());
  ReadSpecificationRow(RowKeys(4).at(0));
  ctx().print.pdf_folder = "/proc/kvor-no-such-folder";
  ASSERT_EQ(Choose("KVOR PDF"), 0);
  BeginJob(ctx(), "S", err);
  StartPage(ctx(), err);
  ASSERT_EQ(err, 0);
  PrintSpecificationRow(ctx(), 0, 0, err);  // the first output opens the file
  EXPECT_EQ(err, 1);
  EXPECT_NE(Messages().find("För RADDATA gavs FELKOD och UTSKRIFTEN avbryts! ¶ Skrivare: KVOR PDF"),
            std::string::npos)
      << Messages();
}

// Rows past the row limit: the page is closed with the totals block and the next page head. Every
// other row has actual dimensions and the invoice type's range: its description runs past tab 46
// and the row takes two lines.
TEST_F(Rows, RowsPastTheRowLimitGoOnOnTheNextPage) {
  ReadInvoice("241004");
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(Choose(kTest), 0);
  PrintPageHead(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  const std::vector<std::string> keys = RowKeys(4);
  ASSERT_EQ(keys.size(), 85u);
  const int32_t limit = TotalsTop(ctx());
  int breaks = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ReadSpecificationRow(keys[i]);
    if (i % 2 == 0) {
      Fields("SVF-LSSP").Set("LSSP_P039", " 21.5");
      Fields("SVF-LSSP").Set("LSSP_P044", " 98.0");
      Fields("SVP-FTKD").Set("FTKD_P036", "J");
    }
    const int16_t pages = ctx().print.total_pages;
    PrintSpecificationRow(ctx(), 0, 0, err);
    ASSERT_EQ(err, 0) << Messages();
    // The totals block clears the limit when it closes a page; the next check sets it again.
    // The row count of the new page starts from 0 with the row that did not fit.
    if (ctx().print.total_pages == pages) {
      EXPECT_EQ(ctx().print.run.row_limit, limit);
    } else {
      ++breaks;
      EXPECT_LE(ctx().print.row_on_page, 2);
    }
  }
  EXPECT_GE(breaks, 1);
  EXPECT_EQ(Job()->pages, breaks + 1);
  // No row line reaches below the row limit, where the totals block starts: the check makes
  // room for the spacer, a heading and the lines it lets through.
  printer::Surface& s = Printer(ctx());
  s.SetFontName("COURIER NEW");
  s.SetFontSize(8);
  const double line = s.LineHeight();
  std::map<int, double> lowest;  // the bottom of each page's last row line
  std::set<std::pair<int, double>> descriptions;
  int wrapped = 0;
  for (const printer::TextRun& run : Job()->texts) {
    const bool description = run.text.find("[N]") != std::string::npos;
    if (description) descriptions.insert({run.page, run.y});
    if (run.column == 46 && descriptions.count({run.page, run.y}) == 0) ++wrapped;
    if (!description && run.column != 46) continue;
    EXPECT_LE(run.y + line, limit) << ToUtf8(run.text) << " on page " << run.page;
    lowest[run.page] = std::max(lowest[run.page], run.y + line);
  }
  EXPECT_EQ(descriptions.size(), 85u);
  EXPECT_EQ(wrapped, 43);
  // A page is not closed early either: its last row line ends within a spacer and a heading and
  // two row lines of the limit.
  for (int page = 1; page <= breaks; ++page)
    EXPECT_GT(lowest[page], limit - 3 * line - 100) << page;
  // Heads, rows, totals blocks and feet of all pages stay on the sheet.
  ExpectNoOverprinting();

  // A freight text that would end a little below the row limit, on the totals block's first
  // line, starts on a new page.
  ctx().print.row_on_page = 0;  // no rows on the page: no gap line before the text
  s.SetFontName("MS SANS SERIF");
  SetPosition(ctx(), static_cast<int32_t>(limit - s.LineHeight() + 20), err);
  ASSERT_EQ(err, 0);
  PrintFreightText(ctx(), 0, 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(OnlyRun("Frakt: två lastbilar från Växjö till Värnamo."_w).page, breaks + 2);
}

}  // namespace
}  // namespace kvor::printing
