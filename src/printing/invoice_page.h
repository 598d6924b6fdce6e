// The invoice page as the print run drives it: the page head (PHXA4ALL), the rows and the page
// break (SVFUSFTU), the totals block and the company foot. Each routine reads the records the
// print run has taken into the register fields (registers::Fields), prints through the page
// engine on the running job and sets the error indicator: 0 done, 1 stopped (and told).
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::printer {
class Surface;
}  // namespace kvor::printer

namespace kvor::printing {

// --- Page head (page_head.cpp) -------------------------------------------------------------------

// One character of the installation's print settings: SYS-DATA at `position`.
char PrintSetting(Context& ctx, int position);
// An amount of the totals block (and the head's FAS line): thousands grouped, ":" as the decimal
// mark, pattern width 16.
std::string TotalsAmount(Context& ctx, const std::string& value, int16_t& err);

// The head of a page: HUVUD, the reference and address lines, the FAS line, the copy mark, on the
// first page of a copy the first-page blocks, and the row column captions.
void PrintPageHead(Context& ctx, int16_t copy, int16_t language, int16_t& err);
// Start of every page: begins the job when none is begun, breaks the page, logo or company name,
// title, invoice number, date and page number.
void Huvud(Context& ctx, const std::string& type, int16_t& err);
// The copy mark: "094" on the first print, "095: n" on copy n.
void Sida(Context& ctx, int16_t language, int16_t copy, int16_t& err);
// Top offset from SYS-DATA, then the job begun with the orientation type.
void SetUpInvoicePage(Context& ctx, const std::string& type, int16_t& err);
// A layout text of VSH-TEXT in the customer's language, trailing blanks cut off.
std::string LayoutText(Context& ctx, const std::string& key, int16_t language, int16_t& err);

// --- Rows (invoice_rows.cpp) ---------------------------------------------------------------------

// Before each row line: counts the row and, past the row limit, closes the page with the totals
// block in continuation mode and starts the next page with its head.
void PageBreakCheck(Context& ctx, int16_t copy, int16_t language, int16_t& err);
// The specification row in the SVF-FTSP fields, with its SVF-LSSP row and code records.
void PrintSpecificationRow(Context& ctx, int16_t copy, int16_t language, int16_t& err);
// The additional row in the SVF-FTAP fields.
void PrintAdditionalRow(Context& ctx, int16_t copy, int16_t language, int16_t& err);
// The freight text block of the SVF-FKFT fields.
void PrintFreightText(Context& ctx, int16_t copy, int16_t language, int16_t& err);

// --- Totals and foot (totals.cpp) ----------------------------------------------------------------

// The totals block at the bottom of the page; on a page that continues, VALUTA and NETTO show
// the continuation text.
void PrintTotals(Context& ctx, int16_t language, int16_t& err);
// Where the totals block starts on the page, in twips: the rows end above it.
int32_t TotalsTop(Context& ctx);
// FÖRETAGSUTSKRIFT: the company's addresses, bank data and tax status.
void PrintCompanyFoot(Context& ctx, int16_t language, int16_t& err);

}  // namespace kvor::printing
