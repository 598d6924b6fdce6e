// The totals block at the bottom of every invoice page: certification line, FAS line, the five
// amount lines with their free texts, and the company foot (FÖRETAGSUTSKRIFT).
#include <algorithm>
#include <cmath>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "platform/printer/fonts.h"
#include "platform/printer/surface.h"
#include "printing/invoice_page.h"
#include "printing/page_engine.h"
#include "printing/pictures.h"
#include "registers/database.h"

namespace kvor::printing {

namespace {

// The line the block starts at, less the top offset and the bottom reserve (TotalsTop).
constexpr int kTotalsTop = 14375;
// The foot picture carries its own top rule (a band with a line across its top); the foot's
// first line starts this far below the picture's top so that the rule stays above the text.
constexpr int kFootBelowPictureTop = 100;
// SYS-DATA settings of the block. The company foot is the "company data" setting the main window
// shows; the rule above it goes with it (the register turns it off whenever the foot is off).
constexpr int kCompanyFootFlag = 60;
constexpr int kFootRuleFlag = 64;

constexpr char kRuleChar = '\x97';            // character 151, the long dash
constexpr char kMiddleDotChar = '\xB7';       // character 183
const std::string kRule(111, kRuleChar);      // under the certification line, over the foot
const std::string kTotalLine(43, kRuleChar);  // over the total
const std::string kAmountUnderline(19, kMiddleDotChar);

std::string Head(Context& ctx, std::string_view field) {
  return registers::Fields(ctx, "SVF-FTHD").Get(field);
}

std::string Dotted(Context& ctx, std::string text, int16_t width) {
  PadDotsAfter(ctx.Msg(), text, width);
  return text;
}

// The certification text of the header's code and flag, " : " written as a blank, with the
// certificate code behind the dot separator; empty when there is none.
std::string CertificationText(Context& ctx) {
  const registers::Record& d = registers::Fields(ctx, "SVF-DATA");
  const std::string code = Head(ctx, "CERTKOD");
  const std::string flag = Head(ctx, "CERTFLAGGA");
  int text_at = 0;
  int certificate_at = 0;
  if (code == "P") {
    certificate_at = 192;
    text_at = flag == "J" ? 72 : flag == "N" ? 132 : 0;
  } else if (code == "F") {
    certificate_at = 332;
    text_at = flag == "J" ? 212 : flag == "N" ? 272 : 0;
  }
  if (text_at == 0) return "";
  std::string text = Trim(d.At(text_at, 60));
  for (std::size_t at = text.find(" : "); at != std::string::npos; at = text.find(" : ", at))
    text.replace(at, 3, " ");
  if (text.empty()) return "";
  return text + std::string(kDotSeparator) + Trim(d.At(certificate_at, 20));
}

// Marking kinds "1" and "3" carry the marking picture.
bool Marked(Context& ctx) {
  const std::string kind = Head(ctx, "FTHD_P855");
  return kind == "1" || kind == "3";
}

std::string CertificationWord(int16_t language) {
  switch (language) {
    case 0:
      return "Certifiering: ";
    case 2:
      return "Zertifizierung: ";
    default:
      return "Certification: ";
  }
}

// One amount line: the free text at tab 6, the caption at 74, the amount (or, on a page that
// continues, the continuation text) at 98. An empty caption prints the text line alone.
void AmountLine(Context& ctx, const std::string& step, const std::string& free_text,
                const std::string& caption, const std::string& amount, int16_t& err) {
  PrinterStep(ctx, step, err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontBold(true);
    const double x = TabX(s, 6);
    s.SetFontName("MS SANS SERIF");
    PrintAtX(s, x, TrimRight(free_text), caption.empty());
    s.SetFontName("COURIER NEW");
    if (caption.empty()) return;
    s.SetFontBold(false);
    s.Print(74, Dotted(ctx, caption, 22) + ":", false);
    s.SetFontBold(true);
    s.Print(98, amount, true);
  });
}

// The sums of the currency the rows were printed in: company currency under row price flag "E".
std::string Sum(Context& ctx, const std::string& company_field, const std::string& invoice_field) {
  return Head(ctx, ctx.print.run.row_price_flag == "E" ? company_field : invoice_field);
}

void Fas(Context& ctx, int16_t language, int16_t& err) {
  const std::string amount_field = Head(ctx, "FASBELOPP");
  // Only an invoice with a FAS amount gets the FAS line, as in the page head.
  if (NumericValue(amount_field) == 0) return;
  const std::string caption = LayoutText(ctx, "099", language, err);
  if (err != 0) return;
  const std::string amount = TotalsAmount(ctx, amount_field, err);
  if (err != 0) return;
  const std::string currency = Trim(registers::Fields(ctx, "SVF-LSHD").At(542, 3));
  PrinterStep(ctx, "FAS", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    s.SetFontBold(true);
    s.Print(74, Dotted(ctx, caption + " " + currency, 21) + ":", false);
    s.Print(98, amount, true);
    s.Print(74, caption + ":", false);
    s.Print(98, kAmountUnderline, true);
  });
}

