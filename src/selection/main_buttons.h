// The main window's controls: enabling and disabling the buttons, the digit, clear and done
// buttons, the Up/Down navigation in the invoice list or the printer list, the printer list's
// events, the print, send and cancel buttons and the run states of printing and sending.
#pragma once

#include <cstdint>

#include "core/context.h"

namespace kvor::selection {

// Installs the handlers of the main window's selection controls.
void WireSelection(Context& ctx);

// Disables every action button (and the number field while a print run is busy).
void ResetButtons(Context& ctx);
// The digit buttons together with the idle timer.
void EnableDigits(Context& ctx);
void DisableDigits(Context& ctx);

void DigitPressed(Context& ctx, int digit);
void ClearPressed(Context& ctx);
void DonePressed(Context& ctx);
// Up (true) or Down (false) in the list of the navigation mode.
void StepUpOrDown(Context& ctx, bool up);
void StepToPosition(Context& ctx, int32_t& position);

// The printer list CboPrnt.
void PrinterListGotFocus(Context& ctx);
void PrinterListChanged(Context& ctx);
void PrinterListKeyPress(Context& ctx);
void PrinterListLostFocus(Context& ctx);
void ConfirmPrinter(Context& ctx);

void PrintButtonGotFocus(Context& ctx);
// CmdKlar's click: run states, the print run, the list reload and the focus.
void PrintButtonPressed(Context& ctx);
// CmdSänd's click and focus: run states around the send, then the focus on the exit button.
void SendPressed(Context& ctx);
void SendGotFocus(Context& ctx);
void CancelGotFocus(Context& ctx);
void CancelPressed(Context& ctx);

// Printing and sending start and end.
void BeginRunState(Context& ctx);
void EndRunState(Context& ctx);
void AfterPrintRun(Context& ctx);

}  // namespace kvor::selection
