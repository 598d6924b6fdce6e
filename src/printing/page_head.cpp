// The page head of the invoice (PHXA4ALL): HUVUD with logo or company name, title, invoice number,
// date and page number; the reference and address lines, the FAS line and the copy mark; on the
// first page of a copy the label-and-value blocks; the row column captions.
#include <algorithm>
#include <cmath>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/printer/surface.h"
#include "printing/barcodes.h"
#include "printing/invoice_page.h"
#include "printing/page_engine.h"
#include "printing/pictures.h"
#include "registers/database.h"
#include "registers/readers.h"

namespace kvor::printing {

namespace {

// The print settings of SYS-DATA the page head reads (one character each).
constexpr int kLogoFlag = 54;         // "J": the logo picture instead of the company name
constexpr int kCompanyNameFlag = 57;  // "J": the company name where there is no logo
constexpr int kDateRule = 58;         // "R": the invoice date is the printed date
// The barcode and address flags are not named by position anywhere; the barcode is 59 because
// the sample installation (59 "J", 55 "N") prints the invoice number's bars, which leaves 55,
// the other J/N setting of the page layout, for the delivery address column.
constexpr int kBarcodeFlag = 59;     // "J": the invoice number as a barcode
constexpr int kAddressFlag = 55;     // "J": the delivery address column and its caption
constexpr int kTopOffsetDigit = 62;  // times 175 twips before the head
constexpr int kSpacerDigit = 63;     // spacer lines before the head

constexpr int kTwipsPerOffsetStep = 175;
constexpr char kUnderlineChar = '\xA8';  // character 168
constexpr char kRuleChar = '\x97';       // character 151, the long dash
constexpr std::size_t kRuleLength = 111;

int Digit(Context& ctx, int position) {
  const char c = PrintSetting(ctx, position);
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

std::string Head(Context& ctx, std::string_view field) {
  return registers::Fields(ctx, "SVF-FTHD").Get(field);
}

std::string Customer(Context& ctx, int position, int width) {
  return registers::Fields(ctx, "KRK-KUND").At(position, width);
}

std::string Specification(Context& ctx, int position, int width) {
  return registers::Fields(ctx, "SVF-LSHD").At(position, width);
}

std::string IsoDate(Context& ctx, const std::string& stored) {
  std::string shown;
  FormatIsoDate(ctx.Msg(), stored, shown);
  return shown;
}

// First letter upper case, the rest lower case (Windows-1252 letters included).
std::string Capitalised(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (i == 0) {
      out[i] = UpperChar(out[i]);
    } else if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      out[i] = static_cast<char>(c + 32);
    } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
      out[i] = static_cast<char>(c + 16);
    } else if (c == 0x9F) {
      out[i] = '\xFF';
    }
  }
  return out;
}

// The date the head prints: the invoice date under date rule "R"; otherwise the print date of the
// first print, or today's date while the invoice has not been printed. An invoice counts as not
// printed unless its mark is "J": the register leaves the mark blank until the first print.
std::string PrintedDate(Context& ctx) {
  if (PrintSetting(ctx, kDateRule) == 'R') return IsoDate(ctx, Head(ctx, "FAKTDATUM"));
  if (Head(ctx, "UTSKRIVEN") != "J") return IsoDate(ctx, ctx.frame.date_compact);
  return IsoDate(ctx, Head(ctx, "UTSKRDATUM"));
}

// The invoice number is placed so that it ends near the right margin whatever its length.
int NumberColumn(std::size_t length) {
  switch (length) {
    case 6:
      return 85;
    case 9:
      return 81;
    case 10:
      return 79;
    case 13:
      return 75;
    default:
      return -1;  // no tab: straight after the title
  }
}

// --- Label-and-value lines ----------------------------------------------------------------------

enum class RightPlacement { CaptionEnds, ValueEnds };