// VALUTA and NETTO show the continuation text on a page that continues.
void ContinuedLine(Context& ctx, const std::string& step, const std::string& free_text,
                   const std::string& key, const std::string& value, int16_t language,
                   int16_t& err) {
  const std::string caption = LayoutText(ctx, key, language, err);
  if (err != 0) return;
  std::string amount;
  if (ctx.print.run.page_continues) {
    amount = LayoutText(ctx, "039", language, err);
  } else {
    amount = TotalsAmount(ctx, value, err);
  }
  if (err == 0) AmountLine(ctx, step, free_text, caption, amount, err);
}

// SKATT and RUNDA print their text line alone while their amount is zero.
void ZeroQuietLine(Context& ctx, const std::string& step, const std::string& free_text,
                   const std::string& key, const std::string& value, int16_t language,
                   int16_t& err) {
  if (NumericValue(value) == 0) {
    AmountLine(ctx, step, free_text, "", "", err);
    return;
  }
  const std::string caption = LayoutText(ctx, key, language, err);
  if (err != 0) return;
  const std::string amount = TotalsAmount(ctx, value, err);
  if (err == 0) AmountLine(ctx, step, free_text, caption, amount, err);
}

void Total(Context& ctx, const std::string& free_text, int16_t language, int16_t& err) {
  const std::string caption = LayoutText(ctx, "038", language, err);
  if (err != 0) return;
  const std::string amount = Trim(TotalsAmount(ctx, Sum(ctx, "TOTALFTG", "TOTALVAL"), err));
  if (err != 0) return;
  const std::string kind = Head(ctx, "FTHD_P855");
  std::string marking;
  if (kind == "1" || kind == "3") marking = Trim(registers::Fields(ctx, "SVF-DATA").At(63, 9));
  if (kind == "2") marking = "ISPM 15";
  const std::string currency = Upper(Trim(Head(ctx, "VALUTABET")));
  AmountLine(ctx, "TOTAL", free_text, "", "", err);
  if (err != 0) return;
  PrinterStep(ctx, "TOTAL", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontBold(true);
    s.Print(74, kTotalLine, true);
    s.Print(64, marking, false);
    s.SetFontBold(false);
    s.Print(74, Dotted(ctx, caption + " " + currency, 21) + ":", false);
    s.SetFontBold(true);
    s.Print(117 - static_cast<int>(amount.size()), amount, true);
  });
}

// --- Company foot -------------------------------------------------------------------------------

// One line of the foot: a start at tab 6 in 8 point, then its parts in 7 point; a part whose value
// is blank leaves its caption out.
class FootLine {
 public:
  explicit FootLine(printer::Surface& s) : s_(s) {
    s_.SetFontName("COURIER NEW");
    s_.SetFontSize(8);
    x_ = TabX(s_, 6);
    s_.SetFontSize(7);
  }
  void Value(const std::string& value) { Part(x_, "", value); }
  // Caption and ": " end at `end`, the value follows.
  void CaptionEnding(int end, const std::string& caption, const std::string& value) {
    Part(TabX(s_, end - static_cast<int>(caption.size()) - 2), caption, value);
  }
  void At(int column, const std::string& caption, const std::string& value) {
    Part(TabX(s_, column), caption, value);
  }
  // The value ends at `end`.
  void Ending(int end, const std::string& value) {
    Part(TabX(s_, end - static_cast<int>(value.size())), "", value);
  }
  void End() { s_.Print(0, "", true); }

