// Module EFTKNFIL: the e-invoice XML file that the print run writes in step with the first print,
// and the three routines of the main window that fill its transfer record (ctx.einvoice.values)
// from the register fields before each call.
//
// The file: declaration, <ORNWEB>, <FAKTURA>, the header block, one row block per invoice row,
// </FAKTURA>, </ORNWEB>; one element a line, CR LF, Windows-1252 bytes except the Swedish letters
// of the name, address and text fields, which are written as their UTF-8 byte pairs. Nothing is
// escaped: "&" in names and addresses becomes "o".
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::einvoice {

// --- The module: each takes the file number, the document type "F" (invoice) or "K" (credit
// note) and the error indicator (0 done, 1 failed and told). Each disables the main window while
// it works.

// Deletes FAKTUROR\<base_name>.XML (KREDITAR\ for "K") in the data folder and creates it anew.
void OpenInvoiceXml(Context& ctx, int file_number, const std::string& type,
                    const std::string& base_name, int16_t& err);
// Checks the customer, cleans the header values and writes the declaration, the opening tags and
// the header block. A refused customer writes nothing.
void WriteInvoiceHeader(Context& ctx, int file_number, const std::string& type, int16_t& err);
// Cleans the row values and writes one row block, numbered one after the last.
void WriteInvoiceRow(Context& ctx, int file_number, const std::string& type, int16_t& err);
// Writes the closing tags.
void EndInvoiceXml(Context& ctx, int file_number, const std::string& type, int16_t& err);
// Closes the file, which brings the last buffered lines to the disk. Indicator 1 when any write
// of the file failed (told once, where it failed): the file is cut off and not to be sent.
void CloseInvoiceXml(Context& ctx, int file_number, int16_t& err);

// --- The fill routines (xml_fill.cpp): each fills the transfer record from the register fields
// the print run has read and calls the module with type "F".

// The header: SVF-FTHD, SVF-LSHD, SYS-FRTG, SAK-SFSH, KRK-KUND. Restarts the row numbers.
void FillHeaderTransfer(Context& ctx, int16_t& err);
// The timber row in SVF-FTSP with its SVF-LSSP row, SVP-KTKD, SVP-UFKD and SVP-DSNA records.
void FillTimberRowTransfer(Context& ctx, int16_t& err);
// The article row in SVF-FTAP with its ARV-ATKL record, as the print run printed it.
void FillArticleRowTransfer(Context& ctx, int16_t& err);

}  // namespace kvor::einvoice