// One line of the first-page blocks from the text slots. `end_column` places the right part: the
// caption ends there, or in SPECIFIKAT caption and value together end there. An empty left
// caption leaves the left value at tab 30; an empty right caption puts the right value so that it
// ends at the column.
void LabelAndValue(Context& ctx, const std::string& step, int end_column, bool first_of_block,
                   bool specification, int16_t& err) {
  err = 0;
  if (first_of_block) {
    Tomrad(ctx, "F", err);
    if (err != 0) return;
  }
  const PrintState::Run& r = ctx.print.run;
  const std::string left_value = TrimRight(r.left_value);
  const std::string right_value = TrimRight(r.right_value);
  PrinterStep(ctx, step, err, [&](printer::Surface& s) {
    // The blocks are set in 6 point, as the column captions under them: their right parts end
    // at columns up to 118 with values of up to 30 characters behind, which only the 6-point
    // grid keeps within the sheet's printable width.
    s.SetFontName("COURIER NEW");
    s.SetFontSize(6);
    s.SetFontBold(false);
    double x;
    if (r.left_caption.empty()) {
      x = TabX(s, 30);
    } else {
      std::string caption = specification ? Capitalised(r.left_caption) : r.left_caption;
      PadDotsAfter(ctx.Msg(), caption, 22);
      x = PrintAtX(s, TabX(s, 6), caption + ": ", false);
    }
    s.SetFontName("MS SANS SERIF");
    s.SetFontBold(true);
    PrintAtX(s, x, left_value, false);
    s.SetFontName("COURIER NEW");
    if (r.right_caption.empty()) {
      PrintAtX(s, TabX(s, end_column - static_cast<int>(right_value.size())), right_value, true);
      return;
    }
    int column = end_column - static_cast<int>(r.right_caption.size());
    if (specification) column -= static_cast<int>(right_value.size());
    s.SetFontBold(false);
    x = PrintAtX(s, TabX(s, column), r.right_caption + ": ", false);
    s.SetFontBold(true);
    PrintAtX(s, x, right_value, true);
  });
}

void SetSlots(Context& ctx, std::string left_caption, std::string left_value,
              std::string right_caption, std::string right_value) {
  PrintState::Run& r = ctx.print.run;
  r.left_caption = std::move(left_caption);
  r.left_value = std::move(left_value);
  r.right_caption = std::move(right_caption);
  r.right_value = std::move(right_value);
}

// Fills the slots with the two captions of a block line; 1 when a text is missing (told).
bool Captions(Context& ctx, const std::string& left_key, const std::string& right_key,
              std::string left_value, std::string right_value, int16_t language, int16_t& err) {
  std::string left;
  std::string right;
  if (!left_key.empty()) left = LayoutText(ctx, left_key, language, err);
  if (err == 0 && !right_key.empty()) right = LayoutText(ctx, right_key, language, err);
  if (err != 0) return false;
  SetSlots(ctx, left, std::move(left_value), right, std::move(right_value));
  return true;
}

// --- Sections of the page ------------------------------------------------------------------------

// One address line: the delivery address on the left, the invoice address on the right.
void Adress(Context& ctx, int16_t /*language*/, int16_t& err) {
  const PrintState::Run& r = ctx.print.run;
  PrinterStep(ctx, "ADRESS", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    s.SetFontBold(true);
    double x = TabX(s, 6);
    s.SetFontName("MS SANS SERIF");
    s.SetFontSize(10);
    PrintAtX(s, x, TrimRight(r.left_value), false);
    s.SetFontName("COURIER NEW");
    x = TabX(s, 53);
    s.SetFontName("MS SANS SERIF");
    PrintAtX(s, x, TrimRight(r.right_value), true);
    s.SetFontName("COURIER NEW");
  });
}

void Betalning(Context& ctx, int16_t language, int16_t& err) {
  // The payment text usually names its days already ("30 dagar netto"); the day count goes in
  // front only when it does not.
  const std::string days = Trim(Head(ctx, "BETDAGAR"));
  const std::string terms = Trim(Head(ctx, "BETTEXT"));
  const std::string value = days.empty() || terms.rfind(days, 0) == 0 ? terms : days + " " + terms;
  if (Captions(ctx, "021", "052", value, IsoDate(ctx, Head(ctx, "FORFDATUM")), language, err))
    LabelAndValue(ctx, "BETALNING", 105, true, false, err);
}