 private:
  void Part(double x, const std::string& caption, const std::string& value) {
    if (IsBlank(value)) return;
    const std::string shown = TrimRight(value);
    if (!caption.empty()) {
      s_.SetFontBold(false);
      x = PrintAtX(s_, x, caption + ": ", false);
    }
    s_.SetFontBold(true);
    x_ = PrintAtX(s_, x, shown, false);
  }
  printer::Surface& s_;
  double x_ = 0;
};

struct FootTexts {
  std::string phone, phone2, vat_number, giro1, giro2, organisation;
};

}  // namespace

int32_t TotalsTop(Context& ctx) {
  const PrintState& p = ctx.print;
  // The block's height: its lines of COURIER NEW 8 point (the certification line when there is
  // one, the rule, the FAS line and its underline, the five amount lines and the two more of the
  // total, the foot rule) and the company foot, whose four lines of 7 point start below the top
  // of its picture.
  const printer::FontMetrics& courier = *printer::FindFont("COURIER NEW");
  int lines = 1 + 5 + 2;
  if (!CertificationText(ctx).empty()) ++lines;
  if (NumericValue(Head(ctx, "FASBELOPP")) != 0) lines += 2;
  if (PrintSetting(ctx, kFootRuleFlag) == 'J') ++lines;
  double height = lines * printer::LineHeightTwips(courier, 8);
  if (PrintSetting(ctx, kCompanyFootFlag) == 'J')
    height += std::max<double>(kFootPictureHeight,
                               kFootBelowPictureTop + 4 * printer::LineHeightTwips(courier, 7));
  // From the layout's line a block with certification line and foot would run past the bottom
  // of the printable area (the printer's, KVOR PDF's before a job has begun): such a block starts
  // as much higher as it needs, and the row limit of the page break with it.
  const double printable = p.surface ? p.surface->PrintableHeight() : printer::kPdfPrintableHeight;
  const int32_t fitting = static_cast<int32_t>(std::floor(printable - height));
  return std::min(kTotalsTop - p.top_offset - p.bottom_reserve, fitting);
}

void PrintCompanyFoot(Context& ctx, int16_t language, int16_t& err) {
  err = 0;
  FootTexts t;
  const char* keys[] = {"024", "025", "091", "092", "093", "103"};
  std::string* captions[] = {&t.phone, &t.phone2, &t.vat_number,
                             &t.giro1, &t.giro2,  &t.organisation};
  for (int i = 0; i < 6; ++i) {
    *captions[i] = LayoutText(ctx, keys[i], language, err);
    if (err != 0) return;
  }
  const registers::Record& f = registers::Fields(ctx, "SYS-FRTG");
  const registers::Record& b = registers::Fields(ctx, "SYS-BANK");
  const registers::Record& i = registers::Fields(ctx, "SYS-IBAN");
  const std::string vat = IsBlank(f.At(29, 14)) ? ""
                                                : f.At(29, 2) + " " + f.At(31, 6) + "-" +
                                                      f.At(37, 4) + " " + f.At(41, 2);
  const std::string swift = IsBlank(b.At(9, 8)) ? "" : b.At(9, 8) + " " + TrimRight(b.At(17, 30));
  const std::string iban =
      IsBlank(i.At(10, 29)) ? "" : i.At(6, 2) + i.At(8, 2) + " " + TrimRight(i.At(10, 29));
  const std::string prefix = b.At(8, 1);
  const std::string account =
      IsBlank(b.At(122, 12)) ? "" : (IsBlank(prefix) ? "" : prefix + "-") + Trim(b.At(122, 12));
  const std::string organisation = IsBlank(f.At(31, 10)) ? "" : f.At(31, 6) + "-" + f.At(37, 4);
  const std::string company_text = RemoveBlanks(f.At(134, 30));
  const std::string web = IsBlank(f.At(473, 18)) ? "" : "www." + RemoveBlanks(f.At(473, 18));

  PrinterStep(ctx, "FÖRETAGSUTSKRIFT"_w, err, [&](printer::Surface& s) {
    // The right end is shared so that no two long values meet: the organisation number beside
    // the first giro, the company text beside the second, the web name beside the bank.
    {
      FootLine line(s);
      line.Value(TrimRight(f.At(4, 25)));
      line.CaptionEnding(48, t.phone, f.At(183, 15));
      line.At(73, t.giro1, f.At(388, 9));
      if (!organisation.empty()) {
        s.SetFontBold(false);
        const double x = PrintAtX(s, TabX(s, 121 - static_cast<int>(t.organisation.size())),
                                  t.organisation + ": ", false);
        s.SetFontBold(true);
        PrintAtX(s, x, organisation, false);
      }
      line.End();
    }
    {
      FootLine line(s);
      line.Value(TrimRight(f.At(44, 25)));
      line.CaptionEnding(48, t.phone2, f.At(198, 15));
      line.At(73, t.giro2, f.At(401, 9));
      line.Ending(134, company_text);
      line.End();
    }
    {
      FootLine line(s);
      line.Value(TrimRight(f.At(69, 25)));
      line.CaptionEnding(48, t.vat_number, vat);
      line.At(73, "Swift", swift);
      line.Ending(134, web);
      line.End();
    }
    {
      FootLine line(s);
      line.Value(TrimRight(f.At(94, 20)));
      line.At(43, "Konto", account);
      line.At(73, "Iban", iban);
      if (f.At(43, 1) == "J") {
        s.SetFontBold(false);
        s.Print(114, "Innehar", false);
        s.SetFontBold(true);
        s.Print(122, "F", false);
        s.SetFontBold(false);
        s.Print(123, "-skattsedel", false);
      }
      line.End();
    }
  });
}

