// The rows of the invoice page (SVFUSFTU): the page break before every row line, the
// specification rows with their group headings and deduction lines, the additional rows and the
// freight text block. Every printer fault of these routines is reported under the step RADDATA.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "common/text.h"
#include "platform/printer/fonts.h"
#include "platform/printer/surface.h"
#include "printing/invoice_page.h"
#include "printing/page_engine.h"
#include "registers/database.h"
#include "registers/readers.h"
#include "registers/row_amounts.h"

namespace kvor::printing {

namespace {

using registers::Record;

constexpr const char* kStep = "RADDATA";
constexpr const char* kCourier = "COURIER NEW";
constexpr const char* kSansSerif = "MS SANS SERIF";
constexpr double kRowSize = 8;      // the row grid is COURIER NEW 8 point
constexpr int kLengthIndexes = 45;  // a length below this is an index into the length table

const Record& F(Context& ctx, std::string_view code) {
  return registers::Fields(ctx, code);
}

bool IsZero(std::string_view number) {
  return NumericValue(number) == 0;
}

// Windows-1252 lower case: A-Z and the accented capitals of the upper half.
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
      c = static_cast<char>(u + 0x20);
    else if (u == 0x8A || u == 0x8C || u == 0x8E)
      c = static_cast<char>(u + 0x10);
    else if (u == 0x9F)
      c = static_cast<char>(0xFF);
  }
  return out;
}

// The text of a code record in the customer's language: ten texts of `width` side by side from
// `first` on, without the blanks around it.
std::string CodeText(const Record& record, int first, int width, int16_t language) {
  if (language < 0 || language > 9) return "";
  return Trim(record.At(first + language * width, width));
}

// A dimension as printed: "22.0" is 22, blanks left out.
std::string Dimension(std::string_view stored) {
  std::string text(stored);
  for (std::size_t at; (at = text.find(".0")) != std::string::npos;) text.erase(at, 2);
  return RemoveBlanks(text);
}

// A price or amount of the row grid; empty for an unusable number (already told).
std::string Grouped(Context& ctx, std::string_view value) {
  std::string out;
  int16_t err = 0;
  FormatGrouped(ctx.Msg(), value, out, ":", 14, err);
  return err == 0 ? out : "";
}

// Runs one line's printing as the step RADDATA, then takes the printer's position into the
// engine state so that the next spacer and page break see where the line ended.
template <typename Work>
void PrintLine(Context& ctx, int16_t& err, Work work) {
  PrinterStep(ctx, kStep, err, work);
  if (err == 0) Position(ctx, err);
}

void RowFont(printer::Surface& s, bool bold) {
  s.SetFontName(kCourier);
  s.SetFontSize(kRowSize);
  s.SetFontBold(bold);
}

// Closes a full page with the totals block in continuation mode and starts the next one.
void BreakPage(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  ctx.print.run.page_continues = true;
  PrintTotals(ctx, language, err);
  if (err != 0) return;
  PrintPageHead(ctx, copy, language, err);
  if (err != 0) return;
  ctx.print.row_on_page = 0;
}

// Heights of what a row puts on the page: a line of the row grid, and the 4-point spacer (TOMRAD)
// in the same font.
double RowLineHeight() {
  return printer::LineHeightTwips(*printer::FindFont(kCourier), kRowSize);
}
double SpacerHeight() {
  return printer::LineHeightTwips(*printer::FindFont(kCourier), 4);
}

// The page-break check before a row line: counts the row and breaks the page unless the `lines`
// row lines about to be printed (with the spacer above the first, when the row gets one) end
// above the row limit. The totals block starts at the row limit, so a check of the position alone
// would let the line printed after it (and its spacer) run into the block's first lines.
void BreakUnlessRoom(Context& ctx, int16_t copy, int16_t language, int lines, int16_t& err,
                     bool spacer = false) {
  PrintState& p = ctx.print;
  p.run.row_limit = TotalsTop(ctx);  // the rows end where the totals block starts
  AdvanceRows(ctx, 1, err);
  if (err != 0) return;
  const double bottom = p.position + (spacer ? SpacerHeight() : 0) + lines * RowLineHeight();
  if (bottom > p.run.row_limit) BreakPage(ctx, copy, language, err);
}

// The first line of a row gets a spacer above it unless it is the first on its page, that is
// unless the row count is at most 1. After a page break the count starts again from 0.
void SpacerUnlessFirst(Context& ctx, int16_t& err) {
  if (ctx.print.row_on_page > 1) Tomrad(ctx, "F", err);
}

// The heading of a group of specification rows: account, product and grade texts. The addition
// after the dot separator, "B/L" and a reference, is the load specification's delivery notice
// reference; a load specification without one gets a heading without the addition.
std::string HeadingText(Context& ctx, int16_t language) {
  return CodeText(F(ctx, "SVP-KTKD"), 6, 12, language) + " " +
         CodeText(F(ctx, "SVP-UFKD"), 85, 25, language) + " " +
         CodeText(F(ctx, "SVP-VAKD"), 6, 12, language);
}

