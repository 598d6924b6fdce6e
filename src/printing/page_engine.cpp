#include "printing/page_engine.h"

#include <cmath>

#include "common/cp1252.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/printer/fault.h"
#include "platform/printer/printer_set.h"
#include "platform/printer/surface.h"
#include "printing/printer_choice.h"

namespace kvor::printing {

namespace {

constexpr int kPageLimitPortrait = 15850;
constexpr int kPageLimitLandscape = 11000;
constexpr int kMaxPages = 999;
constexpr int kMaxRow = 99;

std::string PrinterShown(const Context& ctx) {
  return ctx.main.CboPrnt->Text();
}

}  // namespace

double TabX(printer::Surface& s, int column) {
  return column * s.ColumnWidth();
}

double PrintAtX(printer::Surface& s, double x, const std::string& text, bool end_line) {
  const double width = s.ColumnWidth();
  // Rounding up keeps a text from starting inside the one before it; the small allowance keeps an
  // x that lies on a column, within the rounding of the widths, on that column.
  const int column = static_cast<int>(std::ceil(x / width - 1e-6));
  s.Print(column, text, end_line);
  return column * width + static_cast<double>(text.size()) * width;
}

TrappedError TrappedOf(const Context& ctx, const printer::Fault& fault) {
  return {ctx.frame.program_code, fault.Number(), fault.Description()};
}

printer::Surface& Printer(Context& ctx) {
  PrintState& p = ctx.print;
  if (!p.surface) {
    // The job opens on the program's printer at its first step.
    std::unique_ptr<printer::Surface> job =
        p.printers ? p.printers->Open(p.device, {p.job_name, p.job_key}) : nullptr;
    if (!job) throw printer::Fault(printer::kPrinterError, "Skrivaren finns inte: " + p.device);
    p.surface = std::move(job);
  }
  return *p.surface;
}

void ReportPrintFault(Context& ctx, const std::string& step, const printer::Fault& fault,
                      int16_t& err) {
  dialogs::ReportTrappedError(ctx,
                              Paragraphs("För "_w + step + " gavs FELKOD och UTSKRIFTEN avbryts!"_w,
                                         "Skrivare: " + PrinterShown(ctx)),
                              TrappedOf(ctx, fault));
  err = 1;
}

void PrinterStep(Context& ctx, const std::string& step, int16_t& err,
                 const std::function<void(printer::Surface&)>& work) {
  try {
    work(Printer(ctx));
    err = 0;
  } catch (const printer::Fault& fault) {
    ReportPrintFault(ctx, step, fault, err);
  } catch (const std::exception& other) {  // whatever else the printing system throws
    ReportPrintFault(ctx, step, printer::Fault(printer::kPrinterError, other.what()), err);
  }
}

void BeginJob(Context& ctx, const std::string& type, int16_t& err) {
  PrintState& p = ctx.print;
  if (ctx.frame.stop) {
    err = 1;
    return;
  }
  if (type == "S" || type == "L") {
    p.page_limit = type == "S" ? kPageLimitPortrait : kPageLimitLandscape;
    p.orientation = type == "S" ? 1 : 2;
  } else {
    dialogs::ReportError(ctx, "Tilldelad TYP-kod '" + type + "' för UTSKRIFT är EJ godkänd!"_w);
    err = 1;
    return;
  }
  ctx.main.CmdBryt->Enable(true, colour::kStopOn);
  ctx.frame.stop = 0;
  ctx.frame.print_busy = 1;
  PrinterStep(ctx, "ORIENTERING", err,
              [&](printer::Surface& s) { s.SetOrientation(p.orientation); });
  if (err != 0) return;
  PrinterStep(ctx, "FONTEN", err, [](printer::Surface& s) { s.SetFontName("COURIER NEW"); });
  if (err != 0) return;
  p.job_begun = 1;
  if (!ctx.msg.wait_flag) dialogs::EnterWaitState(ctx);
}

void Sidbyte(Context& ctx, int16_t& err) {
  if (ctx.frame.stop) {
    err = 1;
    return;
  }
  PrinterStep(ctx, "SIDBYTE", err, [](printer::Surface& s) { s.NewPage(); });
  if (err == 0) Position(ctx, err);
}

void Tomrad(Context& ctx, const std::string& bold_code, int16_t& err) {
  PrintState& p = ctx.print;
  err = 0;
  if (p.position > p.page_limit - p.bottom_reserve) return;  // too low: nothing printed
  PrinterStep(ctx, "TOMRAD", err, [&](printer::Surface& s) {
    const double size = s.FontSize();
    s.SetFontSize(4);
    s.Print(0, "", true);
    s.SetFontBold(bold_code == "T");
    s.SetFontSize(size);
    p.position = static_cast<int32_t>(std::lround(s.CurrentY()));
  });
}

void StartPage(Context& ctx, int16_t& err) {
  PrintState& p = ctx.print;
  if (ctx.frame.stop) {
    err = 1;
    return;
  }
  if (p.copy_pages > 0) p.last_section_text.clear();
  if (p.total_pages >= kMaxPages) {
    ctx.frame.stop = 1;
    dialogs::ShowMessage(ctx,
                         Paragraphs("Önskad UTSKRIFT har MAX gällande 999 tillåtna SID-antal!"_w,
                                    "Påbörjad UTSKRIFT avbryts!"_w),
                         dialogs::kNotice);
    err = 1;
    return;
  }
  ++p.copy_pages;
  ++p.total_pages;
  ctx.main.LblPage->SetText(std::to_string(p.total_pages));
  dialogs::DoEvents(ctx);
  p.row_on_page = 0;
  p.position = 0;
  err = 0;
}

void AdvanceRows(Context& ctx, int rows, int16_t& err) {
  PrintState& p = ctx.print;
  if (ctx.frame.stop) {
    err = 1;
    return;
  }
  const int row = p.row_on_page + rows;
  p.row_on_page = static_cast<int16_t>(row);
  if (row < 0 || row > kMaxRow) {
    ctx.frame.stop = 1;
    dialogs::ShowMessage(ctx,
                         Paragraphs("För UTSKRIFT ges EJ tillåtet RAD-nummer!"_w,
                                    "RAD-nummer:" + WithSignPlace(row)),
                         dialogs::kNotice);
    err = 1;
    return;
  }
  ctx.main.LblLine->SetText(std::to_string(row));
  p.rows_in_job += rows;
  Position(ctx, err);
}

void SetPosition(Context& ctx, int32_t y, int16_t& err) {
  if (y == 0 || y > ctx.print.page_limit) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("För UTSKRIFT kan EJ tilldelad POSITION sättas!"_w,
                                    "POSITIONS-nummer:" + WithSignPlace(y)),
                         dialogs::kNotice);
    err = 1;
    return;
  }
  PrinterStep(ctx, "POSITION", err, [y](printer::Surface& s) { s.SetCurrentY(y); });
  if (err == 0) dialogs::DoEvents(ctx);
}