void Referens(Context& ctx, int16_t language, int16_t& err) {
  if (!Captions(ctx, "022", "017", Specification(ctx, 282, 20), Head(ctx, "FTHD_P129"), language,
                err))
    return;
  LabelAndValue(ctx, "REFERENS", 118, true, false, err);
  if (err != 0) return;
  if (Captions(ctx, "023", "018", Specification(ctx, 303, 20), Head(ctx, "FTHD_P159"), language,
               err))
    LabelAndValue(ctx, "REFERENS", 118, false, false, err);
}

void Datum(Context& ctx, int16_t language, int16_t& err) {
  if (Captions(ctx, "028", "027", Head(ctx, "ANMARKNING"), Head(ctx, "VALUTABET"), language, err))
    LabelAndValue(ctx, "DATUM", 112, true, false, err);
}

// A note line of the slots; without captions the values stand at tab 30 and end at column 117.
void Notering(Context& ctx, int16_t /*language*/, int16_t& err) {
  const bool captions = !ctx.print.run.left_caption.empty();
  LabelAndValue(ctx, "NOTERING", captions ? 115 : 117, captions, false, err);
}

void Telefon(Context& ctx, int16_t language, int16_t& err) {
  const std::string who = Trim(Trim(Head(ctx, "KUNDIDENT")) + " " + Trim(Customer(ctx, 24, 30)));
  if (Captions(ctx, "012", "024", who, Customer(ctx, 189, 20), language, err))
    LabelAndValue(ctx, "TELEFON", 115, true, false, err);
}

// The customer's e-mail address is kept in four fields: local part (30), domain (20, held in the
// three fields from position 428 on) and top-level part (3).
std::string EMailAddress(Context& ctx) {
  const std::string local = RemoveBlanks(Customer(ctx, 229, 30));
  if (local.empty()) return "";
  return local + "@" + RemoveBlanks(Customer(ctx, 428, 20)) + "." +
         RemoveBlanks(Customer(ctx, 423, 3));
}

void Epost(Context& ctx, int16_t language, int16_t& err) {
  Captions(ctx, "026", "025", EMailAddress(ctx), Customer(ctx, 209, 20), language, err);
}

void Telembl(Context& ctx, int16_t /*language*/, int16_t& err) {
  LabelAndValue(ctx, "TELEMBL", 115, false, false, err);
}

void Specifikat(Context& ctx, int16_t language, int16_t& err) {
  // The three specification codes joined by blanks, empty ones left out.
  std::string codes;
  for (const std::string& code :
       {Trim(Specification(ctx, 475, 10)), Trim(Specification(ctx, 463, 12)),
        Trim(Specification(ctx, 485, 15))}) {
    if (code.empty()) continue;
    codes += (codes.empty() ? "" : " ") + code;
  }
  const std::string number =
      Trim(Specification(ctx, 5, 6)) + " " + IsoDate(ctx, Specification(ctx, 40, 8));
  if (Captions(ctx, "097", "079", codes, number, language, err))
    LabelAndValue(ctx, "SPECIFIKAT", 115, true, true, err);
}

// The first-page blocks, in their order.
void FirstPageBlocks(Context& ctx, int16_t language, int16_t& err) {
  Betalning(ctx, language, err);
  if (err == 0) Referens(ctx, language, err);
  if (err == 0) Datum(ctx, language, err);
  if (err != 0) return;
  Telefon(ctx, language, err);
  if (err != 0) return;
  Epost(ctx, language, err);
  if (err == 0) Telembl(ctx, language, err);
  if (err != 0) return;
  if (!Captions(ctx, "028", "106", Specification(ctx, 323, 50), Specification(ctx, 463, 12),
                language, err))
    return;
  Notering(ctx, language, err);
  if (err != 0) return;
  SetSlots(ctx, "", Specification(ctx, 373, 50), "", Specification(ctx, 500, 25));
  Notering(ctx, language, err);
  if (err == 0) Specifikat(ctx, language, err);
}