void GroupHeading(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  const std::string heading = HeadingText(ctx, language);
  std::string& memory = ctx.print.run.row_group;
  if (heading == memory) return;
  const std::string reference = Trim(F(ctx, "SVF-LSHD").Get("LSHD_P500"));
  PrintLine(ctx, err, [&](printer::Surface& s) {
    RowFont(s, true);
    if (reference.empty()) {
      s.Print(6, heading, true);
      return;
    }
    s.Print(6, heading, false);
    s.SetFontBold(false);
    s.Print(6 + static_cast<int>(heading.size()), std::string(kDotSeparator) + "B/L " + reference,
            true);
  });
  if (err != 0) return;
  memory = heading;
  // The row line under the heading is a line of its own on the page.
  PageBreakCheck(ctx, copy, language, err);
}

// "E" prints the company-currency amounts. Follows the row's price basis, within what the
// invoice's currency allows.
void SetRowPriceFlag(Context& ctx) {
  const std::string basis = F(ctx, "SVF-FTSP").Get("FTSP_P237");
  const bool own_currency = F(ctx, "SVF-FTHD").Get("VALKOD") == F(ctx, "SYS-FRTG").Get("FRTG_P372");
  std::string flag = basis;
  if (own_currency && basis != "N" && basis != "E") flag = "E";
  if (!own_currency && basis != "U" && basis != "N") flag = "U";
  ctx.print.run.row_price_flag = flag;
}

// Description, nominal dimensions ([N]), actual ones ([A]) where the load specification differs,
// and the invoice type's range.
std::string RowDescription(Context& ctx, int16_t language) {
  const Record& row = F(ctx, "SVF-FTSP");
  std::string text = row.Get("FTSP_P040") + " ";
  if (F(ctx, "SVP-KTKD").Get("KTKD_P133") == "J") text += row.Get("FTSP_P023") + " ";
  text += CodeText(F(ctx, "SVP-UFKD"), 85, 25, language) + " ";
  const std::string nominal =
      Dimension(row.Get("FTSP_P013")) + "*" + Dimension(row.Get("FTSP_P018"));
  text += nominal + "[N]";
  const Record& load = F(ctx, "SVF-LSSP");
  const std::string actual =
      Dimension(load.Get("LSSP_P039")) + "*" + Dimension(load.Get("LSSP_P044"));
  if (actual != nominal) text += " " + actual + "[A]";
  const Record& type = F(ctx, "SVP-FTKD");
  // The invoice type record has two one-character flags; the first decides whether its code and
  // range are printed.
  if (type.Get("FTKD_P036") == "J") {
    const std::string from = Trim(type.Get("FTKD_P006")), to = Trim(type.Get("FTKD_P011"));
    text += " " + row.Get("FTSP_P030") + " " + (from == to ? from : from + "-" + to);
  }
  return text;
}

// The row's length: a value below 45 is an index into the installation's length table.
std::string RowLength(Context& ctx) {
  const std::string stored = F(ctx, "SVF-FTSP").Get("FTSP_P034");
  const double value = NumericValue(stored);
  if (value > 0 && value < kLengthIndexes && ctx.length_table)
    return ctx.length_table->Entry(static_cast<int>(value)) + "MM";
  return stored + "MM";
}

// The rejected share of the quantity in per cent, one decimal; empty when there is none.
std::string RowShare(Context& ctx) {
  const Record& row = F(ctx, "SVF-FTSP");
  const double quantity = NumericValue(row.Get("FTSP_P213"));
  if (quantity <= 0 || Trim(row.Get("FTSP_P043")) == "100") return "";
  const double share = NumericValue(row.Get("FTSP_P222")) * 100 / quantity;
  std::string text = std::to_string(share);
  FormatAmount(ctx.Msg(), text, 3, 1, 4);
  if (IsZero(text)) return "";
  return text + " %";
}

// The row price in the currency the row's own price basis names.
std::string RowPrice(Context& ctx) {
  const Record& row = F(ctx, "SVF-FTSP");
  return row.Get("FTSP_P237") == "E" ? row.Get("FTSP_P070") : row.Get("FTSP_P047");
}

// Columns of the row grid: the description from tab 6, the length at tab 46.
constexpr int kDescriptionColumn = 6;
constexpr int kLengthColumn = 46;

// Lines the row line takes: a description that runs past the length's tab sends the length and
// what follows it to the next line, as the printer's tab does.
int RowLineLines(const std::string& description) {
  return kDescriptionColumn + static_cast<int>(description.size()) > kLengthColumn ? 2 : 1;
}

