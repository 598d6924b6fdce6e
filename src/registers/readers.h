// The look-ups that register modules do themselves and the four write-backs: company, bank, IBAN,
// print codes, EDI settings, customer extra data, business areas, language texts (VSHSPRÅK),
// length tables, invoice settings, load-specification rows and certification, and the printed and
// sent marks of the invoice header. Each works on the fields of its register (Fields(ctx, code)),
// reports its own failures and leaves the outcome in the error indicator: 0 done, 1 failed and
// reported, 2 reported and tolerated.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::registers {

// What the company read derives from SYS-FRTG for the rest of the program.
struct CompanySettings {
  // The ten one-character settings of FRTG_P213, cell 0 from position 213 on; "0" in every cell
  // when there is no company record.
  std::array<char, 10> cells{'0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  int16_t setting_426 = 0;         // FRTG_P426, 0 to 5
  int16_t setting_427 = 0;         // FRTG_P427, 0 to 5
  int16_t min_article_length = 0;  // FRTG_P428, 0 to 7
};

// The length-distribution table built from an SVP-LFID record: 15 rows of three 4-character
// columns (column 1 from positions 9 to 65, column 2 from 69 to 125, column 3 from 129 to 185).
struct LengthTable {
  std::string table_id;                             // as asked for
  std::array<std::array<std::string, 3>, 15> rows;  // blanks until a table has been read
  LengthTable();
  // Entry 1 to 45 counted row by row (1 to 3 is row 1); blanks outside that range.
  std::string Entry(int index) const;
};

// --- Customer and company ---------------------------------------------------------------------

// SYS-FRTG by the company id: normalises the one-character settings, shows the company id and
// name on the main window and fills `settings`. A missing record clears the fields, empties the
// settings and gives 1.
void ReadCompany(Context& ctx, int16_t channel, CompanySettings& settings, int16_t& err);
// SYS-BANK by company id + FRTG_P299; cleared when the code is blank or zeros or not found. The
// error indicator stays 0.
void ReadBank(Context& ctx, int16_t channel, int16_t& err);
// SYS-IBAN for the currency (the company currency FRTG_P372 when blank), then for the company
// currency; cleared with 1 when neither is found. No message.
void ReadIban(Context& ctx, int16_t channel, const std::string& currency, int16_t& err);
// SYS-DATA by company id + print code: tests and normalises the print settings and shows them on
// the main window. Missing: message and 1.
void ReadPrintCode(Context& ctx, const std::string& print_code, int16_t channel, int16_t& err);
// SYS-EDIH by company id; normalises the EDI flag EDIH_P158. Missing: cleared, message and 1.
void ReadEdi(Context& ctx, int16_t channel, int16_t& err);
// KRK-XTRA of the customer last read (the KRK-KUND key). Missing: cleared and filled with the
// defaults, not written. Found: its settings adjusted and the record written back.
void ReadCustomerExtra(Context& ctx, int16_t channel, int16_t& err);
// The customer's e-invoice fields in the KRK-KUND fields: KUND_P348, P409, P410, P416, P461.
void NormaliseEInvoiceFields(Context& ctx);
// Normalises the customer's e-invoice fields and shows the e-invoice flag and the language code
// on the main window; returns the language code's value and 0.
void ShowEInvoiceData(Context& ctx, int16_t& language, int16_t& second);

// --- Code registers -----------------------------------------------------------------------------

// VSH-DATA by record type + code ("VK" + currency, "F" + "OTK"). Missing: message, cleared, 1.
void ReadBusinessArea(Context& ctx, int16_t channel, const std::string& record_type,
                      const std::string& code, int16_t& err);
// VSHSPRÅK: the 24-character text of a 3-character VSH-TEXT key in language 0 to 9.
void VshSprak(Context& ctx, int16_t channel, const std::string& key, int16_t language,
              std::string& result, int16_t& err);
// SVP-LFID by company id + table_id, where table_id is the rest of the key (the key part of
// position 4 and the 4-character id of position 5). Normalises the table's settings and builds
// `table`. Missing: message, blank table, 2.
void ReadLengthTable(Context& ctx, int16_t channel, const std::string& table_id, LengthTable& table,
                     int16_t& err);

// --- Invoice registers --------------------------------------------------------------------------

// SVF-DATA by company id + language code. Missing: message and 1.
void ReadSvfData(Context& ctx, int16_t channel, const std::string& language_code, int16_t& err);
// SVF-LSSP for the specification row in the SVF-FTSP fields of the invoice in the SVF-FTHD
// fields; may fill FTSP_P239 from the row's length.
void LookUpLoadSpecificationRow(Context& ctx, int16_t channel, int16_t& err);
// SVF-LSKA for the load specification in the SVF-LSHD fields: normalises its certification code
// and flag, then inserts or updates the certification record.
void WriteLoadSpecificationCertification(Context& ctx, int16_t channel, int16_t& err);
// The first print's write-back of the header, still locked from the run's read: printed mark,
// print date and every field as it stands, under the channel's last key.
void WritePrintedMark(Context& ctx, int16_t channel, int16_t& err);
// Reads the header of the invoice locked (the lock message offers [AVBRYT]) and marks it sent.
void WriteSentMark(Context& ctx, int16_t channel, const std::string& invoice_number, int16_t& err);

}  // namespace kvor::registers
