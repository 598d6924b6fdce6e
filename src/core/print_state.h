// What the program knows about printers: the installation's printer table, the installed
// printers, the current choice and the page engine's counters. Owned by the printer choice and
// page engine (PRINTSET).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvor {

namespace printer {
class Picture;
class PrinterSet;
class Surface;
}  // namespace printer

struct PrintState {
  std::array<std::string, 16> table;   // device names by printer code 1 to 15; [0] unused
  std::vector<std::string> installed;  // device names in the system's order
  int16_t current_code = 0;            // the code last chosen by code
  std::string chosen_name;             // upper case, without blanks
  std::string device;                  // the program's printer: the installed name that matched
  int16_t job_begun = 0;

  int16_t total_pages = 0;       // pages started in the job, all copies; at most 999
  int16_t copy_pages = 0;        // pages started since the print run last set it to 0
  int16_t row_on_page = 0;       // 0 to 99
  int32_t rows_in_job = 0;       // running sum of the row advances
  int32_t page_limit = 15850;    // lowest printable position used, twips
  int32_t bottom_reserve = 175;  // kept free below a spacer line
  int32_t top_offset = 0;        // extra space before the page head
  int32_t position = 0;          // the printer's vertical position after the last step
  int16_t orientation = 1;       // 1 portrait, 2 landscape
  std::string last_section_text;

  // What the next job is called, for the file name of the PDF printer.
  std::string job_name = "FAKTURA", job_key;

  // Where the PDF printer writes (a host folder; empty: the data folder's UTSKRIFT folder) and
  // whether the system's print queues are offered.
  std::string pdf_folder;
  bool system_printers = true;
  // Lets a test add its own printers before the list is taken.
  std::function<void(printer::PrinterSet&)> prepare_printers;

  std::shared_ptr<printer::PrinterSet> printers;  // from the printer list on
  std::shared_ptr<printer::Surface> surface;      // the running job

  // One print run and the pages it prints: shared by the run, the page head, the rows and the
  // totals block.
  struct Run {
    int16_t copy = 0;             // 0 the first print, then 1, 2, ... for the copies
    int16_t language = 0;         // the customer's language, 0 to 9
    int16_t records_read = 0;     // row records read in the current pass
    std::string row_group;        // the group heading last printed
    std::string row_price_flag;   // "E": the company-currency amounts are printed
    bool page_continues = false;  // the page is closed by a page break, not by the last row
    int32_t row_limit = 0;        // lowest position of a row line; 0 outside the rows
    // Specification and additional rows added into the header sums in the current pass.
    int32_t specification_rows = 0, additional_rows = 0;
    // Text slots of the page head.
    std::string title, invoice_number, printed_date, date_caption, page_caption;
    std::string left_caption, left_value, right_caption, right_value;
  } run;

  // Barcodes (BARCODES): the type ("039", "128"), its font and the text to print in it.
  std::string barcode_type, barcode_font, barcode_text;
  // The picture last loaded into the main window's hidden picture holder (PRINTPIC).
  std::shared_ptr<printer::Picture> picture;
  // Pictures read so far, by host path, change time and size.
  std::map<std::string, std::shared_ptr<printer::Picture>> loaded_pictures;
};

}  // namespace kvor