struct ColumnCaption {
  const char* key;
  int end_column;  // of the 6-point grid
};

// The captions over the row columns and the rule under them.
void RowCaptions(Context& ctx, int16_t language, int16_t& err) {
  Tomrad(ctx, "F", err);
  if (err != 0) return;
  auto text = [&](const char* key) { return err == 0 ? LayoutText(ctx, key, language, err) : ""; };
  std::string first = text("055");
  // The second caption beside the first is the text the page keeps for its current section.
  if (!ctx.print.last_section_text.empty()) first += "  " + ctx.print.last_section_text;
  const ColumnCaption ending[] = {{"043", 69}, {"101", 80}, {"061", 105}, {"113", 121}};
  std::string ended[4];
  for (int i = 0; i < 4; ++i) ended[i] = text(ending[i].key);
  const std::string units = text("062") + "/" + text("065");
  const std::string amount = text("063");
  if (err != 0) return;
  PrinterStep(ctx, "HUVUD", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    const double x = TabX(s, 6);
    s.SetFontSize(6);
    PrintAtX(s, x, first, false);
    for (int i = 0; i < 4; ++i)
      s.Print(ending[i].end_column - static_cast<int>(ended[i].size()), ended[i], false);
    s.Print(125, units, false);
    s.Print(156 - static_cast<int>(amount.size()), amount, true);
    s.SetFontSize(8);
    s.SetFontBold(true);
    s.Print(6, std::string(kRuleLength, kRuleChar), true);
  });
}

}  // namespace

char PrintSetting(Context& ctx, int position) {
  return registers::Fields(ctx, "SYS-DATA").At(position, 1)[0];
}

std::string TotalsAmount(Context& ctx, const std::string& value, int16_t& err) {
  std::string out;
  FormatGrouped(ctx.Msg(), value, out, ":", 16, err);
  return out;
}

std::string LayoutText(Context& ctx, const std::string& key, int16_t language, int16_t& err) {
  std::string text;
  registers::VshSprak(ctx, registers::Db(ctx).textkanal, key, language, text, err);
  return TrimRight(text);
}

void SetUpInvoicePage(Context& ctx, const std::string& type, int16_t& err) {
  ctx.print.top_offset = Digit(ctx, kTopOffsetDigit) * kTwipsPerOffsetStep;
  BeginJob(ctx, type, err);
}

