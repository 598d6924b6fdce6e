// Printing tests that need an invoice of the sample installation in the register fields: the
// registers open as the start-up leaves them, and an invoice's records read by key into the
// fields the way the print run reads them before it prints a page, a row or the totals.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "core/context.h"
#include "platform/printer/fonts.h"
#include "platform/printer/qt_backends.h"
#include "platform/printer/recording.h"
#include "printing/print_job.h"
#include "registers/database.h"
#include "registers/readers.h"

namespace kvor::printing {

class InvoiceRecords : public PrintJob {
 protected:
  explicit InvoiceRecords(const std::string& actions = "") : PrintJob(actions) {}

  void SetUp() override {
    PrintJob::SetUp();
    if (HasFatalFailure()) return;
    int16_t err = 0;
    registers::OpenAllRegisters(ctx(), err);
    ASSERT_EQ(err, 0);
    registers::ReadCompany(ctx(), 1, *ctx().company, err);
    ASSERT_EQ(err, 0);
    registers::ReadBank(ctx(), 11, err);
    registers::ReadLengthTable(ctx(), 24, "L0001", *ctx().length_table, err);
    ASSERT_EQ(err, 0);
    registers::ReadPrintCode(ctx(), "FT", 10, err);
    ASSERT_EQ(err, 0);
  }
  void TearDown() override { registers::CloseAllChannels(ctx()); }

  registers::Record& Fields(const std::string& code) { return registers::Fields(ctx(), code); }

  // One record by its exact key into the fields of the register on `channel`; the read's error
  // indicator (0 found). Not found leaves the fields as they were.
  int16_t Read(int16_t channel, std::string key) {
    int16_t err = 0;
    registers::Laser(ctx(), key, channel, 0, 0, err);
    if (err == 0) registers::Transfer(ctx(), registers::LayoutOfChannel(channel));
    return err;
  }
  // Cleared fields of the register on `channel`.
  void Clear(int16_t channel) { registers::Clear(ctx(), registers::LayoutOfChannel(channel)); }

  // The invoice's header (2) and what the page needs around it: customer (3) and its extra data
  // (26), IBAN (12), load specification (6), invoice text (9), marking texts (27), the freight
  // text (18, cleared when the invoice has none) and the currency (13). Sets the run's language
  // and copy 0 as the print run does.
  void ReadInvoice(const std::string& number) {
    const std::string company = ctx().frame.company_id;
    ASSERT_EQ(Read(2, company + "F" + number), 0) << number;
    const registers::Record& h = Fields("SVF-FTHD");
    ASSERT_EQ(Read(3, company + h.Get("LANDKOD") + h.Get("KUNDGRUPP") + h.Get("KUNDIDENT")), 0);
    int16_t err = 0;
    registers::ReadCustomerExtra(ctx(), 26, err);
    ASSERT_EQ(err, 0);
    registers::ReadIban(ctx(), 12, h.Get("VALKOD"), err);
    const std::string language = Fields("KRK-KUND").Get("KUND_P308");
    ctx().print.run.language = static_cast<int16_t>(language[0] - '0');
    ctx().print.run.copy = 0;
    if (Read(6, company + "S" + h.Get("SPECNR")) != 0) Clear(6);
    if (Read(9, company + language + "F") != 0) Clear(9);
    registers::ReadSvfData(ctx(), 27, language, err);
    ASSERT_EQ(err, 0);
    if (Read(18, h.Text().substr(0, 10)) != 0) Clear(18);
    registers::ReadBusinessArea(ctx(), 13, "VK", h.Get("VALKOD"), err);
    ASSERT_EQ(err, 0);
  }

  // The keys of the invoice's rows in the register on `channel` (4 specification rows, 5
  // additional rows), walked from the header key as the print run walks them.
  std::vector<std::string> RowKeys(int16_t channel) {
    const std::string prefix = Fields("SVF-FTHD").Text().substr(0, 10);
    std::string key =
        prefix + std::string(registers::LayoutOfChannel(channel).key_length - prefix.size(), ' ');
    std::vector<std::string> keys;
    for (;;) {
      int16_t err = 0;
      registers::Nasta(ctx(), key, channel, 1, err);
      if (err != 0 || key.compare(0, prefix.size(), prefix) != 0) break;
      keys.push_back(key);
    }
    return keys;
  }

  // A specification row with its load-specification row and its code records: account
  // (SVP-KTKD), product (SVP-UFKD), grade (SVP-VAKD, cleared when missing), invoice type
  // (SVP-FTKD).
  void ReadSpecificationRow(const std::string& key) {
    ASSERT_EQ(Read(4, key), 0);
    int16_t err = 0;
    registers::LookUpLoadSpecificationRow(ctx(), 19, err);
    ASSERT_EQ(err, 0);
    const registers::Record& row = Fields("SVF-FTSP");
    const std::string company = ctx().frame.company_id;
    ASSERT_EQ(Read(14, company + row.Get("FTSP_P023")), 0);
    ASSERT_EQ(Read(15, company + row.Get("FTSP_P012") + row.Get("FTSP_P025")), 0);
    if (Read(16, company + row.Get("FTSP_P025")) != 0) Clear(16);
    ASSERT_EQ(Read(17, company + row.Get("FTSP_P030")), 0);
  }
  void ReadAdditionalRow(const std::string& key) { ASSERT_EQ(Read(5, key), 0); }