void PrintTotals(Context& ctx, int16_t language, int16_t& err) {
  PrintState& p = ctx.print;
  SetPosition(ctx, TotalsTop(ctx), err);
  if (err != 0) return;

  const std::string certification = CertificationText(ctx);
  PrinterStep(ctx, "FAS", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    s.SetFontBold(true);
    if (!certification.empty()) {
      const double x = PrintAtX(s, TabX(s, 6), CertificationWord(language), false);
      s.SetFontName("MS SANS SERIF");
      PrintAtX(s, x, certification, false);
      s.SetFontName("COURIER NEW");
      s.Print(0, "", true);  // a line as high as the certification word's
    }
    s.Print(6, kRule, true);
  });
  if (err != 0) return;
  Fas(ctx, language, err);
  if (err != 0) return;

  // The marking picture stands beside the amount lines, where the layout puts it.
  if (Marked(ctx)) {
    LoadPictureByName(ctx, "KD5630", err);
    if (err == 0) PaintMarkingPicture(ctx, err);
    if (err != 0) return;
  }

  const registers::Record& texts = registers::Fields(ctx, "SVF-TEXT");
  ContinuedLine(ctx, "VALUTA", texts.At(6, 66), "046", Head(ctx, "FTHD_P889"), language, err);
  if (err != 0) return;
  ContinuedLine(ctx, "NETTO", texts.At(72, 66), "035", Sum(ctx, "NETTOFTG", "NETTOVAL"), language,
                err);
  if (err != 0) return;
  ZeroQuietLine(ctx, "SKATT", texts.At(138, 66), "036", Sum(ctx, "MOMSFTG", "MOMSVAL"), language,
                err);
  if (err != 0) return;
  ZeroQuietLine(ctx, "RUNDA", texts.At(204, 66), "037", Sum(ctx, "AVRUNDFTG", "AVRUNDVAL"),
                language, err);
  if (err != 0) return;
  Total(ctx, texts.At(270, 66), language, err);
  if (err != 0) return;

  if (PrintSetting(ctx, kFootRuleFlag) == 'J') {
    PrinterStep(ctx, "FÖRETAGSUTSKRIFT"_w, err, [&](printer::Surface& s) {
      s.SetFontName("COURIER NEW");
      s.SetFontSize(8);
      s.SetFontBold(true);
      s.Print(6, kRule, true);
    });
    if (err != 0) return;
  }
  if (PrintSetting(ctx, kCompanyFootFlag) == 'J') {
    LoadFootPicture(ctx, Fixed(ctx.frame.company_id, 3), err);
    if (err == 0) PaintFootPicture(ctx, err);
    if (err == 0) Position(ctx, err);
    if (err == 0) SetPosition(ctx, p.position + kFootBelowPictureTop, err);
    if (err == 0) PrintCompanyFoot(ctx, language, err);
    if (err != 0) return;
  }
  p.run.row_limit = 0;
}

}  // namespace kvor::printing