void Huvud(Context& ctx, const std::string& type, int16_t& err) {
  PrintState& p = ctx.print;
  p.run.page_continues = false;
  if (p.job_begun == 0) {
    ctx.main.CboPrnt->SetBackColor(colour::kFieldOff);
    dialogs::DoEvents(ctx);
    SetUpInvoicePage(ctx, type, err);
    if (err != 0) return;
    p.job_begun = 1;
  }
  if (p.total_pages > 0) {
    Sidbyte(ctx, err);
    if (err != 0) return;
  }
  StartPage(ctx, err);
  if (err != 0) return;
  for (int i = Digit(ctx, kSpacerDigit); i > 0; --i) {
    Tomrad(ctx, "F", err);
    if (err != 0) return;
  }

  const bool logo = PrintSetting(ctx, kLogoFlag) == 'J';
  const bool name_flag = PrintSetting(ctx, kCompanyNameFlag) == 'J';
  std::string name;
  if (logo) {
    LoadLogo(ctx, err);
    if (err == 0) PaintLogo(ctx, err);
    if (err != 0) return;
  } else if (name_flag) {
    name = TrimRight(registers::Fields(ctx, "SYS-FRTG").At(4, 25));
  }
  const PrintState::Run& r = p.run;
  const std::string slogan = TrimRight(registers::Fields(ctx, "SYS-DATA").At(6, 48));
  PrinterStep(ctx, "HUVUD", err, [&](printer::Surface& s) {
    s.SetFontSize(10);
    double x = TabX(s, 3);
    s.SetFontSize(16);
    s.SetFontBold(true);
    PrintAtX(s, x, name, false);
    s.SetFontSize(10);
    x = TabX(s, 50);
    s.SetFontSize(14);
    s.SetFontBold(true);
    x = PrintAtX(s, x, r.title, false);
    s.SetFontSize(10);
    const int column = NumberColumn(r.invoice_number.size());
    if (column >= 0) x = TabX(s, column);
    s.SetFontBold(true);
    s.SetFontSize(14);
    PrintAtX(s, x, r.invoice_number, false);
    // The line is as high as its tallest text, so that the line under it keeps off the name.
    s.SetFontSize(name.empty() ? 14 : 16);
    s.Print(0, "", true);
    if (!logo && name_flag) {
      s.SetFontSize(10);
      x = TabX(s, 3);
      s.SetFontSize(8);
      PrintAtX(s, x, std::string(2 * name.size(), kUnderlineChar), true);
      s.SetFontSize(10);
      x = TabX(s, 3);
      s.SetFontSize(7);
      s.SetFontBold(true);
      PrintAtX(s, x, slogan, true);
      s.SetFontSize(10);
    }
    s.SetFontSize(10);
    s.Print(0, "", true);
  });
  if (err != 0) return;

  // The logo stands at the top left, beside the head line and the empty line under it; what
  // comes below them starts under the logo: the bars at tab 3, and the reference line, the
  // address captions and lines, which stand across the logo's width. The page head grows by the
  // difference, and the columns stay as they are.
  if (logo) {
    Position(ctx, err);
    const int32_t below_logo = kLogoTop + kLogoHeight;
    if (err == 0 && ctx.print.position < below_logo) SetPosition(ctx, below_logo, err);
    if (err != 0) return;
  }
  if (PrintSetting(ctx, kBarcodeFlag) == 'J') {
    int16_t bars = 0;
    Streckkod(ctx, 3, r.invoice_number, bars);  // an invoice without its bars is still printed
  }
  PrinterStep(ctx, "HUVUD", err, [&](printer::Surface& s) {
    s.SetFontSize(10);
    double x = TabX(s, 50);
    s.SetFontSize(12);
    s.SetFontBold(false);
    x = PrintAtX(s, x, r.date_caption + ": ", false);
    s.SetFontBold(true);
    PrintAtX(s, x, r.printed_date, false);
    s.SetFontSize(10);
    s.SetFontBold(false);
    x = PrintAtX(s, TabX(s, 90 - static_cast<int>(r.page_caption.size())), r.page_caption + ": ",
                 false);
    s.SetFontBold(true);
    PrintAtX(s, x, std::to_string(p.copy_pages), true);
  });
}

void Sida(Context& ctx, int16_t language, int16_t copy, int16_t& err) {
  const std::string text = LayoutText(ctx, copy == 0 ? "094" : "095", language, err);
  if (err != 0) return;
  PrinterStep(ctx, "SIDA", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    if (copy == 0) {
      s.SetFontBold(true);
      s.Print(117 - static_cast<int>(text.size()), text, true);
      return;
    }
    s.SetFontBold(false);
    const int column = 114 - static_cast<int>(text.size());
    s.Print(column, text + ": ", false);
    s.SetFontBold(true);
    s.Print(column + static_cast<int>(text.size()) + 2, std::to_string(copy), true);
  });
}

