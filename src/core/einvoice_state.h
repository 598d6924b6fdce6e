// The e-invoice's state for the whole program run: the transfer record the fill routines write for
// the XML writer, the file last written, and the last upload script run.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kvor {

struct EInvoiceState {
  // One value per XML element, by the element's name. A value stays until the next fill
  // overwrites it, so the header and the rows share the fields that feed both.
  std::map<std::string, std::string, std::less<>> values;
  std::string path;       // the file as a Windows path, empty until a file was opened
  std::string base_name;  // FTGID + "-" + FAKTNR of the file last opened
  std::string type_code;  // "380" invoice, "381" credit note
  int expected_identity_length = 0;
  int row_number = 0;    // of the last row written; the header resets it
  bool cut_off = false;  // a write to the open file failed and was told: not a file to send

  // The last run of the upload script.
  int python_return_code = 0;
  std::string python_command;
};

}  // namespace kvor