  // The recorded runs whose text, blanks around it left out, is `text`.
  std::vector<printer::TextRun> RunsOf(const std::string& text) {
    std::vector<printer::TextRun> out;
    if (Job() == nullptr) return out;
    for (const printer::TextRun& run : Job()->texts)
      if (Trim(run.text) == text) out.push_back(run);
    return out;
  }
  // The one run of that text; a failure when there is none or more than one.
  printer::TextRun OnlyRun(const std::string& text) {
    const auto runs = RunsOf(text);
    EXPECT_EQ(runs.size(), 1u) << "runs of '" << ToUtf8(text) << "'";
    return runs.empty() ? printer::TextRun{} : runs.front();
  }

  // The runs on the line of the one run of that text, in column order, as "column:text | ...".
  std::string LineOf(const std::string& text) {
    const printer::TextRun first = OnlyRun(text);
    std::vector<printer::TextRun> line;
    for (const printer::TextRun& run : Job()->texts)
      if (run.page == first.page && run.y == first.y) line.push_back(run);
    std::sort(line.begin(), line.end(),
              [](const auto& a, const auto& b) { return a.column < b.column; });
    std::string out;
    for (const printer::TextRun& run : line)
      out += (out.empty() ? "" : " | ") + std::to_string(run.column) + ":" + ToUtf8(Trim(run.text));
    return out;
  }
  // For each pair, the line of the one run of the first text, as LineOf gives it.
  void ExpectLines(const std::vector<std::pair<std::string, std::string>>& lines) {
    for (const auto& [text, line] : lines) EXPECT_EQ(LineOf(text), line);
  }

  // Every text run and picture of the job lies inside the printable area of KVOR PDF's A4 page;
  // no text run is printed over another or over a picture but the foot picture, the ground of
  // the foot text. A run covers its characters, blanks around them left out, one line of its font
  // high, measured with the metrics the surface prints by.
  void ExpectNoOverprinting() {
    ASSERT_NE(Job(), nullptr);
    struct Box {
      int page;
      double left, top, right, bottom;
      std::string what;
      bool Overlaps(const Box& o) const {  // by more than half a twip of rounding
        return page == o.page && left < o.right - 0.5 && o.left < right - 0.5 &&
               top < o.bottom - 0.5 && o.top < bottom - 0.5;
      }
      bool OnThePage() const {
        return left >= 0 && top >= 0 && right <= printer::kPdfPrintableWidth &&
               bottom <= printer::kPdfPrintableHeight;
      }
    };
    std::vector<Box> texts, pictures;
    for (const printer::TextRun& run : Job()->texts) {
      const std::size_t first = run.text.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      const printer::FontMetrics& font = *printer::FindFont(run.font);
      const double width = printer::AdvanceTwips(font, run.size, run.bold);
      texts.push_back({run.page, run.x + static_cast<double>(first) * width, run.y,
                       run.x + static_cast<double>(TrimRight(run.text).size()) * width,
                       run.y + printer::LineHeightTwips(font, run.size),
                       "'" + ToUtf8(run.text) + "' on page " + std::to_string(run.page)});
    }
    for (const printer::PictureRun& p : Job()->pictures)
      pictures.push_back({p.page, p.x, p.y, p.x + p.width, p.y + p.height, p.source});
    for (const Box& picture : pictures) EXPECT_TRUE(picture.OnThePage()) << picture.what;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_TRUE(texts[i].OnThePage()) << texts[i].what;
      for (std::size_t k = i + 1; k < texts.size(); ++k)
        EXPECT_FALSE(texts[i].Overlaps(texts[k])) << texts[i].what << " and " << texts[k].what;
      for (const Box& picture : pictures) {
        const bool foot = picture.what.find("FOTEN") != std::string::npos;
        EXPECT_FALSE(!foot && texts[i].Overlaps(picture))
            << texts[i].what << " on " << picture.what;
      }
    }
  }

  // A job begun on the in-memory printer with its first page started, as the page head leaves
  // it but without the head itself.
  void BeginBarePage() {
    ASSERT_EQ(Choose(kTest), 0);
    int16_t err = 0;
    BeginJob(ctx(), "S", err);
    ASSERT_EQ(err, 0);
    StartPage(ctx(), err);
    ASSERT_EQ(err, 0);
  }
};

}  // namespace kvor::printing