void PrintPageHead(Context& ctx, int16_t copy, int16_t language, int16_t& err) {
  PrintState::Run& r = ctx.print.run;
  err = 0;
  r.title = LayoutText(ctx, "005", language, err);
  if (err != 0) return;
  r.invoice_number = Head(ctx, "FAKTNR");
  r.printed_date = PrintedDate(ctx);
  r.date_caption = LayoutText(ctx, "011", language, err);
  if (err == 0) r.page_caption = LayoutText(ctx, "051", language, err);
  if (err != 0) return;
  const std::string reference_caption = LayoutText(ctx, "053", language, err);
  if (err != 0) return;
  const std::string buyer_reference = Trim(Head(ctx, "KOPREF"));
  const std::string reference = buyer_reference.empty() ? Head(ctx, "FAKTNR") : buyer_reference;
  const std::string seller_caption = LayoutText(ctx, "033", language, err);
  if (err != 0) return;
  const std::string seller_code = Trim(Head(ctx, "SALJKOD"));
  const std::string seller = seller_code.empty() ? Trim(Head(ctx, "FTHD_P988")) : seller_code;
  const bool delivery = PrintSetting(ctx, kAddressFlag) == 'J';
  const std::string left_address = delivery ? LayoutText(ctx, "014", language, err) : "";
  if (err != 0) return;
  const std::string right_address = LayoutText(ctx, "015", language, err);
  if (err != 0) return;
  const std::string vat = RemoveBlanks(Customer(ctx, 174, 14));

  Huvud(ctx, "S", err);
  if (err != 0) return;
  Tomrad(ctx, "F", err);
  if (err != 0) return;
  PrinterStep(ctx, "HUVUD", err, [&](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    double x = TabX(s, 50);
    s.SetFontSize(8);
    s.SetFontBold(false);
    x = PrintAtX(s, x, reference_caption + ": ", false);
    s.SetFontBold(true);
    PrintAtX(s, x, reference, false);
    s.SetFontBold(false);
    const std::string caption = seller_caption + ": ";
    x = PrintAtX(s, TabX(s, 110 - static_cast<int>(caption.size())), caption, false);
    s.SetFontBold(true);
    PrintAtX(s, x, seller, true);
  });
  if (err != 0) return;

  PrinterStep(ctx, "ADRESS", err, [&](printer::Surface& s) {
    // The tabs count in the 8 points of the reference line, so that the left caption stands
    // over the address lines; the captions themselves are 7 point.
    s.SetFontName("COURIER NEW");
    s.SetFontSize(8);
    s.SetFontBold(false);
    const double left_x = TabX(s, 6);
    const double right_x = TabX(s, 53);
    s.SetFontSize(7);
    PrintAtX(s, left_x, left_address, false);
    PrintAtX(s, right_x, right_address, vat.empty());
    if (vat.empty()) return;
    s.SetFontSize(8);
    const int column = 111 - static_cast<int>(vat.size());
    s.Print(column, "Vat: ", false);
    s.SetFontBold(true);
    s.Print(column + 5, vat, true);
  });
  if (err != 0) return;

  registers::Record& h = registers::Fields(ctx, "SVF-FTHD");
  const char* delivery_lines[] = {"LEVNAMN",    "LEVADR1",    "LEVADR2",
                                  "LEVGODSADR", "LEVPOSTORT", "LEVLAND"};
  const char* invoice_lines[] = {"FAKTNAMN", "FAKTADR1",    "FAKTADR2",
                                 "FAKTADR3", "FAKTPOSTORT", "FAKTLAND"};
  for (int i = 0; i < 6; ++i) {
    SetSlots(ctx, "", delivery ? h.Get(delivery_lines[i]) : "", "", h.Get(invoice_lines[i]));
    Adress(ctx, language, err);
    if (err != 0) return;
  }

  if (NumericValue(h.Get("FASBELOPP")) != 0) {
    const std::string caption = LayoutText(ctx, "099", language, err);
    if (err != 0) return;
    // The FAS amount is written as the totals block writes it, without the leading blanks.
    const std::string amount = TotalsAmount(ctx, h.Get("FASBELOPP"), err);
    if (err != 0) return;
    PrinterStep(ctx, "HUVUD", err, [&](printer::Surface& s) {
      s.SetFontName("COURIER NEW");
      s.SetFontSize(8);
      s.SetFontBold(true);
      s.Print(6, caption + ": " + Trim(amount) + " " + Specification(ctx, 542, 3), false);
    });
    if (err != 0) return;
  }
  Sida(ctx, language, copy, err);
  if (err != 0) return;

  if (ctx.print.copy_pages < 2) {
    FirstPageBlocks(ctx, language, err);
    if (err != 0) return;
  }
  RowCaptions(ctx, language, err);
}

}  // namespace kvor::printing
