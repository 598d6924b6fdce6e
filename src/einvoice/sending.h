// Sending the e-invoice: the send and the module PGPYTHON that runs the upload script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/context.h"

namespace kvor::einvoice {

// The installation's upload script, as a Windows path on the shared drive.
std::string UploadScript(const Context& ctx);
// The transfer log in the data folder: one line a send.
std::string TransferLog(const Context& ctx);

// The command as the messages show it: its words joined by single blanks.
std::string CommandText(const std::vector<std::string>& command);

// PGPYTHON: runs the script command[0] (a Windows path) with the arguments command[1..] through
// the installation's Python interpreter, one argument each, never through a shell, and waits.
// window_style as the script host takes it (1: a normal window; the script-window setting "J"
// makes it 1). return_code gets the script's exit code, -1 when the interpreter could not be
// started. The indicator is 0 for an exit code of 0 or below, otherwise 1 after the message.
void RunPython(Context& ctx, const std::vector<std::string>& command, int16_t window_style,
               int& return_code, int16_t& err);

// What the send button CmdSänd starts: the customer's EDI settings read, the upload script run,
// the send logged and told about, and the header marked sent.
void SendInvoice(Context& ctx);

}  // namespace kvor::einvoice
