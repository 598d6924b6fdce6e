// The printer table and list as the real trv00381 reads them at start-up, and printing through a
// real print queue.
#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "installation.h"
#include "platform/printer/qt_backends.h"
#include "support/cups_server.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

class Printers : public Installation {
 protected:
  std::string Table() { return demo + "/C/WINKVOR/SYSTEM/SKRIVARE.DAT"; }
};

// The invoice printer of the table is chosen at start-up; a wrong code in the table stops the
// start-up before number entry; an invoice printer missing from the list sends the choice to it.
TEST_F(Printers, TheTablesInvoicePrinterIsChosenOrTheFaultTold) {
  const struct {
    const char* table;
    std::string messages, shown;  // the message lines, and a part of the transcript
    bool entry;                   // number entry is reached
  } cases[] = {
      // The lookup applies the choice: the print controls come on.
      {"05 kvor PDF\r\n", "",
       "show CboPrnt \" kvor PDF\" on back #FFFFFF fore #000000 list 1 at -1\n"
       "show CmdBryt \"AvBryt\" on back #FFC0C0 fore #000000\n",
       true},
      {"05KVOR PDF\r\n16Laser i lagret\r\n",
       "message 2 Filen 'C:\\WINKVOR\\SYSTEM\\SKRIVARE.DAT' måste UPPDATERAS via SIP-menyns "
       "SKRIVARE-program! ¶ Data: 16Laser i lagret\n",
       "start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n", false},
      {"05LASER 3\r\n",
       "message 2 Vald SKRIVARE fick EJ någon TRÄFF på INSTALLERADE skrivare! ¶ Gör KONTROLL av "
       "SKRIVARE via SKRIVAR-programmet!\n",
       "focus CboPrnt\n", true},
  };
  for (const auto& c : cases) {
    WriteFile(Table(), c.table);
    const std::string t = RunAgain("type TxtNmmr 241001\nshow CboPrnt\nshow CmdBryt\n");
    EXPECT_EQ(MessageLines(t), c.messages) << c.table;
    EXPECT_THAT(t, HasSubstr(c.shown));
    EXPECT_EQ(t.find("focus TxtNmmr") != std::string::npos, c.entry) << t;
  }
}

struct Word {
  std::string text;
  double x, y, bottom;  // top left corner and lower edge, points
};

// The words of each page of a PDF as pdftotext -bbox finds them, in reading order.
std::vector<std::vector<Word>> PagesOfWords(const std::string& boxes) {
  std::vector<std::vector<Word>> pages;
  const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" "
      "yMax=\"([0-9.]+)\">([^<]*)</word>");
  std::istringstream lines(boxes);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (line.find("<page ") != std::string::npos) pages.emplace_back();
    if (std::regex_search(line, m, word))
      pages.back().push_back({m[4], std::stod(m[1]), std::stod(m[2]), std::stod(m[3])});
  }
  return pages;
}

// The queue's printable area has the margin of KVOR PDF's, so that the two prints can be laid
// side by side.
TEST_F(Printers, AnInvoiceGoesToAPrintQueueAsOneJobLaidOutAsOnKvorPdf) {
  CupsServer cups;
  ASSERT_EQ(cups.Error(), "");
  ASSERT_TRUE(cups.AddFileQueue("Kontor_Laser", printer::kPdfMarginPoints)) << cups.Error();
  cups_server = cups.Socket();
  WriteFile(Table(), "05KVOR PDF\r\n");
  Run("type TxtNmmr 241004\nclick CmdKlar\n");
  ASSERT_EQ(Pdfs().size(), 1u);

  // Code 05 names the queue in other letters and blanks; the list holds it and KVOR PDF.
  WriteFile(Table(), "05 kontor_LASER\r\n");
  std::string t = RunAgain("show CboPrnt\ntype TxtNmmr 241004\nclick CmdKlar\n");
  EXPECT_THAT(t, HasSubstr("\" kontor_LASER\" off back #808080 fore #000000 list 2 "));
  std::smatch done;
  ASSERT_TRUE(std::regex_search(t, done, std::regex("är UTFÖRD med ([0-9]+) sidor!"))) << t;
  // One job, the original and its copy, titled with the invoice.
  const std::string jobs = WaitForText(cups.PageLog(), "\n", 30);
  EXPECT_EQ(Occurrences(jobs, "\n"), 1) << jobs;
  EXPECT_THAT(jobs, HasSubstr(" FAKTURA 001F241004 "));
  const std::string job = cups.QueueFile("Kontor_Laser");
  EXPECT_EQ(PdfPages(job), std::stoi(done[1]));
  const auto on_paper = PagesOfWords(Tool("pdftotext", {"-bbox", job, "-"}));
  const auto in_pdf = PagesOfWords(Tool("pdftotext", {"-bbox", Pdfs()[0], "-"}));
  ASSERT_EQ(on_paper.size(), in_pdf.size());
  double farthest = 0;  // points
  for (std::size_t page = 0; page < in_pdf.size(); ++page) {
    ASSERT_EQ(on_paper[page].size(), in_pdf[page].size()) << "page " << page + 1;
    for (std::size_t i = 0; i < in_pdf[page].size(); ++i) {
      const Word &a = on_paper[page][i], &b = in_pdf[page][i];
      ASSERT_EQ(a.text, b.text) << "page " << page + 1;
      farthest = std::max({farthest, std::abs(a.x - b.x), std::abs(a.y - b.y)});
    }
  }
  EXPECT_LE(farthest, 1.0);
  Tool("pdftoppm", {"-r", "300", "-f", "1", "-l", "1", "-singlefile", "-png", job, dir + "/page"});
  EXPECT_EQ(Tool("zbarimg", {"-q", dir + "/page.png"}), "CODE-39:241004\n");
  if (const char* pictures = std::getenv("KVOR_SCREENSHOTS"))  // the README's picture of it
    Tool("pdftoppm", {"-r", "90", "-f", "1", "-l", "1", "-singlefile", "-png", job,
                      std::string(pictures) + "/queue-241004-page1"});

  // A printer that keeps a quarter-inch border: the rows and the totals block keep to its shorter
  // printable area, so the foot still ends inside it.
  ASSERT_TRUE(cups.AddFileQueue("Lager_Laser", 18)) << cups.Error();
  WriteFile(Table(), "05LAGER_LASER\r\n");
  RunAgain("type TxtNmmr 241004\nclick CmdKlar\n");
  WaitForText(cups.PageLog(), "\n", 30, 2);
  double lowest = 0;
  for (const auto& page :
       PagesOfWords(Tool("pdftotext", {"-bbox", cups.QueueFile("Lager_Laser"), "-"})))
    for (const Word& w : page) lowest = std::max(lowest, w.bottom);
  EXPECT_GT(lowest, 800);  // the foot
  EXPECT_LE(lowest, 842 - 18);

  // A stopped queue: the print fault, and the program goes on to its end.
  ASSERT_TRUE(cups.Run("cupsdisable", {"Lager_Laser"})) << cups.Error();
  t = RunAgain("type TxtNmmr 241004\nclick CmdKlar\n");
  EXPECT_TRUE(std::regex_search(
      MessageLines(t), std::regex("För [A-Z]+ gavs FELKOD och UTSKRIFTEN avbryts! ¶ Skrivare:")))
      << t;
  EXPECT_THAT(t, HasSubstr("\nend 0\n"));
}

}  // namespace
}  // namespace kvor::test