void RowLine(Context& ctx, const std::string& description, const std::string& share, int16_t& err) {
  const Record& row = F(ctx, "SVF-FTSP");
  const std::string length = RowLength(ctx);
  const std::string price = RowPrice(ctx);
  const std::string quantity = row.Get("FTSP_P213");
  const std::string discount = row.Get("FTSP_P080");
  const std::string amount =
      registers::CompanyCurrency(ctx) ? row.Get("FTSP_P127") : row.Get("FTSP_P113");
  const std::string price_text = IsZero(price) ? "" : Grouped(ctx, price);
  const std::string amount_text = IsZero(amount) ? "" : Grouped(ctx, amount);
  PrintLine(ctx, err, [&](printer::Surface& s) {
    RowFont(s, false);
    s.Print(kDescriptionColumn, description, false);
    s.Print(kLengthColumn, length, false);
    if (!share.empty()) s.Print(53, share, false);
    if (!price_text.empty()) s.Print(62, price_text, false);
    if (!IsBlank(quantity)) {
      s.Print(80, quantity, false);
      s.Print(90, row.Get("FTSP_P032"), false);
    }
    if (NumericValue(discount) > 0) {
      s.Print(93, discount, false);
      s.Print(98, "%", false);
    }
    s.Print(100, amount_text, true);
  });
}

// Under a row with a rejected share: a third of the price on the rejected quantity, deducted.
void DeductionLine(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  PageBreakCheck(ctx, copy, language, err);
  if (err != 0) return;
  const std::string deduction = LayoutText(ctx, "101", language, err);
  if (err != 0) return;
  const std::string reject = LayoutText(ctx, "102", language, err);
  if (err != 0) return;
  const Record& row = F(ctx, "SVF-FTSP");
  const bool own = registers::CompanyCurrency(ctx);
  // The third is written with two decimals, as the prices are stored.
  std::string third =
      std::to_string(NumericValue(own ? row.Get("FTSP_P070") : row.Get("FTSP_P047")) / 3);
  FormatAmount(ctx.Msg(), third, 10, 2, 4);
  const std::string third_text = IsZero(third) ? "" : Grouped(ctx, third);
  const std::string stored = own ? row.Get("FTSP_P085") : row.Get("FTSP_P099");
  std::string amount_text;
  if (!IsZero(stored)) {
    std::string negative = std::to_string(-NumericValue(stored));
    FormatAmount(ctx.Msg(), negative, 10, 3, 3);
    amount_text = Grouped(ctx, negative);
  }
  const int caption_at = 59 - static_cast<int>(deduction.size() + reject.size());
  PrintLine(ctx, err, [&](printer::Surface& s) {
    RowFont(s, false);
    s.Print(caption_at, deduction + " " + Lower(reject) + ":", false);
    if (!third_text.empty()) s.Print(62, third_text, false);
    s.Print(80, row.Get("FTSP_P222"), false);
    s.Print(90, row.Get("FTSP_P032"), false);
    s.Print(100, amount_text, true);
  });
}

// The additional row's two description texts at column 31, each a line of its own.
void AdditionalDescription(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  const Record& row = F(ctx, "SVF-FTAP");
  for (const char* field : {"FTAP_P079", "FTAP_P129"}) {
    const std::string text = TrimRight(row.Get(field));
    // A blank description takes no line.
    if (text.empty()) continue;
    PageBreakCheck(ctx, copy, language, err);
    if (err != 0) return;
    // Description lines keep a gap to the column captions: the spacer comes on the first line of
    // a page only.
    if (ctx.print.row_on_page <= 1) {
      Tomrad(ctx, "F", err);
      if (err != 0) return;
    }
    PrintLine(ctx, err, [&](printer::Surface& s) {
      RowFont(s, false);
      s.Print(31, text, true);
    });
    if (err != 0) return;
  }
}

// Text in MS SANS SERIF placed where a tab to `column` of the row grid leaves the printer: the
// column of the proportional font that comes nearest to it.
void PrintSansSerif(printer::Surface& s, int column, const std::string& text, bool advance) {
  const double x = column * s.ColumnWidth();
  s.SetFontName(kSansSerif);
  s.Print(static_cast<int>(std::lround(x / s.ColumnWidth())), text, advance);
  s.SetFontName(kCourier);
}

// One line of FRITEXT: the text in MS SANS SERIF from column 6 of the row grid.
void FriText(Context& ctx, const std::string& text, int16_t& err) {
  PrintLine(ctx, err, [&](printer::Surface& s) {
    RowFont(s, false);
    PrintSansSerif(s, 6, text, true);
  });
}

}  // namespace

void PageBreakCheck(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  BreakUnlessRoom(ctx, copy, language, 1, err);
}

