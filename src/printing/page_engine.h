// The page engine of module PRINTSET: beginning a job, pages with their 999 limit, rows on a page,
// the vertical position, spacer lines and the end of the job with its report. Every step sets the
// error indicator: 0 done, 1 refused or failed (and told).
//
// Calling order within one job: BeginJob once; for every page Sidbyte (not before the first),
// StartPage, then positions, rows, Tomrad and the layout's printing; at the end Avsluta.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/messenger.h"
#include "core/context.h"

namespace kvor::printer {
class Fault;
class Surface;
}  // namespace kvor::printer

namespace kvor::printing {

// Type "S" portrait, "L" landscape: opens the job on the program's printer.
void BeginJob(Context& ctx, const std::string& type, int16_t& err);
// Ends the page and starts a new sheet.
void Sidbyte(Context& ctx, int16_t& err);
// A 4-point spacer line, bold off for "F" and on for "T"; nothing low on the page.
void Tomrad(Context& ctx, const std::string& bold_code, int16_t& err);
void StartPage(Context& ctx, int16_t& err);
void AdvanceRows(Context& ctx, int rows, int16_t& err);
void SetPosition(Context& ctx, int32_t y, int16_t& err);
// Reads the printer's vertical position into the state.
void Position(Context& ctx, int16_t& err);
// Ends the job and tells the user how many pages it printed.
void Avsluta(Context& ctx, const std::string& job_name, int16_t& err);
void NothingToPrint(Context& ctx);
void ResetCounters(Context& ctx);

// Tabs on a print line: the x of `column` in the current font, and text printed from x on, at
// the first column of the current font that does not start before x; returns the x where the
// text ends. A tab counts its column in the font current at the tab, and what follows is printed
// in whatever font is set by then, going on where the text before it ended.
double TabX(printer::Surface& s, int column);
double PrintAtX(printer::Surface& s, double x, const std::string& text, bool end_line);

// The running job's printer; a job must have begun.
printer::Surface& Printer(Context& ctx);
// Runs `work` on the printer as the step named; a fault the printer raises is reported with the
// common print-fault message and gives indicator 1.
void PrinterStep(Context& ctx, const std::string& step, int16_t& err,
                 const std::function<void(printer::Surface&)>& work);
void ReportPrintFault(Context& ctx, const std::string& step, const printer::Fault& fault,
                      int16_t& err);
// A printer fault as the error report shows a trapped error.
TrappedError TrappedOf(const Context& ctx, const printer::Fault& fault);

}  // namespace kvor::printing
