// The invoice list, number entry and lookup: how the user names one invoice, and the lookup that
// reads its header and load specification and shows them on the main window.
#pragma once

#include <cstdint>

#include "core/context.h"

namespace kvor::selection {

// Fills CboNmmr with the company's unprinted invoices (inserted from position 0 on, before what
// the list held), counts printed and unprinted invoices and sets the print-mode box TxtUkod.
void LoadInvoiceList(Context& ctx, int32_t& unprinted, int32_t& printed, int16_t& err);

// Focus enters TxtNmmr: a fresh number entry.
void NumberEntryReset(Context& ctx);
// TxtNmmr: each change, a key, losing the focus.
void NumberChanged(Context& ctx);
void NumberKeyPress(Context& ctx, int16_t& key_ascii);
void NumberLostFocus(Context& ctx);

// The list field CboNmmr: focus, change, key, losing the focus.
void ListGotFocus(Context& ctx);
void ListChanged(Context& ctx);
void ListKeyPress(Context& ctx, int16_t& key_ascii);
void ListLostFocus(Context& ctx);

// Looks up the invoice whose number stands in TxtNmmr, with the window's error indicator.
void LookupInvoice(Context& ctx);

// The certification codes of LblPfkod and LblCfkod in the colours of their input tests.
void ShowCertificationCodes(Context& ctx);

}  // namespace kvor::selection
