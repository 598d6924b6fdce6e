// Module PRINTSET, the printer choice: the printer table SKRIVARE.DAT, the list of installed
// printers (the system's print queues and KVOR PDF) and the choice of the invoice printer in
// CboPrnt, as the main window uses them.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::printing {

// SKRIVARE.DAT into the printer table.
void LoadPrinterTable(Context& ctx, int16_t& err);
// The installed printers into CboPrnt.
void ListPrinters(Context& ctx, int16_t& err);
// The table entry of `code` (1 to 15) into CboPrnt; it becomes the current printer code.
void ChoosePrinterByCode(Context& ctx, int16_t code, int16_t& err);
// Number of installed printers.
int16_t InstalledPrinterCount(const Context& ctx);

// Focus enters CboPrnt: status text for the job, the list yellow, the print button off.
void PromptPrinterChoice(Context& ctx, const std::string& job_name);
// Any change typed into CboPrnt: refused, the current printer put back.
void RefuseTypedPrinter(Context& ctx);
// The printer shown in CboPrnt becomes the program's printer; 1 when it is not installed.
void ApplyPrinterChoice(Context& ctx, int16_t& err);

// CmdBryt and CboPrnt greyed, or restored.
void DisablePrintControls(Context& ctx);
void EnablePrintControls(Context& ctx);

// CmdBryt pressed while a print job runs: asks whether to cancel it; 1 when the user said yes.
void CancelQuestion(Context& ctx, int16_t& err);

}  // namespace kvor::printing
