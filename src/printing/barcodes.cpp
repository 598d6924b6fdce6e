#include "printing/barcodes.h"

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/printer/surface.h"
#include "printing/page_engine.h"

namespace kvor::printing {

void Streckkod(Context& ctx, int column, const std::string& text, int16_t& err) {
  err = 0;
  if (text.empty()) return;
  SetUpBarcodeFont(ctx, "39", "R", err);
  if (err != 0) return;
  EncodeBarcode(ctx, text, "R", "J", err);
  if (err != 0) return;
  PrinterStep(ctx, "STRECKKOD", err, [&](printer::Surface& s) {
    s.SetFontBold(false);
    s.SetFontSize(40);
    s.Print(column, ctx.print.barcode_text, true);
  });
  int16_t reset = 0;
  ResetBarcodeFont(ctx, reset);
  if (err == 0) err = reset;
}

void SetUpBarcodeFont(Context& ctx, const std::string& type, const std::string& variant,
                      int16_t& err) {
  PrintState& p = ctx.print;
  std::string padded = RemoveBlanks(type);
  if (padded.size() < 3) padded.insert(0, 3 - padded.size(), '0');
  p.barcode_type = padded;
  if (padded == "039" && (variant == "E" || variant == "R")) {
    p.barcode_font = variant == "E" ? "FREE 3 OF 9 EXTENDED" : "FREE 3 OF 9 REGULAR";
  } else if (padded == "128") {
    p.barcode_font = "CODE 128";
  } else {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Modulen BARCODES för STRECKKODER får FELAKTIG parameter!"_w,
                                    "IdString: " + padded, "BkString: " + variant),
                         dialogs::kError);
    err = 1;
    return;
  }
  std::string read_back;
  PrinterStep(ctx, "FONTEN", err, [&](printer::Surface& s) {
    s.SetFontName(p.barcode_font);
    read_back = s.FontName();
  });
  if (err != 0 || Upper(read_back) == p.barcode_font) return;
  dialogs::ShowMessage(ctx,
                       Paragraphs("Angiven FONT kan EJ tilldelas WINDOWS för KONTROLL-utskrift!"_w,
                                  "Kontrollera FONTEN på C:\\WINDOWS\\FONTS-katalogen!"_w,
                                  "Fontfilen: " + p.barcode_font, "BkString: " + variant),
                       dialogs::kError);
  err = 1;
}

void EncodeBarcode(Context& ctx, const std::string& text, const std::string& variant,
                   const std::string& start_stop, int16_t& err) {
  PrintState& p = ctx.print;
  if ((variant != "R" && variant != "E") || (start_stop != "J" && start_stop != "N")) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Modulen BARCODES för KALKYLERING får FELAKTIG parameter!"_w,
                                    "PubBarCodes: " + p.barcode_type, "BkString: " + variant,
                                    "SkString: " + start_stop),
                         dialogs::kError);
    err = 1;
    return;
  }
  // No check character: the reader needs none for Code 39.
  p.barcode_text = start_stop == "J" ? "*" + text + "*" : text;
  err = 0;
}

void ResetBarcodeFont(Context& ctx, int16_t& err) {
  PrinterStep(ctx, "FONTEN", err, [](printer::Surface& s) {
    s.SetFontName("COURIER NEW");
    s.SetFontBold(true);
    s.SetFontSize(10);
  });
}

}  // namespace kvor::printing