void PrintSpecificationRow(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  // The check makes room for all the row puts on the page before its deduction line: the spacer
  // (when the row is not the first of its page), a new group heading and the row line's lines,
  // so that a heading never stands alone at the foot of a page either.
  const bool new_heading = HeadingText(ctx, language) != ctx.print.run.row_group;
  const std::string description = RowDescription(ctx, language);
  BreakUnlessRoom(ctx, copy, language, (new_heading ? 1 : 0) + RowLineLines(description), err,
                  ctx.print.row_on_page >= 1);
  if (err != 0) return;
  SpacerUnlessFirst(ctx, err);
  if (err != 0) return;
  SetRowPriceFlag(ctx);
  GroupHeading(ctx, copy, language, err);
  if (err != 0) return;
  const std::string share = RowShare(ctx);
  RowLine(ctx, description, share, err);
  if (err != 0 || share.empty()) return;
  DeductionLine(ctx, copy, language, err);
}

void PrintAdditionalRow(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  // The description lines come first, above the article line: they head the row as a group
  // heading heads specification rows, and their spacer "on the first line of a page" only makes
  // sense for lines that can open a row at the top of a page.
  AdditionalDescription(ctx, copy, language, err);
  if (err != 0) return;
  const Record& row = F(ctx, "SVF-FTAP");
  // The row's kind is its first 3-character key part; it is also the code printed before it.
  const std::string kind = row.Get("FTAP_P013");
  const bool own = registers::CompanyCurrency(ctx);
  if (!IsBlank(kind)) {
    std::string article;
    ArticleIdText(ctx.Msg(), row.Get("FTAP_P019") + row.Get("FTAP_P024") + row.Get("FTAP_P044"),
                  article);
    PageBreakCheck(ctx, copy, language, err);
    if (err != 0) return;
    PrintLine(ctx, err, [&](printer::Surface& s) {
      RowFont(s, false);
      s.Print(6, kind, false);
      s.Print(10, article, true);
    });
    if (err != 0) return;
  }
  const std::string price = own ? row.Get("FTAP_P231") : row.Get("FTAP_P205");
  const std::string amount = registers::AdditionalRowAmount(ctx);
  // A price the print run left blank (no rate to convert with) prints nothing.
  const std::string price_text = IsBlank(price) ? "" : Grouped(ctx, price);
  const std::string amount_text = IsBlank(amount) ? "" : Grouped(ctx, amount);
  const std::string discount = row.Get("FTAP_P245");
  PageBreakCheck(ctx, copy, language, err);
  if (err != 0) return;
  PrintLine(ctx, err, [&](printer::Surface& s) {
    RowFont(s, false);
    if (!IsBlank(kind)) s.Print(10, row.Get("FTAP_P049"), false);
    if (!IsBlank(row.Get("FTAP_P199"))) s.Print(54, row.Get("FTAP_P199"), false);
    s.Print(62, price_text, false);
    s.Print(80, row.Get("FTAP_P188"), false);
    s.Print(90, row.Get("FTAP_P197"), false);
    if (!IsZero(discount)) {
      s.Print(93, discount, false);
      s.Print(99, "%", false);
    }
    s.Print(100, amount_text, true);
  });
}

void PrintFreightText(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  err = 0;
  const Record& freight = F(ctx, "SVF-FKFT");
  std::vector<std::string> lines;
  for (const char* field : {"FKFT_P011", "FKFT_P109", "FKFT_P207", "FKFT_P305", "FKFT_P403"})
    if (!IsBlank(freight.Get(field))) lines.push_back(TrimRight(freight.Get(field)));
  if (lines.empty()) return;  // an empty record prints nothing, not even the gap above it

  PrintState& p = ctx.print;
  // Rows were printed on the page when its row count has moved.
  if (p.row_on_page > 0) {
    PageBreakCheck(ctx, copy, language, err);
    if (err != 0) return;
    PrintLine(ctx, err, [](printer::Surface& s) {
      RowFont(s, false);
      s.Print(0, "", true);
    });
    if (err != 0) return;
  }
  double line_height = 0;
  PrinterStep(ctx, kStep, err, [&](printer::Surface& s) {
    RowFont(s, false);
    s.SetFontName(kSansSerif);
    line_height = s.LineHeight();
    s.SetFontName(kCourier);
  });
  if (err != 0) return;
  Position(ctx, err);
  if (err != 0) return;
  const double bottom = p.position + line_height * static_cast<double>(lines.size());
  // The block's own limit was 14450 less the top offset, 250 twips below the rows' limit: its last
  // line would stand on the first line of the totals block. It keeps to the row limit instead.
  if (bottom > TotalsTop(ctx)) {
    BreakPage(ctx, copy, language, err);
    if (err != 0) return;
  }
  for (const std::string& line : lines) {
    FriText(ctx, line, err);
    if (err != 0) return;
  }
}

}  // namespace kvor::printing