void Position(Context& ctx, int16_t& err) {
  PrinterStep(ctx, "POSITION", err, [&](printer::Surface& s) {
    ctx.print.position = static_cast<int32_t>(std::lround(s.CurrentY()));
  });
  if (err == 0) dialogs::DoEvents(ctx);
}

void Avsluta(Context& ctx, const std::string& job_name, int16_t& err) {
  PrintState& p = ctx.print;
  MasterWindow& m = ctx.main;
  m.form.SetEnabled(false);
  ctx.frame.stop = 0;
  ctx.frame.print_busy = 0;
  err = 0;
  dialogs::LeaveWaitState(ctx);
  DisablePrintControls(ctx);
  const std::string printer = "Skrivare: " + Upper(PrinterShown(ctx));
  if (p.total_pages != 0) {
    PrinterStep(ctx, "AVSLUTA", err, [](printer::Surface& s) { s.EndDoc(); });
    // A document the printer refused is not reported as printed.
    if (err == 0) {
      const std::string word = p.total_pages == 1 ? "sida" : "sidor";
      dialogs::ShowMessage(ctx,
                           Paragraphs("Önskad UTSKRIFT av '"_w + job_name + "' är UTFÖRD med"_w +
                                          WithSignPlace(p.total_pages) + " " + word + "!",
                                      printer),
                           dialogs::kInformation);
    }
  } else {
    dialogs::ShowMessage(
        ctx, Paragraphs("Önskad UTSKRIFT av '"_w + job_name + "' gav INGA sidor!", printer),
        dialogs::kInformation);
  }
  EnablePrintControls(ctx);
  ResetCounters(ctx);
  m.form.SetEnabled(true);
}

void NothingToPrint(Context& ctx) {
  dialogs::ShowMessage(ctx, "För UTSKRIFT finns EJ några POSTER att SKRIVA ut!"_w,
                       dialogs::kNotice);
}

void ResetCounters(Context& ctx) {
  PrintState& p = ctx.print;
  ctx.main.LblPage->SetText("");
  ctx.main.LblLine->SetText("");
  ctx.frame.stop = 0;
  p.last_section_text.clear();
  p.bottom_reserve = 175;
  p.position = 0;
  p.job_begun = 0;
  p.total_pages = 0;
  p.rows_in_job = 0;
  p.row_on_page = 0;
  p.copy_pages = 0;
  p.surface.reset();  // a job not ended is dropped: its printer receives no document
}

}  // namespace kvor::printing
